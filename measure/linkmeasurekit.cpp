#include "measure/linkmeasurekit.h"

#include "measure/measuresession.h"

namespace koru::measure {

LinkMeasureKit::LinkMeasureKit(DeviceLink &link, QObject *parent)
    : MeasureKit(parent), m_link(link), m_router(&link.router())
{
    connect(&m_link, &DeviceLink::requestFinished, this, &LinkMeasureKit::onRequestFinished);
    m_router->attach(ReplyRole::Measurement, this);
}

LinkMeasureKit::~LinkMeasureKit()
{
    if (m_router)
        m_router->detach(this);
}

bool LinkMeasureKit::request(int value)
{
    m_asked.push_back(value); // before asking: the link may answer at once
    bool sent = false;
    switch (value) {
    case request::Measure:
        sent = m_link.RequestMeasurement();
        break;
    case request::Cooling:
        sent = m_link.RequestMeasureOutput(1);
        break;
    case request::Heating:
        sent = m_link.RequestMeasureOutput(2);
        break;
    case request::Off:
        sent = m_link.RequestMeasureOutput(3);
        break;
    case kit::SendMemory:
        sent = m_link.RequestMemory();
        break;
    default:
        break;
    }
    if (!sent)
        m_asked.pop_back();
    return sent;
}

// The link answers every request in the order asked, other windows' too:
// only those asked here count.
void LinkMeasureKit::onRequestFinished(int value, bool completed)
{
    if (m_asked.empty() || m_asked.front() != value)
        return;
    m_asked.pop_front();
    emit requestDone(completed);
}

} // namespace koru::measure
