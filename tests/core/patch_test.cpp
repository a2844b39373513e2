// Legal Penrose patches from the tests' generator laid on a board tile by tile through
// placeTile and joinCurrentTile: every legal drop must join, land exactly where the tiling
// puts it and link both ways.
#include "core/board/rescale.h"
#include "core/tiling/generator.h"
#include "fixture.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

struct SetCase {
    const char* name;
    std::int32_t set;
    PatchSeed seed;
};

const SetCase kSets[] = {{"KitesAndDarts", setcode::PenroseNo1, PatchSeed::Sun},
                         {"Rhombs", setcode::PenroseNo2, PatchSeed::Star},
                         {"Pentagons", setcode::PenroseNo3, PatchSeed::Sun}};

// Patches are grown once per set and size.
const std::vector<PatchTile>& patchOf(const SetCase& c, int tiles) {
    static std::map<std::pair<std::int32_t, int>, std::vector<PatchTile>> made;
    auto [at, fresh] = made.try_emplace({c.set, tiles});
    if (fresh) {
        at->second = generatePatch(c.set, c.seed, tiles).tiles;
    }
    return at->second;
}

class PatchAssembly : public testing::TestWithParam<SetCase> {};
class DetachedFromAPatch : public testing::TestWithParam<SetCase> {};

// Lays generated patches on an "Ａ３横" board, centred on the board.
struct Assembly {
    BoardFixture f;
    double ratio;
    std::vector<PatchTile> patch;
    std::vector<std::vector<int>> neighbours;
    double originX;
    double originY;
    std::map<const Tile*, int> index; // board tile -> patch tile

    explicit Assembly(const SetCase& c, double tileSize = 1.0, double zoom = 1.0, int tiles = 120)
        : f(c.set, 60002), ratio(tileSize), patch(patchOf(c, tiles)),
          neighbours(testsupport::edgeNeighbours(patch, *f.doc.tileSet, f.doc.angles)),
          originX(boardWidthCm(f.doc.view) / 2), originY(boardHeightCm(f.doc.view) / 2) {
        f.doc.view.tileSizeRatio = ratio;
        rebuildView(f.doc.view, zoom);
    }

    double trueX(int i) const { return originX + ratio * patch[i].x; }
    double trueY(int i) const { return originY + ratio * patch[i].y; }

    // Drops each tile of the order near its place, off by a random amount within the snap
    // tolerance, through the pixel of that point, and joins it; the first tile fixes where
    // the patch lies. Where a pixel is as wide as the tolerance no drop through a pixel can
    // be sure to come within it: there the tile is put at the point itself.
    void assemble(const std::vector<int>& order, unsigned seed) {
        const double tau = snapTolerance(f.doc);
        const double pixel = std::max(f.doc.view.cmPerPixelX, f.doc.view.cmPerPixelY);
        const bool throughPixels = pixel < tau / 2;
        // Going through a pixel takes up to a pixel off either coordinate.
        const double slack = throughPixels ? pixel : 0.0;
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> offset(-0.98 * (tau - slack), 0.98 * tau);
        for (std::size_t k = 0; k < order.size(); ++k) {
            const int i = order[k];
            const std::int32_t kind = patch[i].kind;
            const double x = trueX(i) + (k == 0 ? 0.0 : offset(random));
            const double y = trueY(i) + (k == 0 ? 0.0 : offset(random));
            Tile* t = throughPixels ? f.drop(kind, patch[i].rotation, x, y)
                                    : f.putTile(kind, patch[i].rotation, x, y);
            ASSERT_NE(t, nullptr) << "tile " << i;
            if (k == 0) {
                originX = t->x - ratio * patch[i].x;
                originY = t->y - ratio * patch[i].y;
            } else {
                t->selected = t->group->selected = 1;
                f.sel.currentTile = t;
                f.sel.currentGroup = t->group;
                ASSERT_TRUE(joinCurrentTile(f.doc, f.sel)) << "join " << k << ", tile " << i;
                ASSERT_EQ(f.doc.board.count(), 1);
                t = f.doc.board.groups[0]->tiles.back().get();
            }
            index[t] = i;
        }
    }

