#pragma once

#include "core/board/board.h"
#include "core/board/editing.h"
#include "editor/boardinput.h"
#include "editor/edithistory.h"
#include "editor/shell.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace pavelora {

class EditorScreen;
class PaletteController;

// The board of the open document under the mouse and the keys: the selection and the
// modes, dragging, turning and nudging tiles and groups with the join attempt that follows,
// placing tiles from the palette or a function key, deleting, the blink of the selected
// tile or group, scrolling and the wheel. Each handler collects what it changed on the
// screen and has it repainted once.
//
// Every change it makes goes onto the document's undo stack as one command: a placement, a
// whole drag, the turns or moves of one key press and release, a deletion, a join, a
// detach, a group move, a change of the display order, the modes and the pair pattern.
class BoardInteraction : public BoardInput, public BoardReplay {
public:
    BoardInteraction(EditorScreen& screen, PaletteController& palette, EditHistory& history)
        : screen_(screen), palette_(palette), history_(history) {}
    BoardInteraction(const BoardInteraction&) = delete;
    BoardInteraction& operator=(const BoardInteraction&) = delete;

    // A document starts in a mode with nothing selected, nothing dragged and no key held.
    void attach(Document& doc, bool groupMode);
    // The document goes: nothing is selected and nothing refers to it.
    void detach();

    Selection& selection() { return sel_; }
    const Selection& selection() const { return sel_; }
    bool groupMode() const { return sel_.groupMode; }
    bool dragging() const { return dragging_; }

    // BoardInput
    void leftButtonDown(int x, int y) override;
    void mouseMove(int x, int y) override;
    void leftButtonUp(int x, int y) override;
    void rightButtonDown(int x, int y, bool shift) override;
    void keyDown(BoardKey key, bool shift) override;
    void keyUp(BoardKey key) override;
    void timerTick() override;
    void scroll(Qt::Orientation orientation, ScrollRequest request, int position = 0) override;
    void wheel(int delta) override;
    BoardPicture picture() const override;

    // The options menu: tile or group mode (a change of the document that moves the
    // highlight between the current tile and its group), the pair pattern shown or not,
    // and the groups sorted by size (bigger first) with the selection marks dropped.
    void setTileMode();
    void setGroupMode();
    void setPattern(bool on);
    void tidyDisplayOrder();

    // "パターン生成": a generated patch of the document's set as one joined group on top,
    // the whole board or the tiles nearest the middle of the visible board, at the
    // document's tile size; the palette counts rise, the board is redrawn once and the
    // change is one command on the undo stack. False (nothing changed) while dragging,
    // for a set without generation, or when nothing could be laid.
    bool generate(const GenerateChoice& choice);
    // The generated group taken off the top of the board (undo) or put back (redo), the
    // palette counts with it.
    void replayGenerated(std::unique_ptr<TileGroup>& parked, int groups, int tiles,
                         const std::vector<std::int32_t>& added, bool forward);
    // A click on the board is offered to `hook` first; when it takes it (returns true) the
    // press and its release do nothing else.
    void setClickHook(std::function<bool(int x, int y)> hook) { clickHook_ = std::move(hook); }
    // What is shown over the board picture.
    void setOverlay(std::function<RulesOverlay()> overlay) { overlay_ = std::move(overlay); }

    // A move or turn still under way (a key held, a drag) goes onto the undo stack now.
    void finishEdit();
    // BoardReplay: the selection is dropped, the steps done or undone and redrawn.
    void replay(std::vector<BoardStep>& steps, bool forward) override;

private:
    // A change that becomes one command when it ends: a tile replaced by moves or turns
    // (its first replacement was appended at `appendedAt`), or a group moved.
    struct PendingEdit {
        enum class Kind { None, Tile, Group };
        Kind kind = Kind::None;
        QString name;
        int group = 0;
        int tile = 0;
        bool ownGroup = false;
        int appendedAt = 0;
        TileState record;
        std::vector<double> values;
    };

    // A group dragged with the mouse: its picture moves, its tiles stay where they were
    // until it is put down (or something else needs them), when they make every move of
    // the drag at once and the board is drawn as after the last move.
    struct LiftedGroup {
        TileGroup* group = nullptr;
        QImage before; // the back buffer as it was before the lift
        QImage under;  // the back buffer with the group erased
        QImage picture;
        QPoint at;           // the picture's corner before any move, buffer pixels
        QPoint shift;        // pixels moved so far
        double firstX = 0.0; // the first tile's position as moved so far
        double firstY = 0.0;
        double box[4] = {0.0, 0.0, 0.0, 0.0};         // the group's box before the moves
        std::vector<std::pair<double, double>> moves; // centimetres, as moveGroup takes them
    };

    void liftGroup();
    void dragGroupStep(int dx, int dy);
    void landGroup();
    QRegion clientArea(const QRect& bufferArea) const;
    void beginTileEdit(const Tile& old, const QString& name);
    void beginGroupEdit();
    void setDragging(bool on);
    void dropSelection();
    void applyMode(bool groupMode);
    void applyPattern(bool on);
    void replayStep(BoardStep& step, bool forward, bool& fullRedraw, bool& counted);
    BoardStep tileOut(const Tile& tile) const;
    void pushLift(int group, int tileFrom);
    bool selectedTile() const;
    bool selectedMultiGroup() const;
    void refreshTileStep();
    int marginX() const;
    int marginY() const;
    void replaceOnScreen(const Tile& old);
    bool placeNewTile(std::int32_t kind, int x, int y);
    void groupMoveStep(int dx, int dy);
    void tileAutoScroll(int x, int y);
    void groupAutoScroll();
    bool boardWhollyVisible() const;
    void tryJoin();
    void joinAfterKey(bool& moved);
    void disableTidyBelowTwoGroups();
    void enableTidyFromTwoGroups();
    void clickSelect(int x, int y);

    EditorScreen& screen_;
    PaletteController& palette_;
    EditHistory& history_;
    Document* doc_ = nullptr;
    PendingEdit pending_;
    LiftedGroup lifted_;
    Selection sel_;
    bool dragging_ = false;
    bool dragIsTile_ = false;
    bool spaceRotated_ = false;
    bool arrowMoved_ = false;
    QPoint pointer_;
    QPoint lastMouse_;
    QPoint grabOffset_;
    double tileStep_ = 0.0;
    std::function<bool(int, int)> clickHook_;
    bool hookTookClick_ = false;
    std::function<RulesOverlay()> overlay_;
};

} // namespace pavelora
