// Patches of the pentagon set grown edge by edge under its codes, in exact lattice points.
#include "core/tiling/shapetable.h"
#include "core/tiling/substitution.h"

#include <queue>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace pavelora {

namespace {

constexpr double kEps = 1e-7;

struct Grown {
    std::int32_t kind;
    std::int32_t rotation;
    LatticePoint corner;
    const ShapeTable::Shape* shape;
    std::vector<LatticePoint> corners;
    std::vector<double> xs;
    std::vector<double> ys;
    double x;
    double y;
};

Grown makeGrown(std::int32_t kind, std::int32_t rotation, const LatticePoint& corner,
                const ShapeTable::Shape* shape, const LatticeFrame& frame) {
    Grown g{kind, rotation, corner, shape, {}, {}, {}, 0.0, 0.0};
    LatticePoint p = corner;
    for (const LatticePoint& e : shape->edges) {
        g.corners.push_back(p);
        g.xs.push_back(frame.x(p));
        g.ys.push_back(frame.y(p));
        p = p + e;
    }
    g.x = g.xs[0] - shape->firstX;
    g.y = g.ys[0] - shape->firstY;
    return g;
}

// The squared distance from (px, py) to the segment a-b.
double distanceToSegment2(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    const double ex = px - ax - t * dx;
    const double ey = py - ay - t * dy;
    return ex * ex + ey * ey;
}

// Inside the tile and not on (or within a hair of) its outline.
bool strictlyInside(const Grown& t, double x, double y) {
    const std::size_t n = t.xs.size();
    bool in = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        if (distanceToSegment2(x, y, t.xs[i], t.ys[i], t.xs[j], t.ys[j]) < kEps * kEps) {
            return false;
        }
        if ((t.ys[i] > y) != (t.ys[j] > y) &&
            x < (t.xs[j] - t.xs[i]) * (y - t.ys[i]) / (t.ys[j] - t.ys[i]) + t.xs[i]) {
            in = !in;
        }
    }
    return in;
}

double side(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// Corners, middles of edges and reference point of a found strictly inside b.
bool pokesInto(const Grown& a, const Grown& b) {
    const std::size_t n = a.xs.size();
    if (strictlyInside(b, a.x, a.y)) {
        return true;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        if (strictlyInside(b, a.xs[i], a.ys[i]) ||
            strictlyInside(b, (a.xs[i] + a.xs[j]) / 2, (a.ys[i] + a.ys[j]) / 2)) {
            return true;
        }
    }
    return false;
}

// The candidate overlaps nothing, meets the other tile corner to corner only, and every edge
// it shares with it carries codes that cancel.
bool fits(const Grown& c, const Grown& o) {
    if ((c.x - o.x) * (c.x - o.x) + (c.y - o.y) * (c.y - o.y) > 16.0) {
        return true;
    }
    const std::size_t n = c.xs.size();
    const std::size_t m = o.xs.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t i2 = (i + 1) % n;
        for (std::size_t k = 0; k < m; ++k) {
            const std::size_t k2 = (k + 1) % m;
            if (c.corners[i] == o.corners[k2] && c.corners[i2] == o.corners[k]) {
                if (c.shape->codes[i] + o.shape->codes[k] != 0) {
                    return false;
                }
                continue;
            }
            // A corner of one within an edge of the other.
            if ((distanceToSegment2(c.xs[i], c.ys[i], o.xs[k], o.ys[k], o.xs[k2], o.ys[k2]) <
                     kEps * kEps &&
                 c.corners[i] != o.corners[k] && c.corners[i] != o.corners[k2]) ||
                (distanceToSegment2(o.xs[k], o.ys[k], c.xs[i], c.ys[i], c.xs[i2], c.ys[i2]) <
                     kEps * kEps &&
                 o.corners[k] != c.corners[i] && o.corners[k] != c.corners[i2])) {
                return false;
            }
            // Edges that cross.
            const double s1 = side(o.xs[k], o.ys[k], o.xs[k2], o.ys[k2], c.xs[i], c.ys[i]);
            const double s2 = side(o.xs[k], o.ys[k], o.xs[k2], o.ys[k2], c.xs[i2], c.ys[i2]);
            const double s3 = side(c.xs[i], c.ys[i], c.xs[i2], c.ys[i2], o.xs[k], o.ys[k]);
            const double s4 = side(c.xs[i], c.ys[i], c.xs[i2], c.ys[i2], o.xs[k2], o.ys[k2]);
            if (((s1 > kEps && s2 < -kEps) || (s1 < -kEps && s2 > kEps)) &&
                ((s3 > kEps && s4 < -kEps) || (s3 < -kEps && s4 > kEps))) {
                return false;
            }
        }
    }
    return !pokesInto(c, o) && !pokesInto(o, c);
}

