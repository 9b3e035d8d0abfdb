// One kit as the program's parts reach it: the link to it, the router its
// replies go through, and the clock that paces it. Handed by constructor.
#pragma once

namespace koru {

class DeviceLink;
class ReplyRouter;
class PaceClock;

struct KitContext
{
    DeviceLink *link = nullptr;
    ReplyRouter *router = nullptr;
    PaceClock *clock = nullptr;
};

} // namespace koru
