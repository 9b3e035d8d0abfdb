// The pupil's report page: an HTML template filled with the pupil's inputs
// and the program an editor handed over (routine pictures, program text,
// icon list or staff picture). Qt Core only; the window shows the result.
//
// Everything that goes into the page from outside the template (the pupil's
// texts, program lines, icon entries, file names) is HTML-escaped, so a
// pupil's "<b>" reads as typed and nothing typed can break or script the page.
#pragma once

#include "model/paths.h"         // ReportPictureFolder
#include "model/reportrequest.h" // the picture names

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace koru::report {

// What the pupil typed on the input page.
struct ReportInputs
{
    QString grade;       // "年"
    QString className;   // "組"
    QString number;      // "番"
    QString name;        // "名前"
    QString title;       // "■タイトル"
    QString idea;        // "■構想"
    QString workings; // "■仕様": how the program works
    QString ingenuity;   // "■工夫点"
    QString impressions; // "■感想"

    // Grade, class, number and name are all filled in.
    bool complete() const;
};

inline const QString MissingFieldsMessage = QStringLiteral("学年、組、名前を正しく入力して下さい。");

// Where the program content of a page comes from.
struct ReportSources
{
    QString pictureFolder; // the routine and staff pictures ("Report/Img" in the work folder)
    QString iconFolder;    // the icon pictures ("Img/Icon/DD" beside the program)
};

struct ComposedPage
{
    QStringList lines;
    QString error; // empty when the page was composed
    bool ok() const { return error.isEmpty(); }
};

// Fills template lines for a report kind. `content` is the editor's line
// list (program text for kind 2, "name,description" entries for kind 3).
ComposedPage ComposePage(const QStringList &templateLines, const ReportInputs &inputs, int kind,
                         const QStringList &content, const ReportSources &sources);

// The template of a kind, as the program data names it ("Data\Report\...").
// Empty for an unknown kind.
QString TemplateName(int kind);

// Reads a template (UTF-8, or Shift-JIS when it is not UTF-8) as lines.
std::optional<QStringList> ReadTemplate(const QString &path);

// Reads the kind's template from the program folder, composes the page and
// writes it as "Report/print.html" in the work folder (replacing the earlier
// page only when the whole new one could be written). Returns the page's
// path, or the message to show (PageTooLargeMessage for a page over
// MaxReportPageBytes, which nothing could read back).
struct PrintPageResult
{
    QString path;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
PrintPageResult WritePrintPage(const ReportInputs &inputs, int kind, const QStringList &content);

// A page is far larger than a program file may be once a pupil pastes a
// long text; pages up to this size are written and read back.
inline constexpr qint64 MaxReportPageBytes = 16 * 1024 * 1024;
inline const QString PageTooLargeMessage =
    QStringLiteral("レポートが大きすぎるため作成出来ません。\r\n入力した文章を短くして下さい。");

// Reads a page written by WritePrintPage or saved from it (Shift-JIS, at
// most MaxReportPageBytes); nullopt when it is missing, too large or not text.
std::optional<QStringList> ReadReportPage(const QString &path);

// The page in the work folder, and where its pictures come from.
QString PrintPagePath();
ReportSources DefaultSources();

inline constexpr int RoutineCount = 5;

// ---- pieces of a page, exposed for the tests and the saving ----

// &, <, > and " written as entities.
QString EscapeHtml(const QString &text);
// The size of a Windows bitmap from its header; nullopt when the file is
// missing, not a bitmap or of an impossible size.
std::optional<QSize> BitmapSize(const QString &path);
// The size a picture is shown at on the page of a kind (1 or 4).
QSize ShownSize(int kind, const QSize &picture);
// <img src="..." width="..." height="..."> with src already a URL.
QString ImageTag(const QString &source, const QSize &size);
// Characters that Shift-JIS cannot hold written as numeric character
// references, so that a page can always be stored in Shift-JIS.
QString ShiftJisSafe(const QString &line);

// Messages.
QString TemplateMissingMessage(const QString &templateName);
QString PictureUnreadableMessage(const QString &pictureName);

} // namespace koru::report
