#include "editor/palette.h"

#include <algorithm>
#include <cstring>

namespace pavelora {

PaletteSize paletteWindowSize(const TileSet& set, double pxPerMmX, double pxPerMmY,
                              const PaletteFont& font) {
    std::size_t longest = 0;
    for (const std::string& name : set.kindNames) {
        longest = std::max(longest, name.size());
    }
    const int byName =
        std::max(static_cast<int>(longest + 6) * font.averageCharWidth, font.textWidth);
    const double bySquare = set.extent * pxPerMmX * 7.5;
    PaletteSize size;
    size.width = static_cast<int>(std::max(static_cast<double>(byName), bySquare));
    size.height =
        static_cast<int>((set.extent * pxPerMmY * 7.0 + 2 * font.lineHeight) * set.kindCount()) +
        30;
    return size;
}

std::optional<Palette> buildPalette(const TileSet& set, double pxPerMmX, double pxPerMmY,
                                    int clientWidth, int clientHeight, const PaletteFont& font) {
    if (set.kindCount() < 1) {
        return std::nullopt;
    }
    const int side = static_cast<int>(pxPerMmX * set.extent * 5.0);
    const int sideY = static_cast<int>(pxPerMmY * set.extent * 5.0);
    const int slot = clientHeight / set.kindCount();
    Palette palette;
    for (int i = 0; i < set.kindCount(); ++i) {
        PaletteCell cell;
        cell.kind = set.kindCodes[i];
        cell.left = (clientWidth - side) / 2;
        cell.right = (clientWidth + side) / 2;
        cell.top = slot * i + sideY / 10 + 2 * font.lineHeight;
        cell.bottom = cell.top + sideY;
        palette.cells.push_back(cell);
    }
    return palette;
}

const PaletteCell* findPaletteCell(const Palette& palette, std::int32_t kind) {
    for (const PaletteCell& cell : palette.cells) {
        if (cell.kind == kind) {
            return &cell;
        }
    }
    return nullptr;
}

std::int32_t paletteClick(Palette& palette, int x, int y) {
    std::int32_t chosen = -1;
    for (PaletteCell& cell : palette.cells) {
        if (cell.contains(x, y)) {
            if (cell.selected == 0) {
                cell.selected = 1;
                chosen = cell.kind;
            } else {
                cell.selected = 0;
                chosen = -1;
            }
        } else {
            cell.selected = 0;
        }
    }
    return chosen;
}

std::int32_t selectedPaletteKind(const Palette* palette) {
    if (palette == nullptr) {
        return -1;
    }
    for (const PaletteCell& cell : palette->cells) {
        if (cell.selected == 1) {
            return cell.kind;
        }
    }
    return -1;
}

void clearPaletteSelection(Palette& palette) {
    for (PaletteCell& cell : palette.cells) {
        cell.selected = 0;
    }
}

} // namespace pavelora
