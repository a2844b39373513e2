// Joining rules that the legal patches of patch_test do not meet.
#include "fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace pavelora;
using pavelora::test::BoardFixture;

TEST(Join, WithoutAPairPatternOnlyLengthAndDirectionCount) {
    // Durer: a narrow rhomb (codes 3 and 2) turned to run its edge 0 against a pentagon's
    // edge 4 (code 0), a few pixels off.
    BoardFixture f(setcode::Durer);
    Tile* pentagon = f.putTile(kind::Pentagon, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::NarrowDiamondDurer, 4, 0, *pentagon, 4);
    f.drop(kind::NarrowDiamondDurer, 4, x, y, -1, 2);
    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(pentagon->outline.edges[4].neighbour, f.doc.board.groups[0]->tiles[1].get());
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
    // Real crossings still are: the kite pushed a tenth of a unit into the dart, and a second
    // dart with its edge 1 on the first's edge 2 (codes that cancel) and its reflex corner on
    // the first's, which cannot be joined.
    kite = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Kaite, 10);
    placeOutline(f.doc, *kite, x + 0.1, y - 0.05);
    EXPECT_TRUE(crossesBoundary(f.doc, *dart->group, *kite));
    const auto [ox, oy] = f.aligned(kind::Dart, 8, 1, *dart, 2);
    Tile* overlapping = f.putTile(kind::Dart, 8, ox, oy);
    EXPECT_TRUE(crossesBoundary(f.doc, *dart->group, *overlapping));
    removeTile(f.doc, overlapping);
    f.drop(kind::Dart, 8, ox, oy);
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ(f.doc.board.count(), 2);
}

TEST(Join, TheTargetIsTheLargestNearGroupTheLaterOnATie) {
    // A pentagon filling the gap between two others, sharing an edge with each: the later
    // group in display order takes it, unless the earlier one is larger; the target goes on
    // top.
    for (bool earlierLarger : {false, true}) {
        BoardFixture g(setcode::Durer);
        Tile* a = g.putTile(kind::Pentagon, 10, 10.0, 10.0);
        if (earlierLarger) {
            auto far = buildTile(g.doc.tileSet.get(), &g.doc.angles, kind::Pentagon, 0);
            placeOutline(g.doc, *far, 3.0, 25.0);
            addTileToGroup(g.doc, *a->group, std::move(far));
        }
        const auto [ax, ay] = g.aligned(kind::Pentagon, 0, 2, *a, 2);
        auto probe = buildTile(g.doc.tileSet.get(), &g.doc.angles, kind::Pentagon, 0);
        placeOutline(g.doc, *probe, ax, ay);
        const auto [bx, by] = g.aligned(kind::Pentagon, 10, 0, *probe, 3);
        Tile* b = g.putTile(kind::Pentagon, 10, bx, by);
        g.drop(kind::Pentagon, 0, ax, ay);
        ASSERT_TRUE(groupsNear(*a->group, *g.sel.currentTile));
        ASSERT_TRUE(groupsNear(*b->group, *g.sel.currentTile));
        ASSERT_TRUE(joinCurrentTile(g.doc, g.sel));
        TileGroup* target = earlierLarger ? a->group : b->group;
        EXPECT_EQ(target->count(), earlierLarger ? 3 : 2);
        EXPECT_EQ(g.doc.board.groups.back().get(), target);
    }

    // A bigger group near the tile (here over it) that no edge of the tile matches: the next
    // one is tried.
    BoardFixture h(setcode::PenroseNo1);
    Tile* dart = h.putTile(kind::Dart, 0, 10.0, 10.0);
    const auto [kx, ky] = h.aligned(kind::Kaite, 10, 0, *dart, 0);
    TileGroup* big = test::looseGroup(h.doc, kind::Kaite, 3, kx - 1, ky);
    h.drop(kind::Kaite, 10, kx, ky);
    ASSERT_TRUE(groupsNear(*big, *h.sel.currentTile));
    ASSERT_TRUE(
        pointInIndex(big->boundary, h.sel.currentTile->x, h.sel.currentTile->y, h.doc.angles));
    ASSERT_TRUE(joinCurrentTile(h.doc, h.sel));
    EXPECT_EQ((std::array{dart->group->count(), big->count()}), (std::array{2, 3}));
}

TEST(Join, ALargerGroupCloseByButNotTouchingIsNoTarget) {
    // A Kaite dropped on a Dart's matching edge, a group of two darts a few pixels to its
    // side: near on the screen, but none of its edges is within reach of the kite's.
    BoardFixture f(setcode::PenroseNo1);
    Tile* dart = f.putTile(kind::Dart, 0, 10.0, 10.0);
    const auto [kx, ky] = f.aligned(kind::Kaite, 10, 0, *dart, 0);
    f.drop(kind::Kaite, 10, kx, ky, 1, 1);
    double right = -1e300;
    for (const TileEdge& e : f.sel.currentTile->outline.edges) {
        right = std::max(right, e.x1);
    }
    // The darts' left wing, (−sin 72°, −(5 − √5)/4) from a dart's position, lies ten pixels
    // to the right of the turned kite's right corner, (sin 72°, sin 18°) from its position.
    const double gap = 10 * f.doc.view.cmPerPixelX;
    TileGroup* pair = test::looseGroup(f.doc, kind::Dart, 2, right + gap + 0.9510565162951535,
                                       ky + 0.3090169943749474 + 0.6909830056250525);
    ASSERT_TRUE(groupsNear(*pair, *f.sel.currentTile));
    bringGroupToTop(f.doc.board, f.sel.currentGroup);
    ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ((std::array{dart->group->count(), pair->count()}), (std::array{2, 2}));
}

TEST(Join, AGroupMovesExactlyOntoTheBoardsRightEdge) {
    // From every pixel within sixty of the right edge, by whole pixels, onto the edge itself.
    for (int away = 1; away <= 60; ++away) {
        BoardFixture f(setcode::PenroseNo1, 60003, 96);
        const View& v = f.doc.view;
        Tile* t = placeTile(f.doc, kind::Dart, 0, v.boardOriginX + v.boardPixelWidth - away,
                            v.boardOriginY + v.boardPixelHeight / 2);
        ASSERT_NE(t, nullptr);
        f.sel = {t, t->group, true};
        t->selected = t->group->selected = 1;
        EXPECT_FALSE(moveCurrentGroupByPixels(f.doc, f.sel, away + 1, 0)) << away;
        EXPECT_TRUE(moveCurrentGroupByPixels(f.doc, f.sel, away, 0)) << away;
        EXPECT_EQ(f.pixelOf(t->x, t->y).x, v.boardOriginX + v.boardPixelWidth);
    }
}
