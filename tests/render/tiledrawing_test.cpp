#include "core/board/hittest.h"
#include "patternprobes.h"
#include "render/colour.h"
#include "render/shading.h"
#include "renderfixture.h"
#include "support/patchboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>

using namespace pavelora;
using pavelora::test::coloursOf;
using pavelora::test::key;
using pavelora::test::litFactor;
using pavelora::test::PatternProbe;
using pavelora::test::patternProbes;
using pavelora::test::RenderFixture;
using pavelora::test::rgbAt;

namespace {

// The expected colour of a rim strip: the kind colour with its lightness scaled by the
// strip's lighting factor.
Rgb expectedRim(Rgb base, double factor) {
    const Hls hls = rgbToHls(base.red, base.green, base.blue);
    const double lit = hls.lightness * factor;
    const int lightness = lit >= 100 ? 100 : static_cast<int>(lit);
    return hlsToRgb(hls.hue, lightness, hls.saturation);
}

// Whether a colour is found within `reach` pixels of p.
bool colourNear(const QImage& image, QPoint p, Rgb colour, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint q(p.x() + dx, p.y() + dy);
            if (image.valid(q) && rgbAt(image, q) == colour) {
                return true;
            }
        }
    }
    return false;
}

// Every pixel that differs between two pictures of the same size.
std::vector<QPoint> changedPixels(const QImage& before, const QImage& after) {
    std::vector<QPoint> changed;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                changed.emplace_back(x, y);
            }
        }
    }
    return changed;
}

// Every changed pixel that the window shows lies in a region reported to the window.
void expectChangesReported(const RenderFixture& f, const QImage& before) {
    QRegion reported;
    for (const QRegion& r : f.reported) {
        reported += r;
        EXPECT_TRUE(QRegion(visibleBoardRect(f.doc.view)).intersected(r) == r)
            << "a report reaches beyond the visible board";
    }
    const QRect visible = visibleBoardRect(f.doc.view);
    int unreported = 0;
    for (const QPoint& p : changedPixels(before, f.buffers.backBuffer)) {
        const QPoint client = p + QPoint(f.doc.view.boardOriginX, f.doc.view.boardOriginY);
        if (visible.contains(client) && !reported.contains(client)) {
            ++unreported;
        }
    }
    EXPECT_EQ(unreported, 0);
}

// Replaces a tile and redraws as the main window does: the old tile's surroundings without
// it, then the new tile's with it.
void replaceTile(RenderFixture& f, Tile* old, Tile* next) {
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, old, false));
    removeTile(f.doc, old);
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, next, true));
}

} // namespace

TEST(BoardBuffers, AreTheViewSizeAndHoldTheBoardColour) {
    RenderFixture f(setcode::PenroseNo1);
    openViewFromDocument(f.doc.view, 1200, 900, 60003, 1.0, 1.0, Rgb{10, 20, 30});
    f.reported.clear();
    f.reported.push_back(createBoardBuffers(f.buffers, f.doc.view));
    // "Ａ４縦" at 96 dpi: 210 mm x 3.7795 = 793.7 and 297 mm x 3.7795 = 1122.5 pixels.
    for (const QImage* image : {&f.buffers.boardBuffer, &f.buffers.backBuffer}) {
        EXPECT_EQ(image->size(), QSize(793, 1122));
        EXPECT_EQ(image->format(), QImage::Format_RGB32);
        EXPECT_EQ(coloursOf(*image), (std::set<std::tuple<int, int, int>>{{10, 20, 30}}));
    }
    // The board is taller than the client area: it starts one centimetre (37 pixels) down
    // and shows down to the client's bottom edge; it is centred across.
    ASSERT_EQ(f.reported.size(), 1u);
    EXPECT_EQ(f.reported[0], QRegion(QRect(203, 37, 793, 900 - 37)));

    rebuildView(f.doc.view, 2.0);
    f.reported.push_back(createBoardBuffers(f.buffers, f.doc.view));
    EXPECT_EQ(f.buffers.backBuffer.size(), QSize(1587, 2245));
    releaseBoardBuffers(f.buffers);
    EXPECT_TRUE(f.buffers.backBuffer.isNull());
    EXPECT_TRUE(f.buffers.boardBuffer.isNull());
}

