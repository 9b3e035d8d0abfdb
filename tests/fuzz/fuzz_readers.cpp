// libFuzzer entry: the readers of everything a pupil or a kit hands the
// program. The first byte chooses the reader, the rest is the input.
// Besides "no crash, no hang, nothing read out of range" (the sanitizers),
// every reader is held to one property: whatever it opened and the program
// then saved with success opens again to the same document, saved the same.
#include "flowchart/flowfile.h"
#include "icons/iconfile.h"
#include "kitprotocol/virtualkitprotocol.h"
#include "melody/melody.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "text/keywordtable.h"
#include "text/textfile.h"
#include "text/textlanguage.h"

#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

using namespace koru;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "reader fuzz: %s\n", what);
        std::abort();
    }
}

// Saves lines as a file would hold them and reads them back; nullopt when
// the lines cannot be written (then nothing was saved, which is allowed).
std::optional<QStringList> SavedAndRead(const QStringList &lines)
{
    const std::optional<QByteArray> bytes = EncodeProgramText(lines);
    if (!bytes)
        return std::nullopt;
    const std::optional<QStringList> again = DecodeProgramText(*bytes);
    check(again.has_value(), "a saved file cannot be read");
    return again;
}

// open: reads lines into a document and returns the lines the program would
// save for it, or nullopt when the reader refuses them.
template<typename Open>
void RoundTrip(const QStringList &input, Open open)
{
    std::optional<QStringList> first = open(input);
    if (!first)
        return;
    const std::optional<QStringList> stored = SavedAndRead(*first);
    if (!stored)
        return;
    const std::optional<QStringList> second = open(*stored);
    check(second.has_value(), "a saved file does not open again");
    check(*second == *stored, "a saved file opens to another document");
}

const TextLanguage &Language()
{
    static const TextLanguage language = [] {
        const std::optional<QStringList> lines = ReadProgramLines(ShippedKeywordFilePath());
        check(lines.has_value(), "no keyword file beside the fuzzer");
        const std::optional<KeywordTable> table = KeywordTable::fromLines(*lines);
        check(table.has_value(), "the shipped keyword file does not read");
        return TextLanguage(*table);
    }();
    return language;
}

} // namespace

// The shipped data (the keyword file) lies beside the fuzzer; there is no
// QCoreApplication to say where that is.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (*argc > 0)
        SetAssetRoot(QFileInfo(QString::fromLocal8Bit((*argv)[0])).absolutePath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const int reader = data[0] % 6;

    if (reader == 5) { // the virtual kit's socket messages, in pieces
        virtualkit::MessageReader messages;
        for (qsizetype at = 0; at < bytes.size(); at += 7) {
            messages.append(bytes.mid(at, 7));
            while (const std::optional<virtualkit::Message> message = messages.next()) {
                check(message->payload.size() <= virtualkit::MaxPayload, "an oversized message was taken");
                if (message->type == virtualkit::Hello) {
                    if (const auto hello = virtualkit::DecodeHello(message->payload))
                        check(virtualkit::DecodeHello(virtualkit::EncodeHello(*hello).mid(virtualkit::HeaderSize))
                                  .has_value(),
                              "a hello that was read cannot be written");
                }
            }
        }
        return 0;
    }

    const std::optional<QStringList> lines = DecodeProgramText(bytes);
    if (!lines)
        return 0;
    switch (reader) {
    case 0: // the Shift-JIS CR LF lines themselves
        RoundTrip(*lines, [](const QStringList &l) { return std::optional<QStringList>(l); });
        break;
    case 1:
        RoundTrip(*lines, [](const QStringList &l) -> std::optional<QStringList> {
            icons::IconProgram program;
            if (icons::ReadIconLines(l, program) != icons::ReadResult::Ok)
                return std::nullopt;
            return icons::IconFileLines(program);
        });
        break;
    case 2:
        RoundTrip(*lines, [](const QStringList &l) -> std::optional<QStringList> {
            Melody melody;
            if (l.value(0) != QLatin1String("SOUND") || !melody.load(l))
                return std::nullopt;
            return melody.fileLines();
        });
        break;
    case 3:
        RoundTrip(*lines, [](const QStringList &l) -> std::optional<QStringList> {
            FlowDocument document;
            if (!LoadFlowLines(document, l).ok())
                return std::nullopt;
            return FlowFileLines(document);
        });
        break;
    default:
        RoundTrip(*lines, [](const QStringList &l) -> std::optional<QStringList> {
            const std::optional<QStringList> text = ProgramTextOfFile(l, Language());
            if (!text)
                return std::nullopt;
            return TextProgramFileLines(*text, Language());
        });
        break;
    }
    return 0;
}
