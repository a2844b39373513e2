#include "core/tiling/vertexatlas.h"

#include "core/geometry/tilebuilder.h"
#include "core/tiling/shapetable.h"
#include "core/tiling/substitution.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace pavelora {

namespace {

// Corners of the darts and kites, by outline vertex:
//   Dart  0 the tip between the long edges (72°), 1 and 3 the wings (36°), 2 the reflex
//         corner between the short edges (216°).
//   Kaite 0 the apex between the long edges (72°), 1 and 3 the wings (72°), 2 the heel
//         between the short edges (144°).
// A wing is 1 or 3 by which of its edges comes first going anticlockwise round the vertex:
// corner 1 has the short edge first, corner 3 the long one.
constexpr StarCorner kTip{kind::Dart, 0};
constexpr StarCorner kDartWing1{kind::Dart, 1};
constexpr StarCorner kReflex{kind::Dart, 2};
constexpr StarCorner kDartWing3{kind::Dart, 3};
constexpr StarCorner kApex{kind::Kaite, 0};
constexpr StarCorner kKiteWing1{kind::Kaite, 1};
constexpr StarCorner kHeel{kind::Kaite, 2};
constexpr StarCorner kKiteWing3{kind::Kaite, 3};

// The seven vertex stars of the dart and kite tilings, anticlockwise.
const std::vector<VertexStar> kKitesAndDarts = {
    {"sun", {kApex, kApex, kApex, kApex, kApex}},                      // 5 × 72°
    {"star", {kTip, kTip, kTip, kTip, kTip}},                          // 5 × 72°
    {"ace", {kReflex, kKiteWing1, kKiteWing3}},                        // 216 + 72 + 72
    {"deuce", {kDartWing1, kDartWing3, kHeel, kHeel}},                 // 36 + 36 + 144 + 144
    {"jack", {kDartWing1, kApex, kApex, kDartWing3, kHeel}},           // 36 + 72 + 72 + 36 + 144
    {"queen", {kTip, kKiteWing3, kKiteWing1, kKiteWing3, kKiteWing1}}, // 5 × 72°
    {"king", {kTip, kTip, kTip, kKiteWing3, kKiteWing1}},              // 5 × 72°
};

// Corners of the rhombs, by outline vertex:
//   Wide Diamond    0 the acute corner between the edges of code ±1 (72°), 2 the acute
//                   corner between those of code ±2 (72°), 1 and 3 the obtuse ones (108°).
//   Narrow Diamond  0 and 2 the acute corners (36°), 1 the obtuse corner between the edges
//                   of code ±1, 3 the one between those of code ±2 (144°).
constexpr StarCorner kWideAcute1{kind::WideDiamond, 0};
constexpr StarCorner kWideObtuse1{kind::WideDiamond, 1};
constexpr StarCorner kWideAcute2{kind::WideDiamond, 2};
constexpr StarCorner kWideObtuse3{kind::WideDiamond, 3};
constexpr StarCorner kNarrowAcute0{kind::NarrowDiamond2, 0};
constexpr StarCorner kNarrowObtuse1{kind::NarrowDiamond2, 1};
constexpr StarCorner kNarrowAcute2{kind::NarrowDiamond2, 2};
constexpr StarCorner kNarrowObtuse3{kind::NarrowDiamond2, 3};

// The eight vertex stars of the rhomb tilings, anticlockwise.
const std::vector<VertexStar> kRhombs = {
    {"S", {kWideAcute1, kWideAcute1, kWideAcute1, kWideAcute1, kWideAcute1}},  // 5 × 72°
    {"S5", {kWideAcute2, kWideAcute2, kWideAcute2, kWideAcute2, kWideAcute2}}, // 5 × 72°
    {"S3", {kWideAcute2, kWideAcute2, kWideAcute2, kNarrowObtuse3}},           // 3 × 72 + 144
    {"S4",
     {kWideAcute1, kWideAcute1, kWideAcute1, kWideAcute1, kNarrowAcute0,
      kNarrowAcute2}},                                    // 4 × 72 + 2 × 36
    {"J", {kWideObtuse1, kNarrowObtuse1, kWideObtuse3}},  // 108 + 144 + 108
    {"K", {kWideAcute2, kNarrowObtuse3, kNarrowObtuse3}}, // 72 + 144 + 144
    {"Q",
     {kWideAcute1, kNarrowAcute0, kWideObtuse1, kWideObtuse3,
      kNarrowAcute2}}, // 72 + 36 + 2 × 108 + 36
    {"D",
     {kWideAcute1, kWideAcute1, kNarrowAcute0, kNarrowAcute2, kWideAcute1, kNarrowAcute0,
      kNarrowAcute2}}, // 3 × 72 + 4 × 36
};

const std::vector<VertexStar> kNone;

int wrap(int direction, int count) {
    return ((direction % count) + count) % count;
}

// The lowest corner of an outline that looks like `corner`: the outline seen from either, going
// round, has the same edges turned alike, with the same lengths and codes.
int lowestAlikeCorner(const EdgeChain& o, int corner, int directions) {
    const int count = o.count();
    const auto alike = [&](int a, int b) {
        for (int e = 0; e < count; ++e) {
            const TileEdge& ea = o.edges[(a + e) % count];
            const TileEdge& eb = o.edges[(b + e) % count];
            if (wrap(ea.direction - o.edges[a].direction, directions) !=
                    wrap(eb.direction - o.edges[b].direction, directions) ||
                ea.length != eb.length || ea.matchCode != eb.matchCode) {
                return false;
            }
        }
        return true;
    };
    for (int lower = 0; lower < corner; ++lower) {
        if (alike(lower, corner)) {
            return lower;
        }
    }
    return corner;
}

// The pentagon set's stars have no published list in this set's kinds and codes: they are read
// off its substitution patches, which hold every star of the tilings once they are deep
// enough. Every vertex that the patch's tiles close to a full turn gives the anticlockwise
// sequence of its corners, taken from the corner that sorts first of all its turns so that a
// star found at two turns is one star.
constexpr int kPentagonStarSteps = 5;

std::vector<VertexStar> pentagonStars() {
    const auto set = createTileSet(setcode::PenroseNo3);
    const AngleTable angles = createAngleTable(*set);
    const int n = set->directionCount;
    std::set<std::vector<std::pair<std::int32_t, int>>> found;
    for (PatchSeed seed : {PatchSeed::Sun, PatchSeed::Star}) {
        const Patch patch = deflatePentagons(seed, kPentagonStarSteps, *set, angles);
        const ShapeTable shapes(*set, angles, patch.edgeParity);
        // Every corner at a point: where its angle starts, its span, the kind and corner.
        struct Corner {
            int start;
            int span;
            std::int32_t kind;
            int corner;
        };
        std::map<LatticePoint, std::vector<Corner>> at;
        std::map<std::int32_t, std::unique_ptr<Tile>> units;
        for (const PatchTile& t : patch.tiles) {
            const ShapeTable::Shape* shape = shapes.shape(t.kind, t.rotation);
            auto& unit = units[t.kind];
            if (!unit) {
                unit = buildTile(set.get(), &angles, t.kind, 0);
            }
            if (shape == nullptr || !unit) {
                continue;
            }
            const std::size_t count = shape->edges.size();
            LatticePoint p = t.corner;
            for (std::size_t k = 0; k < count; ++k) {
                const int out = shape->directions[k];
                const int into = shape->directions[(k + count - 1) % count];
                // A corner of a tile that a turn maps onto itself is named as its alike
                // corner of lowest number, as the atlas names it.
                const int corner = lowestAlikeCorner(unit->outline, static_cast<int>(k), n);
                at[p].push_back({out, wrap(into + n / 2 - out, n), t.kind, corner});
                p = p + shape->edges[k];
            }
        }
        for (auto& [point, corners] : at) {
            std::sort(corners.begin(), corners.end(),
                      [](const Corner& a, const Corner& b) { return a.start < b.start; });
            bool whole = true;
            for (std::size_t i = 0; i < corners.size() && whole; ++i) {
                const Corner& next = corners[(i + 1) % corners.size()];
                whole = wrap(corners[i].start + corners[i].span, n) == next.start;
            }
            int turn = 0;
            for (const Corner& c : corners) {
                turn += c.span;
            }
            if (!whole || turn != n) {
                continue; // on the patch's rim
            }
            std::vector<std::pair<std::int32_t, int>> first;
            for (std::size_t from = 0; from < corners.size(); ++from) {
                std::vector<std::pair<std::int32_t, int>> round;
                for (std::size_t i = 0; i < corners.size(); ++i) {
                    const Corner& c = corners[(from + i) % corners.size()];
                    round.emplace_back(c.kind, c.corner);
                }
                if (first.empty() || round < first) {
                    first = std::move(round);
                }
            }
            found.insert(std::move(first));
        }
    }
    std::vector<VertexStar> stars;
    for (const auto& corners : found) {
        VertexStar star{"P" + std::to_string(stars.size() + 1), {}};
        for (const auto& [kind, corner] : corners) {
            star.corners.push_back({kind, corner});
        }
        stars.push_back(std::move(star));
    }
    return stars;
}

} // namespace

