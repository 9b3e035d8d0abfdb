// Random well-formed programs for the property tests: a listing for the
// main routine (with calls) and one per subroutine, laid out through the
// import, and the listing the whole program must translate back to.
#pragma once

#include "flowchart/flowdocument.h"
#include "flowchart/listingimport.h"

#include <QRandomGenerator>
#include <QStringList>

namespace koru::test {

class ProgramGenerator
{
public:
    explicit ProgramGenerator(quint32 seed) : m_rng(seed) {}

    struct Program
    {
        FlowDocument document;
        QStringList listing; // the expected CommandListing, calls written out
    };

    // A program within the byte budget whose every routine passes the check.
    Program next()
    {
        while (true) {
            Program p;
            const int subroutines = int(m_rng.bounded(3)); // 0-2
            QList<QStringList> subs;
            for (int k = 1; k <= subroutines; ++k)
                subs << routineRecords(false, subroutines);
            const QStringList main = routineRecords(true, subroutines);
            if (ImportListing(p.document, listingLines(main)).status != ImportResult::Built)
                continue;
            bool fits = true;
            for (int k = 1; k <= subroutines && fits; ++k) {
                FlowDocument sub;
                fits = ImportListing(sub, listingLines(subs.at(k - 1))).status == ImportResult::Built;
                for (int s : sub.occupiedSlots(0))
                    p.document.rawBlock(k, s) = sub.block(0, s);
            }
            if (!fits || p.document.byteTotal() > FlowByteBudget)
                continue;
            QStringList expanded;
            for (const QString &record : main) {
                if (record.startsWith(QLatin1String("9,")))
                    expanded << subs.at(record.section(QLatin1Char(','), 2, 2).toInt() - 1);
                else
                    expanded << record;
            }
            p.listing = QStringList{"START"} + expanded + QStringList{"END"};
            return p;
        }
    }

private:
    static QStringList listingLines(const QStringList &records)
    {
        return QStringList{"OK", "START"} + records + QStringList{"END"};
    }

    int pick(int n) { return int(m_rng.bounded(n)); }
    QString byte(int low, int high) { return QString::number(low + pick(high - low + 1)); }
    QString colour() { return pick(2) ? QStringLiteral("255") : QStringLiteral("0"); }

    QString simpleRecord()
    {
        switch (pick(9)) {
        case 0:
            return "5,0," + byte(1, 255) + ",0,0,0,0";
        case 1:
            return "2,0," + colour() + "," + colour() + "," + colour() + "," + byte(1, 31) + ",0";
        case 2:
            return "2," + byte(1, 2) + "," + colour() + "," + colour() + "," + colour() + ",11,0";
        case 3:
            return pick(2) ? "3,0," + byte(1, 100) + "," + byte(1, 31) + ",0,0,0" : "3," + byte(1, 2) + ",0,0,0,0,0";
        case 4:
            return "4," + byte(0, 5) + ",0,0,0,0,0";
        case 5: {
            const int sub = pick(6);
            return "6," + QString::number(sub) + "," + (sub >= 4 ? byte(0, 40) : QStringLiteral("0")) + ",0,0,0,0";
        }
        case 6:
            return "11," + QString(pick(2) ? "0" : "2") + "," + byte(1, 255) + ",0,0,0,0";
        case 7:
            return "10," + byte(0, 1) + ",0,0,0,0,0";
        default:
            return "4,3,0,0,0,0,0";
        }
    }

    QString ifRecord()
    {
        QList<int> subs{0, 1, 2, 3, 4, 5, 6, 10, 11, 12};
        if (m_measuredX)
            subs << 7 << 8 << 9;
        if (m_measuredY)
            subs << 13 << 14 << 15;
        const int sub = subs.at(pick(int(subs.size())));
        const bool hasValue = (sub >= 4 && sub <= 6) || (sub >= 10 && sub <= 12);
        return "7," + QString::number(sub) + "," + (hasValue ? byte(0, 40) : QStringLiteral("0")) + ",0,0,0,0";
    }

    static int familyOf(const QString &ifRecord)
    {
        const int sub = ifRecord.section(QLatin1Char(','), 1, 1).toInt();
        return sub <= 1 ? 0 : sub <= 3 ? 1 : sub <= 9 ? 2 : 3;
    }

    // A path of at most `room` records; ifs nest up to depth 2.
    QStringList path(int depth, int &room, bool inLoop, bool main, int subroutines)
    {
        QStringList out;
        const int length = pick(4);
        for (int i = 0; i < length && room > 0; ++i) {
            const int choice = pick(10);
            if (choice < 2 && depth < 2 && room >= 4) {
                const QString rec = ifRecord();
                room -= 3;
                const int f = familyOf(rec);
                out << rec << path(depth + 1, room, inLoop, main, subroutines)
                    << QStringLiteral("12,%1,0,0,0,0,0").arg(f) << path(depth + 1, room, inLoop, main, subroutines)
                    << QStringLiteral("13,%1,0,0,0,0,0").arg(f);
            } else if (choice == 2 && !inLoop && room >= 3) {
                room -= 2;
                out << "8,0," + byte(1, 9) + ",0,0,0,0" << path(depth, room, true, main, subroutines) << "8,1,0,0,0,0,0";
            } else if (choice == 3 && main && subroutines > 0) {
                --room;
                out << QStringLiteral("9,0,%1,0,0,0,0").arg(1 + pick(subroutines));
            } else if (choice == 4 && depth == 0) {
                // measured on every way to what follows
                --room;
                const bool x = pick(2);
                (x ? m_measuredX : m_measuredY) = true;
                out << QStringLiteral("10,%1,0,0,0,0,0").arg(x ? 0 : 1);
            } else {
                --room;
                out << simpleRecord();
            }
        }
        return out;
    }

    QStringList routineRecords(bool main, int subroutines)
    {
        m_measuredX = m_measuredY = false;
        int room = 12;
        QStringList records;
        while (room > 0 && pick(3) != 0)
            records << path(0, room, false, main, subroutines);
        return records;
    }

    QRandomGenerator m_rng;
    bool m_measuredX = false;
    bool m_measuredY = false;
};

} // namespace koru::test
