#include "text/livecheck.h"

#include <algorithm>

namespace koru {

LiveFinding CheckAsTyped(const TextLanguage &language, const QStringList &programText)
{
    const bool anyStatement = std::any_of(programText.begin(), programText.end(), [](const QString &line) {
        return !TextLanguage::normalise(line).isEmpty();
    });
    if (!anyStatement)
        return {};
    const Sendable sendable = SendableImage(language, programText);
    if (sendable.message.isEmpty())
        return {};
    // The messages are written for a message box, over several lines.
    QString message = sendable.message;
    message.replace(QLatin1String("\r\n"), QStringLiteral("　")).replace(QLatin1Char('\n'), QStringLiteral("　"));
    return {sendable.element, message.trimmed()};
}

QString LiveFindingText(const LiveFinding &finding)
{
    if (finding.ok() || finding.line < 0)
        return finding.message;
    return QStringLiteral("%1行目: %2").arg(finding.line + 1).arg(finding.message);
}

} // namespace koru
