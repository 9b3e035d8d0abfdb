// Every message box, question and file dialog of the program goes through
// this interface. The application installs the Qt implementation
// (widgets/qtdialogservice.h); tests install a scripted one that answers
// from a script and records what was asked, so no test ever blocks.
#pragma once

#include <QString>

namespace koru {

class DialogService
{
public:
    virtual ~DialogService() = default;

    // Warning with an OK button: refusals and failures.
    virtual void warning(const QString &text) = 0;
    // Information with an OK button.
    virtual void information(const QString &text) = 0;
    // Information with Yes and No. True for Yes.
    virtual bool question(const QString &text) = 0;
    // The same with No as the default button: for questions whose Yes
    // destroys the pupil's work (clear, close, read back), so that a pupil
    // who presses Enter keeps it. True for Yes.
    virtual bool destructiveQuestion(const QString &text) = 0;
    // Confirmation with Yes and No before a file is replaced, No the
    // default button. True for Yes.
    virtual bool confirmOverwrite(const QString &text) = 0;

    // File names; the filter is written "説明(*.koru)|*.koru". Empty when cancelled.
    virtual QString openFileName(const QString &filter, const QString &folder = {}) = 0;
    virtual QString saveFileName(const QString &filter, const QString &folder = {},
                                 const QString &proposedName = {}) = 0;

    // The service in use. Without an installed one, a silent service answers
    // No and Cancel to everything (a headless tool never waits on a box).
    static DialogService &instance();
    static void install(DialogService *service); // nullptr restores the silent one
};

// Shortcut for the common case.
inline DialogService &Dialogs() { return DialogService::instance(); }

} // namespace koru
