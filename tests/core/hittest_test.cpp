#include "core/board/restore.h"
#include "core/tiling/generator.h"
#include "fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace pavelora;
using pavelora::test::BoardFixture;
using pavelora::test::looseGroup;

namespace {

// Winding number of a closed polygon around a point.
int windingNumber(const EdgeChain& chain, double x, double y) {
    int winding = 0;
    for (const TileEdge& e : chain.edges) {
        const double cross = (e.x2 - e.x1) * (y - e.y1) - (x - e.x1) * (e.y2 - e.y1);
        if (e.y1 <= y && e.y2 > y && cross > 0) {
            ++winding;
        } else if (e.y1 > y && e.y2 <= y && cross < 0) {
            --winding;
        }
    }
    return winding;
}

} // namespace

// Points on outlines are looked at in patch_test: a tiling covers every point once.
TEST(PointInIndex, AgreesWithTheWindingNumberAwayFromTheOutline) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> spread(-4.0, 4.0);
    for (const TileSetEntry& entry : TileSetCatalogue) {
        BoardFixture f(entry.code);
        f.doc.view.tileSizeRatio = 1.3;
        for (int k = 0; k < 20 * f.doc.tileSet->kindCount(); ++k) {
            const std::int32_t kind = f.doc.tileSet->kindCodes[k / 20];
            const int rotation = k % 20;
            Tile* t = f.putTile(kind, rotation, 8.0, 9.0);
            for (int i = 0; i < 400; ++i) {
                const double x = 8.0 + spread(random);
                const double y = 9.0 + spread(random); // never exactly on the outline
                ASSERT_EQ(pointInIndex(t->edgeIndex, x, y, f.doc.angles),
                          windingNumber(t->outline, x, y) != 0)
                    << "kind " << kind << " rotation " << rotation << " at " << x << ", " << y;
            }
            removeTile(f.doc, t);
        }
    }
}

TEST(TileAtPixel, TopmostTileWins) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* below = f.putTile(kind::Kaite, 0, 8.0, 8.0);
    Tile* above = f.putTile(kind::Dart, 0, 8.0, 8.1);
    const auto at = [&f](double x, double y) {
        const BoardPixel q = f.pixelOf(x, y);
        return tileAtPixel(f.doc, q.x, q.y);
    };
    EXPECT_EQ(at(8.0, 8.05), above);
    bringGroupToTop(f.doc.board, below->group);
    EXPECT_EQ(at(8.0, 8.05), below);
    EXPECT_EQ(at(8.0, 8.9), below); // the Kaite's tip reaches beyond the dart
    EXPECT_EQ(at(12.0, 12.0), nullptr);
    EXPECT_EQ(tileAtPixel(f.doc, f.doc.view.boardOriginX - 5, f.pixelOf(8, 8).y), nullptr);
}

TEST(Regions, GroupsNearWhenEnlargedPolygonsShareAPixel) {
    // Rhombs 1.2 times enlarged: two stacked ones (corners n = cos 36° above and below the
    // position) meet at a distance of 2.4 n; 2.1 n apart they overlap, 2.6 n apart not.
    BoardFixture f(setcode::PenroseNo2);
    const double n = 0.8090169943749475;
    Tile* a = f.putTile(kind::WideDiamond, 0, 5.0, 5.0);
    Tile* touching = f.putTile(kind::WideDiamond, 0, 5.0 + 2 * 0.5877852522924731, 5.0);
    EXPECT_TRUE(groupsNear(*a->group, *touching));
    EXPECT_TRUE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.1 * n)));
    EXPECT_FALSE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.6 * n)));
    EXPECT_FALSE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 12.0, 5.0)));
    // On the outline the left side counts as inside: the left corner, not the right one.
    const auto& corner = a->outline.edges;
    EXPECT_TRUE(pointInIndex(a->edgeIndex, corner[1].x1, corner[1].y1, f.doc.angles));
    EXPECT_FALSE(pointInIndex(a->edgeIndex, corner[3].x1, corner[3].y1, f.doc.angles));
    EXPECT_EQ(unite({}), QRegion());
    // A tile over the board's left edge has its region cut there.
    const View& v = f.doc.view;
    const Tile* edge = f.putTile(kind::WideDiamond, 0, 0.1, 9.0);
    const int bottom = v.boardOriginY + v.boardPixelHeight;
    EXPECT_LT(tilePixelPolygon(*edge, v, v.boardOriginX, bottom, 1.0).boundingRect().left(),
              v.boardOriginX);
    EXPECT_EQ(tileRegion(*edge, v, v.boardOriginX, bottom, 1.0).boundingRect().left(),
              v.boardOriginX);
}

