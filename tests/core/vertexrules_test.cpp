// The vertex stars of the Penrose sets and what they tell about a patch: which vertices can
// still be completed, and which tiles every completion must hold.
#include "core/tiling/forcing.h"
#include "core/tiling/generator.h"
#include "core/tiling/vertexrules.h"
#include "fixture.h"
#include "support/penrosepatch.h"
#include "support/roundvertex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <tuple>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

struct SetCase {
    const char* name;
    std::int32_t set;
    std::size_t stars;
};

const SetCase kSets[] = {{"KitesAndDarts", setcode::PenroseNo1, 7},
                         {"Rhombs", setcode::PenroseNo2, 8},
                         {"Pentagons", setcode::PenroseNo3, 14}};

const Patch& patchOf(const SetCase& c, int tiles) {
    static std::map<std::pair<std::int32_t, int>, Patch> made;
    auto [at, fresh] = made.try_emplace({c.set, tiles});
    if (fresh) {
        at->second = generatePatch(c.set, PatchSeed::Sun, tiles);
    }
    return at->second;
}

// Holes in the 5,000-tile patch: about one tile in `oneIn` (drawn with `seed`) within `radius`
// tile units of its middle.
std::vector<int> holesIn(const SetCase& c, double radius, unsigned seed, unsigned oneIn) {
    const Patch& whole = patchOf(c, 5000);
    std::vector<int> removed;
    std::mt19937 random(seed);
    for (int i = 0; i < whole.size(); ++i) {
        const PatchTile& t = whole.tiles[i];
        if (std::hypot(t.x - whole.centreX, t.y - whole.centreY) < radius &&
            random() % oneIn == 0) {
            removed.push_back(i);
        }
    }
    return removed;
}

class Rules : public testing::TestWithParam<SetCase> {};

// The tiles of a generated patch within `radius` tile units of its centre, less those listed in
// `removed`, laid as one joined group in the middle of an "Ａ３横" board, 13 cm across.
struct LaidPatch {
    BoardFixture f;
    std::unique_ptr<VertexAtlas> atlas;
    const Patch& patch;
    double ox;
    double oy;
    std::vector<int> laid;
    TileGroup* group = nullptr;

    LaidPatch(const SetCase& c, int tiles, double radius, const std::vector<int>& removed = {})
        : f(c.set, 60002), patch(patchOf(c, tiles)) {
        f.doc.view.tileSizeRatio = 13.0 / (radius + 2);
        rebuildView(f.doc.view, 1.0);
        atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
        ox = boardWidthCm(f.doc.view) / 2;
        oy = boardHeightCm(f.doc.view) / 2;
        std::vector<int> skip;
        for (int i = 0; i < patch.size(); ++i) {
            const bool inside = std::hypot(patch.tiles[i].x - patch.centreX,
                                           patch.tiles[i].y - patch.centreY) < radius;
            if (!inside || std::find(removed.begin(), removed.end(), i) != removed.end()) {
                skip.push_back(i);
            } else {
                laid.push_back(i);
            }
        }
        group = layPatch(f.doc, patch, ox - patch.centreX * f.doc.view.tileSizeRatio,
                         oy - patch.centreY * f.doc.view.tileSizeRatio, skip);
    }

    // The middle of a tile's corners, in tile units from its position.
    std::pair<double, double> middle(std::int32_t kind, std::int32_t rotation) const {
        const EdgeChain& o = atlas->unitTile(kind, rotation)->outline;
        double x = 0;
        double y = 0;
        for (const TileEdge& e : o.edges) {
            x += e.x1 / o.count();
            y += e.y1 / o.count();
        }
        return {x, y};
    }

    // The patch tile a board tile stands for, or -1: the same kind with its corners round the
    // same middle (a kind that a turn maps onto itself may come at another rotation).
    int patchTileOf(const Tile& t) const {
        const double ratio = f.doc.view.tileSizeRatio;
        const auto [tx, ty] = middle(t.kind, t.rotation);
        for (int i = 0; i < patch.size(); ++i) {
            const PatchTile& p = patch.tiles[i];
            const auto [px, py] = middle(p.kind, p.rotation);
            // Positions are sums of products and round differently: a hair apart.
            if (p.kind == t.kind &&
                std::fabs(ox + (p.x - patch.centreX + px) * ratio - t.x - tx * ratio) <
                    1e-9 * ratio &&
                std::fabs(oy + (p.y - patch.centreY + py) * ratio - t.y - ty * ratio) <
                    1e-9 * ratio) {
                return i;
            }
        }
        return -1;
    }
};

