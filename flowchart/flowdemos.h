// The four demo flowcharts shipped under Data/Demo/fro/, built in code so
// the files can be checked against (and regenerated from) them, and a small
// builder that lays blocks out in the editor's grid.
#pragma once

#include "flowchart/flowdocument.h"

#include <QString>
#include <initializer_list>

namespace koru {

// Adds blocks to one routine: each block goes to the next free slot (the
// start block to slot 0) at a grid position, columns 150 pixels apart from
// x = 50 and rows 80 pixels apart from y = 10.
class FlowBuilder
{
public:
    FlowBuilder(FlowDocument &document, int routine) : m_doc(document), m_routine(routine) {}

    // The block's slot, or NoSlot when it could not be placed.
    int add(const QString &kind, const QString &params, int column, int row);
    // A chain of bottom arrows through the given slots.
    void chain(std::initializer_list<int> slots);
    void side(int ifSlot, int target);

private:
    FlowDocument &m_doc;
    int m_routine;
};

// 1: a light show repeated in a loop; 2: a night light that waits for the
// dark; 3: a thermostat that measures into x and branches on it; 4: a
// program with two subroutines.
FlowDocument DemoFlowchart(int number);

} // namespace koru
