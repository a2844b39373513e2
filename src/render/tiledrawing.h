#pragma once

#include "core/board/board.h"
#include "core/progress.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <memory>

namespace pavelora {

// The two off-screen pictures of the open board and the blink state.
//
// `boardBuffer` holds only the board colour and serves for erasing; `backBuffer` holds the
// board and every tile and is what the window shows, its top left corner at the board
// origin. Every drawing goes into `backBuffer` and returns the part of the client area that
// thereby changed (client coordinates, already cut to the visible board rectangle), so that
// the window repaints exactly that part from the buffer; an empty region when nothing on the
// screen changed.
struct TileStamps;

struct BoardBuffers {
    QImage boardBuffer; // Format_RGB32, boardPixelWidth x boardPixelHeight
    QImage backBuffer;
    std::int32_t blinkPhase = 1; // 1: the next blink is white
    std::int32_t groupBlinkPhase = 1;
    // Pictures of tiles that the redraws copy (see usePlainTileDrawing).
    std::shared_ptr<TileStamps> stamps;
};

// The buffer rectangle (0, 0)-(W, H) and the visible board rectangle in client
// coordinates: from the board origin to the board's far corner or the client area's,
// whichever comes first.
QRect bufferRect(const View& view);
QRect visibleBoardRect(const View& view);

// Buffers of the view's board size after the view was set up or rebuilt (kept when they
// have that size already), both filled with the board colour.
[[nodiscard]] QRegion createBoardBuffers(BoardBuffers& buffers, const View& view);
// Drops both pictures when the view closes.
void releaseBoardBuffers(BoardBuffers& buffers);

// Draws one tile into the back buffer: inner face in the kind colour, then the rim strips
// in their shaded colours, then (when the document shows it) the pair pattern cut to the
// tile's outline. `clip`, in buffer pixels, limits all of it when given. A null tile draws
// nothing.
[[nodiscard]] QRegion drawTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                               const QRegion* clip = nullptr);

// The redraws below draw tiles from pictures of whole tiles, each made once per redraw for
// the tiles of one shape, and set the same pixels as drawing each tile on its own would.
// With plain drawing on they draw each tile on its own: the way tests and benchmarks set
// the pictures against. Off by default.
void usePlainTileDrawing(bool on);

// Draws every tile in display order over the back buffer's current contents and rebuilds
// each group's proximity region (also without buffers). A progress display, when given,
// counts the tiles drawn.
[[nodiscard]] QRegion redrawAllTiles(BoardBuffers& buffers, Document& doc,
                                     Progress* progress = nullptr);

// After a tile moved, turned or appeared (or before it goes): the tile's surroundings,
// enlarged a little beyond its outline, are erased to the board colour and every tile near
// it is drawn again inside that area; the tile itself only when includeSelf. Nothing for a
// null tile.
[[nodiscard]] QRegion redrawAroundTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                                       bool includeSelf);

// The same for a whole group: its enlarged area is erased and the tiles of every group near
// it drawn again; the group's own tiles only when includeSelf. Nothing for a null or empty
// group.
[[nodiscard]] QRegion redrawAroundGroup(BoardBuffers& buffers, const Document& doc,
                                        const TileGroup* group, bool includeSelf);

// The group's own tiles drawn as the redraws draw them, on a transparent picture of the
// part of the buffer they cover, whose corner is put in `topLeft` (buffer pixels): what a
// dragged group shows while it moves. Null for an empty group or without buffers.
QImage drawGroupPicture(BoardBuffers& buffers, const Document& doc, const TileGroup& group,
                        QPoint& topLeft);

// One blink step of the selected tile: when the tile is the current one its outline is
// drawn in white or black, alternately on successive calls.
QRegion blinkSelectedTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                          const Tile* currentTile);

// One blink step of a group's free edges, white and black alternately. A null group only
// advances the phase.
QRegion blinkGroupOutline(BoardBuffers& buffers, const Document& doc, const TileGroup* group);

} // namespace pavelora
