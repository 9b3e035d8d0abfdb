// Viewer codes and texts of the sent-data viewer, and the rows built from a
// listing.
#include "model/viewerrows.h"

#include "model/textutil.h"

#include <array>

namespace koru {

namespace {

// Per instruction family: the first viewer code, and the texts of the
// sub-kinds in order. A sub-kind beyond the list takes the last entry, as
// the family's last variant stands for every other number.
struct ViewerFamily
{
    int kindNumber;
    int firstCode;
    QStringList texts;
};

const QList<ViewerFamily> &families()
{
    static const QList<ViewerFamily> list{
        {2, 100, {QStringLiteral("フルカラーLED点灯"), QStringLiteral("フェードイン"),
                  QStringLiteral("フェードアウト")}},
        {3, 103, {QStringLiteral("バックライト点灯"), QStringLiteral("バックライトリンク開始"),
                  QStringLiteral("バックライトリンク終了")}},
        {4, 106, {QStringLiteral("AM/FM 再生"), QStringLiteral("AM/FM 停止"),
                  QStringLiteral("音プログラム再生"), QStringLiteral("確認音１"),
                  QStringLiteral("確認音２"), QStringLiteral("確認音３")}},
        {5, 112, {QStringLiteral("動作停止")}},
        {6, 113, {QStringLiteral("音入力があるまで停止"), QStringLiteral("SWが押されるまで停止"),
                  QStringLiteral("明るければ停止"), QStringLiteral("暗ければ停止"),
                  QStringLiteral("指定温度になるまで停止"), QStringLiteral("指定湿度になるまで停止")}},
        {7, 119, {QStringLiteral("SW=ON？"), QStringLiteral("SW=OFF？"), QStringLiteral("明るい？"),
                  QStringLiteral("暗い？"), QStringLiteral("指定温度より高い？"),
                  QStringLiteral("指定温度より低い？"), QStringLiteral("指定温度と同じ？"),
                  QStringLiteral("指定温度>変数x？"), QStringLiteral("指定温度<変数x？"),
                  QStringLiteral("指定温度=変数x？"), QStringLiteral("指定湿度より高い？"),
                  QStringLiteral("指定湿度より低い？"), QStringLiteral("指定湿度と同じ？"),
                  QStringLiteral("指定湿度>変数y？"), QStringLiteral("指定湿度<変数y？"),
                  QStringLiteral("指定湿度=変数y？")}},
        {8, 135, {QStringLiteral("繰返開始位置"), QStringLiteral("繰返終了位置")}},
        {9, 137, {QStringLiteral("サブルーチン")}},
        {10, 138, {QStringLiteral("温度を変数xに代入"), QStringLiteral("湿度を変数yに代入")}},
        {11, 140, {QStringLiteral("モーターON"), QStringLiteral("モーターOFF"),
                   QStringLiteral("豆球ON"), QStringLiteral("豆球OFF")}},
        {12, 144, {QStringLiteral("else"), QStringLiteral("else"), QStringLiteral("else"),
                   QStringLiteral("else")}},
    };
    return list;
}

// Endif markers, and every number the viewer does not know, show as endif.
const ViewerFamily &familyOf(int kindNumber)
{
    static const ViewerFamily endif{13, 148, {QStringLiteral("endif"), QStringLiteral("endif"),
                                              QStringLiteral("endif"), QStringLiteral("endif")}};
    for (const ViewerFamily &family : families()) {
        if (family.kindNumber == kindNumber)
            return family;
    }
    return endif;
}

// Index of a sub-kind within its family. The motor and bulb family has no
// catch-all entry: other numbers show as the motor switched on.
int variantIndex(const ViewerFamily &family, int subKind)
{
    const int count = int(family.texts.size());
    if (subKind >= 0 && subKind < count)
        return subKind;
    if (family.kindNumber == 11)
        return 0;
    return count - 1;
}

QString hexGroup(int value)
{
    // Three digits for every byte value; larger or negative numbers (only a
    // damaged file holds them) keep all their digits instead of being cut.
    return QString::number(quint32(value), 16).toUpper().rightJustified(3, QLatin1Char('0'));
}

} // namespace

QStringList ViewerHeader()
{
    return {QStringLiteral("番号"), QStringLiteral("命令内容"), QStringLiteral("送信データ")};
}

int ViewerCodeOf(int kindNumber, int subKind)
{
    const ViewerFamily &family = familyOf(kindNumber);
    return family.firstCode + variantIndex(family, subKind);
}

QString ViewerTextOf(int kindNumber, int subKind)
{
    const ViewerFamily &family = familyOf(kindNumber);
    return family.texts.at(variantIndex(family, subKind));
}

ViewerRow ViewerRowOf(const QString &record, int number)
{
    const int kind = IntegerOr(FieldOf(record, 1, QLatin1Char(',')), 0);
    const int sub = IntegerOr(FieldOf(record, 2, QLatin1Char(',')), 0);
    ViewerRow row;
    row.number = number;
    row.text = ViewerTextOf(kind, sub);
    row.groups.append(hexGroup(ViewerCodeOf(kind, sub)));
    for (int field = 2; field <= 5; ++field)
        row.groups.append(hexGroup(IntegerOr(FieldOf(record, field, QLatin1Char(',')), 0)));
    return row;
}

QList<ViewerRow> ViewerRows(const QStringList &listing)
{
    // Works on a copy's bounds: the caller's listing stays as it was.
    qsizetype first = 0;
    qsizetype last = listing.size();
    if (first < last && listing.at(first) == QLatin1String("START"))
        ++first;
    if (first < last && listing.at(last - 1) == QLatin1String("END"))
        --last;
    QList<ViewerRow> rows;
    for (qsizetype i = first; i < last; ++i)
        rows.append(ViewerRowOf(listing.at(i), int(i - first)));
    return rows;
}

int ViewerGridRowCount(const QStringList &listing)
{
    return int(ViewerRows(listing).size()) + 3;
}

} // namespace koru
