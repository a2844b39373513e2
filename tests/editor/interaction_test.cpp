#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"
#include "fakeshell.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

using namespace pavelora;

namespace {

const QString kJoined = QStringLiteral("タイルを結合します");
const QString kDetached = QStringLiteral("タイルの結合を解除します");

struct Interaction : test::EditorHarness {
    void open(std::int32_t set, std::int32_t board = 60002) {
        editor.resized(1400, 900);
        newDocument(set, board);
    }
    QPoint pixel(double x, double y) {
        const BoardPixel p = boardToPixel(doc().view, x, y);
        return QPoint(p.x, p.y);
    }
    QPoint pixelOf(const Tile* t) { return pixel(t->x, t->y); }

    // Picks the kind in the palette and clicks on the board.
    Tile* drop(std::int32_t kind, QPoint at) {
        const PaletteCell* cell = nullptr;
        for (const PaletteCell& c : editor.palette().cells()->cells) {
            if (c.kind == kind) {
                cell = &c;
            }
        }
        EXPECT_NE(cell, nullptr);
        editor.palette().paletteClicked(cell->left + 1, cell->top + 1);
        editor.board().leftButtonUp(at.x(), at.y());
        return sel().currentTile;
    }

    // Presses on the tile's reference pixel, moves so that the reference pixel reaches
    // `target`, releases.
    void drag(const Tile* tile, QPoint target) {
        const QPoint from = pixelOf(tile);
        editor.board().leftButtonDown(from.x(), from.y());
        editor.board().mouseMove((from.x() + target.x()) / 2, (from.y() + target.y()) / 2);
        editor.board().mouseMove(target.x(), target.y());
        editor.board().leftButtonUp(target.x(), target.y());
    }

    void turn(int steps) {
        for (int i = 0; i < std::abs(steps); ++i) {
            editor.board().keyDown(BoardKey::Space, steps > 0);
            editor.board().keyUp(BoardKey::Space);
        }
    }

    int messagesWith(const QString& text) {
        return static_cast<int>(std::count_if(shell.messages.begin(), shell.messages.end(),
                                              [&](const auto& m) { return m.text == text; }));
    }

    // Where a Kaite turned half a circle lies along the dart's edge 0 (codes 1 and −1).
    QPoint kiteBesideDart(const Tile* dart, int rotation = 10, int edge = 0) {
        auto unit = buildTile(doc().tileSet.get(), &doc().angles, kind::Kaite, rotation);
        const TileEdge& e = unit->outline.edges[edge];
        const TileEdge& t = dart->outline.edges[0];
        return pixel(t.x2 - e.x1, t.y2 - e.y1);
    }
};

} // namespace

TEST_F(Interaction, DropDragAndJoin) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    ASSERT_NE(dart, nullptr);
    EXPECT_EQ(dart->selected, 1);
    EXPECT_EQ(doc().kindCounts, (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(selectedPaletteKind(editor.palette().cells()), -1);
    EXPECT_FALSE(shell.tileCursor);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));

    Tile* kite = drop(kind::Kaite, QPoint(900, 300));
    ASSERT_NE(kite, nullptr);
    EXPECT_TRUE(editor.menu().enabled(cmd::TidyOrder));
    EXPECT_EQ(dart->selected, 0);
    turn(10); // half a circle, anticlockwise
    kite = sel().currentTile;
    EXPECT_EQ(kite->rotation, 10);

    // Released far from everything: nothing happens, the tile stays selected.
    drag(kite, QPoint(800, 600));
    EXPECT_EQ(messagesWith(kJoined), 0);
    ASSERT_NE(sel().currentTile, nullptr);
    EXPECT_EQ(sel().currentTile->selected, 1);
    EXPECT_EQ(doc().board.count(), 2);

    // Released next to the dart's matching edge: joined, nothing selected.
    const QPoint target = kiteBesideDart(dart) + QPoint(1, -1);
    drag(sel().currentTile, target);
    EXPECT_EQ(messagesWith(kJoined), 1);
    EXPECT_EQ(shell.messages.back().caption, QStringLiteral("タイル操作"));
    EXPECT_EQ(sel().currentTile, nullptr);
    EXPECT_EQ(sel().currentGroup, nullptr);
    ASSERT_EQ(doc().board.count(), 1);
    EXPECT_EQ(doc().board.groups[0]->count(), 2);
    EXPECT_FALSE(editor.menu().enabled(cmd::TidyOrder));
}