TEST_P(Rules, TheAtlasHoldsThePublishedStarsEachAFullTurn) {
    BoardFixture f(GetParam().set);
    const auto atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
    ASSERT_NE(atlas, nullptr);
    EXPECT_EQ(atlas->stars().size(), GetParam().stars);
    std::vector<std::multiset<std::pair<int, int>>> placements;
    for (const StarPlacement& p : atlas->placements()) {
        int degrees = 0;
        for (const PlacedCorner& c : p.corners) {
            degrees += atlas->cornerSpan(c.kind, c.corner) * f.doc.tileSet->directionStep;
        }
        EXPECT_EQ(degrees, 360) << atlas->stars()[p.star].name;
        std::vector<PlacedCorner> corners = p.corners;
        EXPECT_EQ(vertexState(*atlas, corners), VertexState::Complete);
        corners.pop_back();
        EXPECT_EQ(vertexState(*atlas, corners), VertexState::Open);
    }
    // No star is another one turned: their placements are all different.
    for (std::size_t a = 0; a < atlas->placements().size(); ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            const auto& pa = atlas->placements()[a].corners;
            const auto& pb = atlas->placements()[b].corners;
            EXPECT_FALSE(std::is_permutation(pa.begin(), pa.end(), pb.begin(), pb.end()));
        }
    }
    // Each star at each of the 20 directions, a star with fivefold symmetry at 4 of them.
    std::size_t expected = 0;
    for (const VertexStar& star : atlas->stars()) {
        const bool fivefold =
            std::all_of(star.corners.begin(), star.corners.end(), [&](const StarCorner& c) {
                return c.kind == star.corners[0].kind && c.corner == star.corners[0].corner;
            });
        expected += fivefold ? 4 : 20;
    }
    EXPECT_EQ(atlas->placements().size(), expected);
}

TEST(RulesAtlas, TheOtherSetsHaveNone) {
    for (std::int32_t set : {setcode::Durer, setcode::Kepler}) {
        BoardFixture f(set);
        EXPECT_EQ(VertexAtlas::create(*f.doc.tileSet, f.doc.angles), nullptr) << set;
    }
}

// In a patch cut from a Penrose tiling every vertex is part of a star, every vertex inside
// the patch is a whole star, and each star of the atlas turns up.
TEST_P(Rules, EveryVertexOfATilingIsAStarAndEveryStarOccurs) {
    LaidPatch p(GetParam(), 4000, 25.0);
    ASSERT_NE(p.atlas, nullptr);
    EXPECT_TRUE(deadEnds(p.f.doc, *p.atlas).empty());

    VertexMap map(p.f.doc.view.tileSizeRatio);
    for (const auto& t : p.group->tiles) {
        map.addTile(*t);
    }
    std::set<int> seen;
    int complete = 0;
    const double inner = 0.75 * 13.0; // well inside the laid disc
    for (int v = 0; v < static_cast<int>(map.vertices().size()); ++v) {
        const auto corners = map.placedCorners(v);
        const VertexState state = vertexState(*p.atlas, corners);
        EXPECT_NE(state, VertexState::DeadEnd);
        const auto& vertex = map.vertices()[v];
        if (std::hypot(vertex.x - p.ox, vertex.y - p.oy) < inner) {
            ASSERT_EQ(state, VertexState::Complete) << vertex.x << " " << vertex.y;
        }
        if (state == VertexState::Complete) {
            ++complete;
            VertexAtlas::Mask m;
            m.set();
            for (const PlacedCorner& c : corners) {
                m &= p.atlas->placementsWith(c);
            }
            for (int k = 0; k < VertexAtlas::MaxPlacements; ++k) {
                if (m.test(k)) {
                    seen.insert(p.atlas->placements()[k].star);
                }
            }
        }
    }
    EXPECT_GT(complete, 1000);
    EXPECT_EQ(seen.size(), GetParam().stars);
}

