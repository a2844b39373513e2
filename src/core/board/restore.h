#pragma once

#include "core/board/board.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace pavelora {

// Putting the board back the way it was, bit for bit. Places are indices into the display
// list and into a group's tile list, which stay valid as long as every change to the board
// is undone in reverse order.

// Position of a group in the display list, or -1.
int groupIndexOf(const Board& board, const TileGroup* group);
// Position of a tile in its group's list, or -1.
int tileIndexOf(const TileGroup& group, const Tile* tile);

// What a tile is made of, enough to build it again exactly: kind, direction, position,
// the outline's coordinates and its joins, as places in its group.
struct TileState {
    std::int32_t kind = 0;
    std::int32_t rotation = 0;
    double x = 0.0;
    double y = 0.0;
    std::vector<std::array<double, 4>> edges;  // x1, y1, x2, y2 of each outline edge
    std::vector<std::int32_t> neighbours;      // per edge: the joined tile's place, or -1
    std::vector<std::pair<int, int>> joinedBy; // (tile, edge) of the edges that name it
};

// Records the tile at `tile` of the group.
TileState recordTile(const TileGroup& group, int tile);
// Whether an edge names the recorded tile that it names nowhere back (see oneWayLinks).
bool namedOneWay(const TileState& record);

// The recorded tile built again where it was, joined to nothing and in no group; null when
// its set cannot build it (or builds it with another number of edges).
std::unique_ptr<Tile> buildRecordedTile(const Document& doc, const TileState& record);

// Takes the tile at (group, tile) off the board as removeTile does: with its group when it
// is the group's only tile, else out of the group with the edges joined to it freed.
void removeTileAt(Document& doc, int group, int tile);

// Puts a recorded tile back: as the only tile of a new group at `group` in the display
// list when `ownGroup`, else at `tile` in the group at `group`, joined again both ways.
// False (board unchanged) when the tile cannot be built.
bool restoreTileAt(Document& doc, int group, int tile, bool ownGroup, const TileState& record);

// Moves a group within the display list, a tile within its group's list (nothing is
// rebuilt, as when a tile is brought to the top of its group).
void moveGroupTo(Board& board, int from, int to);
void moveTileTo(TileGroup& group, int from, int to);

// The positions and outline coordinates of the tiles of one group (or of every group when
// `group` is -1) followed by each group's bounding box. exchangeCoordinates swaps them with
// `values` and rebuilds the tiles' indexes and the groups' boundaries and regions, so that
// calling it twice gives back the board exactly.
std::vector<double> recordCoordinates(const Board& board, int group);
void exchangeCoordinates(Document& doc, int group, std::vector<double>& values);

// Reorders the display list: afterwards position i holds the group that was at order[i].
// reverseOrder undoes it.
void applyOrder(Board& board, const std::vector<int>& order);
void reverseOrder(Board& board, const std::vector<int>& order);

} // namespace pavelora
