#include "measure/linkmeasurekit.h"

namespace koru::measure {

LinkMeasureKit::LinkMeasureKit(DeviceLink &link, QObject *parent) : MeasureKit(parent), m_link(link)
{
    m_pace.setSingleShot(true);
    m_pace.setInterval(PaceMs);
    connect(&m_pace, &QTimer::timeout, this, &LinkMeasureKit::finish);
    ReplyRouter::instance().attach(ReplyRole::Measurement, this);
}

LinkMeasureKit::~LinkMeasureKit()
{
    ReplyRouter::instance().detach(this);
}

bool LinkMeasureKit::request(int value)
{
    if (!m_link.KitPresent())
        return false;
    m_link.StartReceiving();
    // A write the platform refuses is passed over, as every send does: the
    // missing replies tell the measurement.
    m_link.WriteReport(OutputReportFor(value, m_link.OutputReportLength()));
    m_pending = true;
    m_lost = false;
    m_pace.start();
    return true;
}

void LinkMeasureKit::kitLost()
{
    if (!m_pending)
        return;
    m_lost = true;
    m_pace.stop();
    // From the event loop, as always, not inside the link's notice.
    QTimer::singleShot(0, this, &LinkMeasureKit::finish);
}

void LinkMeasureKit::finish()
{
    if (!m_pending)
        return;
    m_pending = false;
    emit requestDone(!m_lost && m_link.KitPresent());
}

} // namespace koru::measure
