#include "penrosepatch.h"

#include "core/geometry/tilebuilder.h"
#include "patchboard.h"

#include <queue>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace pavelora::testsupport {

namespace {

constexpr double kPhi = std::numbers::phi;
constexpr int kDirections = 20;
constexpr double kStepRadians = 2.0 * std::numbers::pi / kDirections;
constexpr int kMostTiles = 100000;

struct Vec {
    double x;
    double y;
    Vec operator+(Vec b) const { return {x + b.x, y + b.y}; }
    Vec operator-(Vec b) const { return {x - b.x, y - b.y}; }
    friend Vec operator*(double s, Vec a) { return {s * a.x, s * a.y}; }
};

double cross(Vec a, Vec b) {
    return a.x * b.y - a.y * b.x;
}

// The point a fraction 1/φ of the way from a to b.
Vec towards(Vec a, Vec b) {
    return a + (1.0 / kPhi) * (b - a);
}

// Points within a tolerance of each other get the same id. Cells are far wider than the
// tolerance, so a point is looked for in its own cell and the eight around it.
class PointIndex {
public:
    explicit PointIndex(double tolerance) : tolerance_(tolerance) {}

    int find(Vec p) const {
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = cells_.find(key(cellOf(p.x) + dx, cellOf(p.y) + dy));
                for (std::size_t k = 0; it != cells_.end() && k < it->second.size(); ++k) {
                    const Vec& q = points_[it->second[k]];
                    if (std::abs(q.x - p.x) <= tolerance_ && std::abs(q.y - p.y) <= tolerance_) {
                        return it->second[k];
                    }
                }
            }
        }
        return -1;
    }

    int idOf(Vec p) {
        const int found = find(p);
        if (found >= 0) {
            return found;
        }
        const int id = static_cast<int>(points_.size());
        points_.push_back(p);
        cells_[key(cellOf(p.x), cellOf(p.y))].push_back(id);
        return id;
    }

private:
    static constexpr double kCell = 0.125;

    static std::int64_t cellOf(double v) {
        return static_cast<std::int64_t>(std::floor(v / kCell));
    }
    static std::uint64_t key(std::int64_t cx, std::int64_t cy) {
        return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
    }

    double tolerance_;
    std::vector<Vec> points_;
    std::unordered_map<std::uint64_t, std::vector<int>> cells_;
};

std::uint64_t pairKey(int a, int b) {
    if (a > b) {
        std::swap(a, b);
    }
    return (static_cast<std::uint64_t>(a) << 32) | static_cast<std::uint32_t>(b);
}

// Robinson half-tiles: golden triangles whose corners are named by their part in the whole
// tile, which fixes where the match codes go.
//   Kite   a apex (72° corner), b wing, c the 144° corner; a-c is the axis.
//   Dart   a the reflex corner, b wing, c tip; a-c is the axis.
//   Thick  a an obtuse corner, b the acute corner where the two code-1 edges meet, c the
//          acute corner where the code-2 edges meet; b-c is the long diagonal.
//   Thin   a an acute corner, b the obtuse corner where the code-1 edges meet, c the one
//          where the code-2 edges meet; b-c is the short diagonal.
// Read as arrows (code +k run from P to Q: an arrow of kind k from P to Q), two edges may be
// shared exactly when their arrows agree. Kite: long edges point from the wings to the apex,
// short ones from the wings to the 144° corner. Dart: long edges from the tip to the wings,
// short ones from the reflex corner to the wings. Thick: kind 1 from b into the obtuse
// corners, kind 2 from those into c. Thin: all four arrows leave the acute corners.
enum class Half { Kite, Dart, Thick, Thin };

struct Triangle {
    Half half;
    Vec a;
    Vec b;
    Vec c;
};

