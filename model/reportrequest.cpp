#include "model/reportrequest.h"

namespace koru {

namespace {
ReportHandler &handler()
{
    static ReportHandler current;
    return current;
}
} // namespace

void SetReportHandler(ReportHandler h)
{
    handler() = std::move(h);
}

QString RoutinePictureName(int routine)
{
    return QStringLiteral("Routine%1.bmp").arg(routine);
}

bool RequestReport(const ReportRequest &request)
{
    if (!handler())
        return false;
    handler()(request);
    return true;
}

} // namespace koru
