#include "core/geometry/tilebuilder.h"
#include "fakeshell.h"

using namespace pavelora;

namespace {

struct Interaction : test::EditorHarness {
    BoardInteraction& board = editor.board();
    Interaction() { editor.resized(1400, 900); }
    QPoint pixel(double x, double y) {
        const BoardPixel p = boardToPixel(doc().view, x, y);
        return QPoint(p.x, p.y);
    }
    QPoint at(const Tile* t) { return pixel(t->x, t->y); }
    void click(QPoint p) { board.leftButtonUp(p.x(), p.y()); }
    // Picks the kind in the palette (the tile cursor shows) and clicks on the board.
    Tile* drop(std::int32_t kind, QPoint to) {
        const PaletteCell* cell = findPaletteCell(*editor.palette().cells(), kind);
        editor.palette().paletteClicked(cell->left + 1, cell->top + 1);
        EXPECT_TRUE(shell.tileCursor);
        click(to);
        return sel().currentTile;
    }
    // Presses on the tile's reference pixel, moves it to `to` in two steps, releases.
    void drag(const Tile* tile, QPoint to) {
        const QPoint from = at(tile);
        board.leftButtonDown(from.x(), from.y());
        board.mouseMove((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        board.mouseMove(to.x(), to.y());
        click(to);
    }
    void turnAnticlockwise(int steps) {
        for (int i = 0; i < steps; ++i) {
            board.keyDown(BoardKey::Space, true);
            board.keyUp(BoardKey::Space);
        }
    }
    long joins() {
        return std::count_if(shell.messages.begin(), shell.messages.end(), [](const auto& m) {
            return m.text == QStringLiteral("タイルを結合します");
        });
    }
    // Where a Kaite turned half a circle lies along the dart's edge 0.
    QPoint kiteBesideDart(const Tile* dart) {
        auto unit = buildTile(doc().tileSet.get(), &doc().angles, kind::Kaite, 10);
        const TileEdge& t = dart->outline.edges[0];
        return pixel(t.x2 - unit->outline.edges[0].x1, t.y2 - unit->outline.edges[0].y1);
    }
};

} // namespace

TEST_F(Interaction, DropDragJoinAndDetachRepaintingOncePerEvent) {
    newDocument(setcode::PenroseNo1, 60002);
    Tile* dart = drop(kind::Dart, QPoint(500, 400));
    EXPECT_EQ(doc().kindCounts, (std::vector<std::int32_t>{1, 0}));
    EXPECT_TRUE(editor.palette().pickedKind() == -1 && !shell.tileCursor &&
                editor.menu().enabled(cmd::SaveAs));
    drop(kind::Kaite, QPoint(900, 300));
    EXPECT_TRUE(editor.menu().enabled(cmd::TidyOrder) && dart->selected == 0);
    turnAnticlockwise(10);
    // A drag step is repainted at once; far from the dart the release joins nothing.
    const QPoint from = at(sel().currentTile);
    board.leftButtonDown(from.x(), from.y());
    const int before = shell.repaints;
    board.mouseMove(from.x() + 30, from.y());
    EXPECT_EQ(shell.repaints, before + 1);
    click(from + QPoint(30, 0));
    EXPECT_EQ(joins(), 0);
    // By the dart's matching edge: joined, nothing selected, the snapped tile repainted
    // before the message.
    drag(sel().currentTile, kiteBesideDart(dart) + QPoint(1, -1));
    EXPECT_EQ(shell.messages.back().shown(), QStringLiteral("タイル操作|タイルを結合します"));
    EXPECT_EQ(shell.messages.back().repaintsBefore, shell.repaints);
    EXPECT_TRUE(sel().currentTile == nullptr && sel().currentGroup == nullptr);
    EXPECT_TRUE(doc().board.count() == 1 && !editor.menu().enabled(cmd::TidyOrder));

    // Group mode: a click selects the pair; it drags and nudges as one, cannot be turned or
    // deleted, and tries no join.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    TileGroup* pair = doc().board.groups[0].get();
    const QPoint p = at(pair->tiles[0].get());
    const double x1 = pair->tiles[1]->x;
    click(p);
    EXPECT_TRUE(sel().currentGroup == pair && sel().currentTile == nullptr);
    board.leftButtonDown(p.x(), p.y());
    board.mouseMove(p.x() + 40, p.y() + 10);
    click(p + QPoint(40, 10));
    for (BoardKey key : {BoardKey::Space, BoardKey::Delete, BoardKey::Right}) {
        board.keyDown(key, false);
    }
    EXPECT_TRUE(pair->count() == 2 && joins() == 1);
    EXPECT_NEAR(pair->tiles[1]->x - x1, (40 + 8) * doc().view.cmPerPixelX, 1e-9);
    // Tile mode: the pair loses its highlight; a click on one of its tiles takes it out,
    // on top and selected.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::TileMode));
    EXPECT_TRUE(sel().currentTile == nullptr && pair->selected == 0);
    click(at(pair->tiles[1].get()));
    EXPECT_EQ(shell.messages.back().text, QStringLiteral("タイルの結合を解除します"));
    EXPECT_EQ(shell.messages.back().repaintsBefore, shell.repaints);
    Tile* kite = sel().currentTile;
    ASSERT_EQ(doc().board.count(), 2);
    EXPECT_TRUE(doc().board.groups.back().get() == kite->group &&
                editor.menu().enabled(cmd::TidyOrder));
    // A click on empty board clears the flags but keeps the reference.
    click(QPoint(100, 850));
    EXPECT_TRUE(sel().currentTile == kite && kite->selected == 0);
    // Group mode hands the highlight of a one-tile group's tile to the group, tile mode
    // hands it back; in group mode a one-tile group can be deleted.
    click(at(kite));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    EXPECT_TRUE(sel().currentGroup == kite->group && kite->group->selected == 1);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::TileMode));
    EXPECT_TRUE(sel().currentTile == kite && kite->selected == 1 && kite->group->selected == 0);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    board.keyDown(BoardKey::Delete, false);
    EXPECT_EQ(doc().kindCounts, (std::vector<std::int32_t>{1, 0}));
}