bool hasVertexStars(std::int32_t setCode) {
    // The pentagon set's stars are read off only when they are first asked for.
    return setCode == setcode::PenroseNo3 || !vertexStars(setCode).empty();
}

const std::vector<VertexStar>& vertexStars(std::int32_t setCode) {
    switch (setCode) {
    case setcode::PenroseNo1:
        return kKitesAndDarts;
    case setcode::PenroseNo2:
        return kRhombs;
    case setcode::PenroseNo3: {
        static const std::vector<VertexStar> stars = pentagonStars();
        return stars;
    }
    default:
        return kNone;
    }
}

std::unique_ptr<VertexAtlas> VertexAtlas::create(const TileSet& tileSet, const AngleTable& angles) {
    const std::vector<VertexStar>& stars = vertexStars(tileSet.code);
    if (stars.empty() || tileSet.directionCount <= 0) {
        return nullptr;
    }
    std::unique_ptr<VertexAtlas> atlas(new VertexAtlas);
    atlas->setCode_ = tileSet.code;
    atlas->directions_ = tileSet.directionCount;
    atlas->stars_ = &stars;
    atlas->kinds_ = tileSet.kindCodes;
    for (std::int32_t kind : atlas->kinds_) {
        for (int r = 0; r < atlas->directions_; ++r) {
            std::unique_ptr<Tile> unit = buildTile(&tileSet, &angles, kind, r);
            if (!unit) {
                return nullptr;
            }
            atlas->maxCorners_ = std::max(atlas->maxCorners_, unit->outline.count());
            atlas->units_.push_back(std::move(unit));
        }
    }
    const int n = atlas->directions_;
    atlas->masks_.assign(atlas->kinds_.size() * n * atlas->maxCorners_, Mask());
    // Each corner's slot names the slot of the alike corner of lowest number whose angle
    // starts where its own does.
    atlas->canonicalSlot_.resize(atlas->masks_.size());
    for (std::size_t k = 0; k < atlas->kinds_.size(); ++k) {
        const EdgeChain& o = atlas->units_[k * n]->outline;
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < atlas->maxCorners_; ++c) {
                const PlacedCorner corner{atlas->kinds_[k], r, c};
                PlacedCorner same = corner;
                if (c < o.count()) {
                    same.corner = lowestAlikeCorner(o, c, n);
                    same.rotation =
                        wrap(atlas->cornerStart(corner) - o.edges[same.corner].direction, n);
                }
                atlas->canonicalSlot_[atlas->slot(corner)] = atlas->slot(same);
            }
        }
    }

    for (int s = 0; s < static_cast<int>(stars.size()); ++s) {
        const VertexStar& star = stars[s];
        for (int turn = 0; turn < n; ++turn) {
            StarPlacement placement{s, turn, {}};
            int start = turn;
            for (const StarCorner& c : star.corners) {
                const Tile* unit0 = atlas->unitTile(c.kind, 0);
                if (unit0 == nullptr || c.corner < 0 || c.corner >= unit0->outline.count()) {
                    return nullptr;
                }
                const int rotation = wrap(start - unit0->outline.edges[c.corner].direction, n);
                placement.corners.push_back(atlas->canonical({c.kind, rotation, c.corner}));
                start += atlas->cornerSpan(c.kind, c.corner);
            }
            if (start != turn + n) {
                return nullptr; // the angles do not make a full turn
            }
            // Neighbours round the vertex lay the edge that ends at the vertex on the
            // edge that leaves it: equal length and codes that cancel.
            const std::size_t m = placement.corners.size();
            for (std::size_t i = 0; i < m; ++i) {
                const PlacedCorner& a = placement.corners[i];
                const PlacedCorner& b = placement.corners[(i + 1) % m];
                const EdgeChain& ao = atlas->unitTile(a.kind, a.rotation)->outline;
                const TileEdge& into = ao.edges[(a.corner + ao.count() - 1) % ao.count()];
                const TileEdge& out = atlas->unitTile(b.kind, b.rotation)->outline.edges[b.corner];
                if (into.length != out.length || (into.direction + n / 2) % n != out.direction ||
                    (tileSet.hasPairPattern != 0 && into.matchCode + out.matchCode != 0)) {
                    return nullptr;
                }
            }
            // A symmetric star comes round to an earlier placement of itself.
            const bool seen = std::any_of(
                atlas->placements_.begin(), atlas->placements_.end(), [&](const StarPlacement& p) {
                    return p.star == s &&
                           std::is_permutation(p.corners.begin(), p.corners.end(),
                                               placement.corners.begin(), placement.corners.end());
                });
            if (seen) {
                continue;
            }
            if (static_cast<int>(atlas->placements_.size()) >= MaxPlacements) {
                return nullptr;
            }
            const int index = static_cast<int>(atlas->placements_.size());
            for (const PlacedCorner& c : placement.corners) {
                atlas->masks_[atlas->slot(c)].set(index);
            }
            atlas->placements_.push_back(std::move(placement));
        }
    }
    return atlas;
}

