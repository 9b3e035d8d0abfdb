// Undo for the flowchart editor: every change of the document is one step
// holding the document before and after it (150 small slots), so undoing
// can never disagree with what the edit did, whatever rule made it. The
// window owns the QUndoStack beside its document and restores through a
// callback that also shows the routine the change was made in.
#pragma once

#include "flowchart/flowdocument.h"

#include <QUndoCommand>

#include <functional>

namespace koru::flow {

using RestoreDocument = std::function<void(const FlowDocument &document, int routine)>;

class SnapshotCommand : public QUndoCommand
{
public:
    // Steps with the same non-negative mergeId follow each other as one
    // (the emptying and the filling of a read-back).
    SnapshotCommand(const QString &text, FlowDocument before, FlowDocument after, int routine,
                    RestoreDocument restore, int mergeId = -1);

    void undo() override;
    void redo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    FlowDocument m_before;
    FlowDocument m_after;
    int m_routine;
    RestoreDocument m_restore;
    int m_mergeId;
    bool m_applied = true; // pushed after the change was made
};

} // namespace koru::flow