TEST_F(Interaction, KeysAndButtonsTurnNudgeAndPlaceJoiningOnce) {
    newDocument(setcode::PenroseNo1, 60002);
    board.keyUp(BoardKey::F3); // no kind of this set
    board.keyUp(BoardKey::F1);
    ASSERT_EQ(doc().board.count(), 1);
    Tile* dart = sel().currentTile;
    // Pressing the dart, no longer selected, drags nothing.
    drop(kind::Kaite, QPoint(1000, 200));
    board.leftButtonDown(at(dart).x(), at(dart).y());
    EXPECT_FALSE(board.dragging());
    board.mouseMove(at(dart).x() + 50, at(dart).y());
    click(QPoint(1000, 200)); // the Kaite selected again
    // The Kaite one step too far round beside the dart: Space turns it back, the join
    // waits for the release.
    turnAnticlockwise(11);
    drag(sel().currentTile, kiteBesideDart(dart));
    board.keyDown(BoardKey::Space, false);
    EXPECT_TRUE(sel().currentTile->rotation == 10 && joins() == 0);
    board.keyUp(BoardKey::Space);
    EXPECT_EQ(joins(), 1);
    // Arrow keys nudge by a tenth of a tile step (8 px here); one join on the release.
    const QPoint beside = kiteBesideDart(drop(kind::Dart, QPoint(400, 700)));
    drop(kind::Kaite, beside - QPoint(24, 0));
    turnAnticlockwise(10);
    for (int i = 1; i <= 3; ++i) {
        board.keyDown(BoardKey::Right, false); // auto-repeat
        EXPECT_EQ(at(sel().currentTile), beside + QPoint(8 * i - 24, 0));
    }
    board.keyUp(BoardKey::Right);
    board.keyUp(BoardKey::Right); // no second attempt
    EXPECT_EQ(joins(), 2);
    // The right button turns (and tries a join) inside the tile only.
    const QPoint p = at(drop(kind::Dart, QPoint(1000, 700)));
    board.rightButtonDown(p.x(), p.y(), true);
    EXPECT_EQ(sel().currentTile->rotation, 1);
    board.rightButtonDown(p.x(), p.y(), false);
    board.rightButtonDown(p.x(), p.y(), false);
    board.rightButtonDown(p.x() + 200, p.y(), false);
    EXPECT_EQ(sel().currentTile->rotation, 19);
}

TEST_F(Interaction, ScrollAndWheel) {
    newDocument(setcode::PenroseNo1, 60001); // Ａ３縦: taller than the client area
    View& v = doc().view;
    const int origin = v.boardOriginY;
    board.scroll(Qt::Vertical, ScrollRequest::LineForward);
    board.scroll(Qt::Vertical, ScrollRequest::PageForward);
    EXPECT_EQ((std::array{v.boardOriginY, v.vertical.position}),
              (std::array{origin - 6 * v.lineStepY, v.maxOriginY - v.boardOriginY}));
    board.scroll(Qt::Vertical, ScrollRequest::Start);
    EXPECT_EQ((std::array{v.boardOriginY, v.vertical.position}), (std::array{v.maxOriginY, 0}));
    board.scroll(Qt::Vertical, ScrollRequest::End);
    board.scroll(Qt::Vertical, ScrollRequest::PageForward); // stops at the end
    EXPECT_EQ((std::array{v.boardOriginY, v.vertical.position}),
              (std::array{v.minOriginY, v.vertical.maximum}));
    board.scroll(Qt::Vertical, ScrollRequest::Thumb, 10);
    board.wheel(-120); // a page while vertical scrolling is active, else nothing
    EXPECT_EQ(v.boardOriginY, v.maxOriginY - 10 - 5 * v.lineStepY);
    v.verticalScrollActive = 0;
    board.wheel(120);
    EXPECT_EQ(v.boardOriginY, v.maxOriginY - 10 - 5 * v.lineStepY);
}
