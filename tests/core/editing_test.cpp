#include "core/board/rescale.h"
#include "fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

// Edge i of `a` lies on edge j of `b` reversed, bit for bit.
void expectJoinedEdge(const Tile& a, int i, const Tile& b, int j) {
    const TileEdge& e = a.outline.edges[i];
    const TileEdge& f = b.outline.edges[j];
    EXPECT_EQ(e.x1, f.x2);
    EXPECT_EQ(e.y1, f.y2);
    EXPECT_EQ(e.x2, f.x1);
    EXPECT_EQ(e.y2, f.y1);
    EXPECT_EQ(e.neighbour, &b);
    EXPECT_EQ(f.neighbour, &a);
}

struct Snapshot {
    std::vector<std::tuple<std::int32_t, double, double, int>> tiles; // kind, x, y, group
    explicit Snapshot(const Board& board) {
        for (std::size_t g = 0; g < board.groups.size(); ++g) {
            for (const auto& t : board.groups[g]->tiles) {
                tiles.emplace_back(t->kind, t->x, t->y, static_cast<int>(g));
            }
        }
    }
    bool operator==(const Snapshot&) const = default;
};

// The match record of every outline edge of the current tile against a group.
std::vector<MatchRecord> matchAll(BoardFixture& f, const TileGroup& group) {
    std::vector<MatchRecord> records;
    for (TileEdge& e : f.sel.currentTile->outline.edges) {
        records.push_back(matchEdge(f.doc, group, e, snapTolerance(f.doc)));
    }
    return records;
}

} // namespace

TEST(Join, KaiteOnADartEdgeWhoseCodesCancel) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 10.0);
    // The Kaite turned half a circle: its edge 0 (length φ, code −1) against the dart's
    // edge 0 (length φ, code 1).
    const auto [x, y] = f.aligned(kind::Kaite, 10, 0, *dart, 0);
    Tile* kite = f.drop(kind::Kaite, 10, x, y, 2, -1);
    ASSERT_NE(kite, nullptr);
    ASSERT_EQ(f.doc.board.count(), 2);

    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(f.sel.currentTile, nullptr);
    EXPECT_EQ(f.sel.currentGroup, nullptr);
    ASSERT_EQ(f.doc.board.count(), 1);
    TileGroup& group = *f.doc.board.groups[0];
    ASSERT_EQ(group.count(), 2);
    Tile* joined = group.tiles[1].get();
    EXPECT_EQ(joined->group, &group);
    expectJoinedEdge(*joined, 0, *dart, 0);
    // The snapped position is the true one up to rounding of the offset.
    EXPECT_NEAR(joined->x, x, 1e-12);
    EXPECT_NEAR(joined->y, y, 1e-12);
    EXPECT_EQ(test::freeEdges(group), 6);
    EXPECT_EQ(group.minX, std::min(dart->x, joined->x));
    EXPECT_EQ(group.maxY, std::max(dart->y, joined->y));
    EXPECT_EQ(group.region, groupProximityRegion(group, f.doc.view));
}

TEST(Join, CodesThatDoNotCancelAreAConflict) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 10.0);
    // The Kaite's edge 3 (length φ, code 1) turned to lie on the dart's edge 0 (code 1).
    const auto [x, y] = f.aligned(kind::Kaite, 16, 3, *dart, 0);
    ASSERT_NE(f.drop(kind::Kaite, 16, x, y, 1, 1), nullptr);
    const Snapshot before(f.doc.board);
    Tile* current = f.sel.currentTile;
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(Snapshot(f.doc.board), before);
    EXPECT_EQ(f.sel.currentTile, current);

    // Far from everything: nothing to join.
    f.drop(kind::Kaite, 0, 3.0, 25.0);
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
}

TEST(Join, WithoutAPairPatternOnlyLengthAndDirectionCount) {
    // Durer pentagons: one turned half a circle sits on the other's bottom edge.
    BoardFixture f(setcode::Durer);
    Tile* top = f.putTile(kind::Pentagon, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::Pentagon, 10, 2, *top, 2);
    f.drop(kind::Pentagon, 10, x, y, -1, 2);
    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    const TileGroup& g = *f.doc.board.groups[0];
    expectJoinedEdge(*g.tiles[1], 2, *top, 2);

    // A narrow rhomb edge has the same length: it joins too, whatever its code. Its edge
    // 0 (base direction 14) turned 4 steps runs against the pentagon's edge 4 (8).
    const auto [nx, ny] = f.aligned(kind::NarrowDiamondDurer, 4, 0, *top, 4);
    f.drop(kind::NarrowDiamondDurer, 4, nx, ny);
    EXPECT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(f.doc.board.groups[0]->count(), 3);
}

