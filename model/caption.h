// The caption of the editor, viewer and measurement windows: the program's
// name, to which an editor appends the file it loaded or saved.
#pragma once

#include <QString>

namespace koru {

// The program's name: the launcher's and the splash's title, and the title of
// every message box.
inline const QString ProgramName = QStringLiteral("コントロールラジオ制御ソフト");

inline const QString CaptionPrefix = ProgramName + QStringLiteral(" :");

// "コントロールラジオ制御ソフト :" followed by the file's path, if any.
inline QString WindowCaption(const QString &filePath = {})
{
    return CaptionPrefix + filePath;
}

} // namespace koru
