#include "link/reportdescriptor.h"

#include <QHash>
#include <QList>

namespace koru {

namespace {
struct Globals
{
    quint32 reportSize = 0;
    quint32 reportCount = 0;
    quint32 reportId = 0;
};

constexpr qint64 MaxLength = 65535;
} // namespace

ReportLengths ParseReportDescriptor(QByteArrayView d)
{
    QHash<quint32, qint64> inputBits, outputBits;
    Globals globals;
    QList<Globals> stack;
    bool numbered = false;
    qsizetype at = 0;
    while (at < d.size()) {
        const quint8 prefix = quint8(d[at]);
        if (prefix == 0xFE) { // long item: size, tag, data
            if (at + 1 >= d.size())
                break;
            at += 3 + quint8(d[at + 1]);
            continue;
        }
        const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (at + 1 + size > d.size())
            break;
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value |= quint32(quint8(d[at + 1 + i])) << (8 * i);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 0) { // main
            // Capped factors: a hostile descriptor cannot overflow the product.
            const qint64 bits = qint64(qMin<quint32>(globals.reportSize, 1u << 20))
                                * qMin<quint32>(globals.reportCount, 1u << 20);
            if (tag == 0x8)
                inputBits[globals.reportId] = qMin(inputBits.value(globals.reportId) + bits, MaxLength * 8);
            else if (tag == 0x9)
                outputBits[globals.reportId] = qMin(outputBits.value(globals.reportId) + bits, MaxLength * 8);
        } else if (type == 1) { // global
            switch (tag) {
            case 0x7: globals.reportSize = value; break;
            case 0x8:
                globals.reportId = value;
                numbered = true;
                break;
            case 0x9: globals.reportCount = value; break;
            case 0xA: if (stack.size() < 64) stack.append(globals); break;
            case 0xB: if (!stack.isEmpty()) globals = stack.takeLast(); break;
            default: break;
            }
        }
        at += 1 + size;
    }
    const auto longest = [](const QHash<quint32, qint64> &bits) {
        qint64 best = 0;
        for (qint64 b : bits)
            if (b > 0)
                best = qMax(best, (b + 7) / 8 + 1);
        return int(qMin(best, MaxLength));
    };
    return {longest(inputBits), longest(outputBits), numbered};
}

} // namespace koru
