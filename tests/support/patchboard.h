#pragma once

#include "core/board/board.h"
#include "support/penrosepatch.h"

#include <vector>

namespace pavelora::testsupport {

// Lays a patch on the document's board as one joined group at the view's tile size: tile i
// at (originX + x_i × ratio, originY + y_i × ratio), the edges that the tiling shares
// linked both ways, boundary, region and box built once. Tiles listed in `skip` are left
// out. Quicker than joining tile by tile, for benchmarks of big tilings.
TileGroup* layJoinedPatch(Document& doc, const std::vector<PlacedTile>& patch, double originX,
                          double originY, const std::vector<int>& skip = {});

// The tile size at which the patch reaches no further than `radius` cm from its centre.
double tileSizeToFit(const std::vector<PlacedTile>& patch, double radius);

} // namespace pavelora::testsupport
