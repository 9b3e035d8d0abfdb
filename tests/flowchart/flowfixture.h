// Compact flowcharts for the tests: node i of a routine goes to slot i, with
// its bottom and side arrows given as slot numbers (-1 for none).
#pragma once

#include "flowchart/flowdocument.h"

#include <QList>
#include <QString>

namespace koru::test {

struct Node
{
    QString kind;            // empty: leave the slot free
    QString params = {};     // empty: "0,0,0,0,0,0"
    int next = -1;
    int branch = -1;
};

// Places the nodes of one routine (slot = position in the list, blocks one
// row apart) and draws their arrows through the document's own operations.
inline void AddRoutine(FlowDocument &doc, int routine, const QList<Node> &nodes)
{
    for (int i = 0; i < nodes.size(); ++i) {
        const Node &n = nodes.at(i);
        if (n.kind.isEmpty())
            continue;
        if (!doc.place(routine, i, n.kind, 50, 10 + 80 * i))
            qFatal("fixture: cannot place %s in slot %d", qPrintable(n.kind), i);
        doc.setParams(routine, i, n.params.isEmpty() ? QStringLiteral("0,0,0,0,0,0") : n.params);
    }
    for (int i = 0; i < nodes.size(); ++i) {
        if (nodes.at(i).next >= 0 && !doc.linkBottom(routine, i, nodes.at(i).next))
            qFatal("fixture: bottom arrow %d -> %d refused", i, nodes.at(i).next);
        if (nodes.at(i).branch >= 0 && !doc.linkSide(routine, i, nodes.at(i).branch))
            qFatal("fixture: side arrow %d -> %d refused", i, nodes.at(i).branch);
    }
}

inline FlowDocument MainRoutine(const QList<Node> &nodes)
{
    FlowDocument doc;
    AddRoutine(doc, 0, nodes);
    return doc;
}

} // namespace koru::test
