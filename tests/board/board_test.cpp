#include "fixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

std::vector<TileGroup*> order(const Board& board) {
    std::vector<TileGroup*> out;
    for (const auto& g : board.groups) {
        out.push_back(g.get());
    }
    return out;
}

// A group of `n` tiles that are not joined (tiles may share a group only when joined, but
// the list operations do not care).
TileGroup* groupOf(BoardFixture& f, int n, double x) {
    auto group = newGroup();
    for (int i = 0; i < n; ++i) {
        auto tile = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind::Dart, 0);
        placeOutline(f.doc, *tile, x + i, 10.0);
        addTileToGroup(f.doc, *group, std::move(tile));
    }
    return appendGroup(f.doc.board, std::move(group));
}

} // namespace

TEST(Board, DisplayOrderOperations) {
    BoardFixture f(setcode::PenroseNo1);
    Board& board = f.doc.board;
    TileGroup* g1 = groupOf(f, 1, 2);
    TileGroup* g2 = groupOf(f, 1, 5);
    TileGroup* g3 = groupOf(f, 1, 8);
    EXPECT_EQ(order(board), (std::vector<TileGroup*>{g1, g2, g3}));

    bringGroupToTop(board, g3);
    EXPECT_EQ(order(board), (std::vector<TileGroup*>{g1, g2, g3}));
    bringGroupToTop(board, g1);
    EXPECT_EQ(order(board), (std::vector<TileGroup*>{g2, g3, g1}));

    TileGroup stranger;
    bringGroupToTop(board, &stranger);
    removeGroup(board, &stranger);
    EXPECT_EQ(unlinkGroup(board, &stranger), nullptr);
    EXPECT_EQ(order(board), (std::vector<TileGroup*>{g2, g3, g1}));
    EXPECT_EQ(appendGroup(board, nullptr), nullptr);

    removeGroup(board, g3);
    EXPECT_EQ(order(board), (std::vector<TileGroup*>{g2, g1}));
}

TEST(Board, TileOrderWithinAGroup) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* g = groupOf(f, 3, 2);
    Tile* a = g->tiles[0].get();
    Tile* b = g->tiles[1].get();
    Tile* c = g->tiles[2].get();
    bringTileToTop(*g, a);
    EXPECT_EQ(g->tiles[0].get(), b);
    EXPECT_EQ(g->tiles[1].get(), c);
    EXPECT_EQ(g->tiles[2].get(), a);
    bringTileToTop(*g, a);
    EXPECT_EQ(g->tiles[2].get(), a);
    for (const auto& t : g->tiles) {
        EXPECT_EQ(t->group, g);
    }
}

TEST(Board, SortBySizePutsBigGroupsFirstAndKeepsTies) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* one = groupOf(f, 1, 2);
    TileGroup* threeA = groupOf(f, 3, 5);
    TileGroup* threeB = groupOf(f, 3, 9);
    TileGroup* two = groupOf(f, 2, 13);
    ASSERT_TRUE(sortGroupsBySize(f.doc.board));
    EXPECT_EQ(order(f.doc.board), (std::vector<TileGroup*>{threeA, threeB, two, one}));

    BoardFixture single(setcode::PenroseNo1);
    groupOf(single, 2, 2);
    EXPECT_FALSE(sortGroupsBySize(single.doc.board));
}

TEST(Board, BoundingBoxFollowsMembership) {
    BoardFixture f(setcode::PenroseNo1);
    TileGroup* g = groupOf(f, 3, 4);
    EXPECT_EQ(g->minX, 4.0);
    EXPECT_EQ(g->maxX, 6.0);
    EXPECT_EQ(g->minY, 10.0);
    EXPECT_EQ(g->maxY, 10.0);
    removeTileFromGroup(f.doc, *g, g->tiles[2].get());
    EXPECT_EQ(g->maxX, 5.0);
    removeTile(f.doc, g->tiles[0].get());
    ASSERT_EQ(f.doc.board.count(), 1);
    EXPECT_EQ(g->count(), 1);
    EXPECT_EQ(g->minX, 5.0);
    EXPECT_EQ(g->maxX, 5.0);
    removeTile(f.doc, g->tiles[0].get()); // the only tile: the group goes with it
    EXPECT_EQ(f.doc.board.count(), 0);
}

TEST(Board, PlaceTileAtAPixel) {
    BoardFixture f(setcode::PenroseNo1);
    const View& v = f.doc.view;
    Tile* t = placeTile(f.doc, kind::Kaite, 3, v.boardOriginX + 100, v.boardOriginY + 200);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->kind, kind::Kaite);
    EXPECT_EQ(t->rotation, 3);
    EXPECT_EQ(t->x, 100 * v.cmPerPixelX);
    EXPECT_EQ(t->y, (v.boardPixelHeight - 200) * v.cmPerPixelY);
    ASSERT_NE(t->group, nullptr);
    EXPECT_EQ(t->group->count(), 1);
    EXPECT_EQ(f.doc.board.groups.back().get(), t->group); // on top
    EXPECT_EQ(t->group->minX, t->x);
    EXPECT_EQ(t->group->boundary.rows.size(), t->edgeIndex.rows.size());
    EXPECT_FALSE(t->group->region.isEmpty());
    EXPECT_FALSE(t->edgeIndex.rows.empty());

    // Board borders are on the board; one pixel beyond is not.
    const int right = v.boardOriginX + v.boardPixelWidth;
    const int top = v.boardOriginY;
    EXPECT_NE(placeTile(f.doc, kind::Dart, 0, right, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 0, right + 1, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 0, right, top - 1), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, 20, right, top), nullptr);
    EXPECT_EQ(placeTile(f.doc, kind::Dart, -1, right, top), nullptr);
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
