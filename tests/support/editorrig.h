// An editor's surroundings as the shell hands them, for window tests: a kit
// (by default a LinkRig: a scripted fake kit on a manual clock, no kit
// plugged in), the transfer window following its link and a sent-data
// viewer. A test on a running koru-kit hands in that link instead. Make the
// rig before the editor and let the editor go first.
#pragma once

#include "editor/ui/editorcontext.h"
#include "link/ui/transferwindow.h"
#include "tests/link/linkrig.h"
#include "widgets/sentdataviewer.h"

#include <memory>

namespace koru::test {

class EditorRig
{
public:
    EditorRig() : m_fake(std::make_unique<LinkRig>()), m_link(m_fake->link.get()) { makeWindows(); }
    explicit EditorRig(DeviceLink &link) : m_link(&link) { makeWindows(); }

    // The fake kit and its clock (only for a rig made without a link).
    LinkRig &kit() const { return *m_fake; }
    // Plugs the fake kit in.
    bool plugKit() const { return m_fake->plugKit(); }

    DeviceLink &link() const { return *m_link; }
    TransferWindow &transferWindow() const { return *m_transferWindow; }
    SentDataViewer &viewer() const { return *m_viewer; }
    EditorContext context() const { return {m_link->context(), m_transferWindow.get(), m_viewer.get()}; }

private:
    void makeWindows()
    {
        m_transferWindow = std::make_unique<TransferWindow>(*m_link);
        m_viewer = std::make_unique<SentDataViewer>();
    }

    std::unique_ptr<LinkRig> m_fake;
    DeviceLink *m_link;
    std::unique_ptr<TransferWindow> m_transferWindow;
    std::unique_ptr<SentDataViewer> m_viewer;
};

} // namespace koru::test