TEST(DrawTile, FaceHasTheKindColourAndRimsTheirShades) {
    for (const TileSetEntry& entry : TileSetCatalogue) {
        const auto set = createTileSet(entry.code);
        for (std::int32_t kind : set->kindCodes) {
            for (int rotation : {0, 3, 7, 10, 16}) {
                SCOPED_TRACE(testing::Message() << kind << " rotation " << rotation);
                RenderFixture f(entry.code);
                f.doc.patternOn = 0;
                f.doc.view.tileSizeRatio = 4.0;
                Tile* tile = f.putTile(kind, rotation, 10.5, 14.85);
                ASSERT_NE(tile, nullptr);
                f.widenRims(0.2);
                f.reported.push_back(drawTile(f.buffers, f.doc, tile));
                const QImage& image = f.buffers.backBuffer;
                const Rgb base = *kindColour(*f.doc.tileSet, kind);
                EXPECT_EQ(rgbAt(image, f.bufferPixel(tile->x, tile->y)), base);
                // Each strip's middle (halfway along its outer edge, half the inset in)
                // has its shade; only the board, the face and the shades appear.
                std::set<std::tuple<int, int, int>> allowed{{255, 255, 255}, key(base)};
                for (int i = 1; i < tile->decorationCount(); ++i) {
                    const EdgeChain& strip = tile->decorations[static_cast<std::size_t>(i)];
                    const TileEdge& outer = strip.edges[0];
                    const QPoint p = f.unitPixel(*tile, 0.9 * (outer.x1 + outer.x2) / 2,
                                                 0.9 * (outer.y1 + outer.y2) / 2);
                    const auto shade =
                        key(expectedRim(base, litFactor(strip, f.doc.tileSet->outlineRatio2)));
                    EXPECT_EQ(key(rgbAt(image, p)), shade) << "strip " << i;
                    allowed.insert(shade);
                }
                for (const auto& c : coloursOf(image)) {
                    EXPECT_TRUE(allowed.count(c)) << "a stray colour";
                }
            }
        }
    }
}

// Every Penrose kind at several rotations on one board, drawn by one full redraw: each
// tile's pattern lies where its outline puts it, in the colours its kind uses, and nowhere
// outside the tile.
TEST(DrawTile, PairPatternLiesWhereTheTileGeometryPutsItAndNowhereOutsideTheTile) {
    const std::map<std::int32_t, std::set<int>> used = {
        {kind::Dart, {0, 1}},           {kind::Kaite, {0, 1}},   {kind::WideDiamond, {0, 1}},
        {kind::NarrowDiamond2, {0, 1}}, {kind::Pentagon1, {0}},  {kind::Pentagon2, {0, 2}},
        {kind::Pentagon3, {0, 1, 3}},   {kind::Pentagram3, {1}}, {kind::WanedPentagram, {1, 2, 3}},
        {kind::NarrowDiamond3, {2, 3}},
    };
    for (std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3}) {
        RenderFixture f(set, 60002); // "Ａ３横"
        f.distinctPairColours();
        f.doc.view.tileSizeRatio = 2.5;
        std::vector<Tile*> tiles;
        for (std::int32_t kind : f.doc.tileSet->kindCodes) {
            for (int rotation : {0, 5, 13}) {
                const int i = static_cast<int>(tiles.size());
                tiles.push_back(
                    f.putTile(kind, rotation, 5.0 + 8.0 * (i % 5), 5.0 + 7.0 * (i / 5)));
            }
        }
        f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
        const QImage& image = f.buffers.backBuffer;
        const auto& pairs = f.doc.tileSet->pairColours;
        for (const Tile* tile : tiles) {
            for (const PatternProbe& probe : patternProbes(*tile, 2.5)) {
                EXPECT_TRUE(colourNear(image, f.bufferPixel(probe.x, probe.y),
                                       pairs[static_cast<std::size_t>(probe.colour)], 2))
                    << tile->kind << " rotation " << tile->rotation << ": no colour "
                    << probe.colour << " at (" << probe.x << ", " << probe.y << ")";
            }
        }
        // Which pattern colours each tile shows; no pattern pixel lies outside the tiles,
        // which stand apart from each other.
        auto pairIndex = [&](QPoint p) {
            const Rgb c = rgbAt(image, p);
            for (std::size_t j = 0; j < pairs.size(); ++j) {
                if (c == pairs[j]) {
                    return static_cast<int>(j);
                }
            }
            return -1;
        };
        int total = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                total += pairIndex({x, y}) >= 0 ? 1 : 0;
            }
        }
        std::map<const Tile*, std::set<int>> seen;
        int inside = 0;
        for (const Tile* t : tiles) {
            for (const QRect& r : tileRegion(*t, f.doc.view, 0, image.height(), 1.0)) {
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    for (int x = r.left(); x <= r.right(); ++x) {
                        if (const int j = pairIndex({x, y}); j >= 0) {
                            seen[t].insert(j);
                            ++inside;
                        }
                    }
                }
            }
        }
        const int outside = total - inside;
        EXPECT_EQ(outside, 0) << set;
        for (const Tile* t : tiles) {
            EXPECT_EQ(seen[t], used.at(t->kind)) << t->kind << " rotation " << t->rotation;
        }
    }
}