// One deflation step: every half-tile is cut into half-tiles 1/φ its size, cut on the same
// points from both sides of every edge.
std::vector<Triangle> deflate(const std::vector<Triangle>& triangles) {
    std::vector<Triangle> out;
    out.reserve(triangles.size() * 3);
    for (const Triangle& t : triangles) {
        switch (t.half) {
        case Half::Kite: {
            // A whole kite with its apex at the wing b and its 144° corner g on the axis, and
            // half a dart with its tip at a and its axis along the long edge a-b.
            const Vec f = towards(t.b, t.a);
            const Vec g = towards(t.a, t.c);
            out.push_back({Half::Kite, t.b, t.c, g});
            out.push_back({Half::Kite, t.b, f, g});
            out.push_back({Half::Dart, f, g, t.a});
            break;
        }
        case Half::Dart: {
            // Half a kite with its apex at the tip c and its 144° corner at the reflex corner
            // a, and half a dart with its tip at the wing b and its axis along c-b.
            const Vec p = towards(t.c, t.b);
            out.push_back({Half::Kite, t.c, p, t.a});
            out.push_back({Half::Dart, p, t.a, t.b});
            break;
        }
        case Half::Thin: {
            // Half a thin rhomb on the old code-1 corner, half a thick one on the leg a-c.
            const Vec p = towards(t.a, t.b);
            out.push_back({Half::Thin, t.c, p, t.b});
            out.push_back({Half::Thick, p, t.c, t.a});
            break;
        }
        case Half::Thick: {
            // Two halves of thick rhombs and one of a thin one; q cuts b-a and r b-c.
            const Vec q = towards(t.b, t.a);
            const Vec r = towards(t.b, t.c);
            out.push_back({Half::Thick, r, t.c, t.a});
            out.push_back({Half::Thick, q, r, t.b});
            out.push_back({Half::Thin, r, q, t.a});
            break;
        }
        }
    }
    return out;
}

Vec polar(double radius, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {radius * std::cos(radians), radius * std::sin(radians)};
}

// Five kites round the origin with their apexes there, long edges `longEdge`.
std::vector<Triangle> kiteSun(double longEdge) {
    std::vector<Triangle> seed;
    for (int i = 0; i < 5; ++i) {
        const double axis = 90.0 + 72.0 * i;
        const Vec apex{0.0, 0.0};
        const Vec corner = polar(longEdge, axis);
        seed.push_back({Half::Kite, apex, polar(longEdge, axis - 36.0), corner});
        seed.push_back({Half::Kite, apex, polar(longEdge, axis + 36.0), corner});
    }
    return seed;
}

// One thick rhomb with edges `edge`, centred on the origin, its long diagonal upright and
// its code-1 corner at the top.
std::vector<Triangle> thickRhomb(double edge) {
    const Vec half = polar(edge, 36.0); // half the long diagonal, half the short one
    const Vec top{0.0, half.x};
    const Vec bottom{0.0, -half.x};
    return {{Half::Thick, Vec{-half.y, 0.0}, top, bottom},
            {Half::Thick, Vec{half.y, 0.0}, top, bottom}};
}

struct WholeTile {
    std::int32_t kind;
    std::array<Vec, 4> corners; // in the order of the kind's outline in the tile builder
};

// Puts the two side corners in outline order: the outline runs anticlockwise from first,
// so the side corner met next turns left on the way to third.
std::array<Vec, 4> outlineOrder(Vec first, Vec sideA, Vec third, Vec sideB) {
    return cross(sideA - first, third - first) > 0.0 ? std::array{first, sideA, third, sideB}
                                                     : std::array{first, sideB, third, sideA};
}

