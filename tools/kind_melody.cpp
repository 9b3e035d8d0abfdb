// Melody files for koru-tool's file commands: the image is the melody's
// device list (LED colours, link, speed, 0, one code per note), framed by
// 242 when sent. Melodies have no instruction listing. `readback --melody`
// rebuilds a melody file from the kit's memory.
#include "tools/programkind.h"
#include "tools/readbackkind.h"

#include "melody/melody.h"
#include "melody/readback.h"
#include "model/messages.h"

namespace koru::tool {
namespace {

KindResult MelodyImage(const QStringList &fileLines)
{
    Melody melody;
    if (!melody.load(fileLines))
        return KindResult::refused(LoadFailed);
    return KindImage(SendableImage(melody));
}

// The melody file the editor would save after reading the melody back.
KindResult MelodyFromMemory(const QStringList &replyLines)
{
    const MelodyReadBack decoded = DecodeMelodyReadBack(replyLines);
    if (decoded.noMelody)
        return {Melody().fileLines(), {}, decoded.error};
    if (!decoded.ok())
        return KindResult::refused(decoded.error);
    Melody melody;
    if (!melody.load(decoded.lines))
        return KindResult::refused(MelodyReadBackFailedMessage);
    return {melody.fileLines(), {}};
}

const ProgramKind melodyKind("melody", IsMelodyFile, MelodyImage, nullptr, 242);
const ReadBackKind melodyReadBack("--melody", MelodyFromMemory);

} // namespace
} // namespace koru::tool
