#pragma once

#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/progress.h"
#include "editor/menustate.h"
#include "editor/palette.h"
#include "editor/shell.h"
#include "render/tiledrawing.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>

#include <memory>
#include <vector>

namespace pavelora {

// Keys the board reacts to.
enum class BoardKey { Space, Left, Up, Right, Down, Delete, F1, F2, F3, F4, F5, F6, Other };

// Scroll-bar requests: a line or a page towards the start (left, up) or the end, the
// thumb dragged to a position, the start or end of the range, end of scrolling.
enum class ScrollRequest { LineBack, LineForward, PageBack, PageForward, Thumb, Start, End, Done };

// The file dialogs' filters.
FileFilter documentFileFilter();
FileFilter jpegFileFilter();

// The application: its one open document (or none), the selection and modes, the menu
// state, the palette, the board pictures, and every command. It reaches the screen only
// through its Shell.
class Editor : public ErrorReporter {
public:
    Editor(Shell& shell, double pxPerMmX, double pxPerMmY);
    ~Editor() override;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // A document named on the command line, opened at the first size change.
    void setStartupDocument(const QString& path);

    // The client area (without the status bar) changed size.
    void resized(int clientWidth, int clientHeight);

    // A command from the menu or an accelerator: carried out only while its item is
    // enabled. Returns whether it was.
    bool invokeMenuCommand(int command);
    // Any command, as the application itself sends it.
    void executeCommand(int command);
    // The main window is asked to close. False when the user chose to save and the save
    // did not happen: the window stays.
    bool closeRequested();

    // Shows the application error box for a five-character code and ends the application.
    void reportError(const char* code) override;

    // A click in the palette's client area.
    void paletteClicked(int x, int y);

    // Mouse and keys on the board, in client pixels.
    void leftButtonDown(int x, int y);
    void mouseMove(int x, int y);
    void leftButtonUp(int x, int y);
    void rightButtonDown(int x, int y, bool shift);
    void keyDown(BoardKey key, bool shift);
    void keyUp(BoardKey key);
    // The half-second blink.
    void timerTick();
    void scroll(Qt::Orientation orientation, ScrollRequest request, int position = 0);
    void wheel(int delta);
    bool dragging() const { return dragging_; }

    bool documentOpen() const { return doc_ != nullptr; }
    Document* document() { return doc_.get(); }
    const Document* document() const { return doc_.get(); }
    Selection& selection() { return sel_; }
    const MenuState& menu() const { return menu_; }
    const BoardBuffers& buffers() const { return buffers_; }
    const Palette* palette() const { return palette_ ? &*palette_ : nullptr; }
    const QImage& paletteImage() const { return paletteBuffer_; }
    const QString& filePath() const { return filePath_; }
    bool hasFileName() const { return hasFileName_; }
    QString title() const;

    // --- Settings ---
    // What the settings dialogs do when they apply. Each needs an open document and
    // returns false when nothing changed. Tile size, outline width and zoom take whole
    // percentages (tile size and zoom 1..800, outline width 1..99; others are refused);
    // each rebuilds the board picture, marks the document changed and updates the status
    // bar. A tile size that would put a tile position off the board is reported in a
    // message box and changes nothing.
    bool applyTileSize(int percent);
    bool applyOutlineWidth(int percent);
    bool applyZoom(int percent);
    // New fill colours of the kinds or new pair-pattern colours, one per entry in the tile
    // set's order (a list of another length is refused), or a new board colour: the board
    // is drawn again, the palette shows the new samples, the document is marked changed.
    bool applyKindColours(const std::vector<Rgb>& colours);
    bool applyPairColours(const std::vector<Rgb>& colours);
    bool applyBoardColour(Rgb colour);
    // The print settings (a change of the document; the title is cut to what the file
    // keeps) and the JPEG settings (not one; quality and density out of range are refused).
    bool applyPrintSettings(const PrintSettings& settings);
    bool applyJpegSettings(const JpegSettings& settings);

private:
    void newDocument();
    bool closeDocument(); // false: abandoned
    void openCommand();
    bool saveAs();
    bool save();
    void exitCommand();
    void setTileMode();
    void setGroupMode();
    void setPattern(bool on);
    void tidyDisplayOrder();
    void exportJpeg();

    bool startDocument(std::unique_ptr<Document> doc, bool groupMode, bool hasFile);
    bool openPaletteWindow();
    void drawPalette();
    // No kind stays picked: the palette is drawn again and the cursor is the arrow.
    void dropPalettePick();
    // Adds `delta` to the palette count of a kind.
    void countTiles(std::int32_t kind, int delta);
    void redrawBoard();
    // Every change of one event is collected and repainted once, when the outermost handler
    // returns or before a message box takes over.
    class RepaintBatch {
    public:
        explicit RepaintBatch(Editor& editor) : editor_(editor) { ++editor_.batchDepth_; }
        ~RepaintBatch() {
            if (--editor_.batchDepth_ == 0) {
                editor_.repaintChanged();
            }
        }
        RepaintBatch(const RepaintBatch&) = delete;
        RepaintBatch& operator=(const RepaintBatch&) = delete;

    private:
        Editor& editor_;
    };
    // Adds to what the current event changed on the screen.
    void changed(const QRegion& region) { changed_ += region; }
    void repaintChanged();
    // Everything is painted anew (after a rebuild of the buffers or a scroll).
    void repaintAll();
    void updateStatusBar();
    void updateTitle();

    // Interaction helpers.
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
    void menuChanged();
    void markChanged();

    Shell& shell_;
    double pxPerMmX_;
    double pxPerMmY_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;

    std::unique_ptr<Document> doc_;
    Selection sel_;
    MenuState menu_;
    BoardBuffers buffers_;
    QRegion changed_;
    int batchDepth_ = 0;

    std::optional<Palette> palette_;
    std::unique_ptr<TileGroup> paletteTiles_;
    QImage paletteBuffer_;

    QString filePath_;
    QString jpegPath_;
    bool hasFileName_ = false;
    bool openPending_ = false;
    bool ending_ = false;

    // Interaction state.
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
