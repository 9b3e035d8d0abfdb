// The texts of the boxes that several parts show alike. They live apart
// from the dialog service so that cores, which only return a message for
// the window to show, need not know how boxes are shown.
#pragma once

#include <QString>

namespace koru {

// The message shown before an existing file is replaced.
inline const QString OverwriteQuestion = QStringLiteral("同じ名前のファイルが既にあります。上書きしますか？");
inline const QString SaveFailed = QStringLiteral("ファイルの保存に失敗しました。");
inline const QString LoadFailed = QStringLiteral("ファイルの読み込みに失敗しました。");
inline const QString WrongExtension = QStringLiteral("指定したファイルを開くことが出来ません\r\nファイル名を確認して下さい。");
// A command whose window is not part of this program yet.
inline const QString NotAvailableMessage = QStringLiteral("この機能はまだ使えません。");
inline const QString UnexpectedError = QStringLiteral("エラーが発生しました\r\nソフトを再起動するか再度インストールして下さい");

} // namespace koru
