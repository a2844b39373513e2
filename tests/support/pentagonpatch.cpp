// Patches of the pentagon set grown edge by edge under its codes, and an overlap test of
// the tests' own: points sampled inside one tile looked for inside the other.
#include "core/geometry/tilebuilder.h"
#include "penrosepatch.h"

#include <queue>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace pavelora::testsupport {

namespace {

bool inside(const Tile& t, double x, double y) {
    bool in = false;
    for (const TileEdge& e : t.outline.edges) {
        if ((e.y1 > y) != (e.y2 > y) && x < (e.x2 - e.x1) * (y - e.y1) / (e.y2 - e.y1) + e.x1) {
            in = !in;
        }
    }
    return in;
}

// Points strictly inside the triangles from the tile's position to its edges (every outline
// is star-shaped about its position) found inside the other tile.
bool samplesInside(const Tile& a, const Tile& b) {
    for (const TileEdge& e : a.outline.edges) {
        for (double u : {0.05, 0.3, 0.6, 0.9}) {
            for (double v : {0.02, 0.5, 0.98}) {
                const double s = u * (1 - v);
                const double t = u * v;
                if (inside(b, a.x + s * (e.x1 - a.x) + t * (e.x2 - a.x),
                           a.y + s * (e.y1 - a.y) + t * (e.y2 - a.y))) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool same(double x1, double y1, double x2, double y2) {
    return std::abs(x1 - x2) < 1e-7 && std::abs(y1 - y2) < 1e-7;
}

// Whether (x, y) lies on edge e away from its ends.
bool withinEdge(const TileEdge& e, double x, double y) {
    const double dx = e.x2 - e.x1;
    const double dy = e.y2 - e.y1;
    const double t = ((x - e.x1) * dx + (y - e.y1) * dy) / (dx * dx + dy * dy);
    return std::abs(dx * (y - e.y1) - dy * (x - e.x1)) < 1e-7 && t > 1e-7 && t < 1 - 1e-7;
}

std::unique_ptr<Tile> unitTile(const TileSet& set, const AngleTable& angles, std::int32_t kind,
                               std::int32_t rotation, double x, double y) {
    std::unique_ptr<Tile> t = buildTile(&set, &angles, kind, rotation);
    t->x = x;
    t->y = y;
    for (TileEdge& e : t->outline.edges) {
        e.x1 += x;
        e.y1 += y;
        e.x2 += x;
        e.y2 += y;
    }
    return t;
}

// The candidate overlaps nothing, meets the other tile corner to corner only and lies on its
// edges against codes that cancel.
bool fits(const Tile& c, const Tile& o) {
    if (std::hypot(c.x - o.x, c.y - o.y) > 6) {
        return true;
    }
    if (tilesOverlap(c, o)) {
        return false;
    }
    for (const TileEdge& a : c.outline.edges) {
        for (const TileEdge& b : o.outline.edges) {
            if (withinEdge(a, b.x1, b.y1) || withinEdge(b, a.x1, a.y1) ||
                (same(a.x1, a.y1, b.x2, b.y2) && same(a.x2, a.y2, b.x1, b.y1) &&
                 a.matchCode + b.matchCode != 0)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool tilesOverlap(const Tile& a, const Tile& b) {
    return samplesInside(a, b) || samplesInside(b, a);
}

std::vector<PlacedTile> pentagonPatch(int tiles) {
    const std::unique_ptr<TileSet> set = createTileSet(setcode::PenroseNo3);
    const AngleTable angles = createAngleTable(*set);
    std::vector<std::unique_ptr<Tile>> laid;
    laid.push_back(unitTile(*set, angles, kind::Pentagon1, 0, 0, 0));
    // Free edges, nearest the origin first.
    using Free = std::pair<double, std::pair<std::size_t, std::size_t>>;
    std::priority_queue<Free, std::vector<Free>, std::greater<>> open;
    std::uint32_t draw = 5;
    for (std::size_t t = 0; t < laid.size() && static_cast<int>(laid.size()) < tiles; ++t) {
        for (std::size_t i = 0; i < laid[t]->outline.edges.size(); ++i) {
            const TileEdge& e = laid[t]->outline.edges[i];
            open.push({std::hypot(e.x1 + e.x2, e.y1 + e.y2), {t, i}});
        }
        while (t + 1 == laid.size() && !open.empty()) {
            const TileEdge& g =
                laid[open.top().second.first]->outline.edges[open.top().second.second];
            open.pop();
            // Every tile of every kind and rotation with an edge running back over g that fits.
            std::vector<std::unique_ptr<Tile>> options;
            for (const std::int32_t kind : set->kindCodes) {
                for (std::int32_t rotation = 0; rotation < set->directionCount; ++rotation) {
                    const auto unit = buildTile(set.get(), &angles, kind, rotation);
                    for (const TileEdge& e : unit->outline.edges) {
                        if ((e.direction + 10) % 20 != g.direction) {
                            continue;
                        }
                        auto c = unitTile(*set, angles, kind, rotation, g.x2 - e.x1, g.y2 - e.y1);
                        if (std::all_of(laid.begin(), laid.end(),
                                        [&](const auto& o) { return fits(*c, *o); })) {
                            options.push_back(std::move(c));
                        }
                    }
                }
            }
            if (!options.empty()) {
                draw = draw * 1103515245u + 12345u; // the same draws on every platform
                laid.push_back(std::move(options[(draw >> 8) % options.size()]));
            }
        }
    }
    if (static_cast<int>(laid.size()) < tiles) {
        throw std::logic_error("pentagonPatch: the patch stopped growing");
    }
    std::vector<PlacedTile> patch;
    for (const auto& t : laid) {
        patch.push_back({t->kind, t->rotation, t->x, t->y});
    }
    return patch;
}

} // namespace pavelora::testsupport
