// Legal Penrose patches from the tests' generator laid on a board tile by tile through
// placeTile and joinCurrentTile: every legal drop must join, land exactly where the tiling
// puts it and link both ways.
#include "core/board/rescale.h"
#include "fixture.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>

using namespace pavelora;
using pavelora::test::BoardFixture;
using pavelora::testsupport::PlacedTile;

namespace {

struct SetCase {
    const char* name;
    std::int32_t set;
    std::vector<PlacedTile> (*patch)(int);
};

const SetCase kSets[] = {{"KitesAndDarts", setcode::PenroseNo1, &testsupport::kiteDartPatch},
                         {"Rhombs", setcode::PenroseNo2, &testsupport::rhombPatch}};

class Patch : public testing::TestWithParam<SetCase> {};

// Lays generated patches on an "Ａ３横" board, centred on the board.
struct Assembly {
    BoardFixture f;
    double ratio;
    std::vector<PlacedTile> patch;
    std::vector<std::vector<int>> neighbours;
    double originX;
    double originY;
    std::map<const Tile*, int> index; // board tile -> patch tile

    explicit Assembly(const SetCase& c, double tileSize = 1.0)
        : f(c.set, 60002), ratio(tileSize), patch(c.patch(120)),
          neighbours(testsupport::edgeNeighbours(patch, *f.doc.tileSet, f.doc.angles)),
          originX(boardWidthCm(f.doc.view) / 2), originY(boardHeightCm(f.doc.view) / 2) {}

    double trueX(int i) const { return originX + ratio * patch[i].x; }
    double trueY(int i) const { return originY + ratio * patch[i].y; }

    // Drops each tile of the order near its place, off by up to a pixel either way besides
    // the pixel grid's rounding, and joins it; the first tile fixes where the patch lies.
    // Small tiles, for which a pixel exceeds the snap tolerance, are laid at their places.
    void assemble(const std::vector<int>& order, unsigned seed) {
        f.doc.view.tileSizeRatio = ratio;
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> jitter(-1, 1);
        for (std::size_t k = 0; k < order.size(); ++k) {
            const int i = order[k];
            const std::int32_t kind = patch[i].kind;
            Tile* t = ratio < 1 ? f.putTile(kind, patch[i].rotation, trueX(i), trueY(i))
                                : f.drop(kind, patch[i].rotation, trueX(i), trueY(i),
                                         jitter(random), jitter(random));
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
    // ways, and linked edges coincide exactly, when asked. (Otherwise a corner that two tiles
    // meeting only there carried a last bit apart may differ by that bit, and a tile joined
    // to both holds it in both values, one per edge.)
    void expectWholeTiling(bool exact) const {
        ASSERT_EQ(f.doc.board.count(), 1);
        const TileGroup& group = *f.doc.board.groups[0];
        ASSERT_EQ(group.count(), static_cast<int>(patch.size()));
        int free = 0;
        for (const auto& t : group.tiles) {
            const int i = index.at(t.get());
            EXPECT_EQ(t->group, &group);
            EXPECT_EQ((std::pair{t->kind, t->rotation}),
                      (std::pair{patch[i].kind, patch[i].rotation}));
            EXPECT_NEAR(t->x, trueX(i), 1e-9);
            EXPECT_NEAR(t->y, trueY(i), 1e-9);
            std::vector<int> linked;
            for (const TileEdge& e : t->outline.edges) {
                if (e.neighbour == nullptr) {
                    continue;
                }
                linked.push_back(index.at(e.neighbour));
                const auto back = std::find_if(
                    e.neighbour->outline.edges.begin(), e.neighbour->outline.edges.end(),
                    [&](const TileEdge& b) { return b.neighbour == t.get(); });
                ASSERT_NE(back, e.neighbour->outline.edges.end()) << "tile " << i;
                const double gap = std::max({std::abs(back->x1 - e.x2), std::abs(back->y1 - e.y2),
                                             std::abs(back->x2 - e.x1), std::abs(back->y2 - e.y1)});
                EXPECT_LE(gap, exact ? 0.0 : 1e-12) << "tile " << i;
                // The middle of a shared edge lies in exactly one of its tiles.
                const double mx = (e.x1 + e.x2) / 2;
                const double my = (e.y1 + e.y2) / 2;
                EXPECT_TRUE(!exact ||
                            pointInIndex(t->edgeIndex, mx, my, f.doc.angles) !=
                                pointInIndex(e.neighbour->edgeIndex, mx, my, f.doc.angles));
            }
            std::sort(linked.begin(), linked.end());
            EXPECT_EQ(linked, neighbours[i]) << "tile " << i;
            free += t->outline.count() - static_cast<int>(linked.size());
            // The reference point lies in the tile, a corner in one tile at most.
            EXPECT_TRUE(!exact || pointInIndex(t->edgeIndex, t->x, t->y, f.doc.angles));
            for (const TileEdge& e : exact ? t->outline.edges : std::vector<TileEdge>{}) {
                int holders = 0;
                for (const auto& o : group.tiles) {
                    holders += pointInIndex(o->edgeIndex, e.x1, e.y1, f.doc.angles) ? 1 : 0;
                }
                EXPECT_LE(holders, 1);
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

TEST_P(Patch, JoinsInEveryOrder) {
    Assembly a(GetParam());
    // Breadth first, every tile meets the patch along whole edges only: all exact.
    a.assemble(testsupport::breadthFirstOrder(a.neighbours, 0), 1);
    a.expectWholeTiling(true);
    for (unsigned seed : {11u, 22u, 33u, 44u}) {
        SCOPED_TRACE(seed);
        Assembly r(GetParam());
        r.assemble(testsupport::randomConnectedOrder(r.neighbours, seed), seed);
        r.expectWholeTiling(false);
    }
}

TEST_P(Patch, TheMiddleTileDetachedFitsBackOnlyTheRightWayRound) {
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
    a.expectWholeTiling(true);

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
    a.expectWholeTiling(true);

    // Rescaled about the mean of all positions: not at all when a position would leave the
    // board, else every position and corner scales and the links stay.
    EXPECT_FALSE(resizeAllTiles(a.f.doc, 2.0));
    a.expectWholeTiling(true);
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
    a.expectWholeTiling(true);
    BoardFixture empty(GetParam().set);
    EXPECT_TRUE(resizeAllTiles(empty.doc, 5.0));
}

INSTANTIATE_TEST_SUITE_P(Sets, Patch, testing::ValuesIn(kSets),
                         [](const testing::TestParamInfo<SetCase>& info) {
                             return std::string(info.param.name);
                         });

// Small tiles (a tenth of the size is a dart's short edge of under 4 pixels at 96 dpi): the
// enlarged polygons of neighbours overlap by less than a pixel, yet every join must find them.
TEST(SmallTiles, JoinAtEveryTileSize) {
    for (double ratio : {0.3, 0.2, 0.1}) {
        SCOPED_TRACE(ratio);
        Assembly a(kSets[0], ratio);
        a.assemble(testsupport::breadthFirstOrder(a.neighbours, 0), 1);
        a.expectWholeTiling(true);
    }
}
