#include "link/replyrouter.h"

#include "model/textutil.h"

namespace koru {

void ReplyRouter::attach(ReplyRole role, ReplyReceiver *receiver)
{
    if (!receiver)
        return;
    detach(receiver);
    m_entries.append({role, receiver});
}

void ReplyRouter::detach(ReplyReceiver *receiver)
{
    m_entries.removeIf([receiver](const Entry &e) { return e.receiver == receiver; });
}

bool ReplyRouter::has(ReplyRole role) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [role](const Entry &e) { return e.role == role; });
}

ReplyReceiver *ReplyRouter::current() const
{
    const Entry *best = nullptr;
    for (const Entry &e : m_entries)
        if (!best || int(e.role) < int(best->role))
            best = &e;
    return best ? best->receiver : nullptr;
}

void ReplyRouter::route(const QString &line) const
{
    ReplyReceiver *receiver = current();
    if (!receiver)
        return;
    if (receiver->collectsReplies())
        receiver->appendReply(line);
    else if (StripSpaces(line) == QLatin1String("FF"))
        receiver->kitReady();
}

void ReplyRouter::kitLost() const
{
    if (ReplyReceiver *receiver = current())
        receiver->kitLost();
}

} // namespace koru
