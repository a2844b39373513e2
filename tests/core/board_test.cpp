#include "core/board/restore.h"
#include "core/tiling/generator.h"
#include "fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The joins of a group as places: for each tile, for each edge, the joined tile's place.
std::vector<std::vector<int>> linkPlaces(const TileGroup& group) {
    std::vector<std::vector<int>> links;
    for (const auto& tile : group.tiles) {
        auto& row = links.emplace_back();
        for (const TileEdge& edge : tile->outline.edges) {
            row.push_back(edge.neighbour != nullptr ? tileIndexOf(group, edge.neighbour) : -1);
        }
    }
    return links;
}

// Joins made in the editor hold links both ways, but an opened file may hold a link one way
// only or a tile joined to itself; taking a tile out and putting it back keeps them all.
TEST(Restore, PutsBackEveryLinkAsItWasOneWayAndToItselfIncluded) {
    BoardFixture f(setcode::PenroseNo2);
    TileGroup* patch =
        layPatch(f.doc, generatePatch(setcode::PenroseNo2, PatchSeed::Sun, 40), 10.0, 14.0);
    ASSERT_GE(patch->count(), 20);
    // Tile 3 loses its side of every join (its neighbours still name it); the first free
    // edge of the last tile names that tile.
    for (TileEdge& edge : patch->tiles[3]->outline.edges) {
        edge.neighbour = nullptr;
    }
    Tile& last = *patch->tiles.back();
    const auto free = std::find_if(last.outline.edges.begin(), last.outline.edges.end(),
                                   [](const TileEdge& e) { return e.neighbour == nullptr; });
    ASSERT_NE(free, last.outline.edges.end());
    free->neighbour = &last;
    rebuildGroup(f.doc, *patch);
    // As the reader marks such a group.
    ASSERT_TRUE(hasOneWayLinks(*patch));
    patch->oneWayLinks = true;
    const auto before = linkPlaces(*patch);
    for (int place = 0; place < patch->count(); ++place) {
        const TileState record = recordTile(*patch, place);
        removeTileAt(f.doc, 0, place);
        ASSERT_TRUE(restoreTileAt(f.doc, 0, place, false, record));
        ASSERT_EQ(linkPlaces(*patch), before) << "tile " << place;
    }

    // A tile alone in its group, joined to itself.
    Tile* alone = f.putTile(kind::WideDiamond, 0, 3.0, 3.0);
    alone->outline.edges[1].neighbour = alone;
    const TileState record = recordTile(*alone->group, 0);
    removeTileAt(f.doc, 1, 0);
    ASSERT_EQ(f.doc.board.count(), 1);
    ASSERT_TRUE(restoreTileAt(f.doc, 1, 0, true, record));
    EXPECT_EQ(linkPlaces(*f.doc.board.groups[1]), (std::vector<std::vector<int>>{{-1, 0, -1, -1}}));
}