// Pairs the halves that share their axis (darts, kites) or diagonal (rhombs) into whole
// tiles. Halves without a partner, at the rim, are dropped.
std::vector<WholeTile> pairHalves(const std::vector<Triangle>& triangles, double tolerance) {
    PointIndex points(tolerance);
    std::map<std::pair<int, std::uint64_t>, int> waiting; // (half, joining edge) -> triangle
    std::vector<WholeTile> tiles;
    for (int i = 0; i < static_cast<int>(triangles.size()); ++i) {
        const Triangle& t = triangles[i];
        const bool onDiagonal = t.half == Half::Thick || t.half == Half::Thin;
        // The joining edge runs from `first` to c, and the partner must name its ends alike.
        const Vec& first = onDiagonal ? t.b : t.a;
        const int firstId = points.idOf(first);
        const auto slot =
            std::make_pair(static_cast<int>(t.half), pairKey(firstId, points.idOf(t.c)));
        auto it = waiting.find(slot);
        if (it == waiting.end()) {
            waiting.emplace(slot, i);
            continue;
        }
        const Triangle& u = triangles[it->second];
        waiting.erase(it);
        if (points.find(onDiagonal ? u.b : u.a) != firstId) {
            throw std::logic_error("penrose patch: two halves meet with their corners swapped");
        }
        switch (t.half) {
        case Half::Kite:
            tiles.push_back({kind::Kaite, outlineOrder(t.a, t.b, t.c, u.b)});
            break;
        case Half::Dart: // outline from the tip
            tiles.push_back({kind::Dart, outlineOrder(t.c, t.b, t.a, u.b)});
            break;
        case Half::Thick: // outline from the code-1 corner
            tiles.push_back({kind::WideDiamond, outlineOrder(t.b, t.a, t.c, u.a)});
            break;
        case Half::Thin: // outline from the acute corner that has the code-1 corner next
            tiles.push_back({kind::NarrowDiamond2, cross(t.b - t.a, u.a - t.a) > 0.0
                                                       ? std::array{t.a, t.b, u.a, t.c}
                                                       : std::array{u.a, t.b, t.a, t.c}});
            break;
        }
    }
    return tiles;
}

// The rotation and reference point at which buildTile's outline covers the tile's corners in
// order, checked to within 1e-9.
PlacedTile fit(const WholeTile& t, const TileSet& set, const AngleTable& angles) {
    // At rotation 0 every one of these outlines has its corner 0 straight above corner 2.
    const Vec axis = t.corners[0] - t.corners[2];
    const double turn = (std::atan2(axis.y, axis.x) - std::numbers::pi / 2) / kStepRadians;
    const std::int32_t rotation = ((std::lround(turn) % kDirections) + kDirections) % kDirections;

    std::unique_ptr<Tile> built = buildTile(&set, &angles, t.kind, rotation);
    if (!built || built->outline.count() != 4) {
        throw std::logic_error("penrose patch: cannot build kind " + std::to_string(t.kind));
    }
    Vec offset{0.0, 0.0};
    for (int i = 0; i < 4; ++i) {
        const TileEdge& e = built->outline.edges[i];
        offset = offset + (t.corners[i] - Vec{e.x1, e.y1});
    }
    offset = 0.25 * offset;
    for (int i = 0; i < 4; ++i) {
        const TileEdge& e = built->outline.edges[i];
        const Vec corner = Vec{e.x1, e.y1} + offset;
        if (std::hypot(corner.x - t.corners[i].x, corner.y - t.corners[i].y) > 1e-9) {
            throw std::logic_error("penrose patch: kind " + std::to_string(t.kind) +
                                   " does not fit at rotation " + std::to_string(rotation));
        }
    }
    return {t.kind, rotation, offset.x, offset.y};
}

