#pragma once

#include "core/board/board.h"
#include "core/board/restore.h"
#include "core/tiling/vertexatlas.h"

#include <cstdint>
#include <vector>

namespace pavelora {

// Where a tile would go: its kind and direction and its position in board centimetres.
struct TilePlacement {
    std::int32_t kind = 0;
    std::int32_t rotation = 0;
    double x = 0.0;
    double y = 0.0;
};

// Adds to the group every tile that each legal completion of one of its vertices must
// contain, again and again until nothing more is forced. A completion of a vertex is a
// placement of one of the set's vertex stars that holds the tiles already at the vertex and
// whose other tiles overlap no tile of the group and leave each of their own vertices part
// of a star. Forced tiles whose positions lie off the board are not laid. The new tiles are built
// as buildTile builds them, take the group's value of every vertex they share and are joined both
// ways along every edge they share; they are appended to the group's list in the order they were
// found, and the group's boundary, region and box are rebuilt once at the end. Returns the new
// tiles.
std::vector<Tile*> completeForced(Document& doc, TileGroup& group, const VertexAtlas& atlas);

// The tiles that may lie on a free edge of the group: the kinds and directions whose edge
// runs the other way with equal length and cancelling code, laid on it, that lie on the
// board, overlap no tile of the group and leave every vertex they touch part of a star. A tile
// that a turn maps onto itself is given once.
std::vector<TilePlacement> legalTilesAt(const Document& doc, const TileGroup& group,
                                        const TileEdge& edge, const VertexAtlas& atlas);

// Puts a tile at its placement into the group, sharing the group's vertices and joined both
// ways along the edges it shares, and rebuilds the group. Null when the kind cannot be built.
Tile* addJoinedTile(Document& doc, TileGroup& group, const TilePlacement& placement);

// Undoing and redoing tiles added at the end of a group, with one rebuild of the group each
// way however many there are: the records of the tiles from `first` on (taken once they are
// all in), the tiles taken off again (the edges of the other tiles joined to them become
// free), and put back in their order, joined again both ways.
std::vector<TileState> recordTilesFrom(const TileGroup& group, int first);
void removeTilesFrom(Document& doc, TileGroup& group, int first);
void appendRecordedTiles(Document& doc, TileGroup& group, const std::vector<TileState>& records);

} // namespace pavelora
