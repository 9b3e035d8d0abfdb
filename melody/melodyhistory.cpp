#include "melody/melodyhistory.h"

#include <utility>

namespace koru {

namespace {

// Everything a file keeps: notes, LED colours and link, speed. The picked
// note and length are the editor's, not the melody's.
bool sameContent(const Melody &a, const Melody &b)
{
    return a.fileLines() == b.fileLines();
}

} // namespace

MelodyHistory::MelodyHistory(const Melody &start)
{
    forget(start);
}

void MelodyHistory::forget(const Melody &now)
{
    m_states.clear();
    m_states.push_back({now, {}});
    m_at = 0;
    m_open = false;
}

bool MelodyHistory::commit(const QString &text, const Melody &now, Join join)
{
    const bool continues = join == Join::Continues && std::exchange(m_open, false);
    m_open = false;
    if (continues) {
        // The opening step is the last one: its end moves; a step that ends
        // where it began is no step.
        State &top = m_states[size_t(m_at)];
        top.melody = now;
        if (sameContent(now, m_states[size_t(m_at) - 1].melody)) {
            m_states.pop_back();
            --m_at;
            return false;
        }
        return true;
    }
    if (sameContent(now, m_states[size_t(m_at)].melody))
        return false;
    m_states.resize(size_t(m_at) + 1); // a new change ends what could be redone
    m_states.push_back({now, text});
    ++m_at;
    if (int(m_states.size()) > Limit + 1) {
        m_states.erase(m_states.begin());
        --m_at;
    }
    m_open = join == Join::Opens;
    return true;
}

void MelodyHistory::restore(Melody &melody) const
{
    const int length = melody.selectedLength();
    melody = m_states[size_t(m_at)].melody;
    melody.setSelectedLength(length);
    melody.setSelected(-1);
}

bool MelodyHistory::undo(Melody &melody)
{
    m_open = false;
    if (!canUndo())
        return false;
    --m_at;
    restore(melody);
    return true;
}

bool MelodyHistory::redo(Melody &melody)
{
    m_open = false;
    if (!canRedo())
        return false;
    ++m_at;
    restore(melody);
    return true;
}

QString MelodyHistory::undoText() const
{
    return canUndo() ? m_states[size_t(m_at)].text : QString();
}

QString MelodyHistory::redoText() const
{
    return canRedo() ? m_states[size_t(m_at) + 1].text : QString();
}

} // namespace koru
