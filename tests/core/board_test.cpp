#include "fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using namespace pavelora;
using namespace pavelora::test;

TEST(Board, SortBySizePutsBigGroupsFirstAndKeepsTies) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* one = looseGroup(f.doc, kind::Dart, 1, 2, 10);
    TileGroup* threeA = looseGroup(f.doc, kind::Dart, 3, 5, 10);
    TileGroup* threeB = looseGroup(f.doc, kind::Dart, 3, 9, 10);
    TileGroup* two = looseGroup(f.doc, kind::Dart, 2, 13, 10);
    ASSERT_TRUE(sortGroupsBySize(f.doc.board));
    EXPECT_EQ(displayOrder(f.doc.board), (std::vector{threeA, threeB, two, one}));
    // Removing tiles shrinks the box; the last tile takes its group with it.
    auto box = [g = threeA] { return std::array{g->minX, g->maxX, g->minY, g->maxY}; };
    EXPECT_EQ(box(), (std::array{5.0, 7.0, 10.0, 10.0}));
    removeTileFromGroup(f.doc, *threeA, threeA->tiles[2].get());
    removeTile(f.doc, threeA->tiles[0].get());
    EXPECT_EQ(box(), (std::array{6.0, 6.0, 10.0, 10.0}));
    removeTile(f.doc, threeA->tiles[0].get());
    EXPECT_EQ(displayOrder(f.doc.board), (std::vector{threeB, two, one}));
}

TEST(Board, PlaceTileAtAPixel) {
    // A one-tile group on top, at the pixel's board position, its outline scaled by the tile
    // size and its decorations left in tile units: the dart's tip lies 1/φ from its position.
    BoardFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 2.0;
    const View& v = f.doc.view;
    Tile* t = placeTile(f.doc, kind::Dart, 3, v.boardOriginX + 100, v.boardOriginY + 200);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ((std::array{t->x, t->y}),
              (std::array{100 * v.cmPerPixelX, (v.boardPixelHeight - 200) * v.cmPerPixelY}));
    EXPECT_EQ((std::array{t->rotation, t->group->count()}), (std::array{3, 1}));
    EXPECT_EQ(f.doc.board.groups.back().get(), t->group);
    const TileEdge& tip = t->outline.edges[0];
    EXPECT_NEAR(std::hypot(tip.x1 - t->x, tip.y1 - t->y), 2 * 0.6180339887498949, 1e-14);
    const TileEdge& face = t->decorations[0].edges[0];
    EXPECT_NEAR(std::hypot(face.x1, face.y1), 0.99 * 0.6180339887498949, 1e-14);
    // Not beyond the board, nor a kind of another set.
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 0, v.boardOriginX - 1, v.boardOriginY), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::WideDiamond, 0, v.boardOriginX, v.boardOriginY), nullptr);
    EXPECT_EQ(f.doc.board.count(), 1);
}