TEST_F(Interaction, CodesThatDoNotCancelAreRefused) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    Tile* kite = drop(kind::Kaite, QPoint(900, 300));
    turn(-4); // rotation 16: edge 3 (code 1) runs against the dart's edge 0 (code 1)
    kite = sel().currentTile;
    ASSERT_EQ(kite->rotation, 16);
    drag(kite, kiteBesideDart(dart, 16, 3));
    EXPECT_EQ(messagesWith(kJoined), 0);
    EXPECT_EQ(doc().board.count(), 2);
    EXPECT_NE(sel().currentTile, nullptr);
}

TEST_F(Interaction, ClicksDetachInTileModeAndSelectGroupsInGroupMode) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    drop(kind::Kaite, QPoint(900, 300));
    turn(10);
    drag(sel().currentTile, kiteBesideDart(dart));
    ASSERT_EQ(doc().board.groups[0]->count(), 2);

    // Group mode: a click selects the pair; it drags as one and cannot be turned or
    // deleted.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    TileGroup* pair = doc().board.groups[0].get();
    const QPoint at = pixelOf(pair->tiles[0].get());
    editor.board().leftButtonUp(at.x(), at.y());
    EXPECT_EQ(sel().currentGroup, pair);
    EXPECT_EQ(pair->selected, 1);
    EXPECT_EQ(sel().currentTile, nullptr);
    const double x0 = pair->tiles[0]->x;
    const double x1 = pair->tiles[1]->x;
    editor.board().leftButtonDown(at.x(), at.y());
    editor.board().mouseMove(at.x() + 40, at.y() + 10);
    editor.board().leftButtonUp(at.x() + 40, at.y() + 10);
    EXPECT_NEAR(pair->tiles[0]->x - x0, 40 * doc().view.cmPerPixelX, 1e-9);
    EXPECT_NEAR(pair->tiles[1]->x - x1, 40 * doc().view.cmPerPixelX, 1e-9);
    EXPECT_EQ(messagesWith(kJoined), 1); // a group drag tries no join
    editor.board().keyDown(BoardKey::Space, false);
    editor.board().keyDown(BoardKey::Delete, false);
    EXPECT_EQ(pair->count(), 2);
    EXPECT_EQ(doc().board.count(), 1);
    // Arrow keys move the selected group too.
    editor.board().keyDown(BoardKey::Right, false);
    EXPECT_NEAR(pair->tiles[0]->x - x0,
                (40 + static_cast<int>(doc().tileSet->extent * PxPerMm)) * doc().view.cmPerPixelX,
                1e-9);

    // Tile mode: a click on one tile of the pair takes it out.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::TileMode));
    const QPoint kiteAt = pixelOf(pair->tiles[1].get());
    editor.board().leftButtonUp(kiteAt.x(), kiteAt.y());
    EXPECT_EQ(messagesWith(kDetached), 1);
    EXPECT_EQ(doc().board.count(), 2);
    ASSERT_NE(sel().currentTile, nullptr);
    EXPECT_EQ(sel().currentTile->group->count(), 1);
    EXPECT_EQ(doc().board.groups.back().get(), sel().currentTile->group);
    EXPECT_TRUE(editor.menu().enabled(cmd::TidyOrder));

    // A click on empty board clears the flags but keeps the reference.
    Tile* current = sel().currentTile;
    editor.board().leftButtonUp(100, 850);
    EXPECT_EQ(sel().currentTile, current);
    EXPECT_EQ(current->selected, 0);

    // In group mode a one-tile group can be deleted.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    editor.board().leftButtonUp(pixelOf(current).x(), pixelOf(current).y());
    ASSERT_EQ(sel().currentTile, current);
    editor.board().keyDown(BoardKey::Delete, false);
    EXPECT_EQ(doc().board.count(), 1);
    EXPECT_EQ(doc().kindCounts, (std::vector<std::int32_t>{1, 0}));
}

TEST_F(Interaction, SpaceTurnsAndJoinsOnRelease) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    // A Kaite turned one step too far, dragged to its place beside the dart: no join.
    drop(kind::Kaite, QPoint(900, 300));
    turn(11);
    ASSERT_EQ(sel().currentTile->rotation, 11);
    drag(sel().currentTile, kiteBesideDart(dart, 10, 0));
    EXPECT_EQ(doc().board.count(), 2);
    ASSERT_NE(sel().currentTile, nullptr);
    editor.board().keyDown(BoardKey::Space, false); // clockwise: 10
    EXPECT_EQ(sel().currentTile->rotation, 10);
    EXPECT_EQ(messagesWith(kJoined), 0); // not yet: on release
    editor.board().keyUp(BoardKey::Space);
    EXPECT_EQ(messagesWith(kJoined), 1);
    EXPECT_EQ(doc().board.count(), 1);

    // The right button turns and joins at once: a fresh tile turned inside itself.
    Tile* lone = drop(kind::Dart, QPoint(1000, 700));
    const QPoint at = pixelOf(lone);
    editor.board().rightButtonDown(at.x(), at.y(), true);
    EXPECT_EQ(sel().currentTile->rotation, 1);
    editor.board().rightButtonDown(at.x(), at.y(), false);
    editor.board().rightButtonDown(at.x(), at.y(), false);
    EXPECT_EQ(sel().currentTile->rotation, 19);
    // Outside the tile it does nothing.
    editor.board().rightButtonDown(at.x() + 200, at.y(), false);
    EXPECT_EQ(sel().currentTile->rotation, 19);
}

