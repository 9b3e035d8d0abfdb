// The measurement's kit on the device link. While it exists it is the
// window that takes every reply of the kit (and so the link paces each
// value it sends by an extra second). A request writes its value at once and
// is over one pace later, when the kit has answered; nothing waits meanwhile.
#pragma once

#include "link/devicelink.h"
#include "link/replyrouter.h"
#include "measure/measurekit.h"

#include <QTimer>

namespace koru::measure {

class LinkMeasureKit final : public MeasureKit, public ReplyReceiver
{
    Q_OBJECT
public:
    explicit LinkMeasureKit(DeviceLink &link, QObject *parent = nullptr);
    ~LinkMeasureKit() override;

    bool request(int value) override;

    // What a request takes: the kit's time to answer, as the link paces it.
    static constexpr int PaceMs = DeviceLink::MeasurementPaceMs + DeviceLink::PaceMs;

    // ReplyReceiver
    bool collectsReplies() const override { return true; }
    void appendReply(const QString &line) override { emit reply(line); }
    void kitReady() override {}
    void kitLost() override;

private:
    void finish();

    DeviceLink &m_link;
    QTimer m_pace;
    bool m_pending = false;
    bool m_lost = false;
};

} // namespace koru::measure
