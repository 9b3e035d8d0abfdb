// Reading and writing icon program files.
#include "icons/iconfile.h"

#include "model/messages.h"
#include "model/paths.h"
#include "model/textutil.h"

namespace koru::icons {

QString SlotLine(const IconSlot &slot)
{
    if (slot.isEmpty())
        return QStringLiteral("-1");
    const QString kind = QString::number(slot.kind);
    switch (FieldsOf(slot.kind)) {
    case IconFields::Colour: {
        const int mode = slot.mode.value_or(0);
        return mode == 0 ? QStringLiteral("%1,0,%2").arg(kind).arg(slot.value.value_or(1))
                         : QStringLiteral("%1,%2,0").arg(kind).arg(mode);
    }
    case IconFields::ModeIsSubKind:
        return QStringLiteral("%1,%2").arg(kind).arg(slot.mode.value_or(0));
    case IconFields::Value:
    case IconFields::BrightnessValue:
    case IconFields::None:
        break;
    }
    if (slot.value)
        return QStringLiteral("%1,%2").arg(kind).arg(*slot.value);
    return kind + QLatin1Char(',');
}

QStringList IconFileLines(const IconProgram &program)
{
    QStringList lines;
    if (program.loopsAreValid()) {
        lines.append(QStringLiteral("OK"));
        lines.append(program.toRecords());
    } else {
        lines.append(QStringLiteral("NG"));
    }
    lines.append(IconSection);
    for (const IconSlot &slot : program.allSlots())
        lines.append(SlotLine(slot));
    return lines;
}

ReadResult ReadIconLines(const QStringList &lines, IconProgram &program)
{
    program.clearAll();
    const qsizetype section = lines.indexOf(IconSection);
    if (section < 0)
        return ReadResult::OtherStep;
    for (int n = 0; n < SlotCount; ++n) {
        const qsizetype at = section + 1 + n;
        if (at >= lines.size())
            return ReadResult::Damaged;
        const QString &line = lines.at(at);
        auto field = [&line](int i) -> std::optional<int> {
            const QString text = FieldOf(line, i, QLatin1Char(','));
            return ToInteger(text);
        };
        const std::optional<int> kind = field(1);
        if (!kind)
            return ReadResult::Damaged;
        std::optional<int> mode;
        std::optional<int> value;
        switch (FieldsOf(*kind)) {
        case IconFields::Colour:
            mode = field(2);
            if (mode == 0)
                value = field(3);
            break;
        case IconFields::ModeIsSubKind:
            mode = field(2);
            break;
        case IconFields::Value:
        case IconFields::BrightnessValue:
            value = field(2);
            break;
        case IconFields::None:
            break;
        }
        if (!program.restore(n, *kind, mode, value))
            return ReadResult::Damaged;
    }
    return ReadResult::Ok;
}

bool IsIconFile(const QStringList &fileLines)
{
    return fileLines.contains(IconSection);
}

FileResult LoadIconFile(const QString &path, IconProgram &program)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines) {
        program.clearAll();
        return {false, LoadFailed};
    }
    switch (ReadIconLines(*lines, program)) {
    case ReadResult::Ok:
        return {true, {}};
    case ReadResult::OtherStep:
        return {false, OtherStepMessage};
    case ReadResult::Damaged:
        break;
    }
    return {false, LoadFailed};
}

QString DemoPath(int number)
{
    return AssetPath(QStringLiteral("Data\\Demo\\dd\\demo%1(アイコン).koru").arg(number));
}

FileResult LoadDemo(int number, IconProgram &program)
{
    return LoadIconFile(DemoPath(number), program);
}

} // namespace koru::icons
