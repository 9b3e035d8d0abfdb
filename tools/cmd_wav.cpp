// koru-tool wav FILE OUT [--last 10|20]: the preview sound of a melody file
// as the melody editor plays it, written to OUT.
#include "tools/command.h"
#include "tools/programkind.h"

#include "melody/melody.h"
#include "melody/preview.h"
#include "model/messages.h"

#include <QFileInfo>

namespace koru::tool {
namespace {

int RunWav(const QStringList &args);

const KoruCommand wavCommand("wav", "FILE OUT [--last 10|20]",
                             "write the preview sound of a melody file (8-bit mono WAV)", RunWav);

int RunWav(const QStringList &args)
{
    PreviewRange range = PreviewRange::All;
    if (args.size() == 4 && args[2] == QLatin1String("--last")) {
        if (args[3] == QLatin1String("10"))
            range = PreviewRange::Last10;
        else if (args[3] == QLatin1String("20"))
            range = PreviewRange::Last20;
        else
            return usageError(wavCommand);
    } else if (args.size() != 2) {
        return usageError(wavCommand);
    }
    if (args[0].isEmpty() || args[1].isEmpty())
        return usageError(wavCommand);
    const std::optional<QStringList> lines = ReadFileForCommand(wavCommand.name, args[0]);
    if (!lines)
        return Refused;
    if (lines->value(0) != QLatin1String("SOUND"))
        return refuse(QStringLiteral("koru-tool wav: %1: %2").arg(args[0], OtherStepFileMessage));
    Melody melody;
    if (!melody.load(*lines))
        return refuseFile(wavCommand.name, args[0], LoadFailed);
    const QStringList codes = PreviewCodes(melody, range);
    QString why;
    if (!WritePreview(melody, range, args[1], &why))
        return refuse(SavedNothing(args[1], why));
    const qint64 samples = QFileInfo(args[1]).size() - 44;
    out() << args[1] << ": " << codes.size() << " notes and rests, " << samples << " samples, "
          << QString::number(samples / double(PreviewSampleRate), 'f', 2) << " s" << Qt::endl;
    return Success;
}

} // namespace
} // namespace koru::tool
