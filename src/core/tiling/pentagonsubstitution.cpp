// Patches of the pentagon set by substitution with inflation φ² on edges, in exact lattice
// points. Every tile is a pentagon, a star, a boat or a diamond; child edges are 1/φ² of the
// parent's.
//   Pentagon: five corner pentagons (the parent shrunk about each corner) round an inverted
//     middle one; between two corner pentagons a golden triangle with its base on the parent's
//     edge. The triangles of two pentagons across an edge make a diamond; a triangle against
//     a star's or boat's middle is one of that star's or boat's points.
//   Tip (a point of a star or boat, or half a diamond) with apex a and base b-c: a pentagon
//     with diagonal b-c, two edges along the tip's sides and its fifth corner beyond b-c, and
//     at the apex a boat whose diagonal is that pentagon's far edge.
//   Diamond: the tip at the corner where its code-2 edges meet, and on the other side of the
//     short diagonal a star whose points stand at that diagonal's ends and the code-3 corner.
//   Star and boat: each own point a tip; in the middle an inverted star whose points stand at
//     the parent's inner corners (for the boat, the point beyond its diagonal is a triangle of
//     the pentagon across it).
// Stars and boats have fixed codes. A pentagon's kind follows from which of its edges meet
// pentagons: none (Pentagon1), the two not beside each other (Pentagon2: +1 on the pentagon
// edge between them) or three (Pentagon3); so a pentagon edge between two pentagons is +1 on
// the side whose two neighbouring edges both meet other tiles. A diamond's code-3 corner is
// the apex of the triangle from the pentagon whose edge there is +1.
#include "core/tiling/shapetable.h"
#include "core/tiling/substitution.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <unordered_map>

namespace pavelora {

namespace {

enum class Form : std::uint8_t { Pentagon, Star, Boat, Diamond };

// A pentagon by its corners, a star or boat by the pentagon of its points (a boat keeps points
// 0 to 2), a diamond by its corners from the code-3 one; all anticlockwise. A piece is not
// trusted when a diamond it comes from had no neighbour to tell its code-3 corner.
struct Piece {
    Form form;
    bool trusted;
    std::array<LatticePoint, 5> p;
};

LatticePoint shrunk(const LatticePoint& v) {
    return v.overPhi().overPhi();
}

LatticePoint turnedBy(LatticePoint v, int steps) {
    for (int i = 0; i < steps; ++i) {
        v = v.turned();
    }
    return v;
}

// The regular pentagon on the edge b-c with its body on the left, anticlockwise from b.
std::array<LatticePoint, 5> pentagonOn(const LatticePoint& b, const LatticePoint& c) {
    std::array<LatticePoint, 5> p{b, c, {}, {}, {}};
    LatticePoint v = c - b;
    for (std::size_t k = 2; k < 5; ++k) {
        v = turnedBy(v, 2);
        p[k] = p[k - 1] + v;
    }
    return p;
}

// The inner corner of a star between its points k and k + 1.
LatticePoint notch(const std::array<LatticePoint, 5>& w, std::size_t k) {
    return w[k] + shrunk(w[(k + 2) % 5] - w[k]);
}

void outlineOf(const Piece& q, std::vector<LatticePoint>& out) {
    out.clear();
    switch (q.form) {
    case Form::Pentagon:
        out.assign(q.p.begin(), q.p.end());
        break;
    case Form::Diamond:
        out.assign(q.p.begin(), q.p.begin() + 4);
        break;
    case Form::Star:
        for (std::size_t k = 0; k < 5; ++k) {
            out.push_back(q.p[k]);
            out.push_back(notch(q.p, k));
        }
        break;
    case Form::Boat:
        for (std::size_t k = 0; k < 3; ++k) {
            out.push_back(q.p[k]);
            out.push_back(notch(q.p, k));
        }
        out.push_back(notch(q.p, 4));
        break;
    }
}

// The outlines of all pieces and, for each outline edge, the piece across it or -1.
struct Outlines {
    std::vector<std::uint32_t> start;
    std::vector<LatticePoint> corners;
    std::vector<std::int32_t> across;

