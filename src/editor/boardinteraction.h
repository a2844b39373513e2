#pragma once

#include "core/board/board.h"
#include "core/board/editing.h"
#include "editor/boardinput.h"

#include <QPoint>

#include <cstdint>

namespace pavelora {

class EditorScreen;
class PaletteController;

// The board of the open document under the mouse and the keys: the selection and the
// modes, dragging, turning and nudging tiles and groups with the join attempt that follows,
// placing tiles from the palette or a function key, deleting, the blink of the selected
// tile or group, scrolling and the wheel. Each handler collects what it changed on the
// screen and has it repainted once.
class BoardInteraction : public BoardInput {
public:
    BoardInteraction(EditorScreen& screen, PaletteController& palette)
        : screen_(screen), palette_(palette) {}
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

private:
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
    Document* doc_ = nullptr;
    Selection sel_;
    bool dragging_ = false;
    bool dragIsTile_ = false;
    bool spaceRotated_ = false;
    bool arrowMoved_ = false;
    QPoint pointer_;
    QPoint lastMouse_;
    QPoint grabOffset_;
    double tileStep_ = 0.0;
};

} // namespace pavelora