    // Every tile lies where the tiling puts it, every edge the tiling shares is linked both
    // ways, linked edges coincide exactly and every corner has one value on the board.
    void expectWholeTiling() const {
        ASSERT_EQ(f.doc.board.count(), 1);
        const TileGroup& group = *f.doc.board.groups[0];
        ASSERT_EQ(group.count(), static_cast<int>(patch.size()));
        const double reach = 2 * ratio * f.doc.tileSet->extent;
        std::vector<std::pair<double, double>> corners;
        // A horizontal edge turned into place may have ends a last bit apart in y, while the
        // point test leaves it out by its direction: points level with it are not looked at.
        std::set<double> levels;
        for (const auto& t : group.tiles) {
            for (const TileEdge& e : t->outline.edges) {
                if (e.direction % 10 == 0) {
                    levels.insert({e.y1, e.y2});
                }
            }
        }
        const auto level = [&](double y) {
            const auto near = levels.lower_bound(y - 1e-9);
            return near != levels.end() && *near < y + 1e-9;
        };
        int free = 0;
        for (const auto& t : group.tiles) {
            const int i = index.at(t.get());
            EXPECT_EQ(t->group, &group);
            EXPECT_EQ((std::pair{t->kind, t->rotation}),
                      (std::pair{patch[i].kind, patch[i].rotation}));
            EXPECT_NEAR(t->x, trueX(i), 1e-9 * ratio);
            EXPECT_NEAR(t->y, trueY(i), 1e-9 * ratio);
            std::vector<int> linked;
            for (const TileEdge& e : t->outline.edges) {
                corners.emplace_back(e.x1, e.y1);
                if (e.neighbour == nullptr) {
                    continue;
                }
                linked.push_back(index.at(e.neighbour));
                // Its partner runs back over it exactly, linked to this tile.
                const auto back = std::find_if(
                    e.neighbour->outline.edges.begin(), e.neighbour->outline.edges.end(),
                    [&](const TileEdge& b) {
                        return b.neighbour == t.get() && std::array{b.x1, b.y1, b.x2, b.y2} ==
                                                             std::array{e.x2, e.y2, e.x1, e.y1};
                    });
                EXPECT_NE(back, e.neighbour->outline.edges.end()) << "tile " << i;
                // The middle of a shared edge lies in exactly one of its tiles.
                const double mx = (e.x1 + e.x2) / 2;
                const double my = (e.y1 + e.y2) / 2;
                EXPECT_TRUE(level(my) ||
                            pointInIndex(t->edgeIndex, mx, my, f.doc.angles) !=
                                pointInIndex(e.neighbour->edgeIndex, mx, my, f.doc.angles));
            }
            free += t->outline.count() - static_cast<int>(linked.size());
            std::sort(linked.begin(), linked.end());
            linked.erase(std::unique(linked.begin(), linked.end()), linked.end());
            EXPECT_EQ(linked, neighbours[i]) << "tile " << i;
            // The reference point lies in the tile, a corner in one tile at most.
            EXPECT_TRUE(pointInIndex(t->edgeIndex, t->x, t->y, f.doc.angles));
            for (const TileEdge& e : t->outline.edges) {
                int holders = 0;
                for (const auto& o : group.tiles) {
                    holders += std::abs(o->x - e.x1) < reach && std::abs(o->y - e.y1) < reach &&
                               pointInIndex(o->edgeIndex, e.x1, e.y1, f.doc.angles);
                }
                EXPECT_TRUE(holders <= 1 || level(e.y1));
            }
        }
        // Corners within a hair of each other are the same value.
        std::sort(corners.begin(), corners.end());
        for (std::size_t k = 0; k < corners.size(); ++k) {
            for (std::size_t m = k + 1;
                 m < corners.size() && corners[m].first - corners[k].first < 1e-6 * ratio; ++m) {
                if (std::abs(corners[m].second - corners[k].second) < 1e-6 * ratio) {
                    EXPECT_EQ(corners[m], corners[k]);
                }
            }
        }
        // Brought up to date join by join, the boundary is the one built from the tiles.
        const EdgeIndex built =
            buildGroupBoundary(const_cast<TileGroup&>(group), f.doc.directionCount());
        ASSERT_EQ(group.boundary.count(), built.count());
        for (std::size_t r = 0; r < built.rows.size(); ++r) {
            const EdgeRow& kept = group.boundary.rows[r];
            ASSERT_EQ(kept.y, built.rows[r].y);
            ASSERT_EQ(kept.edges.size(), built.rows[r].edges.size());
            for (std::size_t k = 0; k < kept.edges.size(); ++k) {
                EXPECT_EQ(kept.edges[k].source, built.rows[r].edges[k].source);
            }
        }
        // The group's boundary holds exactly the free edges.
        for (const EdgeRow& row : group.boundary.rows) {
            free -= static_cast<int>(row.edges.size());
        }
        EXPECT_EQ(free, 0);
        // Grown a tile at a time, built pairwise and united one after the other: same pixels.
        QRegion sequential;
        for (const auto& t : group.tiles) {
            sequential = sequential.united(tileProximityRegion(*t, f.doc.view));
        }
        EXPECT_EQ(group.region, sequential);
        EXPECT_EQ(groupProximityRegion(group, f.doc.view), sequential);
    }
};

} // namespace