TEST(DrawTile, NoPatternWhenSwitchedOffOrForKindsWithout) {
    // Penrose kinds with the switch off; "Durer" and "Kepler" kinds (50031 among them) with
    // it forced on and pair colours given to their sets.
    const std::pair<std::int32_t, std::int32_t> cases[] = {{setcode::PenroseNo1, 0},
                                                           {setcode::PenroseNo2, 0},
                                                           {setcode::PenroseNo3, 0},
                                                           {setcode::Durer, 1},
                                                           {setcode::Kepler, 1}};
    for (const auto& [set, patternOn] : cases) {
        RenderFixture f(set);
        f.distinctPairColours();
        f.doc.patternOn = patternOn;
        f.doc.view.tileSizeRatio = 1.5;
        double x = 4;
        for (std::int32_t kind : f.doc.tileSet->kindCodes) {
            f.reported.push_back(drawTile(f.buffers, f.doc, f.putTile(kind, 1, x, 8)));
            x += 6;
        }
        const auto colours = coloursOf(f.buffers.backBuffer);
        EXPECT_GT(colours.size(), 3u);
        for (const Rgb& c : f.doc.tileSet->pairColours) {
            EXPECT_EQ(colours.count(key(c)), 0u) << set;
        }
    }
}

TEST(DrawTile, ReportsWhatChangedAndHonoursTheClip) {
    RenderFixture f(setcode::PenroseNo1, 60003, 96, 600, 500);
    f.doc.view.tileSizeRatio = 2.0;
    // Partly outside the client area at the right.
    Tile* tile = f.putTile(kind::Kaite, 4, 14.5, 20.0);
    const QImage before = f.buffers.backBuffer.copy();
    f.reported.clear();
    f.reported.push_back(drawTile(f.buffers, f.doc, tile));
    ASSERT_FALSE(f.reported.empty());
    expectChangesReported(f, before);

    // Clipped to a small rectangle: nothing changes outside it.
    RenderFixture g(setcode::PenroseNo1);
    g.doc.view.tileSizeRatio = 2.0;
    Tile* clipped = g.putTile(kind::Dart, 0, 10.0, 10.0);
    const QPoint centre = g.bufferPixel(10.0, 10.0);
    const QRegion clip(QRect(centre.x() - 10, centre.y() - 10, 20, 20));
    const QImage empty = g.buffers.backBuffer.copy();
    (void)drawTile(g.buffers, g.doc, clipped, &clip);
    const auto changed = changedPixels(empty, g.buffers.backBuffer);
    EXPECT_FALSE(changed.empty());
    for (const QPoint& p : changed) {
        EXPECT_TRUE(clip.contains(p));
    }
    // A null tile draws nothing.
    const QImage same = g.buffers.backBuffer.copy();
    (void)drawTile(g.buffers, g.doc, nullptr);
    EXPECT_EQ(same, g.buffers.backBuffer);
}

TEST(RedrawAllTiles, DrawsInDisplayOrderAndRebuildsTheGroupRegions) {
    RenderFixture f(setcode::PenroseNo2);
    EXPECT_TRUE(redrawAllTiles(f.buffers, f.doc).isEmpty());
    // Two overlapping tiles: the later group is drawn on top.
    Tile* lower = f.putTile(kind::WideDiamond, 0, 10.0, 10.0);
    Tile* upper = f.putTile(kind::NarrowDiamond2, 0, 10.0, 10.0);
    f.doc.patternOn = 0;
    ASSERT_FALSE(redrawAllTiles(f.buffers, f.doc).isEmpty());
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, f.bufferPixel(10.0, 10.0)),
              *kindColour(*f.doc.tileSet, upper->kind));
    bringGroupToTop(f.doc.board, lower->group);
    f.reported.push_back(createBoardBuffers(f.buffers, f.doc.view));
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, f.bufferPixel(10.0, 10.0)),
              *kindColour(*f.doc.tileSet, lower->kind));

    // After a zoom change every group's region is rebuilt for the new pixels.
    const QRegion before = lower->group->region;
    rebuildView(f.doc.view, 2.0);
    f.reported.push_back(createBoardBuffers(f.buffers, f.doc.view));
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    for (const auto& group : f.doc.board.groups) {
        EXPECT_EQ(group->region, groupProximityRegion(*group, f.doc.view));
    }
    EXPECT_NE(lower->group->region, before);
}