// For each outline, the sorted indices of the others that have an edge with the same two
// ends (each end matched within the tolerance).
std::vector<std::vector<int>> sharingAnEdge(const std::vector<std::vector<Vec>>& outlines,
                                            double tolerance) {
    PointIndex points(tolerance);
    std::unordered_map<std::uint64_t, std::vector<int>> byEdge;
    for (int i = 0; i < static_cast<int>(outlines.size()); ++i) {
        const std::vector<Vec>& o = outlines[i];
        for (std::size_t k = 0; k < o.size(); ++k) {
            const int from = points.idOf(o[k]);
            const int to = points.idOf(o[(k + 1) % o.size()]);
            byEdge[pairKey(from, to)].push_back(i);
        }
    }
    std::vector<std::vector<int>> neighbours(outlines.size());
    for (const auto& [edge, owners] : byEdge) {
        for (int i : owners) {
            for (int j : owners) {
                if (i != j) {
                    neighbours[i].push_back(j);
                }
            }
        }
    }
    for (auto& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return neighbours;
}

// Grows a connected patch from the whole tile nearest the origin, always taking next the
// tile nearest the origin among those touching the patch.
std::vector<int> gatherAroundOrigin(const std::vector<WholeTile>& tiles, int count) {
    std::vector<std::vector<Vec>> outlines;
    outlines.reserve(tiles.size());
    for (const WholeTile& t : tiles) {
        outlines.emplace_back(t.corners.begin(), t.corners.end());
    }
    const std::vector<std::vector<int>> neighbours = sharingAnEdge(outlines, 1e-7);

    std::vector<double> radius(tiles.size());
    int nearest = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const auto& v = tiles[i].corners;
        const Vec c = 0.25 * (v[0] + v[1] + v[2] + v[3]);
        radius[i] = std::hypot(c.x, c.y);
        if (radius[i] < radius[nearest]) {
            nearest = static_cast<int>(i);
        }
    }

    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> frontier;
    std::vector<char> seen(tiles.size(), 0);
    std::vector<int> taken;
    frontier.push({radius[nearest], nearest});
    seen[nearest] = 1;
    while (!frontier.empty() && static_cast<int>(taken.size()) < count) {
        const int i = frontier.top().second;
        frontier.pop();
        taken.push_back(i);
        for (int j : neighbours[i]) {
            if (seen[j] == 0) {
                seen[j] = 1;
                frontier.push({radius[j], j});
            }
        }
    }
    return taken;
}

// Deflates the seed made by `seedOfSize` (given the size that shrinks to tile units after the
// chosen number of steps) until the whole tiles number several times the patch, then gathers
// and fits the patch.
std::vector<PlacedTile> makePatch(std::int32_t setCode, int minTiles,
                                  const std::function<std::vector<Triangle>(double)>& seedOfSize,
                                  double unitSize) {
    if (minTiles > kMostTiles) {
        throw std::logic_error("penrose patch: " + std::to_string(minTiles) + " tiles is too many");
    }
    const int wanted = std::max(minTiles, 1);
    const std::unique_ptr<TileSet> set = createTileSet(setCode);
    const AngleTable angles = createAngleTable(*set);

    for (int steps = 1; steps <= 12; ++steps) {
        std::vector<Triangle> triangles = seedOfSize(unitSize * std::pow(kPhi, steps));
        for (int i = 0; i < steps; ++i) {
            triangles = deflate(triangles);
        }
        const std::vector<WholeTile> tiles = pairHalves(triangles, 1e-7);
        if (static_cast<long long>(tiles.size()) < 4LL * wanted + 20) {
            continue;
        }
        std::vector<PlacedTile> patch;
        for (int i : gatherAroundOrigin(tiles, wanted)) {
            patch.push_back(fit(tiles[i], *set, angles));
        }
        if (static_cast<int>(patch.size()) < wanted) {
            throw std::logic_error("penrose patch: the whole tiles do not hang together");
        }
        return patch;
    }
    throw std::logic_error("penrose patch: the deflated seed never held enough whole tiles");
}

} // namespace

std::vector<PlacedTile> kiteDartPatch(int minTiles) {
    return makePatch(setcode::PenroseNo1, minTiles, kiteSun, kPhi);
}

std::vector<PlacedTile> rhombPatch(int minTiles) {
    return makePatch(setcode::PenroseNo2, minTiles, thickRhomb, 1.0);
}