TEST(Join, TwoMatchedEdgesCloseASun) {
    // Five kites around their 72° tips: the last one meets the first and the fourth.
    BoardFixture f(setcode::PenroseNo1);
    Tile* previous = f.putTile(kind::Kaite, 0, 10.0, 10.0);
    Tile* first = previous;
    for (int k = 1; k < 5; ++k) {
        const auto [x, y] = f.aligned(kind::Kaite, 4 * k, 0, *previous, 3);
        Tile* dropped = f.drop(kind::Kaite, 4 * k, x, y, k % 2, -(k % 3));
        ASSERT_NE(dropped, nullptr);
        const double droppedX = dropped->x;
        const double droppedY = dropped->y;
        const double edge0X = dropped->outline.edges[0].x1;
        const double edge0Y = dropped->outline.edges[0].y1;
        ASSERT_TRUE(joinCurrentTile(f.doc, f.sel)) << "kite " << k;
        previous = f.doc.board.groups.back()->tiles.back().get();
        // Placed by its first matched edge in outline order: edge 0.
        EXPECT_EQ(previous->x, droppedX + (previous->outline.edges[0].x1 - edge0X));
        EXPECT_EQ(previous->y, droppedY + (previous->outline.edges[0].y1 - edge0Y));
    }
    ASSERT_EQ(f.doc.board.count(), 1);
    const TileGroup& sun = *f.doc.board.groups[0];
    ASSERT_EQ(sun.count(), 5);
    const Tile& last = *sun.tiles[4];
    expectJoinedEdge(last, 0, *sun.tiles[3], 3);
    expectJoinedEdge(last, 3, *first, 0);
    // All five tips meet in one point, exactly.
    for (const auto& t : sun.tiles) {
        EXPECT_EQ(t->outline.edges[0].x1, first->outline.edges[0].x1);
        EXPECT_EQ(t->outline.edges[0].y1, first->outline.edges[0].y1);
    }
    EXPECT_EQ(test::freeEdges(sun), 10);
}

TEST(Join, OverlappingDartsAreRefusedByTheCrossingTest) {
    // A second dart with its reflex corner on the first's: the codes of the shared edge
    // cancel, but the darts overlap.
    BoardFixture f(setcode::PenroseNo1);
    Tile* a = f.putTile(kind::Dart, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::Dart, 8, 1, *a, 2);
    f.drop(kind::Dart, 8, x, y);
    const std::vector<MatchRecord> records = matchAll(f, *a->group);
    EXPECT_NE(records[1].partner, nullptr);
    auto snapped = buildSnappedTile(f.doc, *f.sel.currentTile, records);
    ASSERT_NE(snapped, nullptr);
    EXPECT_TRUE(crossesBoundary(f.doc, *a->group, *snapped));

    const Snapshot before(f.doc.board);
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(Snapshot(f.doc.board), before);
}

TEST(Join, TouchingAtACornerOffByOneBitIsNotACrossing) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::Kaite, 10, 0, *dart, 0);
    auto kite = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Kaite, 10);
    placeOutline(f.doc, *kite, x, y);
    ASSERT_FALSE(crossesBoundary(f.doc, *dart->group, *kite));
    // Move the kite's corner at the dart's left wing (kite vertex 0, the start of edge 0
    // and end of edge 3) by one unit in the last place in every direction.
    const double cx = kite->outline.edges[0].x1;
    const double cy = kite->outline.edges[0].y1;
    for (double tx : {-1.0, 0.0, 1.0}) {
        for (double ty : {-1.0, 0.0, 1.0}) {
            const double nx = tx == 0 ? cx : std::nextafter(cx, tx * 1e300);
            const double ny = ty == 0 ? cy : std::nextafter(cy, ty * 1e300);
            kite->outline.edges[0].x1 = kite->outline.edges[3].x2 = nx;
            kite->outline.edges[0].y1 = kite->outline.edges[3].y2 = ny;
            EXPECT_FALSE(crossesBoundary(f.doc, *dart->group, *kite)) << tx << ", " << ty;
        }
    }
    // A real crossing is still one: the kite pushed a tenth of a unit into the dart.
    placeOutline(f.doc, *kite, 0.0, 0.0);
    auto moved = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Kaite, 10);
    placeOutline(f.doc, *moved, x + 0.1, y - 0.05);
    EXPECT_TRUE(crossesBoundary(f.doc, *dart->group, *moved));
}

