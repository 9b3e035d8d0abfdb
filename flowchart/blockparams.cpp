#include "flowchart/blockparams.h"

#include "model/catalogue.h"

namespace koru {

namespace {

QString Prefix(const QString &kind, int subKind, int index)
{
    if (kind == QLatin1String("full_led")) {
        static const QStringList colour{QStringLiteral("Red  : "), QStringLiteral("Green: "),
                                        QStringLiteral("Blue : "), QStringLiteral("点灯時間（秒）：")};
        return colour.value(index);
    }
    if (kind == QLatin1String("light_led"))
        return index == 0 ? QStringLiteral("明るさ（％）　：") : QStringLiteral("点灯時間（秒）：");
    if (kind == QLatin1String("timer"))
        return QStringLiteral("待機時間（秒）：");
    if (kind == QLatin1String("loop"))
        return QStringLiteral("繰り返し回数　：");
    if (kind == QLatin1String("routine"))
        return QStringLiteral("サブルーチン名：");
    if (kind == QLatin1String("vexo"))
        return QStringLiteral("動作時間（秒）：");
    const bool humidity = (kind == QLatin1String("wait") && subKind == 5)
                          || (kind == QLatin1String("if") && subKind >= 10);
    return humidity ? QStringLiteral("設定湿度(％)　：") : QStringLiteral("設定温度(度)　：");
}

bool IsTemperatureOrHumidity(const QString &kind)
{
    return kind == QLatin1String("wait") || kind == QLatin1String("if");
}

// The caption a slider shows when a form opens with the value.
QString OpeningCaption(ParameterPlace place, const QString &kind, const SliderSetup &s)
{
    if (s.colour)
        return s.prefix + QString::number(s.value);
    if (s.quarterSeconds) {
        const QString blank = place == ParameterPlace::Window && kind == QLatin1String("full_led")
                                  ? QStringLiteral(" ")
                                  : QString();
        return s.prefix + blank + QuarterSecondText(s.value) + QStringLiteral("秒");
    }
    if (IsTemperatureOrHumidity(kind)) {
        // "設定温度(度)　： 25度" in the window, "設定温度(度)　： 25" in the panel.
        const bool humidity = s.prefix.startsWith(QStringLiteral("設定湿度"));
        const QString unit = place == ParameterPlace::Window ? (humidity ? QStringLiteral("％") : QStringLiteral("度"))
                                                             : QString();
        return s.prefix + QStringLiteral(" ") + QString::number(s.value) + unit;
    }
    if (place == ParameterPlace::Window && kind == QLatin1String("light_led"))
        return s.prefix + QString::number(s.value) + QStringLiteral("％");
    return s.prefix + QString::number(s.value);
}

ParameterForm Form(ParameterPlace place, const QString &kind, int item, const QList<int> &stored, bool useStored)
{
    ParameterForm form;
    form.kind = kind;
    form.items = SubKindItems(kind, place);
    form.item = form.items.isEmpty() ? 0 : qBound(0, item, int(form.items.size() - 1));
    form.colourControls = kind == QLatin1String("full_led");
    const int subKind = SubKindOfOffered(kind, form.item);
    const QList<ParameterRange> ranges = ParameterRangesOf(kind, subKind);
    for (int i = 0; i < ParameterSliderCount && i < ranges.size(); ++i) {
        const ParameterRange &range = ranges.at(i);
        SliderSetup &s = form.sliders[size_t(i)];
        s.visible = !range.isFixed();
        s.min = range.min;
        s.max = range.max;
        s.value = range.isFixed() || !useStored ? range.defaultValue : qBound(range.min, stored.value(i), range.max);
        s.quarterSeconds = range.unit == ParameterUnit::QuarterSecond;
        s.colour = range.unit == ParameterUnit::ColourValue;
        s.thumb = !s.colour ? SliderThumb::Fuchsia : i == 0 ? SliderThumb::Red : i == 1 ? SliderThumb::Green
                                                                                         : SliderThumb::Blue;
        s.prefix = Prefix(kind, subKind, i);
        s.caption = OpeningCaption(place, kind, s);
    }
    return form;
}

} // namespace

QStringList SubKindItems(const QString &kind, ParameterPlace place)
{
    QStringList items = OfferedTexts(kind);
    if (kind == QLatin1String("if") && place == ParameterPlace::Panel && items.size() > 3) {
        items[2] = QStringLiteral("明るければ");
        items[3] = QStringLiteral("暗ければ");
    }
    return items;
}

ParameterForm DefaultForm(const QString &kind, int item)
{
    return Form(ParameterPlace::Window, kind, item, {}, false);
}

ParameterForm StoredForm(const QString &kind, const QString &params, int item)
{
    if (item < 0)
        item = qMax(0, OfferedPositionOf(kind, SubKindOf(params)));
    QList<int> stored;
    for (int i = 1; i <= ParameterSliderCount; ++i)
        stored << ParameterOf(params, i);
    return Form(ParameterPlace::Panel, kind, item, stored, true);
}

QString SliderCaption(ParameterPlace place, const SliderSetup &s, int value)
{
    const QString blank = place == ParameterPlace::Window ? QStringLiteral(" ") : QString();
    if (s.colour)
        return s.prefix + QString::number(value);
    if (s.quarterSeconds)
        return s.prefix + blank + QuarterSecondText(value) + QStringLiteral("秒");
    return s.prefix + blank + QString::number(value);
}

QString ComposeParams(const ParameterForm &form)
{
    QList<int> values;
    for (const SliderSetup &s : form.sliders)
        values << s.value;
    return ParameterStringFromOffered(form.kind, form.item, values);
}

} // namespace koru
