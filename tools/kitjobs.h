// The --all form of the kit commands: the same job for every kit connected,
// all at once. Each kit gets a link and a clock of its own, so a transfer to
// eight kits takes the time of one; the kits are those connected when the
// command starts (one plugged in meanwhile is left alone), and one that goes
// away fails alone while the others go on. The command's event loop runs
// until every kit's job has ended.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace koru::tool {

// What each kit is asked to do, in this order: take a transfer and answer
// FF; hold what was sent; start or stop its program; finish it.
struct KitJobPlan
{
    QList<int> transfer;  // a frame (its start value, the codes, 250); empty: none
    bool verify = false;  // after the transfer: read the memory back and compare
    int request = 0;      // kit::Run, kit::Play or kit::Stop; 0: none
    int readyWaitMs = -1; // after the request: wait this long for FF; -1: don't
};

// Whether --all stands among args; it is taken out of them.
bool TakeAllFlag(QStringList &args);

// Runs plan on every kit the session's link sees now and prints one line
// per kit (its ID, then OK or the reason) and a summary line. Success only
// when every kit did all of it; Refused without any kit; UsageError when the
// run names one kit (--kit) as well.
int RunOnEveryKit(const char *command, const KitJobPlan &plan);

// Where the kit keeps a frame that starts with frameStart.
int MemoryAreaStart(int frameStart);
// Empty when the kit's memory (reply lines by address) holds frame's values
// after its start value from areaStart on, else why not, naming the first
// address that differs.
QString HeldDifference(const QStringList &memory, const QList<int> &frame, int areaStart);

} // namespace koru::tool