std::vector<std::vector<int>> edgeNeighbours(const std::vector<PlacedTile>& patch,
                                             const TileSet& tileSet, const AngleTable& angles) {
    std::vector<std::vector<Vec>> outlines;
    outlines.reserve(patch.size());
    for (const PlacedTile& tile : patch) {
        std::unique_ptr<Tile> built = buildTile(&tileSet, &angles, tile.kind, tile.rotation);
        if (!built) {
            throw std::invalid_argument("edgeNeighbours: kind " + std::to_string(tile.kind) +
                                        " cannot be built");
        }
        std::vector<Vec>& outline = outlines.emplace_back();
        for (const TileEdge& e : built->outline.edges) {
            outline.push_back({e.x1 + tile.x, e.y1 + tile.y});
        }
    }
    return sharingAnEdge(outlines, 1e-9);
}

std::vector<int> breadthFirstOrder(const std::vector<std::vector<int>>& neighbours, int start) {
    const int n = static_cast<int>(neighbours.size());
    if (start < 0 || start >= n) {
        throw std::out_of_range("breadthFirstOrder: no tile " + std::to_string(start));
    }
    std::vector<char> seen(n, 0);
    std::vector<int> order{start};
    seen[start] = 1;
    for (std::size_t next = 0; next < order.size(); ++next) {
        for (int j : neighbours[order[next]]) {
            if (seen[j] == 0) {
                seen[j] = 1;
                order.push_back(j);
            }
        }
    }
    return order;
}

std::vector<int> randomConnectedOrder(const std::vector<std::vector<int>>& neighbours,
                                      unsigned seed) {
    const auto n = static_cast<std::uint32_t>(neighbours.size());
    if (n == 0) {
        return {};
    }
    // mt19937 is the same everywhere, the distributions of <random> are not.
    std::mt19937 random(seed);
    std::vector<char> seen(n, 0);
    std::vector<int> frontier{static_cast<int>(random() % n)};
    seen[frontier.front()] = 1;
    std::vector<int> order;
    while (!frontier.empty()) {
        const std::size_t pick = random() % frontier.size();
        const int tile = frontier[pick];
        frontier[pick] = frontier.back();
        frontier.pop_back();
        order.push_back(tile);
        for (int j : neighbours[tile]) {
            if (seen[j] == 0) {
                seen[j] = 1;
                frontier.push_back(j);
            }
        }
    }
    return order;
}

TileGroup* layJoinedPatch(Document& doc, const std::vector<PlacedTile>& patch, double originX,
                          double originY, const std::vector<int>& skip) {
    const double ratio = doc.view.tileSizeRatio;
    auto owned = newGroup();
    PointIndex points(1e-9 * std::max(1.0, ratio));
    std::map<std::pair<int, int>, TileEdge*> edges; // by the ids of their ends
    for (std::size_t i = 0; i < patch.size(); ++i) {
        if (std::find(skip.begin(), skip.end(), static_cast<int>(i)) != skip.end()) {
            continue;
        }
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, patch[i].kind, patch[i].rotation);
        placeOutline(doc, *tile, originX + patch[i].x * ratio, originY + patch[i].y * ratio);
        for (TileEdge& e : tile->outline.edges) {
            edges[{points.idOf({e.x1, e.y1}), points.idOf({e.x2, e.y2})}] = &e;
        }
        appendTileRaw(*owned, std::move(tile));
    }
    for (auto& [ends, e] : edges) {
        if (const auto back = edges.find({ends.second, ends.first}); back != edges.end()) {
            e->neighbour = back->second->owner;
        }
    }
    TileGroup* group = appendGroup(doc.board, std::move(owned));
    rebuildGroup(doc, *group);
    return group;
}

double tileSizeToFit(const std::vector<PlacedTile>& patch, double radius) {
    double reach = 0;
    for (const PlacedTile& t : patch) {
        reach = std::max(reach, std::hypot(t.x, t.y));
    }
    return radius / (reach + 2);
}

} // namespace pavelora::testsupport
