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

double distanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Inside the tile and not on (or within a hair of) its outline.
bool strictlyInside(const Grown& t, double x, double y) {
    const std::size_t n = t.xs.size();
    bool in = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        if (distanceToSegment(x, y, t.xs[i], t.ys[i], t.xs[j], t.ys[j]) < kEps) {
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
    if (std::hypot(c.x - o.x, c.y - o.y) > 4.0) {
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
            if ((distanceToSegment(c.xs[i], c.ys[i], o.xs[k], o.ys[k], o.xs[k2], o.ys[k2]) < kEps &&
                 c.corners[i] != o.corners[k] && c.corners[i] != o.corners[k2]) ||
                (distanceToSegment(o.xs[k], o.ys[k], c.xs[i], c.ys[i], c.xs[i2], c.ys[i2]) < kEps &&
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
    using Free = std::pair<double, std::pair<int, int>>;
    std::priority_queue<Free, std::vector<Free>, std::greater<>> open;
    const auto admit = [&](int t) {
        const Grown& g = laid[static_cast<std::size_t>(t)];
        cells[cellKey(g.x, g.y)].push_back(t);
        const std::size_t n = g.corners.size();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            ++edgeUse[edgeKey(g.corners[i] + g.corners[j], g.shape->directions[i])];
            const double mx = (g.xs[i] + g.xs[j]) / 2;
            const double my = (g.ys[i] + g.ys[j]) / 2;
            if (tiles > 0 || (mx - cx >= reach.minX && mx - cx <= reach.maxX &&
                              my - cy >= reach.minY && my - cy <= reach.maxY)) {
                open.push({std::hypot(mx - cx, my - cy), {t, static_cast<int>(i)}});
            }
        }
    };
    admit(0);

    std::uint32_t draw = 5;
    const int wanted = tiles > 0 ? std::min(tiles, mostTiles) : mostTiles;
    while (!open.empty() && static_cast<int>(laid.size()) < wanted) {
        const auto [t, i] = open.top().second;
        open.pop();
        const Grown g = laid[static_cast<std::size_t>(t)];
        const std::size_t n = g.corners.size();
        const LatticePoint gStart = g.corners[static_cast<std::size_t>(i)];
        const LatticePoint gEnd = g.corners[(static_cast<std::size_t>(i) + 1) % n];
        const std::int32_t gDir = g.shape->directions[static_cast<std::size_t>(i)];
        if (edgeUse[edgeKey(gStart + gEnd, gDir)] > 1) {
            continue;
        }
        std::vector<Grown> options;
        for (const std::int32_t kind : set.kindCodes) {
            for (std::int32_t rotation = 0; rotation < set.directionCount; rotation += 2) {
                const ShapeTable::Shape* s = shapes.shape(kind, rotation);
                if (s == nullptr) {
                    continue;
                }
                LatticePoint before; // sum of the edges ahead of edge e
                for (std::size_t e = 0; e < s->edges.size(); before = before + s->edges[e], ++e) {
                    if ((s->directions[e] + 10) % 20 != gDir ||
                        s->codes[e] + g.shape->codes[static_cast<std::size_t>(i)] != 0 ||
                        s->lengths[e] != g.shape->lengths[static_cast<std::size_t>(i)]) {
                        continue;
                    }
                    Grown c = makeGrown(kind, rotation, gEnd - before, s, frame);
                    bool ok = true;
                    const auto ci = static_cast<std::int64_t>(std::floor(c.x / 2.0));
                    const auto cj = static_cast<std::int64_t>(std::floor(c.y / 2.0));
                    for (std::int64_t di = -2; di <= 2 && ok; ++di) {
                        for (std::int64_t dj = -2; dj <= 2 && ok; ++dj) {
                            const auto it = cells.find((static_cast<std::uint64_t>(ci + di) << 32) ^
                                                       static_cast<std::uint32_t>(cj + dj));
                            if (it == cells.end()) {
                                continue;
                            }
                            for (const int o : it->second) {
                                if (!fits(c, laid[static_cast<std::size_t>(o)])) {
                                    ok = false;
                                    break;
                                }
                            }
                        }
                    }
                    if (ok) {
                        options.push_back(std::move(c));
                    }
                }
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
