#include "core/tiling/substitution.h"

#include "core/tiling/shapetable.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

namespace pavelora {

namespace {

// The point a fraction 1/φ of the way from p to q.
LatticePoint towards(const LatticePoint& p, const LatticePoint& q) {
    return p + (q - p).overPhi();
}

LatticePoint scaled(LatticePoint p, int phiPowers) {
    for (int i = 0; i < phiPowers; ++i) {
        p = p.timesPhi();
    }
    return p;
}

// u_k of the odd-parity lattice points in direction 2k + 1; directions 5 + 4i (90° + 72° i)
// are u_{2 + 2i}.
LatticePoint along(int direction, int phiPowers) {
    return scaled(LatticePoint::unit((direction - 1) / 2), phiPowers);
}

constexpr std::uint32_t kTaken = 0xffffffffu;

// FNV-1a over two points and a tag.
std::uint64_t hashOf(const LatticePoint& p, const LatticePoint& q, std::uint32_t tag) {
    std::uint64_t h = 1469598103934665603ull ^ tag;
    for (const LatticePoint* point : {&p, &q}) {
        for (const std::int32_t v : point->c) {
            h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
        }
    }
    return h;
}

double cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

} // namespace

std::vector<HalfTile> seedHalves(std::int32_t setCode, PatchSeed seed, int steps) {
    std::vector<HalfTile> halves;
    const LatticePoint origin;
    for (int i = 0; i < 5; ++i) {
        const int axis = 5 + 4 * i; // 90° + 72° i
        for (const int side : {-2, 2}) {
            if (setCode == setcode::PenroseNo1 && seed == PatchSeed::Sun) {
                // Kites round their 72° corners: axis and long edges φ^(steps+1).
                halves.push_back({HalfKind::Kite, origin, along(axis + side, steps + 1),
                                  along(axis, steps + 1)});
            } else if (setCode == setcode::PenroseNo1) {
                // Darts round their tips: axis φ^steps, long edges φ^(steps+1).
                halves.push_back(
                    {HalfKind::Dart, along(axis, steps), along(axis + side, steps + 1), origin});
            } else if (setCode == setcode::PenroseNo2 && seed == PatchSeed::Sun) {
                // Wide rhombs of edge φ^steps round their code-1 corners.
                halves.push_back(
                    {HalfKind::Thick, along(axis + side, steps), origin, along(axis, steps + 1)});
            } else if (setCode == setcode::PenroseNo2) {
                // ... round their code-2 corners.
                halves.push_back(
                    {HalfKind::Thick, along(axis + side, steps), along(axis, steps + 1), origin});
            }
        }
    }
    return halves;
}

std::vector<HalfTile> deflateHalves(const std::vector<HalfTile>& halves, const LatticeFrame& frame,
                                    const Box& keep) {
    std::vector<HalfTile> out;
    out.reserve(halves.size() * 3);
    const auto push = [&](const HalfTile& t) {
        const double xs[] = {frame.x(t.a), frame.x(t.b), frame.x(t.c)};
        const double ys[] = {frame.y(t.a), frame.y(t.b), frame.y(t.c)};
        if (*std::max_element(xs, xs + 3) < keep.minX ||
            *std::min_element(xs, xs + 3) > keep.maxX ||
            *std::max_element(ys, ys + 3) < keep.minY ||
            *std::min_element(ys, ys + 3) > keep.maxY) {
            return;
        }
        out.push_back(t);
    };
    for (const HalfTile& t : halves) {
        switch (t.half) {
        case HalfKind::Kite: {
            // A whole kite with its 72° corner at the wing b and its 144° corner g on the
            // axis, and half a dart with its tip at a and its axis along the long edge a-b.
            const LatticePoint f = towards(t.b, t.a);
            const LatticePoint g = towards(t.a, t.c);
            push({HalfKind::Kite, t.b, t.c, g});
            push({HalfKind::Kite, t.b, f, g});
            push({HalfKind::Dart, f, g, t.a});
            break;
        }
        case HalfKind::Dart: {
            // Half a kite with its 72° corner at the tip c and its 144° corner at the reflex
            // corner a, and half a dart with its tip at the wing b and its axis along c-b.
            const LatticePoint p = towards(t.c, t.b);
            push({HalfKind::Kite, t.c, p, t.a});
            push({HalfKind::Dart, p, t.a, t.b});
            break;
        }
        case HalfKind::Thin: {
            // Half a thin rhomb on the old code-1 corner, half a thick one on the leg a-c.
            const LatticePoint p = towards(t.a, t.b);
            push({HalfKind::Thin, t.c, p, t.b});
            push({HalfKind::Thick, p, t.c, t.a});
            break;
        }
        case HalfKind::Thick: {
            // Two halves of thick rhombs and one of a thin one; q cuts b-a and r b-c.
            const LatticePoint q = towards(t.b, t.a);
            const LatticePoint r = towards(t.b, t.c);
            push({HalfKind::Thick, r, t.c, t.a});
            push({HalfKind::Thick, q, r, t.b});
            push({HalfKind::Thin, r, q, t.a});
            break;
        }
        }
    }
    return out;
}

Patch pairHalves(std::int32_t setCode, const std::vector<HalfTile>& halves, const TileSet& set,
                 const AngleTable& angles) {
    Patch patch;
    patch.setCode = setCode;
    patch.edgeParity = 1;
    const LatticeFrame frame(angles, patch.edgeParity);
    const ShapeTable shapes(set, angles, patch.edgeParity);

    // The joining edge runs from `first` to c (the axis, or the rhomb's diagonal); the two
    // halves of a tile name it alike.
    const auto first = [](const HalfTile& t) -> const LatticePoint& {
        return t.half == HalfKind::Thick || t.half == HalfKind::Thin ? t.b : t.a;
    };
    // Halves with the same joining edge and kind are found by sorting on a hash of them; a
    // run of equal hashes is searched whole, so a collision costs time, never a wrong pair.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed(halves.size());
    for (std::uint32_t i = 0; i < keyed.size(); ++i) {
        const HalfTile& h = halves[i];
        keyed[i] = {hashOf(first(h), h.c, static_cast<std::uint32_t>(h.half)), i};
    }
    std::sort(keyed.begin(), keyed.end());
    const auto sameJoin = [&](std::uint32_t l, std::uint32_t r) {
        return halves[l].half == halves[r].half && first(halves[l]) == first(halves[r]) &&
               halves[l].c == halves[r].c;
    };
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs; // (first half, second half)
    pairs.reserve(halves.size() / 2);
    for (std::size_t k = 0; k < keyed.size();) {
        std::size_t end = k + 1;
        while (end < keyed.size() && keyed[end].first == keyed[k].first) {
            ++end;
        }
        for (std::size_t i = k; i < end; ++i) {
            for (std::size_t j = i + 1; j < end && keyed[i].second != kTaken; ++j) {
                if (keyed[j].second != kTaken && sameJoin(keyed[i].second, keyed[j].second)) {
                    pairs.push_back(std::minmax(keyed[i].second, keyed[j].second));
                    keyed[i].second = keyed[j].second = kTaken;
                }
            }
        }
        k = end;
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const auto& l, const auto& r) { return l.second < r.second; });

