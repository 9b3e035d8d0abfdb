// How much of what the kit can hold a program uses, for the line under an
// editor ("命令 12/30　バイト 48/120"): each part with its limit, and how
// close the tightest part is to it.
#pragma once

#include <QList>
#include <QString>

namespace koru {

struct BudgetPart
{
    QString name; // "命令", "バイト", "音符"
    int used = 0;
    int limit = 0;
};

enum class BudgetLevel {
    Room, // plenty left
    Near, // a part at 80 % of its limit or more
    Full, // a part at or over its limit
};

inline BudgetLevel LevelOf(const QList<BudgetPart> &parts)
{
    BudgetLevel level = BudgetLevel::Room;
    for (const BudgetPart &part : parts) {
        if (part.limit <= 0)
            continue;
        if (part.used >= part.limit)
            return BudgetLevel::Full;
        if (part.used * 5 >= part.limit * 4)
            level = BudgetLevel::Near;
    }
    return level;
}

// The parts' names in the line.
inline const QString InstructionBudget = QStringLiteral("命令");
inline const QString ByteBudget = QStringLiteral("バイト");

inline QString BudgetText(const QList<BudgetPart> &parts)
{
    QStringList texts;
    for (const BudgetPart &part : parts)
        texts << QStringLiteral("%1 %2/%3").arg(part.name).arg(part.used).arg(part.limit);
    return texts.join(QStringLiteral("　"));
}

} // namespace koru
