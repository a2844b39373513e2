#pragma once

#include "core/board/board.h"

#include <QFont>
#include <QImage>

#include <cstdint>
#include <vector>

namespace pavelora {

// One cell of the tile palette: a kind of the document's tile set, whether it is chosen
// for placing, and its sample square in the palette's client pixels (edges included).
struct PaletteCell {
    std::int32_t kind = 0;
    std::int32_t selected = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// Paints every cell into the picture: two text lines above the square in `font` (the kind's
// name with its function key, then the number of tiles taken), then the square, grey inside
// a bevel that stands out, or looks pressed in for the chosen cell, with the kind's sample
// tile at half size in the middle. The document gives the kinds' names, colours and counts
// and the screen's resolution; `samples` holds one tile of each kind at rotation 0. What
// lies outside the cells' texts and squares is left as it was. False, with the cells
// before it drawn, when a cell's kind has no sample.
bool paintPalette(QImage& picture, const std::vector<PaletteCell>& cells, const TileGroup& samples,
                  const Document& doc, const QFont& font);

// The two text lines of a cell: the name of the kind at `index` in the set with its
// function key, and the number of tiles taken.
QString paletteNameLine(const TileSet& set, int index);
QString paletteCountLine(int count);

// The width in pixels the cells' text lines take in `font`, where paintPalette draws them,
// with a blank (an average character) after the widest: the name lines, and a count line
// of four digits.
int paletteTextWidth(const TileSet& set, const QFont& font);

} // namespace pavelora