int VertexAtlas::slot(const PlacedCorner& c) const {
    const auto at = std::find(kinds_.begin(), kinds_.end(), c.kind);
    if (at == kinds_.end() || c.rotation < 0 || c.rotation >= directions_ || c.corner < 0 ||
        c.corner >= maxCorners_) {
        return -1;
    }
    return (static_cast<int>(at - kinds_.begin()) * directions_ + c.rotation) * maxCorners_ +
           c.corner;
}

const Tile* VertexAtlas::unitTile(std::int32_t kind, std::int32_t rotation) const {
    const auto at = std::find(kinds_.begin(), kinds_.end(), kind);
    if (at == kinds_.end() || rotation < 0 || rotation >= directions_) {
        return nullptr;
    }
    return units_[static_cast<std::size_t>(at - kinds_.begin()) * directions_ + rotation].get();
}

int VertexAtlas::cornerCount(std::int32_t kind) const {
    const Tile* unit = unitTile(kind, 0);
    return unit != nullptr ? unit->outline.count() : 0;
}

int VertexAtlas::cornerStart(const PlacedCorner& c) const {
    const Tile* unit = unitTile(c.kind, c.rotation);
    return unit != nullptr ? unit->outline.edges[c.corner].direction : 0;
}

int VertexAtlas::cornerSpan(std::int32_t kind, int corner) const {
    const Tile* unit = unitTile(kind, 0);
    if (unit == nullptr) {
        return 0;
    }
    const EdgeChain& o = unit->outline;
    const int out = o.edges[corner].direction;
    const int into = o.edges[(corner + o.count() - 1) % o.count()].direction;
    // From the leaving edge anticlockwise round to the arriving edge, reversed.
    return wrap(into + directions_ / 2 - out, directions_);
}

const VertexAtlas::Mask& VertexAtlas::placementsWith(const PlacedCorner& c) const {
    const int s = slot(c);
    return s >= 0 && c.corner < cornerCount(c.kind) ? masks_[canonicalSlot_[s]] : none_;
}

PlacedCorner VertexAtlas::canonical(const PlacedCorner& c) const {
    const int s = slot(c);
    if (s < 0) {
        return c;
    }
    const int same = canonicalSlot_[s];
    return {kinds_[static_cast<std::size_t>(same / (directions_ * maxCorners_))],
            same / maxCorners_ % directions_, same % maxCorners_};
}

} // namespace pavelora