// A drag, a turn and a deletion, each redrawn as the main window does it: afterwards the back
// buffer is the same as a fresh full redraw of the board.
TEST(RedrawAroundTile, PartialRedrawsGiveTheFullRedrawsPicture) {
    for (std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2}) {
        RenderFixture f(set);
        f.doc.view.tileSizeRatio = 0.8;
        const auto patch = set == setcode::PenroseNo1 ? testsupport::kiteDartPatch(120)
                                                      : testsupport::rhombPatch(120);
        std::vector<Tile*> tiles = f.layPatch(patch, 10.5, 14.85);
        f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
        ASSERT_EQ(f.buffers.backBuffer, f.fullPicture());

        const QImage start = f.buffers.backBuffer.copy();
        f.reported.clear();
        // Drag the tile nearest the centre across its neighbours in small steps.
        Tile* moving = tiles[0];
        for (int step = 1; step <= 12; ++step) {
            Tile* next =
                f.putTile(moving->kind, moving->rotation, moving->x + 0.11, moving->y + 0.045);
            replaceTile(f, moving, next);
            moving = next;
            ASSERT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " step " << step;
        }
        expectChangesReported(f, start);

        // Turn another tile by one step.
        Tile* turning = tiles[7];
        replaceTile(f, turning,
                    f.putTile(turning->kind, (turning->rotation + 1) % 20, turning->x, turning->y));
        EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " turn";

        // Delete one.
        f.reported.push_back(redrawAroundTile(f.buffers, f.doc, tiles[20], false));
        removeTile(f.doc, tiles[20]);
        EXPECT_EQ(f.buffers.backBuffer, f.fullPicture()) << set << " delete";
    }
}

// Tiles of separate groups may overlap. A redraw that reaches a lower tile repaints its
// pattern only inside the erased area, so the pattern does not come through the tile
// lying on top of it elsewhere.
TEST(RedrawAroundTile, ALowerTilesPatternStaysUnderTheTileAboveIt) {
    RenderFixture f(setcode::PenroseNo1);
    f.distinctPairColours();
    Tile* lower = f.putTile(kind::Kaite, 0, 10.0, 10.0);
    f.putTile(kind::Dart, 0, 10.0, 10.3); // on top, over the kite's middle
    Tile* moving = f.putTile(kind::Kaite, 10, 10.0, 7.7);
    ASSERT_LT(std::hypot(lower->x - moving->x, lower->y - moving->y), 1.05 * f.doc.tileSet->extent);
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    replaceTile(f, moving, f.putTile(kind::Kaite, 10, 10.1, 7.7));
    EXPECT_EQ(f.buffers.backBuffer, f.fullPicture());
}

TEST(RedrawAroundTile, NearTheBoardEdgeStaysWithinTheBufferAndTheVisibleBoard) {
    // A client area smaller than the board, and tiles hanging over its corners.
    RenderFixture f(setcode::PenroseNo3, 60003, 96, 500, 400);
    f.doc.view.tileSizeRatio = 1.5;
    Tile* corner = f.putTile(kind::Pentagram3, 3, 0.2, 0.2);
    Tile* top = f.putTile(kind::Pentagon2, 0, 20.8, 29.6);
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    const QImage before = f.buffers.backBuffer.copy();
    f.reported.clear();
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, corner, true));
    f.reported.push_back(redrawAroundTile(f.buffers, f.doc, top, true));
    EXPECT_EQ(f.buffers.backBuffer, before);
    EXPECT_EQ(f.buffers.backBuffer, f.fullPicture());
    expectChangesReported(f, before);
}

TEST(RedrawAroundGroup, MovingAJoinedGroupMatchesAFullRedraw) {
    RenderFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 0.7;
    // The patch's ten central tiles as one joined group, the others laid singly around it.
    const auto patch = testsupport::kiteDartPatch(60);
    TileGroup* group =
        testsupport::layJoinedPatch(f.doc, {patch.begin(), patch.begin() + 10}, 10.0, 14.0);
    f.layPatch({patch.begin() + 10, patch.end()}, 10.0, 14.0);
    ASSERT_EQ(group->count(), 10);
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    const QImage start = f.buffers.backBuffer.copy();
    f.reported.clear();

    f.reported.push_back(redrawAroundGroup(f.buffers, f.doc, group, false));

    EXPECT_FALSE(f.reported.back().isEmpty());
    moveGroup(f.doc, *group, 0.9, -0.4);
    bringGroupToTop(f.doc.board, group);
    f.reported.push_back(redrawAroundGroup(f.buffers, f.doc, group, true));
    EXPECT_FALSE(f.reported.back().isEmpty());
    EXPECT_EQ(f.buffers.backBuffer, f.fullPicture());
    expectChangesReported(f, start);

    EXPECT_TRUE(redrawAroundGroup(f.buffers, f.doc, nullptr, true).isEmpty());
    TileGroup emptyGroup;
    EXPECT_TRUE(redrawAroundGroup(f.buffers, f.doc, &emptyGroup, true).isEmpty());
}

