// The check a pupil sees while typing in STEP3: the first failure of the
// checks F6 makes, with its line, as one line of text for the status line
// under the editor. The modal message stays F6's; this one only informs.
#pragma once

#include "text/textlanguage.h"

#include <QString>
#include <QStringList>

namespace koru {

struct LiveFinding
{
    int line = -1;   // from 0; -1 when the whole program is to blame
    QString message; // one line; empty when the program would be sent
    bool ok() const { return message.isEmpty(); }
};

// Nothing to say of a program with no statement yet: a pupil who has just
// emptied the editor is not told off.
LiveFinding CheckAsTyped(const TextLanguage &language, const QStringList &programText);

// "3行目: " and the message, or the message alone without a line.
QString LiveFindingText(const LiveFinding &finding);

} // namespace koru
