#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"
#include "core/tiling/substitution.h"

#include <vector>

// Checks of the tests' own on generated patches: overlap by sampling, shared edges found by
// geometry, and orders in which a patch can be put together tile by tile.
namespace pavelora::testsupport {

// Whether two placed tiles overlap: points sampled inside one (its outline is star-shaped about
// its position) found inside the other.
bool tilesOverlap(const Tile& a, const Tile& b);

// For each tile, the sorted indices of the tiles that share a whole edge with it (both ends
// within 1e-9). Match codes are not looked at.
std::vector<std::vector<int>> edgeNeighbours(const std::vector<PatchTile>& patch,
                                             const TileSet& tileSet, const AngleTable& angles);

// Orders of the connected piece that holds the first tile in which every tile after the first
// shares an edge with an earlier one. Breadth first from `start` (std::out_of_range for a
// start that is not a tile), or drawn at random among the tiles touching those taken so far;
// the same seed gives the same order on every platform.
std::vector<int> breadthFirstOrder(const std::vector<std::vector<int>>& neighbours, int start);
std::vector<int> randomConnectedOrder(const std::vector<std::vector<int>>& neighbours,
                                      unsigned seed);

} // namespace pavelora::testsupport