TEST(Join, ThickRhombTurnedHalfACircleIsRefused) {
    BoardFixture f(setcode::PenroseNo2);
    Tile* base = f.putTile(kind::WideDiamond, 0, 10.0, 10.0);
    // Edge 0 of the base runs at 13 with code 1. A second thick rhomb turned 16 steps
    // runs its edge 3 (base 7, code −1) at 3, the opposite way: it fits there.
    const auto [x, y] = f.aligned(kind::WideDiamond, 16, 3, *base, 0);
    f.drop(kind::WideDiamond, 16, x, y);
    Tile* fits = f.sel.currentTile;
    const std::vector<MatchRecord> records = matchAll(f, *base->group);
    EXPECT_EQ(records[3].partner, &base->outline.edges[0]);
    EXPECT_FALSE(records[3].conflict);

    // Turned by ten steps in the same place the rhomb covers the same ground, but the
    // edge on the partner is now edge 1 with code 2: refused.
    const BoardPixel p = f.pixelOf(fits->x, fits->y);
    Tile* turned = placeTile(f.doc, kind::WideDiamond, 6, p.x, p.y);
    removeTile(f.doc, fits);
    f.sel.currentTile = turned;
    f.sel.currentGroup = turned->group;
    const Snapshot before(f.doc.board);
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(Snapshot(f.doc.board), before);

    // Back in its place it joins.
    removeTile(f.doc, turned);
    f.drop(kind::WideDiamond, 16, x, y);
    EXPECT_TRUE(joinCurrentTile(f.doc, f.sel));
}

TEST(Join, TheLargestNearGroupWinsAndTiesGoToTheLaterOne) {
    BoardFixture f(setcode::Durer);
    // Two pentagons, each with a free bottom edge, 3 cm apart; a flipped pentagon can
    // reach only one of them.
    Tile* left = f.putTile(kind::Pentagon, 0, 10.0, 10.0);
    Tile* right = f.putTile(kind::Pentagon, 0, 10.0 + 2 * 0.8090169943749475 + 1.0, 10.0);
    // Below the left one, its right flank near the right one: the flipped pentagon
    // touches both groups' regions but shares an edge only with the one it is aligned to.
    const auto [x, y] = f.aligned(kind::Pentagon, 10, 2, *right, 2);
    f.drop(kind::Pentagon, 10, x, y);
    ASSERT_TRUE(groupsNear(*right->group, *f.sel.currentTile));
    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(right->group->count(), 2);
    EXPECT_EQ(left->group->count(), 1);

    // Two single tiles on either side of a gap that a pentagon fills along both: the
    // later group in display order takes it.
    BoardFixture g(setcode::Durer);
    Tile* a = g.putTile(kind::Pentagon, 10, 10.0, 10.0);
    const auto [ax, ay] = g.aligned(kind::Pentagon, 0, 2, *a, 2); // above a, sharing a's top
    // b sits where it shares edge 3 of the gap tile.
    auto probe = buildTile(g.doc.tileSet.get(), &g.doc.angles, kind::Pentagon, 0);
    placeOutline(g.doc, *probe, ax, ay);
    const auto [bx, by] = g.aligned(kind::Pentagon, 10, 0, *probe, 3);
    Tile* b = g.putTile(kind::Pentagon, 10, bx, by);
    g.drop(kind::Pentagon, 0, ax, ay);
    Tile* gapTile = g.sel.currentTile;
    ASSERT_TRUE(groupsNear(*a->group, *gapTile));
    ASSERT_TRUE(groupsNear(*b->group, *gapTile));
    ASSERT_TRUE(joinCurrentTile(g.doc, g.sel));
    EXPECT_EQ(b->group->count(), 2); // b was appended after a
    EXPECT_EQ(a->group->count(), 1);
    EXPECT_EQ(g.doc.board.groups.back().get(), b->group); // the target goes on top
}

TEST(Join, AGroupHoldingTheTilePositionIsNotATarget) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::Kaite, 10, 0, *dart, 0);
    // A bigger group lies under the Kaite's position.
    auto big = newGroup();
    for (double bx : {x, x + 8.0}) {
        auto t = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Dart, 3);
        placeOutline(f.doc, *t, bx, y);
        addTileToGroup(f.doc, *big, std::move(t));
    }
    TileGroup* bigGroup = appendGroup(f.doc.board, std::move(big));
    f.drop(kind::Kaite, 10, x, y);
    ASSERT_TRUE(groupsNear(*bigGroup, *f.sel.currentTile));
    ASSERT_TRUE(
        pointInIndex(bigGroup->boundary, f.sel.currentTile->x, f.sel.currentTile->y, f.doc.angles));
    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(dart->group->count(), 2);
    EXPECT_EQ(bigGroup->count(), 2);
}

