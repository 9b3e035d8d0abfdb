// Saving a composed report page where the pupil chooses: the page in
// Shift-JIS with CR LF, and for the flowchart and melody reports the
// pictures in a folder beside it (base name + "Img"), which the page's
// picture sources then point into. Qt Core only; the window asks for the
// name and the overwrite question.
#pragma once

#include <QString>

namespace koru::report {

inline const QString ReportFileFilter = QStringLiteral("レポートファイル(*.html)|*.html");

// ".html" appended unless the name ends in ".html" or ".htm" (any case).
QString WithReportExtension(const QString &fileName);

// The folder of pictures that goes with a saved page ("課題Img" for
// ".../課題.html").
QString PictureFolderFor(const QString &pagePath);

// Saves the page at `printPage` (written by WritePrintPage) as `target`,
// with the pictures of `pictureFolder` for kinds 1 and 4 and copies of the
// icon pictures for kind 3, all in the folder beside it. The pictures the
// page shows replace those of an earlier save under the same name, and
// report pictures it no longer shows are removed from that folder; other
// files there are left alone. The page is written last and atomically, so a
// failure leaves an earlier page as it was. Returns the message to show, or
// an empty text.
QString SaveReportPage(const QString &printPage, const QString &pictureFolder, int kind,
                       const QString &target);

// The name a save dialog offers for the pupil's name: characters that cut
// a path or a name apart (/ \ : * ? " < > | and control characters) become
// "_", blanks and dots at either end go, at most 100 characters;
// "レポート" when nothing is left.
QString SafeReportFileName(const QString &pupilName);

// Where the report's save dialogs remember their folder.
inline const QString ReportFolderKey = QStringLiteral("report");

} // namespace koru::report