// A Pentagon1 or a pentagram turned by a fifth of a turn lies where it lay: the tiles of a
// pentagon tiling named at any of the rotations that give their outlines leave every vertex as
// it was. The other namings are found by comparing outlines seen from the corner.
TEST(RulesAtlas, APentagonTileAtAnyRotationThatGivesItsOutlineIsTheSameTile) {
    const SetCase pentagons = kSets[2];
    LaidPatch p(pentagons, 1000, 10.0);
    const int n = p.atlas->directionCount();
    const auto seenFrom = [&](const PlacedCorner& c) {
        const EdgeChain& o = p.atlas->unitTile(c.kind, c.rotation)->outline;
        std::vector<std::tuple<int, double, std::int32_t>> round;
        for (int e = 0; e < o.count(); ++e) {
            const TileEdge& edge = o.edges[(c.corner + e) % o.count()];
            round.emplace_back(edge.direction, edge.length, edge.matchCode);
        }
        return round;
    };
    VertexMap map(p.f.doc.view.tileSizeRatio);
    for (const auto& t : p.group->tiles) {
        map.addTile(*t);
    }
    int renamed = 0;
    for (int v = 0; v < static_cast<int>(map.vertices().size()); ++v) {
        const std::vector<PlacedCorner> corners = map.placedCorners(v);
        const VertexState state = vertexState(*p.atlas, corners);
        for (std::size_t i = 0; i < corners.size(); ++i) {
            for (int r = 0; r < n; ++r) {
                for (int k = 0; k < p.atlas->cornerCount(corners[i].kind); ++k) {
                    std::vector<PlacedCorner> others = corners;
                    others[i] = {corners[i].kind, r, k};
                    if (others[i] != corners[i] && seenFrom(others[i]) == seenFrom(corners[i])) {
                        ++renamed;
                        EXPECT_EQ(vertexState(*p.atlas, others), state);
                    }
                }
            }
        }
    }
    EXPECT_GT(renamed, 100);
}

// Tiles laid one by one round a point, each joined through the editor's snapping (so every
// shared edge obeys the codes), the first corner's angle starting at direction `turn`.
void layRound(BoardFixture& f, const VertexAtlas& atlas, double x, double y, int turn,
              const std::vector<StarCorner>& corners) {
    const auto placements =
        testsupport::roundVertex(atlas, f.doc.view.tileSizeRatio, x, y, turn, corners);
    f.putTile(placements[0].kind, placements[0].rotation, placements[0].x, placements[0].y);
    for (std::size_t i = 1; i < placements.size(); ++i) {
        f.drop(placements[i].kind, placements[i].rotation, placements[i].x, placements[i].y);
        ASSERT_TRUE(joinCurrentTile(f.doc, f.sel)) << "tile " << i;
    }
}

// A dart's wing followed by three kites' apexes: every edge obeys the codes, but the sun
// has no dart and the jack only two apexes after the wing.
TEST(RulesDeadEnd, ADartWingWithThreeKiteApexesIsReportedAtItsVertex) {
    BoardFixture f(setcode::PenroseNo1);
    const auto atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
    layRound(f, *atlas, 10.0, 14.0, 3,
             {{kind::Dart, 1}, {kind::Kaite, 0}, {kind::Kaite, 0}, {kind::Kaite, 0}});
    ASSERT_EQ(f.doc.board.count(), 1);
    const std::vector<DeadEnd> ends = deadEnds(f.doc, *atlas);
    ASSERT_EQ(ends.size(), 1u);
    // The vertex is a sum of products away from the point given.
    EXPECT_NEAR(ends[0].x, 10.0, 1e-12);
    EXPECT_NEAR(ends[0].y, 14.0, 1e-12);
    EXPECT_EQ(deadEndsIn(f.doc, *atlas, 9.0, 13.0, 11.0, 15.0).size(), 1u);
    EXPECT_TRUE(deadEndsIn(f.doc, *atlas, 10.5, 13.0, 12.0, 15.0).empty());

    // Without the third apex the wing and two apexes are part of a jack: the mark goes when
    // the marks round the edit are brought up to date, and only those.
    std::vector<DeadEnd> marks = ends;
    marks.push_back({3.0, 3.0});
    TileGroup& group = *f.doc.board.groups[0];
    removeTileFromGroup(f.doc, group, group.tiles.back().get());
    refreshDeadEnds(marks, f.doc, *atlas, 9.0, 13.0, 11.0, 15.0);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].x, 3.0);
}

