// The dialog service shown to the pupil: modal Qt message boxes and file
// dialogs, with "\r\n" in texts shown as line breaks.
#pragma once

#include "model/dialogservice.h"

namespace koru {

class QtDialogService final : public DialogService
{
public:
    void warning(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    bool destructiveQuestion(const QString &text) override;
    bool confirmOverwrite(const QString &text) override;
    QString openFileName(const QString &filter, const QString &folder) override;
    QString saveFileName(const QString &filter, const QString &folder,
                         const QString &proposedName) override;

    // "KORUファイル(*.koru)|*.koru" becomes "KORUファイル (*.koru)".
    static QString qtFilter(const QString &filter);
};

} // namespace koru
