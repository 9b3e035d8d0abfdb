// Hand-over of a pupil's report page to the report composer. An editor
// fills a request (its lines, its report kind, its own window rectangle to
// centre over) and hands it on; the composer installs the handler when it
// exists. Without one the request is simply not shown.
#pragma once

#include <QRect>
#include <QStringList>

#include <functional>

namespace koru {

// Report kinds of the editors.
inline constexpr int RoutineReportKind = 1; // flowchart: the routine pictures
inline constexpr int WordReportKind = 2;    // text: the program's lines
inline constexpr int IconReportKind = 3;    // icons: the report lines
inline constexpr int SoundReportKind = 4;   // melody: the staff picture

struct ReportRequest
{
    QStringList lines; // the composer's line list, replaced by these
    int kind = 0;
    QRect over;        // the caller's window, to centre the report over
};

// The pictures an editor leaves in ReportPictureFolder() (model/paths.h)
// before it asks for its report.
QString RoutinePictureName(int routine); // "Routine0.bmp" ... "Routine4.bmp"
inline const QString SoundPictureName = QStringLiteral("Sound.bmp");

using ReportHandler = std::function<void(const ReportRequest &)>;

// Installs the composer (an empty handler removes it).
void SetReportHandler(ReportHandler handler);
// Hands the request to the composer; false when none is installed.
bool RequestReport(const ReportRequest &request);

} // namespace koru