TEST(Blink, SelectedTileAlternatesWhiteBlackWhite) {
    RenderFixture f(setcode::PenroseNo1);
    Tile* tile = f.putTile(kind::Dart, 2, 9.0, 9.0);
    Tile* other = f.putTile(kind::Kaite, 0, 15.0, 9.0);
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));
    // The outline's first corner on the screen.
    const QPoint corner = f.bufferPixel(tile->outline.edges[0].x1, tile->outline.edges[0].y1);
    const Rgb white{255, 255, 255};
    const Rgb black{0, 0, 0};
    const QImage before = f.buffers.backBuffer.copy();
    f.reported.clear();
    f.reported.push_back(blinkSelectedTile(f.buffers, f.doc, tile, tile));
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, corner), white);
    expectChangesReported(f, before);
    f.reported.push_back(blinkSelectedTile(f.buffers, f.doc, tile, tile));
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, corner), black);
    f.reported.push_back(blinkSelectedTile(f.buffers, f.doc, tile, tile));
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, corner), white);
    // A tile that is not the current one is not drawn, but the phase still turns.
    const QImage now = f.buffers.backBuffer.copy();
    f.reported.push_back(blinkSelectedTile(f.buffers, f.doc, other, tile));
    EXPECT_EQ(f.buffers.backBuffer, now);
    f.reported.push_back(blinkSelectedTile(f.buffers, f.doc, tile, tile));
    EXPECT_EQ(rgbAt(f.buffers.backBuffer, corner), white);
}

TEST(Blink, GroupOutlineShowsOnlyTheFreeEdges) {
    RenderFixture f(setcode::PenroseNo1);
    f.doc.patternOn = 0;
    f.doc.view.tileSizeRatio = 2.0;
    f.doc.view.boardColour = {60, 60, 60};
    f.reported.push_back(createBoardBuffers(f.buffers, f.doc.view));
    Tile* dart = f.dartWithKite(10.0, 10.0);
    TileGroup* group = f.doc.board.groups[0].get();
    ASSERT_EQ(group->count(), 2);
    ASSERT_NE(dart->outline.edges[0].neighbour, nullptr);
    ASSERT_EQ(dart->outline.edges[2].neighbour, nullptr);
    f.reported.push_back(redrawAllTiles(f.buffers, f.doc));

    auto midpoint = [&](const TileEdge& e) {
        return QPoint(static_cast<int>((e.x1 + e.x2) / 2 / f.doc.view.cmPerPixelX),
                      f.doc.view.boardPixelHeight -
                          static_cast<int>((e.y1 + e.y2) / 2 / f.doc.view.cmPerPixelY));
    };
    const QPoint free = midpoint(dart->outline.edges[2]);
    const QPoint joined = midpoint(dart->outline.edges[0]);
    const Rgb white{255, 255, 255};
    const Rgb black{0, 0, 0};
    const QImage before = f.buffers.backBuffer.copy();
    ASSERT_FALSE(colourNear(before, free, white, 1));
    f.reported.clear();
    f.reported.push_back(blinkGroupOutline(f.buffers, f.doc, group));
    EXPECT_TRUE(colourNear(f.buffers.backBuffer, free, white, 1));
    // Nothing is drawn along the edge the two tiles share.
    for (const QPoint& p : changedPixels(before, f.buffers.backBuffer)) {
        EXPECT_GT((p - joined).manhattanLength(), 6);
    }
    expectChangesReported(f, before);
    f.reported.push_back(blinkGroupOutline(f.buffers, f.doc, group));
    EXPECT_TRUE(colourNear(f.buffers.backBuffer, free, black, 1));
    EXPECT_FALSE(colourNear(f.buffers.backBuffer, free, white, 1));
    // A null group only turns the phase: the next outline is black again.
    f.reported.push_back(blinkGroupOutline(f.buffers, f.doc, nullptr));
    f.reported.push_back(blinkGroupOutline(f.buffers, f.doc, group));
    EXPECT_TRUE(colourNear(f.buffers.backBuffer, free, black, 1));
    EXPECT_FALSE(colourNear(f.buffers.backBuffer, free, white, 1));
}
