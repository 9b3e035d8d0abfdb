#include "flowchart/flowdemos.h"

#include <initializer_list>

namespace koru {

int FlowBuilder::add(const QString &kind, const QString &params, int column, int row)
{
    const int slot = kind == QLatin1String("start") ? 0 : m_doc.freeSlot(m_routine);
    if (!m_doc.place(m_routine, slot, kind, 50 + 150 * column, 10 + 80 * row))
        return NoSlot;
    m_doc.setParams(m_routine, slot, params);
    return slot;
}

void FlowBuilder::chain(std::initializer_list<int> slotList)
{
    int previous = NoSlot;
    for (int slot : slotList) {
        if (previous != NoSlot)
            m_doc.linkBottom(m_routine, previous, slot);
        previous = slot;
    }
}

void FlowBuilder::side(int ifSlot, int target)
{
    m_doc.linkSide(m_routine, ifSlot, target);
}

namespace {

const QString None = QStringLiteral("0,0,0,0,0,0");

FlowDocument LightShow()
{
    FlowDocument doc;
    FlowBuilder b(doc, 0);
    const int start = b.add("start", None, 0, 0);
    const int loop = b.add("loop", "0,3,0,0,0,0", 0, 1);          // three times
    const int red = b.add("full_led", "0,255,0,0,4,0", 0, 2);     // red 1 s
    const int green = b.add("full_led", "0,0,255,0,4,0", 0, 3);   // green 1 s
    const int blue = b.add("full_led", "0,0,0,255,4,0", 0, 4);    // blue 1 s
    const int beep = b.add("sound", "3,0,0,0,0,0", 0, 5);         // confirmation sound 1
    const int loopEnd = b.add("loop", "1,0,0,0,0,0", 0, 6);
    const int white = b.add("full_led", "0,255,255,255,8,0", 0, 7); // white 2 s
    const int dark = b.add("full_led", "0,0,0,0,1,0", 0, 8);
    const int end = b.add("end", None, 0, 9);
    b.chain({start, loop, red, green, blue, beep, loopEnd, white, dark, end});
    return doc;
}

FlowDocument NightLight()
{
    FlowDocument doc;
    FlowBuilder b(doc, 0);
    const int start = b.add("start", None, 0, 0);
    const int hello = b.add("sound", "4,0,0,0,0,0", 0, 1);         // confirmation sound 2
    const int loop = b.add("loop", "0,5,0,0,0,0", 0, 2);           // five nights
    const int waitDark = b.add("wait", "3,0,0,0,0,0", 0, 3);       // until it is dark
    const int light = b.add("full_led", "0,255,255,255,31,0", 0, 4); // white 7.75 s
    const int clock = b.add("light_led", "0,60,31,0,0,0", 0, 5);   // backlight 60 %
    const int waitBright = b.add("wait", "2,0,0,0,0,0", 0, 6);     // until it is bright
    const int off = b.add("full_led", "0,0,0,0,1,0", 0, 7);
    const int loopEnd = b.add("loop", "1,0,0,0,0,0", 0, 8);
    const int end = b.add("end", None, 0, 9);
    b.chain({start, hello, loop, waitDark, light, clock, waitBright, off, loopEnd, end});
    return doc;
}

FlowDocument Thermostat()
{
    FlowDocument doc;
    FlowBuilder b(doc, 0);
    const int start = b.add("start", None, 0, 0);
    const int measure = b.add("dainyuu", "0,0,0,0,0,0", 0, 1);     // temperature into x
    const int loop = b.add("loop", "0,10,0,0,0,0", 0, 2);          // ten rounds
    const int wait = b.add("timer", "0,30,0,0,0,0", 0, 3);         // 30 s
    const int warmer = b.add("if", "7,0,0,0,0,0", 0, 4);           // warmer than x?
    const int fan = b.add("vexo", "0,20,0,0,0,0", 0, 5);           // fan 20 s
    const int blue = b.add("full_led", "0,0,0,255,4,0", 1, 5);     // blue 1 s
    const int loopEnd = b.add("loop", "1,0,0,0,0,0", 0, 6);
    const int beep = b.add("sound", "5,0,0,0,0,0", 0, 7);          // confirmation sound 3
    const int end = b.add("end", None, 0, 8);
    b.chain({start, measure, loop, wait, warmer, fan, loopEnd, beep, end});
    b.side(warmer, blue);
    b.chain({blue, loopEnd});
    return doc;
}

FlowDocument TwoSubroutines()
{
    FlowDocument doc;
    FlowBuilder main(doc, 0);
    const int start = main.add("start", None, 0, 0);
    const int loop = main.add("loop", "0,3,0,0,0,0", 0, 1);
    const int lights = main.add("routine", "0,1,0,0,0,0", 0, 2);
    const int pause = main.add("timer", "0,2,0,0,0,0", 0, 3);
    const int lamp = main.add("routine", "0,2,0,0,0,0", 0, 4);
    const int loopEnd = main.add("loop", "1,0,0,0,0,0", 0, 5);
    const int again = main.add("routine", "0,1,0,0,0,0", 0, 6);
    const int end = main.add("end", None, 0, 7);
    main.chain({start, loop, lights, pause, lamp, loopEnd, again, end});

    FlowBuilder one(doc, 1); // red, beep, dark
    const int s1 = one.add("start", None, 0, 0);
    const int red = one.add("full_led", "0,255,0,0,4,0", 0, 1);
    const int beep = one.add("sound", "3,0,0,0,0,0", 0, 2);
    const int dark = one.add("full_led", "0,0,0,0,1,0", 0, 3);
    const int e1 = one.add("end", None, 0, 4);
    one.chain({s1, red, beep, dark, e1});

    FlowBuilder two(doc, 2); // backlight and bulb
    const int s2 = two.add("start", None, 0, 0);
    const int clock = two.add("light_led", "0,80,6,0,0,0", 0, 1);
    const int bulb = two.add("vexo", "2,3,0,0,0,0", 0, 2);
    const int e2 = two.add("end", None, 0, 3);
    two.chain({s2, clock, bulb, e2});
    return doc;
}

} // namespace

FlowDocument DemoFlowchart(int number)
{
    switch (number) {
    case 1:
        return LightShow();
    case 2:
        return NightLight();
    case 3:
        return Thermostat();
    case 4:
        return TwoSubroutines();
    default:
        return {};
    }
}

} // namespace koru
