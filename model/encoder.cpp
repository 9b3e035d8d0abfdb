#include "model/encoder.h"

namespace koru {

QStringList ImageTexts(const DeviceImage &) { return {}; }
QString ImageCommaText(const DeviceImage &) { return {}; }
bool ImageHoldsOnlyBytes(const DeviceImage &) { return true; }
QString OpCodeOf(const QString &, const QString &) { return QStringLiteral("220"); }
int OpCodeValueOf(const QString &, const QString &) { return 220; }
int InstructionLength(const QString &, const QString &) { return 3; }
int ColourLevelOf(int) { return 0; }
QString BinaryText(int) { return QStringLiteral("0000 0000"); }
int BinaryValue(const QString &) { return 0; }
QString PackColourWord(const QString &) { return QString(24, QLatin1Char('0')); }
QList<int> ColourWordBytes(const QString &) { return {0, 0, 0}; }
QList<int> EntryAddresses(const QList<EncoderEntry> &entries) { return QList<int>(entries.size(), 0); }
int ProgramLength(const QList<EncoderEntry> &) { return 0; }
DeviceImage EncodeProgram(const QList<EncoderEntry> &, ImageOrder) { return {}; }
DeviceImage EncodeInstruction(const QString &, const QString &, int, int, int, bool) { return {}; }

} // namespace koru
