#include "model/keynavigation.h"

#include <cstdlib>
#include <limits>

namespace koru {

int NearestInDirection(const QList<QRect> &places, int from, KeyDirection direction)
{
    if (from < 0 || from >= places.size())
        return -1;
    // Twice the centres, so that odd sizes stay exact.
    const auto centre = [](const QRect &r) { return QPoint(2 * r.left() + r.width(), 2 * r.top() + r.height()); };
    const QPoint origin = centre(places.at(from));
    int best = -1;
    long long bestScore = std::numeric_limits<long long>::max();
    for (int i = 0; i < places.size(); ++i) {
        if (i == from)
            continue;
        const QPoint d = centre(places.at(i)) - origin;
        int ahead = 0;
        int aside = 0;
        switch (direction) {
        case KeyDirection::Left: ahead = -d.x(); aside = d.y(); break;
        case KeyDirection::Right: ahead = d.x(); aside = d.y(); break;
        case KeyDirection::Up: ahead = -d.y(); aside = d.x(); break;
        case KeyDirection::Down: ahead = d.y(); aside = d.x(); break;
        }
        if (ahead <= 0)
            continue;
        const long long score = ahead + 2LL * std::abs(aside);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

} // namespace koru
