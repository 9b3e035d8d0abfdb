// The measurement's kit on a device link. While it exists it is the window
// that takes every reply of that link's kit (and so the link paces each
// value it sends by an extra second). A request goes to the link, which
// sends it in its turn; its end is the link's requestFinished for it.
#pragma once

#include "link/devicelink.h"
#include "link/replyrouter.h"
#include "measure/measurekit.h"

#include <QPointer>

#include <deque>

namespace koru::measure {

class LinkMeasureKit final : public MeasureKit, public ReplyReceiver
{
    Q_OBJECT
public:
    explicit LinkMeasureKit(DeviceLink &link, QObject *parent = nullptr);
    ~LinkMeasureKit() override;

    bool request(int value) override;

    // ReplyReceiver
    bool collectsReplies() const override { return true; }
    void appendReply(const QString &line) override { emit reply(line); }
    void kitReady() override {}

private:
    void onRequestFinished(int value, bool completed);

    DeviceLink &m_link;
    QPointer<ReplyRouter> m_router;
    std::deque<int> m_asked; // the values asked for and not yet over, in order
};

} // namespace koru::measure