// The grid that finds the tiles near a pixel follows every change of the board: the hit test
// through it gives the tile that walking every tile gives, on random pixels, after each kind
// of edit of a big joined group and of a big group of overlapping loose tiles.
TEST(TileAtPixel, TheGridAnswersAsTheWalkThroughEveryEdit) {
    BoardFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 0.5;
    TileGroup* patch =
        layPatch(f.doc, generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 600), 10.0, 14.0);
    // Tiles 0.3 cm apart overlap: within the group the later one is on top.
    TileGroup* loose = looseGroup(f.doc, kind::Kaite, 60, 3.0, 6.0);
    for (int i = 0; i < loose->count(); ++i) {
        Tile& t = *loose->tiles[static_cast<std::size_t>(i)];
        const double dx = -0.7 * i;
        t.x += dx;
        for (TileEdge& e : t.outline.edges) {
            e.x1 += dx;
            e.x2 += dx;
        }
        t.edgeIndex = buildEdgeIndex(t.outline, f.doc.directionCount());
    }
    rebuildGroup(f.doc, *loose);

    std::mt19937 random(7);
    const View& v = f.doc.view;
    std::uniform_int_distribution<int> px(v.boardOriginX, v.boardOriginX + v.boardPixelWidth);
    std::uniform_int_distribution<int> py(v.boardOriginY, v.boardOriginY + v.boardPixelHeight);
    int hits = 0;
    const auto agree = [&](const char* after) {
        for (int i = 0; i < 3000; ++i) {
            const int x = px(random);
            const int y = py(random);
            Tile* walked = tileAtPixelWalking(f.doc, x, y);
            ASSERT_EQ(tileAtPixel(f.doc, x, y), walked) << after << " at " << x << ", " << y;
            hits += walked != nullptr;
        }
    };
    agree("laying");
    moveGroup(f.doc, *patch, 1.234567, -0.7654321);
    agree("a group move");
    const std::vector<double> before = recordCoordinates(f.doc.board, 0);
    std::vector<double> values = before;
    exchangeCoordinates(f.doc, 0, values); // back to the patch as laid
    agree("an undone move");
    bringTileToTop(*loose, loose->tiles[5].get());
    agree("a tile brought to the top of its group");
    bringGroupToTop(f.doc.board, patch);
    agree("a group brought to the top");
    // A tile taken out, then put back as before.
    const int place = 17;
    const TileState record = recordTile(*patch, place);
    removeTileAt(f.doc, groupIndexOf(f.doc.board, patch), place);
    agree("a tile removed");
    ASSERT_TRUE(restoreTileAt(f.doc, groupIndexOf(f.doc.board, patch), place, false, record));
    agree("a tile restored");
    Selection sel;
    ASSERT_TRUE(detachTile(f.doc, sel, patch->tiles[40].get()));
    agree("a detach");
    removeTile(f.doc, loose->tiles[30].get());
    agree("a deletion");
    // The detached tile, turned and joined back where it was.
    Tile* detached = sel.currentTile;
    ASSERT_TRUE(moveCurrentTileByPixels(f.doc, sel, 2, 1));
    ASSERT_TRUE(rotateCurrentTile(f.doc, sel, true));
    ASSERT_TRUE(rotateCurrentTile(f.doc, sel, false));
    EXPECT_NE(sel.currentTile, detached);
    agree("a nudge and two turns");
    ASSERT_TRUE(joinCurrentTile(f.doc, sel));
    agree("a join");
    EXPECT_GT(hits, 3000); // most pixels of the board's middle lie on the patch
}

