#include "fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace pavelora;
using namespace pavelora::test;

namespace {

using Order = std::vector<TileGroup*>;

std::array<double, 4> box(const TileGroup& g) {
    return {g.minX, g.maxX, g.minY, g.maxY};
}

} // namespace

TEST(Board, DisplayOrderOperations) {
    BoardFixture f(setcode::PenroseNo1);
    Board& board = f.doc.board;
    TileGroup* g1 = looseGroup(f.doc, kind::Dart, 1, 2, 10);
    TileGroup* g2 = looseGroup(f.doc, kind::Dart, 1, 5, 10);
    TileGroup* g3 = looseGroup(f.doc, kind::Dart, 1, 8, 10);
    bringGroupToTop(board, g3);
    EXPECT_EQ(displayOrder(board), (Order{g1, g2, g3}));
    bringGroupToTop(board, g1);
    EXPECT_EQ(displayOrder(board), (Order{g2, g3, g1}));

    // Groups that are not on the board are left alone.
    TileGroup stranger;
    bringGroupToTop(board, &stranger);
    removeGroup(board, &stranger);
    EXPECT_EQ(unlinkGroup(board, &stranger), nullptr);
    EXPECT_EQ(appendGroup(board, nullptr), nullptr);
    EXPECT_EQ(displayOrder(board), (Order{g2, g3, g1}));

    removeGroup(board, g3);
    EXPECT_EQ(displayOrder(board), (Order{g2, g1}));
}

TEST(Board, TileOrderWithinAGroup) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* g = looseGroup(f.doc, kind::Dart, 3, 2, 10);
    const std::vector<Tile*> t = {g->tiles[0].get(), g->tiles[1].get(), g->tiles[2].get()};
    for (int twice = 0; twice < 2; ++twice) {
        bringTileToTop(*g, t[0]);
        EXPECT_EQ((std::vector<Tile*>{g->tiles[0].get(), g->tiles[1].get(), g->tiles[2].get()}),
                  (std::vector<Tile*>{t[1], t[2], t[0]}));
    }
}

TEST(Board, SortBySizePutsBigGroupsFirstAndKeepsTies) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* one = looseGroup(f.doc, kind::Dart, 1, 2, 10);
    TileGroup* threeA = looseGroup(f.doc, kind::Dart, 3, 5, 10);
    TileGroup* threeB = looseGroup(f.doc, kind::Dart, 3, 9, 10);
    TileGroup* two = looseGroup(f.doc, kind::Dart, 2, 13, 10);
    ASSERT_TRUE(sortGroupsBySize(f.doc.board));
    EXPECT_EQ(displayOrder(f.doc.board), (Order{threeA, threeB, two, one}));

    BoardFixture single(setcode::PenroseNo1);
    looseGroup(single.doc, kind::Dart, 2, 2, 10);
    EXPECT_FALSE(sortGroupsBySize(single.doc.board));
}

TEST(Board, BoundingBoxFollowsMembership) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* g = looseGroup(f.doc, kind::Dart, 3, 4, 10);
    EXPECT_EQ(box(*g), (std::array{4.0, 6.0, 10.0, 10.0}));
    removeTileFromGroup(f.doc, *g, g->tiles[2].get());
    EXPECT_EQ(g->maxX, 5.0);
    removeTile(f.doc, g->tiles[0].get());
    ASSERT_EQ(f.doc.board.count(), 1);
    EXPECT_EQ(box(*g), (std::array{5.0, 5.0, 10.0, 10.0}));
    removeTile(f.doc, g->tiles[0].get()); // the only tile: the group goes with it
    EXPECT_EQ(f.doc.board.count(), 0);
}

TEST(Board, PlaceTileAtAPixel) {
    BoardFixture f(setcode::PenroseNo1);
    const View& v = f.doc.view;
    Tile* t = placeTile(f.doc, kind::Kaite, 3, v.boardOriginX + 100, v.boardOriginY + 200);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rotation, 3);
    EXPECT_EQ(t->x, 100 * v.cmPerPixelX);
    EXPECT_EQ(t->y, (v.boardPixelHeight - 200) * v.cmPerPixelY);
    ASSERT_NE(t->group, nullptr);
    EXPECT_EQ(t->group->count(), 1);
    EXPECT_EQ(f.doc.board.groups.back().get(), t->group); // on top
    EXPECT_EQ(t->group->minX, t->x);
    EXPECT_FALSE(t->group->region.isEmpty());
    EXPECT_FALSE(t->edgeIndex.rows.empty());

    // Board borders are on the board; one pixel beyond is not.
    const int right = v.boardOriginX + v.boardPixelWidth;
    const int top = v.boardOriginY;
    EXPECT_NE(placeTile(f.doc, kind::Dart, 0, right, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 0, right + 1, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 0, right, top - 1), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 20, right, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::WideDiamond, 0, right, top), nullptr); // not in the set
    EXPECT_EQ(f.doc.board.count(), 2);
}

TEST(Board, TileSizeScalesTheOutlineButNotTheDecorations) {
    BoardFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 2.0;
    Tile* t = f.putTile(kind::Dart, 0, 7.0, 9.0);
    auto unit = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Dart, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t->outline.edges[i].x1, unit->outline.edges[i].x1 * 2 + 7.0);
        EXPECT_EQ(t->outline.edges[i].y1, unit->outline.edges[i].y1 * 2 + 9.0);
        EXPECT_EQ(t->outline.edges[i].length, unit->outline.edges[i].length);
    }
    EXPECT_EQ(t->decorations[0].edges[0].y1, unit->decorations[0].edges[0].y1);
    // The dart's tip is φ − 1 above its position, doubled.
    EXPECT_NEAR(t->outline.edges[0].y1 - 9.0, 2 * 0.6180339887498949, 1e-15);
}