    LatticePoint corner(std::size_t piece, std::size_t k) const {
        const std::size_t n = start[piece + 1] - start[piece];
        return corners[start[piece] + k % n];
    }
};

Outlines outlinesOf(const std::vector<Piece>& pieces) {
    Outlines o;
    o.start.reserve(pieces.size() + 1);
    o.start.push_back(0);
    std::vector<LatticePoint> one;
    for (const Piece& q : pieces) {
        outlineOf(q, one);
        o.corners.insert(o.corners.end(), one.begin(), one.end());
        o.start.push_back(static_cast<std::uint32_t>(o.corners.size()));
    }
    // An edge is known by its ends added up and its vector up to sign.
    struct Key {
        std::uint64_t hash;
        std::uint32_t slot;
        std::int32_t owner; // the piece
    };
    std::vector<Key> keys;
    keys.reserve(o.corners.size());
    std::vector<std::pair<LatticePoint, LatticePoint>> edges(o.corners.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::size_t n = o.start[i + 1] - o.start[i];
        for (std::size_t k = 0; k < n; ++k) {
            const LatticePoint a = o.corner(i, k);
            const LatticePoint b = o.corner(i, k + 1);
            const std::uint32_t slot = o.start[i] + static_cast<std::uint32_t>(k);
            edges[slot] = {a + b, std::max(b - a, a - b)};
            std::uint64_t h = 1469598103934665603ull;
            for (const LatticePoint* p : {&edges[slot].first, &edges[slot].second}) {
                for (const std::int32_t v : p->c) {
                    h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
                }
            }
            keys.push_back({h, slot, static_cast<std::int32_t>(i)});
        }
    }
    o.across.assign(o.corners.size(), -1);
    pairEdges(
        keys, [&](const Key& l, const Key& r) { return edges[l.slot] == edges[r.slot]; }, o.across);
    return o;
}

// The code sign of edge k of pentagon i toward another pentagon: +1, -1, or 0 when its
// neighbours do not tell.
int pentagonSign(const std::vector<Piece>& pieces, const Outlines& o, std::size_t i,
                 std::size_t k) {
    const auto meets = [&](std::size_t edge) { // 1 pentagon, 0 other, -1 nothing
        const std::int32_t j = o.across[o.start[i] + edge % 5];
        return j < 0 ? -1 : pieces[static_cast<std::size_t>(j)].form == Form::Pentagon ? 1 : 0;
    };
    const int before = meets(k + 4);
    const int after = meets(k + 1);
    if (before == 1 || after == 1) {
        return -1;
    }
    return before == 0 && after == 0 ? 1 : 0;
}

struct Triangle {
    LatticePoint apex;
    LatticePoint a;
    LatticePoint b;
    int sign;
    bool trusted;
};

struct PointHash {
    std::size_t operator()(const LatticePoint& p) const {
        std::uint64_t h = 1469598103934665603ull;
        for (const std::int32_t v : p.c) {
            h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
        }
        return static_cast<std::size_t>(h);
    }
};

// A tip with apex a between b and c (b, a, c anticlockwise).
void deflateTip(const LatticePoint& a, const LatticePoint& b, const LatticePoint& c, bool trusted,
                std::vector<Piece>& out) {
    out.push_back({Form::Pentagon, trusted, pentagonOn(b, b + shrunk(a - b))});
    const std::array<LatticePoint, 5> w = pentagonOn(c, b);
    out.push_back({Form::Boat, trusted, {w[2], w[3], w[4], w[0], w[1]}});
}

std::vector<Piece> deflate(const std::vector<Piece>& pieces, const LatticeFrame& frame,
                           const Box& keep, double margin) {
    const Outlines o = outlinesOf(pieces);
    std::vector<Piece> out;
    out.reserve(pieces.size() * 7);
    std::unordered_map<LatticePoint, std::vector<Triangle>, PointHash> triangles;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& q = pieces[i];
        const auto& v = q.p;
        switch (q.form) {
        case Form::Pentagon: {
            std::array<LatticePoint, 5> middle;
            for (std::size_t k = 0; k < 5; ++k) {
                Piece corner{Form::Pentagon, q.trusted, {}};
                for (std::size_t j = 0; j < 5; ++j) {
                    corner.p[j] = v[k] + shrunk(v[(k + j) % 5] - v[k]);
                }
                out.push_back(corner);
                middle[k] = corner.p[2];
            }
            out.push_back({Form::Pentagon, q.trusted, middle});
            for (std::size_t k = 0; k < 5; ++k) {
                const LatticePoint a = v[k] + shrunk(v[(k + 1) % 5] - v[k]);
                const LatticePoint b = v[(k + 1) % 5] + shrunk(v[k] - v[(k + 1) % 5]);
                triangles[a + b].push_back(
                    {middle[k], a, b, pentagonSign(pieces, o, i, k), q.trusted});
            }
            break;
        }
        case Form::Diamond:
            deflateTip(v[2], v[1], v[3], q.trusted, out);
            out.push_back({Form::Star, q.trusted, pentagonOn(v[1], v[3])});
            break;
        case Form::Star:
        case Form::Boat: {
            std::array<LatticePoint, 5> n;
            for (std::size_t k = 0; k < 5; ++k) {
                n[k] = notch(v, k);
            }
            for (std::size_t k = 0; k < (q.form == Form::Star ? 5u : 3u); ++k) {
                deflateTip(v[k], n[(k + 4) % 5], n[k], q.trusted, out);
            }
            out.push_back({Form::Star, q.trusted, n});
            break;
        }
        }
    }
    for (const auto& [key, pair] : triangles) {
        if (pair.size() != 2) {
            continue; // the other half lies outside
        }
        const Triangle& x = pair[0];
        const Triangle& y = pair[1];
        // The code-3 corner is the apex on the +1 side.
        const int sign = x.sign != 0 ? x.sign : -y.sign;
        const bool known = sign != 0 && (y.sign == 0 || y.sign == -sign);
        const Triangle& first = sign >= 0 ? x : y;
        const Triangle& second = sign >= 0 ? y : x;
        out.push_back({Form::Diamond,
                       known && x.trusted && y.trusted,
                       {first.apex, first.a, second.apex, first.b, {}}});
    }
    // Pieces too far from the box to matter are dropped with all they would become.
    std::vector<Piece> kept;
    kept.reserve(out.size());
    std::vector<LatticePoint> one;
    for (const Piece& q : out) {
        outlineOf(q, one);
        double minX = 1e300;
        double minY = 1e300;
        double maxX = -1e300;
        double maxY = -1e300;
        for (const LatticePoint& p : one) {
            minX = std::min(minX, frame.x(p));
            maxX = std::max(maxX, frame.x(p));
            minY = std::min(minY, frame.y(p));
            maxY = std::max(maxY, frame.y(p));
        }
        if (maxX >= keep.minX - margin && minX <= keep.maxX + margin &&
            maxY >= keep.minY - margin && minY <= keep.maxY + margin) {
            kept.push_back(q);
        }
    }
    return kept;
}

// Codes of the kinds, outline edge by outline edge from the tile's first corner.
constexpr std::array<std::int32_t, 5> kPentagon2Codes = {-1, -2, 1, -2, -1};
constexpr std::array<std::int32_t, 5> kPentagon3Codes = {-4, 1, -3, 1, -4};

// The seed with edges φ^(2 steps) deflated `steps` times, pieces far from `box` (about the
// seed's middle) dropped: the tiles whose kinds their neighbours settle. `whole` tells whether
// every tile near the box was settled.
Patch settledPatch(PatchSeed seed, int steps, const Box& box, int mostTiles, const TileSet& set,
                   const AngleTable& angles, bool& whole) {
    Patch patch;
    patch.setCode = setcode::PenroseNo3;
    patch.edgeParity = 0;
    const LatticeFrame frame(angles, 0);
    const ShapeTable shapes(set, angles, 0);
    const double phi2 = std::numbers::phi * std::numbers::phi;
    LatticePoint edge = LatticePoint::unit(0);
    for (int i = 0; i < 2 * steps; ++i) {
        edge = edge.timesPhi();
    }
    const double size = std::pow(phi2, steps);
    Piece top{seed == PatchSeed::Sun ? Form::Pentagon : Form::Star, true, {}};
    top.p =
        pentagonOn(LatticePoint{}, seed == PatchSeed::Sun ? edge : LatticePoint(edge.timesPhi()));
    double cx = 0.0;
    double cy = 0.0;
    for (const LatticePoint& p : top.p) {
        cx += frame.x(p) / 5;
        cy += frame.y(p) / 5;
    }
    const Box keep{box.minX + cx, box.minY + cy, box.maxX + cx, box.maxY + cy};
    std::vector<Piece> pieces{top};
    double unit = size;
    for (int s = 0; s < steps; ++s) {
        unit /= phi2;
        pieces = deflate(pieces, frame, keep, 8.0 * unit + 2.0);
        if (pieces.size() > static_cast<std::size_t>(mostTiles) * 4) {
            whole = false;
            return patch;
        }
    }
    // The patch moved by a lattice vector so that the corner nearest the seed's middle is the
    // origin (the substitution commutes with such moves).
    LatticePoint origin;
    double nearest = 1e300;
    for (const Piece& q : pieces) {
        const double d = std::hypot(frame.x(q.p[0]) - cx, frame.y(q.p[0]) - cy);
        if (d < nearest) {
            nearest = d;
            origin = q.p[0];
        }
    }
    for (Piece& q : pieces) {
        for (LatticePoint& p : q.p) {
            p = p - origin;
        }
    }
    cx -= frame.x(origin);
    cy -= frame.y(origin);
    // Kinds from the neighbours; a tile they do not settle is left out, and a patch with
    // such a tile in the box is made again one step larger.
    const Outlines o = outlinesOf(pieces);
    whole = true;
    std::vector<PatchTile> made;
    std::vector<std::int32_t> codes;
    std::vector<LatticePoint> corners;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& q = pieces[i];
        const std::size_t n = o.start[i + 1] - o.start[i];
        corners.assign(o.corners.begin() + o.start[i], o.corners.begin() + o.start[i + 1]);
        codes.assign(n, 4);
        std::int32_t kind = kind::Pentagram3;
        bool settled = q.trusted;
        if (q.form == Form::Boat) {
            kind = kind::WanedPentagram;
            codes = {4, 4, 4, 4, 2, 3, 2};
        } else if (q.form == Form::Diamond) {
            kind = kind::NarrowDiamond3;
            codes = {3, 2, 2, 3};
        } else if (q.form == Form::Pentagon) {
            int others = 0;
            std::size_t lone = 5; // the first edge of the pattern
            for (std::size_t k = 0; k < 5; ++k) {
                const std::int32_t j = o.across[o.start[i] + k];
                settled = settled && j >= 0;
                if (j >= 0 && pieces[static_cast<std::size_t>(j)].form != Form::Pentagon) {
                    ++others;
                }
            }
            const auto other = [&](std::size_t k) {
                const std::int32_t j = o.across[o.start[i] + k % 5];
                return pieces[static_cast<std::size_t>(j)].form != Form::Pentagon;
            };
            kind = others == 0 ? kind::Pentagon1 : others == 2 ? kind::Pentagon2 : kind::Pentagon3;
            if (others == 0) {
                lone = 0;
            }
            for (std::size_t k = 0; k < 5 && settled && others > 0; ++k) {
                if (others == 2 && other(k + 1) && other(k + 3)) {
                    lone = k;
                }
                if (others == 3 && other(k) && other(k + 2) && other(k + 4)) {
                    lone = k;
                }
            }
            settled = settled && lone < 5;
            for (std::size_t k = 0; k < 5 && settled; ++k) {
                codes[(lone + k) % 5] = others == 0   ? -1
                                        : others == 2 ? kPentagon2Codes[k]
                                                      : kPentagon3Codes[k];
            }
        }
        // The rotation and first corner whose edges and codes are these.
        bool found = false;
        for (std::int32_t r = 0; r < set.directionCount && settled && !found; r += 2) {
            const ShapeTable::Shape* s = shapes.shape(kind, r);
            if (s == nullptr || s->edges.size() != n) {
                continue;
            }
            for (std::size_t j = 0; j < n && !found; ++j) {
                bool same = true;
                for (std::size_t e = 0; e < n && same; ++e) {
                    same = corners[(j + e + 1) % n] - corners[(j + e) % n] == s->edges[e] &&
                           codes[(j + e) % n] == s->codes[e];
                }
                if (same) {
                    found = true;
                    made.push_back({kind, r, frame.x(corners[j]) - s->firstX,
                                    frame.y(corners[j]) - s->firstY, corners[j]});
                }
            }
        }
        if (!found) {
            // Outside the box it is merely left out.
            const double x = frame.x(corners[0]) - cx;
            const double y = frame.y(corners[0]) - cy;
            whole = whole && !(x >= box.minX - 2 && x <= box.maxX + 2 && y >= box.minY - 2 &&
                               y <= box.maxY + 2);
        }
    }
    patch.centreX = cx;
    patch.centreY = cy;
    patch.tiles = std::move(made);
    findSharedEdges(patch, set, angles);
    return patch;
}

} // namespace