TEST_P(PatchAssembly, JoinsInEveryOrderAtEveryTileSizeAndZoom) {
    // Breadth first and in random connected orders, at tile sizes 25 % to 200 % (the widest
    // patches that fit the board at 200 % have 70 tiles or more) and zooms 25 % to 400 %.
    std::set<std::int32_t> kinds;
    for (const PatchTile& t : patchOf(GetParam(), 300)) {
        kinds.insert(t.kind);
    }
    EXPECT_EQ(static_cast<int>(kinds.size()), createTileSet(GetParam().set)->kindCount());
    unsigned seed = 1;
    for (double size : {0.25, 0.5, 1.0, 2.0}) {
        for (double zoom : {0.25, 0.5, 1.0, 4.0}) {
            SCOPED_TRACE(testing::Message() << "size " << size << ", zoom " << zoom);
            Assembly a(GetParam(), size, zoom, size > 1 ? 70 : 300);
            const bool breadthFirst = ++seed % 2 == 0;
            a.assemble(breadthFirst ? testsupport::breadthFirstOrder(a.neighbours, 0)
                                    : testsupport::randomConnectedOrder(a.neighbours, seed),
                       seed);
            a.expectWholeTiling();
        }
    }
    for (unsigned more : {11u, 22u, 33u}) {
        SCOPED_TRACE(more);
        Assembly r(GetParam());
        r.assemble(testsupport::randomConnectedOrder(r.neighbours, more), more);
        r.expectWholeTiling();
    }
}

