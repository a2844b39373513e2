#include "core/tiling/generator.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <span>

using namespace pavelora;
using namespace pavelora::test;

namespace {

// Replaces a tile and redraws as the main window does: the old tile's surroundings without
// it, then the new tile's with it.
void replaceTile(RenderFixture& f, Tile* old, Tile* next) {
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, old, false));
    removeTile(f.doc, old);
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, next, true));
}

} // namespace

// Every kind at three rotations in one full redraw. Without the pattern faces have the kind
// colour and rim strips their shades. The pattern changes tiles of the Penrose sets, inside the
// tile only, its circles through a dart's or kite's reference point; "Durer" and "Kepler" none.
TEST(DrawTile, FacesRimStripsAndPairPatterns) {
    for (const TileSetEntry& entry : TileSetCatalogue) {
        RenderFixture f(entry.code, 60002); // "Ａ３横"
        f.doc.view.tileSizeRatio = 2.0;
        f.doc.tileSet->outlineInset = 0.2; // rim strips wide enough to look at
        std::vector<Tile*> tiles;
        std::vector<QRegion> regions;
        for (int i = 0; i < 3 * f.doc.tileSet->kindCount(); ++i) {
            tiles.push_back(f.putTile(f.doc.tileSet->kindCodes[static_cast<std::size_t>(i / 3)],
                                      7 * i % 20, 4.0 + 7.0 * (i % 6), 4.0 + 7.5 * (i / 6)));
            regions.push_back(
                tileRegion(*tiles.back(), f.doc.view, 0, f.doc.view.boardPixelHeight, 1.0));
        }
        f.doc.patternOn = 0;
        const QImage image = f.fullPicture();
        for (const Tile* t : tiles) {
            const Rgb base = *kindColour(*f.doc.tileSet, t->kind);
            EXPECT_EQ(image.pixel(f.bufferPixel(t->x, t->y)), rgb(base)) << t->kind;
            // Rim strips half the inset in: at tile size 2, 0.9 × the sum of the edge's ends.
            for (const EdgeChain& strip : std::span(t->decorations).subspan(1)) {
                const TileEdge& e = strip.edges[0];
                const double shade = shadingFactor(strip, f.doc.tileSet->outlineRatio2);
                EXPECT_EQ(image.pixel(f.bufferPixel(t->x + 0.9 * (e.x1 + e.x2),
                                                    t->y + 0.9 * (e.y1 + e.y2))),
                          rgb(shadeColour(shade, base)))
                    << t->kind << " rotation " << t->rotation;
            }
        }
        f.doc.patternOn = 1;
        const QImage patterned = f.fullPicture();
        std::vector<int> changed(tiles.size(), 0); // pixels of each tile the pattern changed
        for (int p = 0; p < image.width() * image.height(); ++p) {
            const QPoint at(p % image.width(), p / image.width());
            if (patterned.pixel(at) != image.pixel(at)) {
                const auto tile = std::find_if(regions.begin(), regions.end(),
                                               [at](const QRegion& r) { return r.contains(at); });
                ASSERT_NE(tile, regions.end()) << "a pattern pixel outside the tiles";
                ++changed[static_cast<std::size_t>(tile - regions.begin())];
            }
        }
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            EXPECT_EQ(changed[i] > 0, entry.code <= setcode::PenroseNo3) << tiles[i]->kind;
            for (const auto& [colour, x, y] : arcPoints(*tiles[i])) {
                EXPECT_TRUE(coloursNear(patterned, f.bufferPixel(x, y))
                                .count(rgb(f.doc.tileSet->pairColours.at(colour))))
                    << tiles[i]->kind << " rotation " << tiles[i]->rotation << ": no circle";
            }
        }
    }
}