// Group regions made from one region per shape and united in one pass hold exactly the
// pixels of the tiles' own regions united one by one: patches of every set with a pattern
// and a group of loose tiles over the board's edge, at several zooms and enlargements.
TEST(Regions, MadeByShapeAndUnitedInOnePassAsTileByTile) {
    for (const std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3}) {
        for (const double zoom : {0.5, 2.0}) {
            BoardFixture f(set);
            f.doc.view.tileSizeRatio = 0.4;
            rebuildView(f.doc.view, zoom);
            const Patch patch =
                generatePatch(set, PatchSeed::Sun, set == setcode::PenroseNo3 ? 120 : 500);
            const TileGroup* group = layPatch(f.doc, patch, 8.0, 10.0);
            const TileGroup* loose = looseGroup(f.doc, patch.tiles[1].kind, 80, -0.5, 0.2);
            for (const TileGroup* g : {group, loose}) {
                std::vector<QRegion> fast;
                fast.push_back(groupProximityRegion(*g, f.doc.view));
                for (const double factor : {1.0, 1.3}) {
                    fast.push_back(
                        groupRegion(*g, f.doc.view, 0, f.doc.view.boardPixelHeight, factor));
                }
                usePlainRegions(true);
                std::vector<QRegion> plain;
                plain.push_back(groupProximityRegion(*g, f.doc.view));
                for (const double factor : {1.0, 1.3}) {
                    plain.push_back(
                        groupRegion(*g, f.doc.view, 0, f.doc.view.boardPixelHeight, factor));
                }
                usePlainRegions(false);
                for (std::size_t i = 0; i < fast.size(); ++i) {
                    EXPECT_FALSE(plain[i].isEmpty());
                    EXPECT_TRUE(fast[i].xored(plain[i]).isEmpty())
                        << "set " << set << " zoom " << zoom << " region " << i;
                    EXPECT_EQ(fast[i].boundingRect(), plain[i].boundingRect());
                }
            }
        }
    }
}

// Points at the height of a corner are where a crossing count goes wrong: an edge of a
// horizontal direction whose ends differ in their last bits must still be counted there.
TEST(PointInIndex, AgreesWithTheWindingNumberAtTheHeightOfEveryCorner) {
    const auto onEdge = [](const TileEdge& g, double x, double y) {
        const double cross = (g.x2 - g.x1) * (y - g.y1) - (x - g.x1) * (g.y2 - g.y1);
        return std::abs(cross) < 1e-9 && x >= std::min(g.x1, g.x2) - 1e-9 &&
               x <= std::max(g.x1, g.x2) + 1e-9 && y >= std::min(g.y1, g.y2) - 1e-9 &&
               y <= std::max(g.y1, g.y2) + 1e-9;
    };
    int levelEdges = 0;
    for (const TileSetEntry& entry : TileSetCatalogue) {
        BoardFixture f(entry.code);
        f.doc.view.tileSizeRatio = 1.3;
        for (int k = 0; k < 20 * f.doc.tileSet->kindCount(); ++k) {
            const std::int32_t kind = f.doc.tileSet->kindCodes[k / 20];
            Tile* t = f.putTile(kind, k % 20, 8.0, 9.0);
            for (const TileEdge& e : t->outline.edges) {
                levelEdges +=
                    (e.direction == 0 || e.direction == f.doc.angles.count / 2) && e.y1 != e.y2;
                for (int i = 0; i <= 160; ++i) {
                    const double x = 4.0 + i * 0.05;
                    const double y = e.y1;
                    if (std::any_of(t->outline.edges.begin(), t->outline.edges.end(),
                                    [&](const TileEdge& g) { return onEdge(g, x, y); })) {
                        continue;
                    }
                    ASSERT_EQ(pointInIndex(t->edgeIndex, x, y, f.doc.angles),
                              windingNumber(t->outline, x, y) != 0)
                        << "kind " << kind << " rotation " << k % 20 << " at " << x << ", " << y;
                }
            }
            removeTile(f.doc, t);
        }
    }
    EXPECT_GT(levelEdges, 0); // such edges occur, so the case is looked at
}
