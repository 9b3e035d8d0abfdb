// Viewer codes and texts of the sent-data viewer, and the rows built from a
// listing.
#include "model/viewerrows.h"

#include "model/catalogue.h"
#include "model/textutil.h"

#include <array>

namespace koru {

namespace {

// Per instruction family: the first viewer code and the number of its
// variants. A sub-kind beyond them shows as the family's last variant,
// which stands for every other number.
struct ViewerFamily
{
    int kindNumber;
    int firstCode;
    int variants;
};

constexpr std::array<ViewerFamily, 12> Families{{
    {2, 100, 3}, {3, 103, 3}, {4, 106, 6}, {5, 112, 1}, {6, 113, 6}, {7, 119, 16},
    {8, 135, 2}, {9, 137, 1}, {10, 138, 2}, {11, 140, 4}, {12, 144, 4}, {13, 148, 4},
}};

// Endif markers, and every number the viewer does not know, show as endif.
const ViewerFamily &familyOf(int kindNumber)
{
    for (const ViewerFamily &family : Families) {
        if (family.kindNumber == kindNumber)
            return family;
    }
    return Families.back();
}

// Index of a sub-kind within its family. The motor and bulb family has no
// catch-all entry: other numbers show as the motor switched on.
int variantIndex(const ViewerFamily &family, int subKind)
{
    if (subKind >= 0 && subKind < family.variants)
        return subKind;
    if (family.kindNumber == 11)
        return 0;
    return family.variants - 1;
}

QString hexGroup(int value)
{
    // Three digits for every byte value; larger or negative numbers (only a
    // damaged file holds them) keep all their digits instead of being cut.
    return QString::number(quint32(value), 16).toUpper().rightJustified(3, QLatin1Char('0'));
}

} // namespace

QStringList ViewerHeader()
{
    return {QStringLiteral("番号"), QStringLiteral("命令内容"), QStringLiteral("送信データ")};
}

int ViewerCodeOf(int kindNumber, int subKind)
{
    const ViewerFamily &family = familyOf(kindNumber);
    return family.firstCode + variantIndex(family, subKind);
}

QString ViewerTextOf(int kindNumber, int subKind)
{
    const ViewerFamily &family = familyOf(kindNumber);
    return ViewerText(KeywordOfKindNumber(family.kindNumber), variantIndex(family, subKind));
}

ViewerRow ViewerRowOf(const QString &record, int number)
{
    const int kind = IntegerOr(FieldOf(record, 1, QLatin1Char(',')), 0);
    const int sub = IntegerOr(FieldOf(record, 2, QLatin1Char(',')), 0);
    ViewerRow row;
    row.number = number;
    row.text = ViewerTextOf(kind, sub);
    row.groups.append(hexGroup(ViewerCodeOf(kind, sub)));
    for (int field = 2; field <= 5; ++field)
        row.groups.append(hexGroup(IntegerOr(FieldOf(record, field, QLatin1Char(',')), 0)));
    return row;
}

QList<ViewerRow> ViewerRows(const QStringList &listing)
{
    // Works on a copy's bounds: the caller's listing stays as it was.
    qsizetype first = 0;
    qsizetype last = listing.size();
    if (first < last && listing.at(first) == QLatin1String("START"))
        ++first;
    if (first < last && listing.at(last - 1) == QLatin1String("END"))
        --last;
    QList<ViewerRow> rows;
    for (qsizetype i = first; i < last; ++i)
        rows.append(ViewerRowOf(listing.at(i), int(i - first)));
    return rows;
}

int ViewerGridRowCount(const QStringList &listing)
{
    return int(ViewerRows(listing).size()) + 3;
}

} // namespace koru