// A patch, its ten central tiles a group, in a client area smaller than the board: a drag, a
// turn and a deletion of single tiles, tiles over the board's corners and a move of the group,
// each redrawn as the main window does it, leave the picture of a full redraw, every change
// the window shows reported and nothing beyond the visible board.
TEST(RedrawAround, PartialRedrawsGiveTheFullRedrawsPicture) {
    for (std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2}) {
        RenderFixture f(set, 60003, 600, 500);
        f.doc.view.tileSizeRatio = 0.8;
        const Patch patch = generatePatch(set, PatchSeed::Sun, 120);
        std::vector<int> rest(110);
        std::iota(rest.begin(), rest.end(), 10);
        TileGroup* group = layPatch(f.doc, patch, 10.5, 14.85, rest);
        std::vector<Tile*> tiles =
            f.layPatch({patch.tiles.begin() + 10, patch.tiles.end()}, 10.5, 14.85);
        (void)redrawAllTiles(f.buffers, f.doc);
        const QImage start = f.buffers.backBuffer.copy();
        Tile* moving = tiles[0]; // next to the group, dragged across it
        for (int step = 1; step <= 12; ++step) {
            Tile* next =
                f.putTile(moving->kind, moving->rotation, moving->x - 0.11, moving->y + 0.045);
            replaceTile(f, moving, next);
            moving = next;
            ASSERT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " step " << step;
        }
        Tile* turning = tiles[7];
        replaceTile(f, turning,
                    f.putTile(turning->kind, (turning->rotation + 1) % 20, turning->x, turning->y));
        EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " turn";
        f.reported.push_back(redrawAroundTile(f.buffers, f.doc, tiles[20], false));
        removeTile(f.doc, tiles[20]);
        EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " delete";
        for (const auto& [x, y] : {std::pair{0.2, 0.2}, std::pair{20.8, 29.6}}) {
            f.reported.push_back(
                redrawAroundTile(f.buffers, f.doc, f.putTile(patch.tiles[0].kind, 3, x, y), true));
            EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " corner";
        }
        f.reported.push_back(redrawAroundGroup(f.buffers, f.doc, group, false));
        moveGroup(f.doc, *group, 0.9, -0.4);
        bringGroupToTop(f.doc.board, group);
        f.reported.push_back(redrawAroundGroup(f.buffers, f.doc, group, true));
        EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " group";
        const QRegion visible(visibleBoardRect(f.doc.view));
        const QRegion reported = std::accumulate(f.reported.begin(), f.reported.end(), QRegion());
        EXPECT_EQ(visible.intersected(reported), reported) << "a report beyond the visible board";
        for (int p = 0; p < start.width() * start.height(); ++p) {
            const QPoint at(p % start.width(), p / start.width());
            const QPoint client = at + QPoint(f.doc.view.boardOriginX, f.doc.view.boardOriginY);
            ASSERT_TRUE(start.pixel(at) == f.buffers.backBuffer.pixel(at) ||
                        !visible.contains(client) || reported.contains(client))
                << "unreported change at " << client.x() << ", " << client.y();
        }
    }
}

// Tiles of separate groups may overlap. A redraw that reaches a lower tile repaints its pattern
// only inside the erased area, so the pattern does not come through the tile on top of it.
TEST(RedrawAround, ALowerTilesPatternStaysUnderTheTileAboveIt) {
    RenderFixture f(setcode::PenroseNo1);
    f.putTile(kind::Kaite, 0, 10.0, 10.0);
    f.putTile(kind::Dart, 0, 10.0, 10.3); // on top, over the kite's middle
    Tile* moving = f.putTile(kind::Kaite, 10, 10.0, 7.7);
    (void)redrawAllTiles(f.buffers, f.doc);
    replaceTile(f, moving, f.putTile(kind::Kaite, 10, 10.1, 7.7));
    EXPECT_EQ(f.buffers.backBuffer, f.fullPicture());
    // Later groups are drawn over earlier ones.
    EXPECT_EQ(f.buffers.backBuffer.pixel(f.bufferPixel(10.0, 10.1)),
              rgb(f.doc.tileSet->kindColours[0]));
}

