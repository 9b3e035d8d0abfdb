// The caption of the editor, viewer and measurement windows: the program's
// name, to which an editor appends the file it loaded or saved.
#pragma once

#include <QString>

namespace koru {

inline const QString CaptionPrefix = QStringLiteral("コントロールラジオ制御ソフト :");

// "コントロールラジオ制御ソフト :" followed by the file's path, if any.
inline QString WindowCaption(const QString &filePath = {})
{
    return CaptionPrefix + filePath;
}

} // namespace koru