    patch.tiles.reserve(pairs.size());
    const double stepRadians = std::numbers::pi / 10;
    for (const auto& [firstHalf, secondHalf] : pairs) {
        const HalfTile& t = halves[firstHalf];
        const HalfTile& u = halves[secondHalf];
        // The four corners, the first three in the kind's outline order at rotation 0 save for
        // the side corners, which are put in order by the turn of the outline.
        std::int32_t kind = 0;
        LatticePoint v0;
        LatticePoint v2;
        switch (t.half) {
        case HalfKind::Kite:
            kind = kind::Kaite;
            v0 = t.a;
            v2 = t.c;
            break;
        case HalfKind::Dart: // outline from the tip
            kind = kind::Dart;
            v0 = t.c;
            v2 = t.a;
            break;
        case HalfKind::Thick: // outline from the code-1 corner
            kind = kind::WideDiamond;
            v0 = t.b;
            v2 = t.c;
            break;
        case HalfKind::Thin: {
            // Outline from the acute corner that has the code-1 corner next.
            kind = kind::NarrowDiamond2;
            const double turn = cross(frame.x(t.b - t.a), frame.y(t.b - t.a), frame.x(u.a - t.a),
                                      frame.y(u.a - t.a));
            v0 = turn > 0.0 ? t.a : u.a;
            v2 = turn > 0.0 ? u.a : t.a;
            break;
        }
        }
        const LatticePoint axis = v0 - v2;
        const long steps = std::lround(std::atan2(frame.y(axis), frame.x(axis)) / stepRadians);
        // At rotation 0 every one of these outlines has its first corner straight above the third.
        const auto rotation = static_cast<std::int32_t>((((steps - 5) % 20) + 20) % 20);
        const ShapeTable::Shape* shape = shapes.shape(kind, rotation);
        if (shape == nullptr) {
            continue;
        }
        patch.tiles.push_back(
            {kind, rotation, frame.x(v0) - shape->firstX, frame.y(v0) - shape->firstY, v0});
    }
    findSharedEdges(patch, set, angles);
    return patch;
}

void findSharedEdges(Patch& patch, const TileSet& set, const AngleTable& angles) {
    const ShapeTable shapes(set, angles, patch.edgeParity);
    patch.edgeStart.assign(patch.tiles.size() + 1, 0);
    for (std::size_t i = 0; i < patch.tiles.size(); ++i) {
        const ShapeTable::Shape* s = shapes.shape(patch.tiles[i].kind, patch.tiles[i].rotation);
        patch.edgeStart[i + 1] =
            patch.edgeStart[i] + static_cast<std::uint32_t>(s != nullptr ? s->edges.size() : 0);
    }
    // An edge is known by its two ends added up and its line: two edges of a tiling with the
    // same middle on the same line are one edge seen from its two sides.
    struct EdgeKey {
        std::uint64_t hash;
        std::uint32_t slot;
        std::int32_t owner; // the tile
        LatticePoint sum;
        std::int32_t line;
    };
    std::vector<EdgeKey> keys;
    keys.reserve(patch.edgeStart.back());
    for (std::size_t i = 0; i < patch.tiles.size(); ++i) {
        const PatchTile& t = patch.tiles[i];
        const ShapeTable::Shape* s = shapes.shape(t.kind, t.rotation);
        if (s == nullptr) {
            continue;
        }
        LatticePoint p = t.corner;
        for (std::size_t e = 0; e < s->edges.size(); ++e) {
            const LatticePoint q = p + s->edges[e];
            const std::int32_t line = s->directions[e] % 10;
            keys.push_back({hashOf(p + q, LatticePoint{}, static_cast<std::uint32_t>(line)),
                            patch.edgeStart[i] + static_cast<std::uint32_t>(e),
                            static_cast<std::int32_t>(i), p + q, line});
            p = q;
        }
    }
    patch.sharedWith.assign(patch.edgeStart.back(), -1);
    pairEdges(
        keys, [](const EdgeKey& l, const EdgeKey& r) { return l.sum == r.sum && l.line == r.line; },
        patch.sharedWith);
}

} // namespace pavelora
