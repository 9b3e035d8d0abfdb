// Undo and redo for the melody editor. The history keeps the document as it
// was after each change (150 steps back), so undoing restores exactly what
// the pupil saw whatever the operation did to positions and slots.
//
// The window calls commit after every change it makes to the document; a
// commit that changes nothing a file would keep (a refused edit, a colour
// set to the colour it had) is no step. Undo and redo hand back the
// document's content: the length picked on the keyboard stays the pupil's,
// and no note stays picked (its slot may no longer hold it).
#pragma once

#include "melody/melody.h"

#include <QString>

#include <vector>

namespace koru {

class MelodyHistory
{
public:
    static constexpr int Limit = 150;

    // How a commit relates to the next one: a read-back empties the
    // document and then fills it, and undoing it must go back over both.
    enum class Join {
        None,
        Opens,     // the next Continues commit folds into this step
        Continues, // folds into the step an Opens commit just made
    };

    explicit MelodyHistory(const Melody &start = Melody());

    // The document after a change, named for the command that made it.
    // False when it holds what it held before (no step).
    bool commit(const QString &text, const Melody &now, Join join = Join::None);

    // Put the document back one step; false with nothing to undo or redo.
    bool undo(Melody &melody);
    bool redo(Melody &melody);

    bool canUndo() const { return m_at > 0; }
    bool canRedo() const { return m_at + 1 < int(m_states.size()); }
    QString undoText() const;
    QString redoText() const;
    int steps() const { return int(m_states.size()) - 1; }

    // Starts over from the document as it is, with no steps.
    void forget(const Melody &now);

private:
    struct State
    {
        Melody melody;
        QString text; // of the step that led here
    };
    void restore(Melody &melody) const;

    std::vector<State> m_states; // m_states[0] has no step before it
    int m_at = 0;                // the state the document is in
    bool m_open = false;         // the last commit opened a step that may be continued
};

} // namespace koru