TEST(Detach, TakesATileOutAndFreesItsEdges) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.dartWithKite(10.0, 10.0);
    ASSERT_EQ(dart->group->count(), 2);
    TileGroup* pair = dart->group;
    Tile* kite = pair->tiles[1].get();
    const double kiteX = kite->x;

    EXPECT_FALSE(detachTile(f.doc, f.sel, nullptr));
    ASSERT_TRUE(detachTile(f.doc, f.sel, kite));
    EXPECT_EQ(f.doc.board.count(), 2);
    EXPECT_EQ(pair->count(), 1);
    EXPECT_EQ(dart->outline.edges[0].neighbour, nullptr);
    EXPECT_EQ(test::freeEdges(*pair), 4);
    Tile* alone = f.sel.currentTile;
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->kind, kind::Kaite);
    EXPECT_EQ(alone->selected, 1);
    EXPECT_EQ(alone->group->selected, 1);
    EXPECT_EQ(f.doc.board.groups.back().get(), alone->group);
    EXPECT_EQ(f.sel.currentGroup, alone->group);
    // Its position comes from the pixel grid: within a pixel of where it was.
    EXPECT_NEAR(alone->x, kiteX, f.doc.view.cmPerPixelX);

    // The only tile of a group cannot be detached.
    EXPECT_FALSE(detachTile(f.doc, f.sel, alone));
    // And it joins again.
    EXPECT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(dart->group->count(), 2);
}

TEST(Move, GroupsShiftWithTheirBoxAndStayOnTheBoard) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.dartWithKite(10.0, 10.0);
    ASSERT_EQ(dart->group->count(), 2);
    TileGroup* g = dart->group;
    const double minX = g->minX;
    const double maxY = g->maxY;
    const double tipY = dart->outline.edges[0].y1;
    ASSERT_TRUE(moveGroup(f.doc, *g, 1.5, -2.0));
    EXPECT_EQ(dart->x, 11.5);
    EXPECT_EQ(dart->y, 8.0);
    EXPECT_EQ(dart->outline.edges[0].y1, tipY - 2.0);
    EXPECT_EQ(g->minX, minX + 1.5);
    EXPECT_EQ(g->maxY, maxY - 2.0);
    expectJoinedEdge(*g->tiles[1], 0, *dart, 0);
    EXPECT_EQ(g->region, groupProximityRegion(*g, f.doc.view));
    EXPECT_TRUE(pointInIndex(dart->edgeIndex, 11.5, 8.0, f.doc.angles));
    EXPECT_FALSE(pointInIndex(dart->edgeIndex, 10.0, 10.0 - 0.3, f.doc.angles));

    // By pixels, in group mode only, with the group selected.
    f.sel.groupMode = false;
    f.sel.currentGroup = g;
    g->selected = 1;
    EXPECT_FALSE(moveCurrentGroupByPixels(f.doc, f.sel, 5, 5));
    f.sel.groupMode = true;
    const View& v = f.doc.view;
    ASSERT_TRUE(moveCurrentGroupByPixels(f.doc, f.sel, 10, -20));
    EXPECT_DOUBLE_EQ(dart->x, 11.5 + 10 * v.cmPerPixelX);
    EXPECT_DOUBLE_EQ(dart->y, 8.0 + 20 * v.cmPerPixelY);
    // Not past the left edge: the leftmost position may reach x = 0 but not beyond.
    const int toEdge = static_cast<int>(g->minX / v.cmPerPixelX);
    EXPECT_FALSE(moveCurrentGroupByPixels(f.doc, f.sel, -toEdge - 1, 0));
    EXPECT_TRUE(moveCurrentGroupByPixels(f.doc, f.sel, -toEdge, 0));
    EXPECT_GE(g->minX, 0.0);
    EXPECT_LT(g->minX, v.cmPerPixelX);
}

TEST(Move, SingleTilesAreReplacedAtTheNewPixel) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* t = f.drop(kind::Dart, 3, 5.0, 5.0);
    const BoardPixel before = f.pixelOf(t->x, t->y);
    ASSERT_TRUE(moveCurrentTileByPixels(f.doc, f.sel, 7, -3));
    Tile* moved = f.sel.currentTile;
    EXPECT_EQ(f.doc.board.count(), 1);
    EXPECT_EQ(moved->rotation, 3);
    EXPECT_EQ(moved->selected, 1);
    EXPECT_EQ(moved->group->selected, 1);
    const BoardPixel after = f.pixelOf(moved->x, moved->y);
    EXPECT_EQ(after.x, before.x + 7);
    EXPECT_EQ(after.y, before.y - 3);
    // Not off the board.
    EXPECT_FALSE(moveCurrentTileByPixels(f.doc, f.sel, -100000, 0));
    EXPECT_EQ(f.sel.currentTile, moved);
}

