// Speed of the interaction on big tilings: one drag step of a single tile, from the mouse
// move to the back buffer updated, one join on release onto a big group, and the undo and
// redo of a move of a big group.
#include "core/board/hittest.h"
#include "core/board/restore.h"
#include "core/tiling/generator.h"
#include "editor/commands.h"
#include "editor/editor.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace pavelora;

namespace {

// A shell that shows nothing.
struct QuietShell : Shell {
    SilentProgress quiet;
    bool askYesNo(const QString&, const QString&) override { return false; }
    void showMessage(const QString&, const QString&, Icon) override {}
    QString chooseOpenFile(const FileFilter&) override { return {}; }
    QString chooseSaveFile(const FileFilter&, const QString&) override { return {}; }
    std::optional<NewDocumentChoice> runNewDocumentDialog() override {
        return NewDocumentChoice{setcode::PenroseNo1, 60002};
    }
    void runSettingsDialog(int) override {}
    std::optional<GenerateChoice> runGenerateDialog(std::int32_t) override { return {}; }
    void runPrint() override {}
    void showAbout() override {}
    void showHelp() override {}
    void setTitle(const QString&) override {}
    void setStatusTexts(const std::array<QString, 5>&) override {}
    void menuChanged(const MenuState&) override {}
    void setBlinkTimer(bool) override {}
    void setRecoveryTimer(int) override {}
    void repaint(const QRegion&) override {}
    void repaintAll() override {}
    void scrollBarsChanged() override {}
    void setTileCursor(bool) override {}
    void focusMainWindow() override {}
    void quit() override {}
    QFont paletteFont() override { return QFont(); }
    QSize openPalette(const QString&, QSize size) override { return size; }
    void paletteChanged() override {}
    void closePalette() override {}
    Progress& progress() override { return quiet; }
    void closeProgress() override {}
};

// An editor whose document holds a joined patch of `tiles` kites and darts (some held
// back) filling most of an "Ａ３横" board, all drawn at the zoom given.
struct BigBoard {
    QuietShell shell;
    Editor editor{shell, pixelsPerMillimetre(96), pixelsPerMillimetre(96)};
    std::vector<PatchTile> patch;
    double originX = 0;
    double originY = 0;

