#include "flowchart/flowstructure.h"

#include <memory>

namespace koru {

namespace {

struct Element
{
    int id = -1;
    bool isIf = false;
    QList<Element> yes;
    QList<Element> no;
};

class Parser
{
public:
    explicit Parser(const QList<StructureEntry> &entries) : m_entries(entries) {}

    // A path: blocks and complete if structures up to the next else, endif
    // or the end of the entries.
    std::optional<QList<Element>> path()
    {
        QList<Element> elements;
        while (m_pos < m_entries.size() && m_entries.at(m_pos).type == StructureEntry::Block) {
            const StructureEntry &entry = m_entries.at(m_pos++);
            Element element{entry.id, entry.isIf, {}, {}};
            if (entry.isIf) {
                auto yes = path();
                if (!yes || !take(StructureEntry::Else))
                    return std::nullopt;
                auto no = path();
                if (!no || !take(StructureEntry::Endif))
                    return std::nullopt;
                element.yes = *yes;
                element.no = *no;
            }
            elements << element;
        }
        return elements;
    }

    bool atEnd() const { return m_pos == m_entries.size(); }

private:
    bool take(StructureEntry::Type type)
    {
        if (m_pos < m_entries.size() && m_entries.at(m_pos).type == type) {
            ++m_pos;
            return true;
        }
        return false;
    }

    const QList<StructureEntry> &m_entries;
    qsizetype m_pos = 0;
};

void Assign(const QList<Element> &path, int continuation, QHash<int, StructureLinks> &links)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        const Element &e = path.at(i);
        const int following = i + 1 < path.size() ? path.at(i + 1).id : continuation;
        StructureLinks l;
        if (e.isIf) {
            l.next = e.yes.isEmpty() ? following : e.yes.first().id;
            l.branch = e.no.isEmpty() ? following : e.no.first().id;
            Assign(e.yes, following, links);
            Assign(e.no, following, links);
        } else {
            l.next = following;
        }
        links.insert(e.id, l);
    }
}

} // namespace

std::optional<QHash<int, StructureLinks>> StructuredLinks(const QList<StructureEntry> &entries)
{
    Parser parser(entries);
    const auto top = parser.path();
    if (!top || !parser.atEnd())
        return std::nullopt;
    QHash<int, StructureLinks> links;
    Assign(*top, -1, links);
    return links;
}

} // namespace koru
