// The arrows that an if / else / endif sequence stands for. Shared by the
// import of listings, which draws these arrows, and by the linearisation,
// which only accepts a listing whose arrows are the ones drawn.
#pragma once

#include <QHash>
#include <QList>
#include <optional>

namespace koru {

struct StructureEntry
{
    enum Type { Block, Else, Endif };
    Type type = Block;
    int id = -1;       // Block: caller's id of the block
    bool isIf = false; // Block: an if, which opens a yes-path
};

struct StructureLinks
{
    int next = -1;   // the block that follows; -1 after the last block
    int branch = -1; // if blocks: first block of the no-path (or the merge block)
};

// Successors of every block of a sequence: consecutive blocks of one path
// follow each other; an if leads to the first block of its yes-path and, by
// its side arrow, to the first block of its no-path, each falling back to the
// block after its endif when the path is empty; the last block of either
// path leads to the block after the endif, or further out when the endif
// itself ends a path of an enclosing if. nullopt when the markers do not
// pair with the ifs (an else or endif outside any if, an if without its
// else or endif, a second else).
std::optional<QHash<int, StructureLinks>> StructuredLinks(const QList<StructureEntry> &entries);

} // namespace koru
