// What a window or command needs to talk to one kit: its link, the router
// that hands that kit's replies to the windows, and the clock the link's
// sends and the commands' waits run on. Whoever owns the link makes it and
// hands it on by constructor; nothing reaches a kit through a global.
#pragma once

namespace koru {

class DeviceLink;
class PaceClock;
class ReplyRouter;

struct KitContext
{
    DeviceLink *link = nullptr;
    ReplyRouter *router = nullptr;
    PaceClock *clock = nullptr;
};

} // namespace koru