TEST(RulesDeadEnd, ThreeNarrowRhombsAtTheirAcuteCornersAreADeadEnd) {
    // The S4 and the D hold two acute corners of narrow rhombs side by side, never three.
    BoardFixture f(setcode::PenroseNo2);
    const auto atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
    layRound(f, *atlas, 10.0, 14.0, 0,
             {{kind::NarrowDiamond2, 0}, {kind::NarrowDiamond2, 2}, {kind::NarrowDiamond2, 0}});
    // The obtuse corners at the rhombs' far ends meet as no star has them either.
    const std::vector<DeadEnd> ends = deadEnds(f.doc, *atlas);
    EXPECT_TRUE(std::any_of(ends.begin(), ends.end(), [](const DeadEnd& d) {
        return std::fabs(d.x - 10.0) < 1e-12 && std::fabs(d.y - 14.0) < 1e-12;
    }));
}

// Every way of closing a vertex of the pentagon set with corners whose edges meet as the codes
// allow, found by search. The stars are among them; those that are no star are dead ends,
// and laid round a point by the editor's own joins each is reported there.
TEST(RulesDeadEnd, PentagonVerticesThatObeyTheCodesButAreNoStarAreReported) {
    BoardFixture probe(setcode::PenroseNo3);
    const auto atlas = VertexAtlas::create(*probe.doc.tileSet, probe.doc.angles);
    ASSERT_NE(atlas, nullptr);
    const int n = atlas->directionCount();
    std::vector<std::vector<PlacedCorner>> closed;
    std::vector<PlacedCorner> path;
    const auto meet = [&](const PlacedCorner& a, const PlacedCorner& b) {
        const EdgeChain& ao = atlas->unitTile(a.kind, a.rotation)->outline;
        const TileEdge& into = ao.edges[(a.corner + ao.count() - 1) % ao.count()];
        const TileEdge& out = atlas->unitTile(b.kind, b.rotation)->outline.edges[b.corner];
        return into.length == out.length && into.matchCode + out.matchCode == 0;
    };
    const std::function<void(int)> grow = [&](int start) {
        if (start == n) {
            if (meet(path.back(), path.front())) {
                closed.push_back(path);
            }
            return;
        }
        for (std::int32_t kind : probe.doc.tileSet->kindCodes) {
            for (int corner = 0; corner < atlas->cornerCount(kind); ++corner) {
                const int base = atlas->unitTile(kind, 0)->outline.edges[corner].direction;
                const PlacedCorner c{kind, (start - base + n) % n, corner};
                if (start + atlas->cornerSpan(kind, corner) <= n &&
                    (path.empty() || meet(path.back(), c))) {
                    path.push_back(c);
                    grow(start + atlas->cornerSpan(kind, corner));
                    path.pop_back();
                }
            }
        }
    };
    grow(0);
    std::vector<std::vector<StarCorner>> deadEndsFound;
    for (const auto& corners : closed) {
        if (vertexState(*atlas, corners) == VertexState::DeadEnd) {
            std::vector<StarCorner> round;
            for (const PlacedCorner& c : corners) {
                round.push_back({c.kind, c.corner});
            }
            deadEndsFound.push_back(round);
        } else {
            EXPECT_EQ(vertexState(*atlas, corners), VertexState::Complete);
        }
    }
    ASSERT_FALSE(deadEndsFound.empty());
    int laid = 0;
    for (const auto& round : deadEndsFound) {
        BoardFixture f(setcode::PenroseNo3);
        const auto at = testsupport::roundVertex(*atlas, 1.0, 10.0, 14.0, 0, round);
        f.putTile(at[0].kind, at[0].rotation, at[0].x, at[0].y);
        bool joined = true;
        for (std::size_t i = 1; i < at.size() && joined; ++i) {
            f.drop(at[i].kind, at[i].rotation, at[i].x, at[i].y);
            joined = joinCurrentTile(f.doc, f.sel); // refused where the tiles would overlap
        }
        if (!joined) {
            continue;
        }
        ++laid;
        const std::vector<DeadEnd> ends = deadEnds(f.doc, *atlas);
        EXPECT_TRUE(std::any_of(ends.begin(), ends.end(), [](const DeadEnd& d) {
            return std::fabs(d.x - 10.0) < 1e-12 && std::fabs(d.y - 14.0) < 1e-12;
        }));
    }
    EXPECT_GT(laid, 0);
}