TEST_F(Interaction, FunctionKeysPlaceAtTheCentreOfTheVisibleBoard) {
    open(setcode::PenroseNo1);
    editor.board().keyUp(BoardKey::F3); // two kinds only
    EXPECT_EQ(doc().board.count(), 0);
    editor.board().keyUp(BoardKey::F2);
    ASSERT_EQ(doc().board.count(), 1);
    Tile* kite = sel().currentTile;
    EXPECT_EQ(kite->kind, kind::Kaite);
    const View& v = doc().view;
    const int cx = std::clamp(1400 / 2, v.boardOriginX, v.boardOriginX + v.boardPixelWidth);
    const int cy = std::clamp(900 / 2, v.boardOriginY, v.boardOriginY + v.boardPixelHeight);
    EXPECT_EQ(pixelOf(kite), QPoint(cx, cy));
    EXPECT_EQ(doc().kindCounts[1], 1);
}

TEST_F(Interaction, ArrowKeysNudgeByATenthOfATileStepAndJoinOnce) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    const QPoint beside = kiteBesideDart(dart);
    const int step = static_cast<int>(doc().tileSet->extent * PxPerMm); // zoom 1, size 1
    ASSERT_EQ(step, 8);
    drop(kind::Kaite, beside - QPoint(3 * step, 0));
    turn(10);
    const QPoint start = pixelOf(sel().currentTile);
    for (int i = 0; i < 3; ++i) {
        editor.board().keyDown(BoardKey::Right, false); // auto-repeat
        ASSERT_NE(sel().currentTile, nullptr);
        EXPECT_EQ(pixelOf(sel().currentTile), start + QPoint((i + 1) * step, 0));
    }
    EXPECT_EQ(messagesWith(kJoined), 0);
    editor.board().keyUp(BoardKey::Right);
    EXPECT_EQ(messagesWith(kJoined), 1);
    EXPECT_EQ(doc().board.count(), 1);
    editor.board().keyUp(BoardKey::Right); // no second attempt
    EXPECT_EQ(messagesWith(kJoined), 1);
}

TEST_F(Interaction, BlinkingAndScrolling) {
    open(setcode::PenroseNo1, 60001); // Ａ３縦: taller than the client area
    Tile* t = drop(kind::Dart, QPoint(600, 400));
    // The selected tile's outline blinks white, then black, on successive ticks.
    const QPoint corner = pixel(t->outline.edges[0].x1, t->outline.edges[0].y1) -
                          QPoint(doc().view.boardOriginX, doc().view.boardOriginY);
    ASSERT_NE(editor.buffers().backBuffer.pixelColor(corner), QColor(Qt::white));
    editor.board().timerTick();
    EXPECT_EQ(editor.buffers().backBuffer.pixelColor(corner), QColor(Qt::white));
    editor.board().timerTick();
    EXPECT_EQ(editor.buffers().backBuffer.pixelColor(corner), QColor(Qt::black));

    // Line, page, thumb and ends of the vertical bar, within the limits.
    View& v = doc().view;
    const int origin = v.boardOriginY;
    editor.board().scroll(Qt::Vertical, ScrollRequest::LineForward);
    EXPECT_EQ(v.boardOriginY, origin - v.lineStepY);
    editor.board().scroll(Qt::Vertical, ScrollRequest::PageForward);
    EXPECT_EQ(v.boardOriginY, origin - 6 * v.lineStepY);
    EXPECT_EQ(v.vertical.position, v.maxOriginY - v.boardOriginY);
    editor.board().scroll(Qt::Vertical, ScrollRequest::Start);
    EXPECT_EQ(v.boardOriginY, v.maxOriginY);
    EXPECT_EQ(v.vertical.position, 0);
    editor.board().scroll(Qt::Vertical, ScrollRequest::End);
    EXPECT_EQ(v.boardOriginY, v.minOriginY);
    EXPECT_EQ(v.vertical.position, v.vertical.maximum);
    for (int i = 0; i < 200; ++i) {
        editor.board().scroll(Qt::Vertical, ScrollRequest::PageForward);
    }
    EXPECT_EQ(v.boardOriginY, v.minOriginY);
    editor.board().scroll(Qt::Vertical, ScrollRequest::Thumb, 10);
    EXPECT_EQ(v.boardOriginY, v.maxOriginY - 10);

    // The wheel pages vertically while vertical scrolling is active.
    const int start = v.boardOriginY;
    editor.board().wheel(120);
    EXPECT_EQ(v.boardOriginY, std::min(v.maxOriginY, start + 5 * v.lineStepY));
    editor.board().wheel(-120);
    EXPECT_EQ(v.boardOriginY, std::min(v.maxOriginY, start + 5 * v.lineStepY) - 5 * v.lineStepY);
}

