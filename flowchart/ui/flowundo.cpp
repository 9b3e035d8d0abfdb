#include "flowchart/ui/flowundo.h"

namespace koru::flow {

SnapshotCommand::SnapshotCommand(const QString &text, FlowDocument before, FlowDocument after, int routine,
                                 RestoreDocument restore, int mergeId)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_routine(routine),
      m_restore(std::move(restore)), m_mergeId(mergeId)
{
}

void SnapshotCommand::undo()
{
    m_restore(m_before, m_routine);
}

void SnapshotCommand::redo()
{
    if (m_applied) {
        m_applied = false; // QUndoStack::push calls redo once: the change is already made
        return;
    }
    m_restore(m_after, m_routine);
}

bool SnapshotCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const SnapshotCommand *>(other);
    if (!next || next->m_mergeId != m_mergeId)
        return false;
    m_after = next->m_after;
    m_routine = next->m_routine;
    return true;
}

} // namespace koru::flow