// Redraws made from pictures of whole tiles set every pixel as drawing each tile on its own:
// whole boards of patches of every set with a pattern, at several zooms and tile sizes, tiles
// over the board's edges, overlapping loose tiles in one group, then redraws around tiles and
// groups on both pictures.
TEST(RedrawFromPictures, EveryPixelAsTilesDrawnOneByOne) {
    const auto plainAndFast = [](RenderFixture& f, const auto& draw) {
        BoardBuffers plain;
        (void)createBoardBuffers(plain, f.doc.view);
        plain.backBuffer = f.buffers.backBuffer.copy();
        usePlainTileDrawing(true);
        draw(plain);
        usePlainTileDrawing(false);
        draw(f.buffers);
        return plain.backBuffer;
    };
    for (const std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3}) {
        for (const auto& [zoom, size] :
             {std::pair{1.0, 0.45}, std::pair{0.5, 0.2}, std::pair{2.0, 0.6}}) {
            RenderFixture f(set);
            f.doc.view.tileSizeRatio = size;
            rebuildView(f.doc.view, zoom);
            (void)createBoardBuffers(f.buffers, f.doc.view);
            const Patch patch =
                generatePatch(set, PatchSeed::Sun, set == setcode::PenroseNo3 ? 120 : 400);
            TileGroup* group = layPatch(f.doc, patch, 10.0, 14.0);
            // Loose tiles over one another and over the board's corner, in one group.
            TileGroup* loose = looseGroup(f.doc, patch.tiles[0].kind, 60, 0.1, 0.3);
            moveGroup(f.doc, *loose, -0.5, 0);
            const auto what = [&](const char* step) {
                return ::testing::Message() << "set " << set << " zoom " << zoom << ": " << step;
            };
            QImage plain =
                plainAndFast(f, [&](BoardBuffers& b) { (void)redrawAllTiles(b, f.doc); });
            ASSERT_EQ(f.buffers.backBuffer, plain) << what("full redraw");
            std::mt19937 random(3);
            for (int i = 0; i < 6; ++i) {
                Tile* t = group->tiles[random() % group->tiles.size()].get();
                plain = plainAndFast(
                    f, [&](BoardBuffers& b) { (void)redrawAroundTile(b, f.doc, t, i % 2 == 0); });
                ASSERT_EQ(f.buffers.backBuffer, plain) << what("around a tile");
            }
            plain = plainAndFast(
                f, [&](BoardBuffers& b) { (void)redrawAroundGroup(b, f.doc, loose, false); });
            ASSERT_EQ(f.buffers.backBuffer, plain) << what("around a group");
            moveGroup(f.doc, *group, 0.37, -0.21);
            plain = plainAndFast(
                f, [&](BoardBuffers& b) { (void)redrawAroundGroup(b, f.doc, group, true); });
            ASSERT_EQ(f.buffers.backBuffer, plain) << what("around a moved group");
        }
    }
}

// Small tiles are erased with a wide margin for the pens (the redraw factor grows as the tile
// size shrinks): every tile reaching into that margin is painted back, whether or not its group
// is near or its position close, so a redraw in place leaves the full redraw's picture.
TEST(RedrawAround, AtSmallTileSizesEveryErasedPixelIsPaintedBack) {
    for (std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3}) {
        for (double ratio : {0.2, 0.1}) {
            RenderFixture f(set, 60003, 600, 500);
            f.doc.view.tileSizeRatio = ratio;
            const std::vector<Tile*> tiles =
                f.layPatch(generatePatch(set, PatchSeed::Sun, 80).tiles, 10.5, 14.85);
            (void)redrawAllTiles(f.buffers, f.doc);
            const QImage full = f.fullPicture();
            int tilesOff = 0, groupsOff = 0;
            for (Tile* t : tiles) {
                (void)redrawAroundTile(f.buffers, f.doc, t, true);
                if (f.buffers.backBuffer != full) {
                    ++tilesOff;
                    f.buffers.backBuffer = full.copy();
                }
                (void)redrawAroundGroup(f.buffers, f.doc, t->group, true);
                if (f.buffers.backBuffer != full) {
                    ++groupsOff;
                    f.buffers.backBuffer = full.copy();
                }
            }
            EXPECT_EQ(tilesOff, 0) << set << " at " << ratio;
            EXPECT_EQ(groupsOff, 0) << set << " at " << ratio;
        }
    }
}
