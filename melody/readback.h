// A melody read back from the kit: the reply lines of a memory request
// (line k = the byte at address k, "XX ") turned into melody file lines.
//
// The melody lives at addresses 128 (LED colour codes) to 254: link flag at
// 141, speed at 142, the note codes from 144 up to the end code FA.
#pragma once

#include <QString>
#include <QStringList>

namespace koru {

// A kit that never received a melody answers FF there: its melody area
// begins with FF.
inline const QString NoMelodyInKitMessage =
    QStringLiteral("本体にメロディが保存されていません。");
// Too few replies (a reply cut short before the end code or the last
// address), or LED colour codes no melody has.
inline const QString MelodyReadBackFailedMessage =
    QStringLiteral("メロディの取得に失敗しました。\r\n本体との接続を確認して、もう一度読み込んで下さい。");

struct MelodyReadBack
{
    QStringList lines; // 177 melody file lines; empty on failure
    QString error;     // the message to show; empty on success
    bool noMelody = false; // the kit holds no melody (error is NoMelodyInKitMessage):
                           // the read-back gives an empty melody

    bool ok() const { return error.isEmpty(); }
};

MelodyReadBack DecodeMelodyReadBack(const QStringList &replyLines);

} // namespace koru