Patch deflatePentagons(PatchSeed seed, int steps, const TileSet& set, const AngleTable& angles) {
    bool whole = true;
    return settledPatch(seed, steps, {}, std::numeric_limits<int>::max() / 8, set, angles, whole);
}

Patch growPentagonPatch(PatchSeed seed, int tiles, const Box& reach, int mostTiles,
                        const TileSet& set, const AngleTable& angles) {
    // The box about the seed's middle that the patch must cover.
    Box box = reach;
    if (tiles > 0) {
        const double radius = std::sqrt(tiles * 1.5 * 1.3 / std::numbers::pi) + 3.0;
        box = {-radius, -radius, radius, radius};
    }
    const double far = std::max({std::hypot(box.minX, box.minY), std::hypot(box.minX, box.maxY),
                                 std::hypot(box.maxX, box.minY), std::hypot(box.maxX, box.maxY)});
    // The box must lie within the seed's middle pentagon or star (the triangles at a
    // pentagon's rim pair with nothing), and every tile near it be settled.
    Patch patch;
    for (int steps = 1; steps <= 16; ++steps) {
        const double size = std::pow(std::numbers::phi * std::numbers::phi, steps);
        if (0.3 * size < far && steps < 16) {
            continue;
        }
        bool whole = true;
        patch = settledPatch(seed, steps, box, mostTiles, set, angles, whole);
        if (whole || patch.tiles.empty()) {
            break;
        }
    }
    return patch;
}

} // namespace pavelora
