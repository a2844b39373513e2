#pragma once

#include "core/board/board.h"

namespace pavelora {

// Scales the whole arrangement about the mean of all tile positions by
// newRatio / view.tileSizeRatio. All or nothing: when any tile position would leave the
// board nothing changes and false is returned. The caller stores the new ratio.
bool resizeAllTiles(Document& doc, double newRatio);

// Rebuilds a tile's inner face and rim strips for the tile set's current outline inset.
bool rebuildDecorations(const Document& doc, Tile* tile);
// The same for every tile of the board, in display order.
bool rebuildBoardDecorations(Document& doc);
// The same for every tile of one group (the palette's sample tiles).
bool rebuildListDecorations(const Document& doc, TileGroup* group);

} // namespace pavelora
