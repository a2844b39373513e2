#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <cstdint>
#include <vector>

// Legal Penrose patches in the editor's own tile frame, for tests and benchmarks that lay many
// tiles on a board and expect them to join. Patches are grown by deflating Robinson
// half-tiles whose corners carry their roles, pairing the halves into whole tiles and fitting
// each to the shape buildTile makes for its kind: the deflation, not the editor's snapping,
// decides which match code lies where.
namespace pavelora::testsupport {

// One tile in tile units (edge length 1: the short edge of darts and kites, every edge of the
// rhombs). Laid at size ratio s and offset (ox, oy), its outline is s * R(rotation) * V +
// (s * x + ox, s * y + oy) for the kind's outline V at rotation 0.
struct PlacedTile {
    std::int32_t kind = 0;
    std::int32_t rotation = 0; // direction steps of 18°, 0..19
    double x = 0.0;            // reference point
    double y = 0.0;
};

// A legal patch of darts and kites ("Penrose No.1"), resp. wide and narrow diamonds ("Penrose
// No.2"): exactly minTiles tiles (at least one) joined edge to edge into one piece, nearest
// the origin first, so any leading part is itself a connected, roughly round patch. Throws
// std::logic_error if a tile cannot be fitted to the editor's shapes, or above 20000 tiles.
std::vector<PlacedTile> kiteDartPatch(int minTiles);
std::vector<PlacedTile> rhombPatch(int minTiles);

// A patch of the pentagon set ("Penrose No.3") of exactly `tiles` tiles grown from a Pentagon1
// at the origin: each free edge, nearest the origin first, gets a tile (drawn among those that
// fit) that overlaps nothing, meets others corner to corner and lies on edges whose codes
// cancel. Throws std::logic_error when the patch stops growing.
std::vector<PlacedTile> pentagonPatch(int tiles);

// Whether two placed tiles overlap: points sampled inside one (its outline is star-shaped about
// its position) found inside the other.
bool tilesOverlap(const Tile& a, const Tile& b);

// For each tile, the sorted indices of the tiles that share a whole edge with it (both ends
// within 1e-9). Match codes are not looked at.
std::vector<std::vector<int>> edgeNeighbours(const std::vector<PlacedTile>& patch,
                                             const TileSet& tileSet, const AngleTable& angles);

// Orders of the connected piece that holds the first tile in which every tile after the first
// shares an edge with an earlier one. Breadth first from `start` (std::out_of_range for a
// start that is not a tile), or drawn at random among the tiles touching those taken so far;
// the same seed gives the same order on every platform.
std::vector<int> breadthFirstOrder(const std::vector<std::vector<int>>& neighbours, int start);
std::vector<int> randomConnectedOrder(const std::vector<std::vector<int>>& neighbours,
                                      unsigned seed);

} // namespace pavelora::testsupport
