#pragma once

#include "core/geometry/tileset.h"
#include "render/palettepicture.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pavelora {

// The palette's cells in the tile set's kind order. The number of tiles taken of each
// kind is kept by the document (Document::kindCounts).
struct Palette {
    std::vector<PaletteCell> cells;

    int count() const { return static_cast<int>(cells.size()); }
};

// Font metrics the palette is laid out with.
struct PaletteFont {
    int lineHeight = 0; // height plus external leading
    int averageCharWidth = 0;
    // What the cells' text lines, as drawn, take in the font (render's paletteTextWidth).
    int textWidth = 0;
};

// The palette's size for a tile set: wide enough for the longest name (by its length in
// average characters and by the width of the text lines drawn) and for the sample square,
// tall enough for a square and two text lines per kind.
struct PaletteSize {
    int width = 0;
    int height = 0;
};
PaletteSize paletteWindowSize(const TileSet& set, double pxPerMmX, double pxPerMmY,
                              const PaletteFont& font);

// Cells with their squares for a palette of the given client size. Empty for a set
// without kinds.
std::optional<Palette> buildPalette(const TileSet& set, double pxPerMmX, double pxPerMmY,
                                    int clientWidth, int clientHeight, const PaletteFont& font);

const PaletteCell* findPaletteCell(const Palette& palette, std::int32_t kind);

// A click in the palette: chooses the cell under the point, or un-chooses it when it was
// chosen; every other cell is un-chosen. Returns the chosen kind or -1.
std::int32_t paletteClick(Palette& palette, int x, int y);

// The chosen kind, or -1 when none is chosen (or there is no palette).
std::int32_t selectedPaletteKind(const Palette* palette);

void clearPaletteSelection(Palette& palette);

} // namespace pavelora
