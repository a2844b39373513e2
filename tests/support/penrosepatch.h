#pragma once

#include "core/geometry/tileset.h"

#include <cstdint>
#include <vector>

// Legal Penrose patches in the editor's own tile frame, for tests that lay many tiles on a
// board and expect them to join.
//
// Patches are grown by deflating Robinson half-tiles, pairing the halves into whole tiles
// and fitting every whole tile to the shape buildTile makes for its kind. The half-tiles
// carry the roles of their corners, so the decoration of each tile (which edge has which
// match code) follows the deflation: the fitted kind and rotation put every match code
// where the tiling needs it.
namespace pavelora::testsupport {

// One tile of a patch, in tile units (edge length 1: the short edge of darts and kites,
// every edge of the rhombs). Laid on a board at size ratio s and offset (ox, oy), its
// outline is s * R(rotation) * V + (s * x + ox, s * y + oy) for the kind's outline V at
// rotation 0.
struct PlacedTile {
    std::int32_t kind = 0;
    std::int32_t rotation = 0; // direction steps of 18°, 0..19
    double x = 0.0;            // reference point
    double y = 0.0;
};

struct PatchPoint {
    double x = 0.0;
    double y = 0.0;
};

// A legal patch of darts and kites ("Penrose No.1"), resp. of wide and narrow diamonds
// ("Penrose No.2"): exactly minTiles tiles (at least one), joined edge to edge into one
// connected piece, gathered around the origin nearest first, so tile 0 lies at the centre
// and any leading part of the list is itself a connected, roughly round patch. Each call
// deflates afresh: 2000 tiles take some tens of milliseconds. Throws std::logic_error if a
// tile cannot be fitted to the editor's shapes, or for more than 20000 tiles.
std::vector<PlacedTile> kiteDartPatch(int minTiles);
std::vector<PlacedTile> rhombPatch(int minTiles);

// The outline vertices of a placed tile, in buildTile's outline order: the outline built at
// the tile's rotation, moved to the tile's reference point (tile units). Throws
// std::invalid_argument when the set cannot build the tile.
std::vector<PatchPoint> placedOutline(const PlacedTile& tile, const TileSet& tileSet,
                                      const AngleTable& angles);

// For each tile, the sorted indices of the tiles that share a whole edge with it: both
// ends of an outline edge lie within 1e-9 of both ends of an edge of the other tile.
// Match codes are not looked at.
std::vector<std::vector<int>> edgeNeighbours(const std::vector<PlacedTile>& patch,
                                             const TileSet& tileSet, const AngleTable& angles);

// Orders in which every tile after the first shares an edge with an earlier one, so that a
// tile laid in that order always has a neighbour to join. Both cover the connected piece
// that holds their first tile (all tiles for a connected patch).
//
// Breadth first from `start`, neighbours taken in the order listed. Throws
// std::out_of_range for a start that is not a tile index.
std::vector<int> breadthFirstOrder(const std::vector<std::vector<int>>& neighbours, int start);
// A random start, then each next tile drawn at random among those touching the tiles
// taken so far. The same seed gives the same order on every platform.
std::vector<int> randomConnectedOrder(const std::vector<std::vector<int>>& neighbours,
                                      unsigned seed);

} // namespace pavelora::testsupport