TEST_P(DetachedFromAPatch, TheMiddleTileFitsBackOnlyTheRightWayRound) {
    Assembly a(GetParam());
    a.assemble(testsupport::breadthFirstOrder(a.neighbours, 0), 3);
    TileGroup& group = *a.f.doc.board.groups[0];
    Tile* middle = group.tiles[0].get(); // patch tile 0, at the centre, surrounded by others
    ASSERT_EQ(a.index.at(middle), 0);
    ASSERT_TRUE(detachTile(a.f.doc, a.f.sel, middle));
    a.index.erase(middle);
    Tile* alone = a.f.sel.currentTile;
    ASSERT_EQ(a.f.doc.board.count(), 2);
    EXPECT_EQ(a.f.doc.board.groups.back().get(), alone->group); // on top, selected to turn
    EXPECT_FALSE(detachTile(a.f.doc, a.f.sel, alone));
    // Lifted by a few pixels and turned half a circle, it meets its partners with the wrong
    // codes (a rhomb covers the same ground, a dart or kite sticks out): refused, and the group
    // stays as it was. Right way round it fits.
    const BoardPixel from = a.f.pixelOf(alone->x, alone->y);
    ASSERT_TRUE(moveCurrentTileByPixels(a.f.doc, a.f.sel, 2, -1));
    EXPECT_FALSE(moveCurrentTileByPixels(a.f.doc, a.f.sel, -100000, 0)); // off the board
    for (int step = 0; step < 10; ++step) {
        ASSERT_TRUE(rotateCurrentTile(a.f.doc, a.f.sel, true));
    }
    const Tile* turned = a.f.sel.currentTile;
    const BoardPixel to = a.f.pixelOf(turned->x, turned->y);
    EXPECT_EQ((std::array{to.x, to.y, turned->selected}), (std::array{from.x + 2, from.y - 1, 1}));
    EXPECT_FALSE(joinCurrentTile(a.f.doc, a.f.sel));
    a.f.sel.currentTile->selected = 0; // only a selected tile turns
    EXPECT_FALSE(rotateCurrentTile(a.f.doc, a.f.sel, true));
    a.f.sel.currentTile->selected = 1;
    a.f.sel.groupMode = true;               // a one-tile group turns in group mode too
    for (int step = 0; step < 10; ++step) { // the full turn passes from 19 to 0
        ASSERT_TRUE(rotateCurrentTile(a.f.doc, a.f.sel, true));
    }
    a.f.sel.groupMode = false;
    ASSERT_TRUE(joinCurrentTile(a.f.doc, a.f.sel));
    a.index[a.f.doc.board.groups.back()->tiles.back().get()] = 0;
    a.expectWholeTiling();

    // The whole patch moved by pixels keeps its links and its region, up to the left edge.
    const View& v = a.f.doc.view;
    a.f.sel.currentGroup = &group;
    a.f.sel.currentTile = group.tiles[5].get();
    group.selected = a.f.sel.currentTile->selected = 1;
    EXPECT_FALSE(moveCurrentGroupByPixels(a.f.doc, a.f.sel, 1, 0)); // in group mode only
    a.f.sel.groupMode = true;
    EXPECT_FALSE(rotateCurrentTile(a.f.doc, a.f.sel, true)); // nor a tile of it in group mode
    const int toEdge = static_cast<int>(group.minX / v.cmPerPixelX);
    EXPECT_FALSE(moveCurrentGroupByPixels(a.f.doc, a.f.sel, -toEdge - 1, 0));
    ASSERT_TRUE(moveCurrentGroupByPixels(a.f.doc, a.f.sel, -toEdge, 7));
    EXPECT_LT(group.minX, v.cmPerPixelX);
    a.originX -= toEdge * v.cmPerPixelX;
    a.originY -= 7 * v.cmPerPixelY;
    a.expectWholeTiling();

    // Rescaled about the mean of all positions: not at all when a position would leave the
    // board, else every position and corner scales and the links stay.
    EXPECT_FALSE(resizeAllTiles(a.f.doc, 2.0));
    a.expectWholeTiling();
    double cx = 0;
    double cy = 0;
    for (const auto& t : group.tiles) {
        cx += t->x / group.count();
        cy += t->y / group.count();
    }
    ASSERT_TRUE(resizeAllTiles(a.f.doc, 0.5));
    a.f.doc.view.tileSizeRatio = a.ratio = 0.5;
    a.originX = cx + (a.originX - cx) * 0.5;
    a.originY = cy + (a.originY - cy) * 0.5;
    a.expectWholeTiling();
    BoardFixture empty(GetParam().set);
    EXPECT_TRUE(resizeAllTiles(empty.doc, 5.0));
}

const auto kName = [](const testing::TestParamInfo<SetCase>& info) {
    return std::string(info.param.name);
};
INSTANTIATE_TEST_SUITE_P(Sets, PatchAssembly, testing::ValuesIn(kSets), kName);
// Kites and darts or rhombs: a tile turned half a circle meets its partners with wrong codes.
INSTANTIATE_TEST_SUITE_P(Sets, DetachedFromAPatch, testing::ValuesIn(kSets, kSets + 2), kName);