// A kite laid with a short edge along part of a dart's long edge: the kite's corner on the
// inside of the dart's edge is a dead end, though one corner alone is part of many stars.
TEST(RulesDeadEnd, ACornerOnTheInsideOfAnotherTilesEdgeIsADeadEnd) {
    BoardFixture f(setcode::PenroseNo1);
    const auto atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 14.0);
    const TileEdge& along = dart->outline.edges[0];
    const double length = std::hypot(along.x2 - along.x1, along.y2 - along.y1);
    // One unit from the dart's tip along its long edge.
    const double tx = along.x1 + (along.x2 - along.x1) / length;
    const double ty = along.y1 + (along.y2 - along.y1) / length;
    for (int r = 0; r < 20; ++r) {
        const EdgeChain& unit = atlas->unitTile(kind::Kaite, r)->outline;
        if (unit.edges[1].direction == (along.direction + 10) % 20) {
            // The kite's short edge 1 runs from the point back to the tip.
            addJoinedTile(
                f.doc, *dart->group,
                {kind::Kaite, r, along.x1 - unit.edges[2].x1, along.y1 - unit.edges[2].y1});
        }
    }
    ASSERT_EQ(dart->group->count(), 2);
    const std::vector<DeadEnd> ends = deadEnds(f.doc, *atlas);
    EXPECT_TRUE(std::any_of(ends.begin(), ends.end(), [&](const DeadEnd& d) {
        return std::fabs(d.x - tx) < 1e-12 && std::fabs(d.y - ty) < 1e-12;
    }));
}

// Holes cut into a patch of a tiling: forcing puts back only tiles of the tiling, each
// joined along every edge it shares, exactly, and overlapping nothing.
TEST_P(Rules, ForcingPutsBackOnlyTilesOfTheTiling) {
    // The whole patch reaches past the board: every tile forced onto it can be looked up.
    const std::vector<int> removed = holesIn(GetParam(), 8.0, 7, 5);
    LaidPatch p(GetParam(), 5000, 11.0, removed);
    const int before = p.group->count();
    const std::vector<Tile*> added = completeForced(p.f.doc, *p.group, *p.atlas);
    EXPECT_EQ(p.group->count(), before + static_cast<int>(added.size()));
    std::set<int> back;
    for (const Tile* t : added) {
        const int i = p.patchTileOf(*t);
        ASSERT_GE(i, 0) << "a tile the tiling does not have at " << t->x << " " << t->y;
        EXPECT_FALSE(std::binary_search(p.laid.begin(), p.laid.end(), i)) << i;
        EXPECT_TRUE(back.insert(i).second) << "tile " << i << " twice";
    }
    // Every hole is filled again.
    int refilled = 0;
    for (int i : removed) {
        refilled += back.count(i) != 0 ? 1 : 0;
    }
    EXPECT_EQ(refilled, static_cast<int>(removed.size()));
    std::fprintf(stderr, "DBG refilled %d of %zu\n", refilled, removed.size());
    EXPECT_TRUE(deadEnds(p.f.doc, *p.atlas).empty());

    for (const Tile* t : added) {
        for (const auto& other : p.group->tiles) {
            if (other.get() != t) {
                ASSERT_FALSE(testsupport::tilesOverlap(*t, *other));
            }
        }
        for (const TileEdge& e : t->outline.edges) {
            if (e.neighbour == nullptr) {
                continue;
            }
            const auto& theirs = e.neighbour->outline.edges;
            const auto back = std::find_if(theirs.begin(), theirs.end(), [&](const TileEdge& g) {
                return g.neighbour == t && g.x1 == e.x2 && g.y1 == e.y2 && g.x2 == e.x1 &&
                       g.y2 == e.y1;
            });
            ASSERT_NE(back, theirs.end());
            EXPECT_EQ(back->matchCode + e.matchCode, 0);
            EXPECT_EQ(back->length, e.length);
        }
    }
    // The group's indexes take the new tiles in.
    int free = 0;
    for (const EdgeRow& row : p.group->boundary.rows) {
        free += static_cast<int>(row.edges.size());
    }
    int unlinked = 0;
    for (const auto& t : p.group->tiles) {
        for (const TileEdge& e : t->outline.edges) {
            unlinked += e.neighbour == nullptr ? 1 : 0;
        }
    }
    EXPECT_EQ(free, unlinked);

    // Taken off and put back as undo and redo do it, the tiles come back exactly.
    const std::vector<TileState> records = recordTilesFrom(*p.group, before);
    removeTilesFrom(p.f.doc, *p.group, before);
    ASSERT_EQ(p.group->count(), before);
    for (const auto& t : p.group->tiles) {
        for (const TileEdge& e : t->outline.edges) {
            EXPECT_TRUE(e.neighbour == nullptr || e.neighbour->group == p.group);
        }
    }
    appendRecordedTiles(p.f.doc, *p.group, records);
    ASSERT_EQ(p.group->count(), before + static_cast<int>(added.size()));
    for (std::size_t k = 0; k < records.size(); ++k) {
        const TileState again = recordTile(*p.group, before + static_cast<int>(k));
        EXPECT_EQ(again.edges, records[k].edges);
        EXPECT_EQ(again.neighbours, records[k].neighbours);
    }
}

