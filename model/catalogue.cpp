#include "model/catalogue.h"

namespace koru {

const QStringList &ProgramKeywords() { static QStringList k; return k; }
bool IsProgramKeyword(const QString &) { return false; }
QString KindNameOf(const QString &) { return QStringLiteral("vexo"); }
QString KindNumberOf(const QString &) { return QStringLiteral("13"); }
QString KeywordOfKindNumber(int) { return {}; }
int ParameterClassOf(const QString &) { return 11; }
int ParameterCountOf(int, int) { return 0; }
QString KindPictureFile(const QString &) { return QStringLiteral("exp.bmp"); }
QString BlockCaption(const QString &, const QString &) { return {}; }
QStringList OfferedTexts(const QString &) { return {}; }
int SubKindOfOffered(const QString &, int position) { return position; }
int OfferedPositionOf(const QString &, int) { return -1; }
QString OfferedText(const QString &, int) { return {}; }
QString ViewerText(const QString &, int) { return {}; }
QList<ParameterRange> ParameterRangesOf(const QString &, int) { return {}; }
ParameterRange ParameterRangeOf(const QString &, int, int) { return {}; }
int SubKindOf(const QString &) { return 0; }
int ParameterOf(const QString &, int) { return 0; }
QString BuildParameterString(int, const QList<int> &) { return QStringLiteral("0,0,0,0,0,0"); }
QString DefaultParameterString(const QString &, int) { return QStringLiteral("0,0,0,0,0,0"); }
QString ParameterStringFromOffered(const QString &, int, const QList<int> &) { return QStringLiteral("0,0,0,0,0,0"); }
QString QuarterSecondText(int) { return {}; }
const QList<ColourPreset> &ColourPresets() { static QList<ColourPreset> p; return p; }
ColourPreset ColourPresetAt(int) { return {}; }
int ColourPresetIndexOf(int, int, int) { return -1; }
QString ColourNameOf(const QString &) { return QStringLiteral("消灯"); }
int ConditionFamilyOf(int) { return 3; }
QString ConditionFamilyName(int) { return QStringLiteral("Hum"); }
QString CommandRecord(const QString &, const QString &) { return {}; }
QString ElseRecord(int) { return {}; }
QString EndifRecord(int) { return {}; }
QStringList CommandListing(const QStringList &records) { return QStringList{QStringLiteral("START")} + records + QStringList{QStringLiteral("END")}; }

} // namespace koru
