#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <cmath>
#include <initializer_list>
#include <vector>

namespace pavelora::test {

// Points of a tile's pattern, worked out from its outline: S(i) and E(i) are the start and
// end of outline edge i in board centimetres.
struct PatternProbe {
    double x;
    double y;
    int colour; // pair colour index
};

struct Pt {
    double x;
    double y;
};

inline Pt S(const Tile& t, int i) {
    return {t.outline.edges[static_cast<std::size_t>(i)].x1,
            t.outline.edges[static_cast<std::size_t>(i)].y1};
}
inline Pt E(const Tile& t, int i) {
    return {t.outline.edges[static_cast<std::size_t>(i)].x2,
            t.outline.edges[static_cast<std::size_t>(i)].y2};
}
inline Pt at(Pt a, Pt b) {
    const double c = 0.3090169943749474;
    return {a.x + c * (b.x - a.x), a.y + c * (b.y - a.y)};
}
// A point of a dot: from its centre a tenth of a tile unit towards the tile's position, so
// that it lies inside the tile even for a dot on a corner or an edge.
inline PatternProbe dotProbe(const Tile& t, double ratio, Pt centre, int colour) {
    const double dx = t.x - centre.x;
    const double dy = t.y - centre.y;
    const double d = std::hypot(dx, dy);
    return {centre.x + 0.1 * ratio * dx / d, centre.y + 0.1 * ratio * dy / d, colour};
}
inline PatternProbe centroid(std::initializer_list<Pt> corners, int colour) {
    double x = 0;
    double y = 0;
    for (const Pt& p : corners) {
        x += p.x;
        y += p.y;
    }
    return {x / static_cast<double>(corners.size()), y / static_cast<double>(corners.size()),
            colour};
}
// Points of a circle around `centre` through the tile's position, turned by +-30 degrees
// from that position.
inline std::vector<PatternProbe> arcProbes(const Tile& t, Pt centre, int colour) {
    const double dx = t.x - centre.x;
    const double dy = t.y - centre.y;
    std::vector<PatternProbe> probes;
    for (double angle : {0.5235987755982988, -0.5235987755982988}) {
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        probes.push_back({centre.x + c * dx - s * dy, centre.y + s * dx + c * dy, colour});
    }
    return probes;
}

// Where the pair pattern of each Penrose kind puts which colour.
inline std::vector<PatternProbe> patternProbes(const Tile& t, double ratio) {
    std::vector<PatternProbe> p;
    auto dot = [&](Pt centre, int colour) { p.push_back(dotProbe(t, ratio, centre, colour)); };
    switch (t.kind) {
    case kind::Dart:
    case kind::Kaite:
        // Both circles of darts and kites pass through the tile's reference point: the
        // first is centred on the top corner, the second on the opposite one.
        for (const auto& q : arcProbes(t, S(t, 0), 0)) {
            p.push_back(q);
        }
        for (const auto& q : arcProbes(t, E(t, 1), 1)) {
            p.push_back(q);
        }
        break;
    case kind::WideDiamond:
        p.push_back(centroid({at(E(t, 0), S(t, 0)), E(t, 0), S(t, 3), at(S(t, 3), E(t, 3))}, 1));
        p.push_back(centroid({at(E(t, 1), S(t, 1)), E(t, 1), at(S(t, 2), E(t, 2))}, 0));
        break;
    case kind::NarrowDiamond2: {
        const Pt m{(E(t, 0).x + E(t, 2).x) / 2, (E(t, 0).y + E(t, 2).y) / 2};
        p.push_back(centroid({at(E(t, 0), S(t, 0)), E(t, 0), at(S(t, 1), E(t, 1)), m}, 1));
        p.push_back(centroid({at(E(t, 2), S(t, 2)), E(t, 2), at(S(t, 3), E(t, 3)), m}, 0));
        break;
    }
    case kind::Pentagon1:
        for (int i = 0; i < 5; ++i) {
            dot(at(E(t, i), S(t, i)), 0);
        }
        break;
    case kind::Pentagon2:
        dot(at(E(t, 0), S(t, 0)), 0);
        dot(at(E(t, 1), S(t, 1)), 2);
        dot(at(S(t, 2), E(t, 2)), 0);
        dot(at(E(t, 3), S(t, 3)), 2);
        dot(at(E(t, 4), S(t, 4)), 0);
        break;
    case kind::Pentagon3:
        dot(S(t, 0), 1);
        dot(at(S(t, 1), E(t, 1)), 0);
        dot(at(E(t, 2), S(t, 2)), 3);
        dot(at(S(t, 3), E(t, 3)), 0);
        break;
    case kind::Pentagram3:
        for (int i : {0, 2, 4, 6, 8}) {
            dot(E(t, i), 1);
        }
        break;
    case kind::WanedPentagram:
        dot(E(t, 0), 1);
        dot(at(S(t, 4), E(t, 4)), 2);
        dot(at(S(t, 5), E(t, 5)), 3);
        dot(at(S(t, 6), E(t, 6)), 2);
        dot(E(t, 2), 1);
        break;
    case kind::NarrowDiamond3:
        dot(at(S(t, 0), E(t, 0)), 3);
        dot(at(S(t, 1), E(t, 1)), 2);
        dot(at(S(t, 2), E(t, 2)), 2);
        dot(at(S(t, 3), E(t, 3)), 3);
        break;
    default:
        break;
    }
    return p;
}

} // namespace pavelora::test