// Holes close together: a tile forced at one vertex can leave fewer tiles fitting at another
// vertex that it does not touch, so forcing goes on until a second run finds nothing more.
TEST_P(Rules, ForcingEndsOnlyWhenNothingMoreIsForced) {
    LaidPatch p(GetParam(), 5000, 6.0, holesIn(GetParam(), 5.0, 11, 6));
    EXPECT_FALSE(completeForced(p.f.doc, *p.group, *p.atlas).empty());
    EXPECT_TRUE(completeForced(p.f.doc, *p.group, *p.atlas).empty());
}

// On a free edge of a patch, the tile the tiling has there is among the legal ones, and each
// legal one, laid there, leaves no dead end.
TEST_P(Rules, TheTileOfTheTilingIsAmongTheLegalOnesAtAnEdge) {
    LaidPatch p(GetParam(), 600, 6.0);
    int edges = 0;
    for (int k = 0; k < p.group->count() && edges < 12; k += 7) {
        Tile* t = p.group->tiles[k].get();
        for (TileEdge& e : t->outline.edges) {
            if (e.neighbour != nullptr) {
                continue;
            }
            const auto legal = legalTilesAt(p.f.doc, *p.group, e, *p.atlas);
            bool truth = false;
            for (const TilePlacement& c : legal) {
                LaidPatch q(GetParam(), 600, 6.0);
                Tile* put = addJoinedTile(q.f.doc, *q.group, c);
                ASSERT_NE(put, nullptr);
                EXPECT_TRUE(deadEnds(q.f.doc, *q.atlas).empty());
                truth = truth || q.patchTileOf(*put) >= 0;
                EXPECT_TRUE(std::any_of(put->outline.edges.begin(), put->outline.edges.end(),
                                        [&](const TileEdge& g) { return g.neighbour != nullptr; }));
            }
            // An edge of the patch's rim: the tiling goes on with one of the legal tiles.
            if (!legal.empty()) {
                EXPECT_TRUE(truth);
                ++edges;
            }
        }
    }
    EXPECT_GT(edges, 0);
}

INSTANTIATE_TEST_SUITE_P(Sets, Rules, testing::ValuesIn(kSets),
                         [](const testing::TestParamInfo<SetCase>& info) {
                             return info.param.name;
                         });

} // namespace