    BigBoard(int tiles, const std::vector<int>& skip, double zoom = 1.0) {
        // A window that shows the whole board at the zoom: nothing scrolls while dragging.
        editor.resized(static_cast<int>(1600 * zoom), static_cast<int>(1200 * zoom));
        editor.executeCommand(cmd::New);
        Document& doc = *editor.document();
        const Patch generated = generatePatch(setcode::PenroseNo1, PatchSeed::Sun, tiles);
        patch = generated.tiles;
        doc.view.tileSizeRatio = tileSizeToFit(generated, 13.0);
        originX = boardWidthCm(doc.view) / 2;
        originY = boardHeightCm(doc.view) / 2;
        layPatch(doc, generated, originX, originY, skip);
        rebuildView(doc.view, zoom);
        editor.executeCommand(cmd::PatternOff); // a full redraw
        editor.executeCommand(cmd::PatternOn);
    }
    QPoint pixelOf(int i) {
        const View& v = editor.document()->view;
        const BoardPixel p = boardToPixel(v, originX + patch[i].x * v.tileSizeRatio,
                                          originY + patch[i].y * v.tileSizeRatio);
        return QPoint(p.x, p.y);
    }
};

// Arguments: tiles; plain ways (every tile walked, drawn on its own, regions tile by tile).
void BM_DragStep(benchmark::State& state) {
    const int tiles = static_cast<int>(state.range(0));
    BigBoard big(tiles, {});
    const bool plain = state.range(1) == 1;
    useTileGrids(!plain);
    usePlainTileDrawing(plain);
    usePlainRegions(plain);
    // A loose tile dropped on the patch and dragged to and fro across it.
    big.editor.board().keyUp(BoardKey::F2);
    Tile* tile = big.editor.board().selection().currentTile;
    const BoardPixel start = boardToPixel(big.editor.document()->view, tile->x, tile->y);
    big.editor.board().leftButtonDown(start.x, start.y);
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 6 : 0;
        big.editor.board().mouseMove(start.x + dx, start.y + 3);
    }
    big.editor.board().leftButtonUp(start.x + dx, start.y + 3);
    useTileGrids(true);
    usePlainTileDrawing(false);
    usePlainRegions(false);
}
BENCHMARK(BM_DragStep)
    ->ArgNames({"tiles", "plain"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// One step of dragging the patch, all one group, in group mode: the group's picture moves.
// Pressing on it (the group picked up) and the release (every move made at once, the board
// redrawn around the group) are timed on their own, once per run.
void BM_GroupDragStep(benchmark::State& state) {
    BigBoard big(static_cast<int>(state.range(0)), {});
    big.editor.executeCommand(cmd::GroupMode);
    const QPoint inside = big.pixelOf(0);
    BoardInteraction& board = big.editor.board();
    board.leftButtonUp(inside.x(), inside.y()); // the group selected
    auto start = std::chrono::steady_clock::now();
    board.leftButtonDown(inside.x(), inside.y());
    const double press =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 6 : 0;
        board.mouseMove(inside.x() + dx, inside.y() + 3);
    }
    start = std::chrono::steady_clock::now();
    board.leftButtonUp(inside.x() + dx, inside.y() + 3);
    const double release =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["press_ms"] = press * 1000;
    state.counters["release_ms"] = release * 1000;
}
BENCHMARK(BM_GroupDragStep)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

// The release of a dragged tile that joins a group of n tiles (the last tile of the patch,
// on its rim). Putting the tile back loose for the next round is not timed. The tiles of
// 100,000 on the board are two pixels wide at 100 %: they are joined at 400 %, dropped on
// the pixel of their place, which is within the snap tolerance there.
void BM_JoinOnRelease(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BigBoard big(n + 1, {n}, n > 20000 ? 4.0 : 1.0);
    const int off = n > 20000 ? 0 : 1;
    Document& doc = *big.editor.document();
    TileGroup* group = doc.board.groups.front().get();
    const QPoint target = big.pixelOf(n);
    for (auto _ : state) {
        state.PauseTiming();
        Tile* loose =
            placeTile(doc, big.patch[n].kind, big.patch[n].rotation, target.x() + 30, target.y());
        loose->selected = 1;
        loose->group->selected = 1;
        big.editor.board().selection().currentTile = loose;
        big.editor.board().selection().currentGroup = loose->group;
        big.editor.board().leftButtonDown(target.x() + 30, target.y());
        big.editor.board().mouseMove(target.x() + off, target.y());
        state.ResumeTiming();
        big.editor.board().leftButtonUp(target.x() + off, target.y());
        state.PauseTiming();
        if (group->count() != n + 1) {
            state.SkipWithError("join refused");
            break;
        }
        removeTileFromGroup(doc, *group, group->tiles.back().get());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_JoinOnRelease)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A big group moved by one arrow key in group mode; its undo, then its redo (each timed on
// its own, the other one not).
void undoRedoGroupMove(benchmark::State& state, bool timeUndo) {
    BigBoard big(static_cast<int>(state.range(0)), {});
    big.editor.executeCommand(cmd::GroupMode);
    const QPoint inside = big.pixelOf(0);
    big.editor.board().leftButtonUp(inside.x(), inside.y());
    big.editor.board().keyDown(BoardKey::Right, false);
    big.editor.board().keyUp(BoardKey::Right);
    if (big.editor.menu().text(cmd::Undo) != QStringLiteral("元に戻す: グループの移動")) {
        state.SkipWithError("the group did not move");
        return;
    }
    for (auto _ : state) {
        if (!timeUndo) {
            state.PauseTiming();
        }
        big.editor.invokeMenuCommand(cmd::Undo);
        if (!timeUndo) {
            state.ResumeTiming();
        } else {
            state.PauseTiming();
        }
        big.editor.invokeMenuCommand(cmd::Redo);
        if (timeUndo) {
            state.ResumeTiming();
        }
    }
}
void BM_UndoGroupMove(benchmark::State& state) {
    undoRedoGroupMove(state, true);
}
void BM_RedoGroupMove(benchmark::State& state) {
    undoRedoGroupMove(state, false);
}
BENCHMARK(BM_UndoGroupMove)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoGroupMove)->Arg(10000)->Unit(benchmark::kMillisecond);

// The board's part of either: the group's coordinates exchanged with the ones kept by the
// command, its indexes and region rebuilt (the rest is the repaint of the board).
void BM_GroupMoveCoordinatesExchanged(benchmark::State& state) {
    BigBoard big(static_cast<int>(state.range(0)), {});
    Document& doc = *big.editor.document();
    std::vector<double> kept = recordCoordinates(doc.board, 0);
    for (auto _ : state) {
        exchangeCoordinates(doc, 0, kept);
    }
}
BENCHMARK(BM_GroupMoveCoordinatesExchanged)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
