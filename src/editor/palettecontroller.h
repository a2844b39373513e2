#pragma once

#include "core/board/board.h"
#include "core/progress.h"
#include "editor/palette.h"
#include "editor/paletteinput.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>

namespace pavelora {

class EditorScreen;

// The tile palette of the open document: its cells, the sample tile of each kind, the
// kind picked for placing (with the tile cursor while one is), the document's count of
// tiles per kind, and the picture the palette window shows.
class PaletteController : public PaletteInput {
public:
    PaletteController(EditorScreen& screen, ErrorReporter& errors)
        : screen_(screen), errors_(errors) {}
    PaletteController(const PaletteController&) = delete;
    PaletteController& operator=(const PaletteController&) = delete;

    // Opens the palette window for a document that was created or opened, lays out its
    // cells, builds the samples and draws the picture. False when an error was reported.
    bool open(Document& doc);
    // The document closes: the window goes, the cursor is the arrow, the palette is gone.
    void close();
    // The document goes without a close (the application ends): nothing refers to it.
    void detach() { doc_ = nullptr; }

    // PaletteInput: a click picks a kind, or drops the pick; the cursor follows.
    void paletteClicked(int x, int y) override;
    // Closing the window drops the pick: the cursor is the arrow, and no kind stays picked
    // out of sight.
    void paletteClosed() override { dropPick(); }
    const QImage& paletteImage() const override { return picture_; }

    // The cells, or null while no palette is open.
    const Palette* cells() const { return palette_ ? &*palette_ : nullptr; }
    // The kind picked for placing, or -1.
    std::int32_t pickedKind() const { return selectedPaletteKind(cells()); }
    // No kind stays picked: the palette is drawn again and the cursor is the arrow.
    void dropPick();
    // Adds `delta` to the document's count of a kind.
    void countTiles(std::int32_t kind, int delta);
    // The samples take the tile set's new outline width.
    void rebuildSamples();
    // Draws the picture anew and has the window show it.
    void draw();

private:
    EditorScreen& screen_;
    ErrorReporter& errors_;
    Document* doc_ = nullptr;
    std::optional<Palette> palette_;
    std::unique_ptr<TileGroup> samples_;
    QImage picture_;
};

} // namespace pavelora
