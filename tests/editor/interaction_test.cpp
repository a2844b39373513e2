#include "core/geometry/tilebuilder.h"
#include "core/tiling/generator.h"
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

// A group dragged with the mouse moves as a picture and makes its moves when put down; the
// same moves made one arrow key at a time redraw the board after each. Both end with the
// same tiles, bit for bit, and the same board picture, pixel for pixel, other tiles lying
// under the group's path and beside it. A press and release without a move changes nothing.
TEST(GroupDrag, AsTheSameMovesMadeStepByStep) {
    struct Board {
        test::FakeShell shell;
        Editor editor{shell, test::EditorHarness::PxPerMm, test::EditorHarness::PxPerMm};
        Board() {
            editor.resized(1400, 900);
            shell.newChoices.push_back(NewDocumentChoice{setcode::PenroseNo1, 60002});
            editor.invokeMenuCommand(cmd::New);
            Document& doc = *editor.document();
            doc.view.tileSizeRatio = 0.6;
            layPatch(doc, generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 300), 15.0, 14.0);
            for (int i = 0; i < 6; ++i) {
                const BoardPixel p = boardToPixel(doc.view, 21.0 + 0.7 * i, 14.0 + 0.4 * i);
                placeTile(doc, kind::Kaite, i, p.x, p.y);
            }
            editor.executeCommand(cmd::PatternOff); // drawn whole
            editor.executeCommand(cmd::PatternOn);
            editor.executeCommand(cmd::GroupMode);
            const QPoint p = first();
            editor.board().leftButtonUp(p.x(), p.y()); // the patch selected, on top
        }
        const TileGroup& group() { return *editor.document()->board.groups.back(); }
        QPoint first() {
            const Tile& t = *editor.document()->board.groups.front()->tiles.front();
            const BoardPixel p = boardToPixel(editor.document()->view, t.x, t.y);
            return {p.x, p.y};
        }
        QPoint groupFirst() {
            const Tile& t = *group().tiles.front();
            const BoardPixel p = boardToPixel(editor.document()->view, t.x, t.y);
            return {p.x, p.y};
        }
    };
    Board keys;
    Board mouse;
    ASSERT_EQ(keys.group().count(), 300);
    const QImage start = mouse.editor.board().picture().image->copy();
    const QPoint from = mouse.groupFirst();
    mouse.editor.board().leftButtonDown(from.x(), from.y());
    ASSERT_TRUE(mouse.editor.board().dragging());
    mouse.editor.board().leftButtonUp(from.x(), from.y());
    EXPECT_EQ(*mouse.editor.board().picture().image, start) << "a press and release";

    // Arrow keys move the group right by a step each, the mouse follows step by step.
    std::vector<QPoint> steps;
    for (int i = 0; i < 7; ++i) {
        keys.editor.board().keyDown(BoardKey::Right, false);
        keys.editor.board().keyUp(BoardKey::Right);
        steps.push_back(keys.groupFirst());
    }
    ASSERT_NE(steps.front(), from);
    mouse.editor.board().leftButtonDown(from.x(), from.y());
    for (const QPoint& p : steps) {
        mouse.editor.board().mouseMove(p.x(), p.y());
    }
    EXPECT_EQ(mouse.groupFirst(), from) << "the tiles wait for the release";
    mouse.editor.board().leftButtonUp(steps.back().x(), steps.back().y());
    const TileGroup& a = keys.group();
    const TileGroup& b = mouse.group();
    ASSERT_EQ(a.count(), b.count());
    for (int i = 0; i < a.count(); ++i) {
        const Tile& s = *a.tiles[static_cast<std::size_t>(i)];
        const Tile& t = *b.tiles[static_cast<std::size_t>(i)];
        ASSERT_TRUE(s.x == t.x && s.y == t.y) << "tile " << i;
        for (std::size_t e = 0; e < s.outline.edges.size(); ++e) {
            const TileEdge& p = s.outline.edges[e];
            const TileEdge& q = t.outline.edges[e];
            ASSERT_TRUE(p.x1 == q.x1 && p.y1 == q.y1 && p.x2 == q.x2 && p.y2 == q.y2);
        }
    }
    EXPECT_TRUE(a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY);
    EXPECT_EQ(a.region, b.region);
    EXPECT_EQ(a.boundary.count(), b.boundary.count());
    EXPECT_EQ(*mouse.editor.board().picture().image, *keys.editor.board().picture().image);
    EXPECT_NE(*mouse.editor.board().picture().image, start);
    // One change on the undo stack, taken back whole.
    ASSERT_TRUE(mouse.editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(mouse.groupFirst(), from);
}

// The count under a kind's name shrinks from two digits to one: its line is painted anew, as a
// palette opened with that count shows it (padding spaces are narrower than digits).
TEST_F(Interaction, APaletteCountThatShrinksLeavesNothingOfTheOldOne) {
    newDocument(setcode::PenroseNo1);
    editor.palette().countTiles(kind::Dart, 10);
    editor.palette().draw();
    editor.palette().countTiles(kind::Dart, -1);
    editor.palette().draw();
    const QImage counted = editor.palette().paletteImage().copy();
    editor.palette().close();
    ASSERT_TRUE(editor.palette().open(doc()));
    EXPECT_EQ(editor.palette().paletteImage(), counted);
}
