// Where the kit's replies go: to the one open window that wants them. Each
// DeviceLink owns its router, so the replies of one kit reach only the
// windows attached to that kit's link. The measurement window and the
// editors implement ReplyReceiver and attach themselves while they exist;
// the link only knows this interface.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace koru {

// Windows that take replies, in order of precedence when several exist
// (the launcher shows one at a time). While a Measurement receiver is
// attached, the link waits an extra second after every value it writes, so
// the kit's measurement replies are in before the next request.
enum class ReplyRole { Measurement, Icon, Flowchart, Text, Melody };

class ReplyReceiver
{
public:
    virtual ~ReplyReceiver() = default;

    // True while the window keeps every reply as it is: always for the
    // measurement window, during a read-back for the flowchart and melody
    // editors.
    virtual bool collectsReplies() const = 0;
    // One reply line, unchanged ("FF ", "1A "...), while collecting.
    virtual void appendReply(const QString &line) = 0;
    // The kit answered FF while not collecting: enable transfer and run
    // again, hide the playing panel.
    virtual void kitReady() = 0;
    // The kit went away. A window that waits for FF will never get it.
    virtual void kitLost() {}
};

// A QObject only so that a receiver can tell when the router (its link) has
// gone before it.
class ReplyRouter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    void attach(ReplyRole role, ReplyReceiver *receiver);
    void detach(ReplyReceiver *receiver);

    bool has(ReplyRole role) const;
    // The window a reply goes to, or nullptr.
    ReplyReceiver *current() const;

    // Hands one reply line to the current window: appended while it
    // collects, otherwise "FF" (blanks removed) makes it ready; anything
    // else, and any reply without a window, is dropped.
    void route(const QString &line) const;
    void kitLost() const;

private:
    struct Entry
    {
        ReplyRole role;
        ReplyReceiver *receiver;
    };
    QList<Entry> m_entries;
};

// Attaches a receiver to a router for as long as this object lives (or the
// router does).
class ReplyAttachment
{
public:
    ReplyAttachment(ReplyRouter &router, ReplyRole role, ReplyReceiver *receiver)
        : m_router(&router), m_receiver(receiver)
    {
        router.attach(role, receiver);
    }
    ~ReplyAttachment()
    {
        if (m_router)
            m_router->detach(m_receiver);
    }
    ReplyAttachment(const ReplyAttachment &) = delete;
    ReplyAttachment &operator=(const ReplyAttachment &) = delete;

private:
    QPointer<ReplyRouter> m_router;
    ReplyReceiver *m_receiver;
};

} // namespace koru
