// Rows of the sent-data viewer: an instruction listing shown as numbered
// instructions, each with its text and its code in hexadecimal groups.
//
// Pure functions of the listing: the caller's lines are never changed, so a
// listing shown twice gives the same rows twice.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace koru {

struct ViewerRow
{
    int number = 0;       // position among the records, from 0
    QString text;         // what the instruction does, in the viewer's words
    QStringList groups;   // five three-digit hexadecimal groups
    QString code() const { return groups.join(QString()); } // the groups without separators

    bool operator==(const ViewerRow &other) const = default;
};

// The column captions of the viewer's grid.
QStringList ViewerHeader();

// The viewer's own number of an instruction variant (not the kit's OpCode).
int ViewerCodeOf(int kindNumber, int subKind);
// The viewer's text of an instruction variant.
QString ViewerTextOf(int kindNumber, int subKind);

// The row of one record "kind,sub,p1,p2,p3,p4,p5". Fields that are missing
// or not numbers count as 0.
ViewerRow ViewerRowOf(const QString &record, int number);

// The rows of a listing: its "START" and "END" lines are left out, every
// other line is one record.
QList<ViewerRow> ViewerRows(const QStringList &listing);

// Rows the grid holds for a listing: the header, the records and two empty
// rows below them.
int ViewerGridRowCount(const QStringList &listing);

} // namespace koru
