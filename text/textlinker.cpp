// Linking a text program's listing into the instruction table the shared
// encoder takes, and encoding it.
//
// The else and endif records describe a tree: a sequence of instructions, in
// which an if holds a then-part and an else part, each a sequence again.
// Links follow that tree:
//   - in a sequence, an instruction goes on to the one after it;
//   - an if goes on to the first instruction of its then-part and branches
//     to the first of its else part; an empty or missing part leads to the
//     successor of the if;
//   - the last instruction of a part goes on to the successor of its if;
//   - the successor of the last construct of a sequence is the successor of
//     the enclosing if, and at the top level the end.
// The last rule also settles the if without an else part that ends a
// then-part: its branch, like every other way out of that part, leads to
// the successor of the enclosing if.
#include "text/textlanguage.h"

#include "model/catalogue.h"
#include "model/textutil.h"

namespace koru {

namespace {

const QString BlankParameters = QStringLiteral("0,0,0,0,0,0");

struct Node
{
    int entry = NoEntry;
    bool isIf = false;
    QList<int> thenPart; // node indices
    QList<int> elsePart;
};

class Linker
{
public:
    Linker(QList<EncoderEntry> &entries, const QList<Node> &nodes)
        : m_entries(entries), m_nodes(nodes)
    {
    }

    void link(const QList<int> &sequence, int successor)
    {
        for (qsizetype i = 0; i < sequence.size(); ++i) {
            const Node &node = m_nodes.at(sequence.at(i));
            const int after = i + 1 < sequence.size() ? m_nodes.at(sequence.at(i + 1)).entry : successor;
            EncoderEntry &entry = m_entries[node.entry];
            if (node.isIf) {
                entry.next = firstOf(node.thenPart, after);
                entry.branch = firstOf(node.elsePart, after);
                link(node.thenPart, after);
                link(node.elsePart, after);
            } else {
                entry.next = after;
            }
        }
    }

    int firstOf(const QList<int> &sequence, int otherwise) const
    {
        return sequence.isEmpty() ? otherwise : m_nodes.at(sequence.first()).entry;
    }

private:
    QList<EncoderEntry> &m_entries;
    const QList<Node> &m_nodes;
};

} // namespace

std::optional<QList<EncoderEntry>> InstructionTableOf(const QStringList &listing)
{
    QList<EncoderEntry> entries;
    entries.append({QStringLiteral("start"), BlankParameters});

    QList<Node> nodes;
    QList<int> topLevel;
    struct OpenIf
    {
        int node;
        bool inElse;
    };
    QList<OpenIf> open;

    const qsizetype start = listing.indexOf(QStringLiteral("START"));
    const qsizetype end = start < 0 ? start : listing.indexOf(QStringLiteral("END"), start + 1);
    for (qsizetype i = start + 1; start >= 0 && i < (end < 0 ? listing.size() : end); ++i) {
        const QString &record = listing.at(i);
        if (record.trimmed().isEmpty())
            continue;
        const int kind = IntegerOr(FieldOf(record, 1, QLatin1Char(',')), -1);
        QList<int> parameters;
        for (int field = 2; field <= 7; ++field)
            parameters.append(IntegerOr(FieldOf(record, field, QLatin1Char(','))));
        if (kind == 12) {
            if (!open.isEmpty())
                open.last().inElse = true;
            continue;
        }
        if (kind == 13) {
            if (!open.isEmpty())
                open.removeLast();
            continue;
        }
        // The experiment board's "off" statements have no instruction on the
        // kit (motor and lamp stop after their running time by themselves);
        // the shared encoder would write them as a lamp instruction, so they
        // stay out of the image.
        if (kind == 11 && (parameters.first() == 1 || parameters.first() == 3))
            continue;
        if (entries.size() + 2 > MaxInstructionEntries)
            return std::nullopt; // no room for this entry and the end
        QString keyword = KeywordOfKindNumber(kind);
        if (keyword.isEmpty())
            keyword = QStringLiteral("vexo"); // what the encoder makes of it anyway
        QStringList texts;
        for (int value : parameters)
            texts.append(QString::number(value));
        entries.append({keyword, texts.join(QLatin1Char(','))});

        Node node;
        node.entry = int(entries.size() - 1);
        node.isIf = kind == 7;
        nodes.append(node);
        const int index = int(nodes.size() - 1);
        if (open.isEmpty())
            topLevel.append(index);
        else if (open.last().inElse)
            nodes[open.last().node].elsePart.append(index);
        else
            nodes[open.last().node].thenPart.append(index);
        if (node.isIf)
            open.append({index, false});
    }

    entries.append({QStringLiteral("end"), BlankParameters});
    const int endEntry = int(entries.size() - 1);
    Linker linker(entries, nodes);
    entries[0].next = linker.firstOf(topLevel, endEntry);
    linker.link(topLevel, endEntry);
    return entries;
}

TextImage ImageOfListing(const QStringList &listing)
{
    const std::optional<QList<EncoderEntry>> table = InstructionTableOf(listing);
    if (!table)
        return {{}, TotalCountMessage};
    TextImage result;
    result.image = EncodeProgram(*table, ImageOrder::Text);
    if (result.image.size() > MaxImageBytes)
        result.refusal = ImageTooLargeMessage;
    return result;
}

} // namespace koru
