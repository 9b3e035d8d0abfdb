#include "model/reportrequest.h"

namespace koru {

namespace {
ReportHandler &reportHandler()
{
    static ReportHandler current;
    return current;
}
} // namespace

void SetReportHandler(ReportHandler h)
{
    reportHandler() = std::move(h);
}

QString RoutinePictureName(int routine)
{
    return QStringLiteral("Routine%1.bmp").arg(routine);
}

bool RequestReport(const ReportRequest &request)
{
    if (!reportHandler())
        return false;
    reportHandler()(request);
    return true;
}

} // namespace koru
