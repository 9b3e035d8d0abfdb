#include "preview/previewstate.h"

#include "model/decoder.h"
#include "model/opcodes.h"

#include <QSet>

namespace koru::preview {

namespace {

ByteSource SourceOf(const DeviceImage &image)
{
    return [&image](int address) -> std::optional<int> {
        if (address < 0 || address >= image.size() || image[address] < 0 || image[address] > 255)
            return std::nullopt;
        return image[address];
    };
}

} // namespace

QStringList RunStateView::lines() const
{
    QStringList out;
    if (!when.isEmpty())
        out.append(when + QStringLiteral(": ") + what);
    out += values;
    out += loops;
    if (!wait.isEmpty())
        out.append(wait);
    return out;
}

QString RunStateView::html() const
{
    QString out;
    if (!when.isEmpty())
        // "メインルーチン: タイマー 2秒": the place over the instruction.
        out += QStringLiteral("<p><b>%1</b><br>%2</p>")
                   .arg(when.toHtmlEscaped(), what.toHtmlEscaped().replace(QStringLiteral(": "), QStringLiteral("<br>")));
    QStringList rest = values + loops;
    if (!rest.isEmpty()) {
        for (QString &line : rest)
            line = line.toHtmlEscaped();
        out += QStringLiteral("<p>") + rest.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    }
    if (!wait.isEmpty())
        out += QStringLiteral("<p style=\"color:#c0392b\"><b>%1</b></p>").arg(wait.toHtmlEscaped());
    return out;
}

QString WaitSentence(kit::WaitKind kind, int setValue)
{
    switch (kind) {
    case kit::WaitKind::Sound: return QStringLiteral("音が鳴るのを待っています");
    case kit::WaitKind::Switch: return QStringLiteral("押しボタンSWが押されるのを待っています");
    case kit::WaitKind::Bright: return QStringLiteral("明るくなるのを待っています");
    case kit::WaitKind::Dark: return QStringLiteral("暗くなるのを待っています");
    case kit::WaitKind::Temperature: return QStringLiteral("%1℃になるのを待っています").arg(setValue);
    case kit::WaitKind::Humidity: return QStringLiteral("湿度%1%になるのを待っています").arg(setValue);
    case kit::WaitKind::None: break;
    }
    return {};
}

QString InstructionName(const DeviceImage &image, int address)
{
    const DecodedInstruction d = DecodeInstructionFrom(SourceOf(image), address);
    switch (d.firstByte) {
    case -1: return {};
    case opcode::Start: return QStringLiteral("開始");
    case opcode::End: return QStringLiteral("終了");
    case opcode::SubroutineEnd: return QStringLiteral("サブルーチンの終わり");
    default: break;
    }
    return d.keyword;
}

VariablesUsed VariablesOf(const DeviceImage &image)
{
    using namespace opcode;
    VariablesUsed used;
    const ByteSource source = SourceOf(image);
    QList<int> todo{0};
    QSet<int> seen;
    while (!todo.isEmpty()) {
        const int address = todo.takeLast();
        if (seen.contains(address) || seen.size() > image.size())
            continue;
        seen.insert(address);
        const DecodedInstruction d = DecodeInstructionFrom(source, address);
        if (!d.complete())
            continue;
        const int op = d.firstByte;
        used.x = used.x || op == MeasureX || (op >= IfWarmerThanX && op <= IfTemperatureIsX);
        used.y = used.y || op == MeasureY || (op >= IfMoreHumidThanY && op <= IfHumidityIsY);
        todo += d.successors();
    }
    return used;
}

RunStateView ViewOf(const PreviewRun &run, const AddressDescriber &describe)
{
    RunStateView view;
    if (!run.playing())
        return view;
    const kit::Interpreter &kit = run.interpreter();
    const int address = run.address();
    if (address >= 0) {
        QString name = describe ? describe(address) : QString();
        if (name.isEmpty())
            name = InstructionName(run.image(), address);
        if (!name.isEmpty()) {
            view.when = run.held() ? QStringLiteral("つぎに実行") : QStringLiteral("実行中");
            view.what = name;
        }
    }
    const VariablesUsed used = VariablesOf(run.image());
    if (used.x)
        view.values.append(QStringLiteral("x = %1").arg(kit.variableX()));
    if (used.y)
        view.values.append(QStringLiteral("y = %1").arg(kit.variableY()));
    for (const kit::LoopPass &loop : kit.loops())
        view.loops.append(QStringLiteral("くり返し %1回目／%2回").arg(loop.pass()).arg(loop.passes()));
    if (run.state() == PreviewRun::State::Waiting)
        view.wait = WaitSentence(kit.pendingWait(), kit.waitSetValue());
    return view;
}

} // namespace koru::preview