TEST_F(Interaction, WheelDoesNothingWithoutScrolling) {
    open(setcode::PenroseNo1, 60010);
    View& v = doc().view;
    v.verticalScrollActive = 0;
    v.horizontalScrollActive = 0;
    const int x = v.boardOriginX;
    const int y = v.boardOriginY;
    editor.board().wheel(120);
    editor.board().wheel(-120);
    EXPECT_EQ(v.boardOriginX, x);
    EXPECT_EQ(v.boardOriginY, y);
}

// A whole patch laid by hand: each tile picked in the palette, dropped in a corner,
// turned with the space bar, dragged to its place and released.
class HandBuilt : public Interaction, public testing::WithParamInterface<std::int32_t> {};

TEST_P(HandBuilt, PatchBecomesOneGroup) {
    const std::int32_t set = GetParam();
    open(set);
    const auto patch =
        set == setcode::PenroseNo1 ? testsupport::kiteDartPatch(30) : testsupport::rhombPatch(30);
    const auto neighbours = testsupport::edgeNeighbours(patch, *doc().tileSet, doc().angles);
    const double cx = boardWidthCm(doc().view) / 2;
    const double cy = boardHeightCm(doc().view) / 2;
    const QPoint parking(120, 120);
    double shiftX = 0;
    double shiftY = 0;
    int placed = 0;
    for (int i : testsupport::breadthFirstOrder(neighbours, 0)) {
        const auto& p = patch[i];
        ASSERT_NE(drop(p.kind, parking), nullptr);
        turn(p.rotation <= 10 ? p.rotation : p.rotation - 20);
        ASSERT_EQ(sel().currentTile->rotation, p.rotation);
        drag(sel().currentTile, pixel(cx + p.x + shiftX, cy + p.y + shiftY));
        ++placed;
        if (placed == 1) {
            // The patch is laid where its first tile landed.
            shiftX = sel().currentTile->x - (cx + p.x);
            shiftY = sel().currentTile->y - (cy + p.y);
            continue;
        }
        ASSERT_EQ(messagesWith(kJoined), placed - 1) << "tile " << i;
        ASSERT_EQ(doc().board.count(), 1);
    }
    // Every edge the tiling shares is joined (the joins themselves are the board's tests').
    const TileGroup& group = *doc().board.groups[0];
    EXPECT_EQ(group.count(), 30);
    int joined = 0;
    int shared = 0;
    for (const auto& t : group.tiles) {
        for (const TileEdge& e : t->outline.edges) {
            joined += e.neighbour != nullptr ? 1 : 0;
        }
    }
    for (const auto& n : neighbours) {
        shared += static_cast<int>(n.size());
    }
    EXPECT_EQ(joined, shared);
    EXPECT_EQ(doc().kindCounts[0] + doc().kindCounts[1], 30);
}

INSTANTIATE_TEST_SUITE_P(Sets, HandBuilt,
                         testing::Values(setcode::PenroseNo1, setcode::PenroseNo2));

TEST_F(Interaction, PressingAnUnselectedTileStartsNoDrag) {
    open(setcode::PenroseNo1);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    drop(kind::Kaite, QPoint(900, 300)); // now the dart is not selected
    ASSERT_EQ(dart->selected, 0);
    const QPoint at = pixelOf(dart);
    editor.board().leftButtonDown(at.x(), at.y());
    EXPECT_FALSE(editor.board().dragging());
    editor.board().mouseMove(at.x() + 50, at.y());
    EXPECT_EQ(pixelOf(dart), at);
    // The release selects it; the next press inside it drags.
    editor.board().leftButtonUp(at.x() + 50, at.y());
    editor.board().leftButtonUp(at.x(), at.y());
    EXPECT_EQ(sel().currentTile, dart);
    EXPECT_EQ(dart->selected, 1);
    editor.board().leftButtonDown(at.x(), at.y());
    EXPECT_TRUE(editor.board().dragging());
    editor.board().mouseMove(at.x() + 50, at.y());
    editor.board().leftButtonUp(at.x() + 50, at.y());
    EXPECT_EQ(pixelOf(sel().currentTile), at + QPoint(50, 0));
}