TEST(Rotate, OneStepEachWayAndNotInsideAGroup) {
    BoardFixture f(setcode::PenroseNo1);
    f.drop(kind::Dart, 0, 6.0, 6.0);
    ASSERT_TRUE(rotateCurrentTile(f.doc, f.sel, false));
    EXPECT_EQ(f.sel.currentTile->rotation, 19);
    ASSERT_TRUE(rotateCurrentTile(f.doc, f.sel, true));
    ASSERT_TRUE(rotateCurrentTile(f.doc, f.sel, true));
    EXPECT_EQ(f.sel.currentTile->rotation, 1);
    EXPECT_EQ(f.doc.board.count(), 1);
    f.sel.currentTile->rotation = 19; // as if built at 19
    ASSERT_TRUE(rotateCurrentTile(f.doc, f.sel, true));
    EXPECT_EQ(f.sel.currentTile->rotation, 0);

    // A tile that is not selected does not turn.
    f.sel.currentTile->selected = 0;
    EXPECT_FALSE(rotateCurrentTile(f.doc, f.sel, true));
    f.sel.currentTile->selected = 1;

    // In group mode, a one-tile group turns; a tile of a pair does not.
    f.sel.groupMode = true;
    EXPECT_TRUE(rotateCurrentTile(f.doc, f.sel, true));
    Tile* dart = f.dartWithKite(15.0, 15.0);
    ASSERT_EQ(dart->group->count(), 2);
    f.sel.currentTile = dart;
    f.sel.currentGroup = dart->group;
    dart->selected = 1;
    EXPECT_FALSE(rotateCurrentTile(f.doc, f.sel, true));
    f.sel.groupMode = false;
    EXPECT_TRUE(rotateCurrentTile(f.doc, f.sel, true));
}

TEST(Rescale, ScalesAboutTheCentreOfAllPositions) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* a = f.putTile(kind::Dart, 0, 4.0, 10.0);
    Tile* b = f.putTile(kind::Kaite, 5, 6.0, 10.0);
    const double tipOffset = a->outline.edges[0].y1 - a->y;
    ASSERT_TRUE(resizeAllTiles(f.doc, 2.0));
    EXPECT_EQ(a->x, 3.0);
    EXPECT_EQ(b->x, 7.0);
    EXPECT_EQ(a->y, 10.0);
    EXPECT_EQ(a->outline.edges[0].y1 - a->y, 2 * tipOffset);
    EXPECT_EQ(a->group->minX, 3.0);
    EXPECT_TRUE(pointInIndex(a->edgeIndex, 3.0, 10.0 + 1.5 * tipOffset, f.doc.angles));
    EXPECT_EQ(a->group->region, groupProximityRegion(*a->group, f.doc.view));
}

TEST(Rescale, AllOrNothing) {
    BoardFixture f(setcode::PenroseNo1);
    const double width = boardWidthCm(f.doc.view);
    Tile* a = f.putTile(kind::Dart, 0, 1.0, 10.0);
    Tile* b = f.putTile(kind::Dart, 0, 3.0, 10.0);
    const double tip = a->outline.edges[0].y1;
    // Tripling about x = 2 would put a at −1.
    EXPECT_FALSE(resizeAllTiles(f.doc, 3.0));
    EXPECT_EQ(a->x, 1.0);
    EXPECT_EQ(b->x, 3.0);
    EXPECT_EQ(a->outline.edges[0].y1, tip);
    // Doubling puts a exactly on the left edge: allowed.
    EXPECT_TRUE(resizeAllTiles(f.doc, 2.0));
    EXPECT_EQ(a->x, 0.0);

    // A single tile is its own centre.
    BoardFixture one(setcode::PenroseNo1);
    Tile* t = one.putTile(kind::Kaite, 0, width - 0.5, 3.0);
    EXPECT_TRUE(resizeAllTiles(one.doc, 0.25));
    EXPECT_EQ(t->x, width - 0.5);
    EXPECT_EQ(t->outline.edges[0].y1, 3.0 + 0.25);

    BoardFixture empty(setcode::PenroseNo1);
    EXPECT_TRUE(resizeAllTiles(empty.doc, 5.0));
}
