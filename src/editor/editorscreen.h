#pragma once

#include "editor/menustate.h"
#include "editor/shell.h"
#include "render/tiledrawing.h"

#include <QRegion>
#include <QString>

namespace pavelora {

struct Document;

// Something shown over the board that follows what changes on it.
class BoardOverlay {
public:
    virtual ~BoardOverlay() = default;
    // The region (client pixels) is about to be repainted after a change on the board; what
    // the overlay changes itself is added to it.
    virtual void boardChanged(QRegion& region) = 0;
    // The whole client area is about to be painted anew.
    virtual void boardReplaced() = 0;
};

// The main window as the parts of the editor see it: the shell, the screen's resolution and
// the client area's size, the menu state, the board pictures, and the part of the client
// area the current event has changed.
//
// Every change of one event is collected and repainted once: when the outermost
// RepaintBatch of the event ends, or before a message box takes over.
class EditorScreen {
public:
    EditorScreen(Shell& shell, double pxPerMmX, double pxPerMmY)
        : shell_(shell), pxPerMmX_(pxPerMmX), pxPerMmY_(pxPerMmY) {}
    EditorScreen(const EditorScreen&) = delete;
    EditorScreen& operator=(const EditorScreen&) = delete;

    Shell& shell() { return shell_; }
    double pxPerMmX() const { return pxPerMmX_; }
    double pxPerMmY() const { return pxPerMmY_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    void setClientSize(int width, int height) {
        clientWidth_ = width;
        clientHeight_ = height;
    }

    MenuState& menu() { return menu_; }
    const MenuState& menu() const { return menu_; }
    // Shows the menu state.
    void menuChanged() { shell_.menuChanged(menu_); }
    // The status bar for the document, or empty without one.
    void showStatus(const Document* doc);

    BoardBuffers& buffers() { return buffers_; }
    const BoardBuffers& buffers() const { return buffers_; }
    // New board pictures for the document's view with every tile drawn, all repainted.
    void showBoard(Document& doc);
    // The view rebuilt at its zoom (after a change of size, colour or pattern), then
    // showBoard.
    void redrawBoard(Document& doc);
    void releaseBoard() { releaseBoardBuffers(buffers_); }

    // Told of every change on the board before it is repainted.
    void setOverlay(BoardOverlay* overlay) { overlay_ = overlay; }

    // Adds to what the current event changed on the screen.
    void changed(const QRegion& region) { changed_ += region; }
    void repaintChanged();
    // Everything is painted anew (after a rebuild of the buffers or a scroll).
    void repaintAll();

    // Message boxes, shown after the changes collected so far are repainted.
    void showMessage(const QString& text, const QString& caption);
    bool askYesNo(const QString& text, const QString& caption);

    class RepaintBatch {
    public:
        explicit RepaintBatch(EditorScreen& screen) : screen_(screen) { ++screen_.batchDepth_; }
        ~RepaintBatch() {
            if (--screen_.batchDepth_ == 0) {
                screen_.repaintChanged();
            }
        }
        RepaintBatch(const RepaintBatch&) = delete;
        RepaintBatch& operator=(const RepaintBatch&) = delete;

    private:
        EditorScreen& screen_;
    };

private:
    Shell& shell_;
    double pxPerMmX_;
    double pxPerMmY_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    MenuState menu_;
    BoardBuffers buffers_;
    QRegion changed_;
    int batchDepth_ = 0;
    BoardOverlay* overlay_ = nullptr;
};

} // namespace pavelora