struct PointHash {
    std::size_t operator()(const LatticePoint& p) const {
        std::uint64_t h = 1469598103934665603ull;
        for (const std::int32_t v : p.c) {
            h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
        }
        return static_cast<std::size_t>(h);
    }
};

} // namespace

Patch growPentagonPatch(PatchSeed seed, int tiles, const Box& reach, int mostTiles,
                        const TileSet& set, const AngleTable& angles) {
    Patch patch;
    patch.setCode = setcode::PenroseNo3;
    patch.edgeParity = 0;
    const LatticeFrame frame(angles, 0);
    const ShapeTable shapes(set, angles, 0);
    const std::int32_t seedKind = seed == PatchSeed::Sun ? kind::Pentagon1 : kind::Pentagram3;
    const ShapeTable::Shape* seedShape = shapes.shape(seedKind, 0);
    if (seedShape == nullptr) {
        return patch;
    }
    std::vector<Grown> laid;
    laid.push_back(makeGrown(seedKind, 0, LatticePoint{}, seedShape, frame));
    const double cx = laid[0].x;
    const double cy = laid[0].y;
    patch.centreX = cx;
    patch.centreY = cy;

    // Tiles by cells of 2 units round their reference points.
    std::unordered_map<std::uint64_t, std::vector<int>> cells;
    const auto cellKey = [](double x, double y) {
        const auto i = static_cast<std::int64_t>(std::floor(x / 2.0));
        const auto j = static_cast<std::int64_t>(std::floor(y / 2.0));
        return (static_cast<std::uint64_t>(i) << 32) ^ static_cast<std::uint32_t>(j);
    };
    // Edges by the sum of their ends and their line: 2 once shared.
    std::unordered_map<LatticePoint, int, PointHash> edgeUse;
    const auto edgeKey = [](const LatticePoint& sum, std::int32_t direction) {
        LatticePoint k = sum;
        k.c[0] = k.c[0] * 16 + direction % 10; // sums stay far below 2^27
        return k;
    };
    // The angle covered at each corner, in steps of 36°, and the edges that meet there.
    std::unordered_map<LatticePoint, int, PointHash> covered;
    std::unordered_map<LatticePoint, std::vector<std::pair<int, int>>, PointHash> edgesAt;
    const auto cornerAngle = [](const Grown& g, std::size_t i) {
        const std::size_t n = g.corners.size();
        const int left =
            ((g.shape->directions[i] - g.shape->directions[(i + n - 1) % n]) % 20 + 30) % 20 - 10;
        return (10 - left) / 2;
    };
    // Free edges, those at the most closed corners first, then nearest the centre.
    using Free = std::pair<std::pair<int, double>, std::pair<int, int>>;
    std::priority_queue<Free, std::vector<Free>, std::greater<>> open;
    const auto inReach = [&](const Grown& g, std::size_t i) {
        const std::size_t j = (i + 1) % g.corners.size();
        const double mx = (g.xs[i] + g.xs[j]) / 2 - cx;
        const double my = (g.ys[i] + g.ys[j]) / 2 - cy;
        return tiles > 0 ||
               (mx >= reach.minX && mx <= reach.maxX && my >= reach.minY && my <= reach.maxY);
    };
    const auto isFree = [&](const Grown& g, std::size_t i) {
        const std::size_t j = (i + 1) % g.corners.size();
        return edgeUse[edgeKey(g.corners[i] + g.corners[j], g.shape->directions[i])] < 2;
    };
    const auto queue = [&](int t, std::size_t i) {
        const Grown& g = laid[static_cast<std::size_t>(t)];
        const std::size_t j = (i + 1) % g.corners.size();
        if (!isFree(g, i) || !inReach(g, i)) {
            return;
        }
        // Corners closed to 252° or more first: left open, they are where growth gets stuck.
        const int most = std::max(covered[g.corners[i]], covered[g.corners[j]]);
        const int closed = most >= 7 ? most : 0;
        open.push(
            {{-closed, std::hypot((g.xs[i] + g.xs[j]) / 2 - cx, (g.ys[i] + g.ys[j]) / 2 - cy)},
             {t, static_cast<int>(i)}});
    };
    const auto admit = [&](int t) {
        const Grown& g = laid[static_cast<std::size_t>(t)];
        cells[cellKey(g.x, g.y)].push_back(t);
        const std::size_t n = g.corners.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            ++edgeUse[edgeKey(g.corners[i] + g.corners[j], g.shape->directions[i])];
            covered[g.corners[i]] += cornerAngle(g, i);
            edgesAt[g.corners[i]].push_back({t, static_cast<int>(i)});
            edgesAt[g.corners[j]].push_back({t, static_cast<int>(i)});
        }
        // Every free edge at a corner of the new tile is seen again with its new closure.
        for (std::size_t i = 0; i < n; ++i) {
            for (const auto& [u, k] : edgesAt[g.corners[i]]) {
                queue(u, static_cast<std::size_t>(k));
            }
        }
    };
    const auto fitsAll = [&](const Grown& c, const Grown* also) {
        const auto ci = static_cast<std::int64_t>(std::floor(c.x / 2.0));
        const auto cj = static_cast<std::int64_t>(std::floor(c.y / 2.0));
        for (std::int64_t di = -2; di <= 2; ++di) {
            for (std::int64_t dj = -2; dj <= 2; ++dj) {
                const auto it = cells.find((static_cast<std::uint64_t>(ci + di) << 32) ^
                                           static_cast<std::uint32_t>(cj + dj));
                if (it == cells.end()) {
                    continue;
                }
                for (const int o : it->second) {
                    if (!fits(c, laid[static_cast<std::size_t>(o)])) {
                        return false;
                    }
                }
            }
        }
        return also == nullptr || fits(c, *also);
    };
    // Every tile that fits with an edge running back over edge i of g (and beside `also`).
    const auto optionsAt = [&](const Grown& g, std::size_t i, const Grown* also, bool firstOnly) {
        std::vector<Grown> options;
        const std::size_t n = g.corners.size();
        const LatticePoint gEnd = g.corners[(i + 1) % n];
        const std::int32_t gDir = g.shape->directions[i];
        for (const std::int32_t kind : set.kindCodes) {
            for (std::int32_t rotation = 0; rotation < set.directionCount; rotation += 2) {
                const ShapeTable::Shape* s = shapes.shape(kind, rotation);
                if (s == nullptr) {
                    continue;
                }
                LatticePoint before; // sum of the edges ahead of edge e
                for (std::size_t e = 0; e < s->edges.size(); before = before + s->edges[e], ++e) {
                    if ((s->directions[e] + 10) % 20 != gDir ||
                        s->codes[e] + g.shape->codes[i] != 0 ||
                        s->lengths[e] != g.shape->lengths[i]) {
                        continue;
                    }
                    Grown c = makeGrown(kind, rotation, gEnd - before, s, frame);
                    if (fitsAll(c, also)) {
                        options.push_back(std::move(c));
                        if (firstOnly) {
                            return options;
                        }
                    }
                }
            }
        }
        return options;
    };
    admit(0);

    std::uint32_t draw = 5;
    const int wanted = tiles > 0 ? std::min(tiles, mostTiles) : mostTiles;
    while (!open.empty() && static_cast<int>(laid.size()) < wanted) {
        const auto [t, i] = open.top().second;
        const int stored = -open.top().first.first;
        open.pop();
        const Grown g = laid[static_cast<std::size_t>(t)];
        const std::size_t n = g.corners.size();
        const std::size_t at = static_cast<std::size_t>(i);
        const int most = std::max(covered[g.corners[at]], covered[g.corners[(at + 1) % n]]);
        if (!isFree(g, at) || stored != (most >= 7 ? most : 0)) {
            continue; // shared since, or queued again with its new closure
        }
        std::vector<Grown> options = optionsAt(g, at, nullptr, false);
        // Of several, those that leave every nearly closed corner of theirs fillable.
        if (options.size() > 1) {
            std::vector<Grown> open2;
            for (Grown& c : options) {
                bool fillable = true;
                for (std::size_t e = 0; e < c.corners.size() && fillable; ++e) {
                    const std::size_t f = (e + 1) % c.corners.size();
                    const int closure = std::max(covered[c.corners[e]] + cornerAngle(c, e),
                                                 covered[c.corners[f]] + cornerAngle(c, f));
                    if (closure >= 7 && !(c.corners[e] == g.corners[(at + 1) % n] &&
                                          c.corners[f] == g.corners[at])) {
                        fillable =
                            !optionsAt(c, e, nullptr, true).empty() ||
                            edgeUse[edgeKey(c.corners[e] + c.corners[f], c.shape->directions[e])] >
                                0;
                    }
                }
                if (fillable) {
                    open2.push_back(std::move(c));
                }
            }
            if (!open2.empty()) {
                options = std::move(open2);
            }
        }
        if (!options.empty()) {
            draw = draw * 1103515245u + 12345u; // the same draws on every platform
            laid.push_back(std::move(options[(draw >> 8) % options.size()]));
            admit(static_cast<int>(laid.size()) - 1);
        }
    }
    for (const Grown& g : laid) {
        patch.tiles.push_back({g.kind, g.rotation, g.x, g.y, g.corner});
    }
    findSharedEdges(patch, set, angles);
    return patch;
}

} // namespace pavelora
