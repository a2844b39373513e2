#pragma once

#include "core/board/board.h"
#include "support/penrosepatch.h"

#include <vector>

namespace pavelora::testsupport {

// Lays a patch as one joined group at the view's tile size, tile i at (originX + x_i × ratio,
// originY + y_i × ratio) unless listed in `skip`, shared edges linked both ways, boundary,
// region and box built once: quicker than joining tile by tile, for big tilings.
TileGroup* layJoinedPatch(Document& doc, const std::vector<PlacedTile>& patch, double originX,
                          double originY, const std::vector<int>& skip = {});

// The tile size at which the patch reaches no further than `radius` cm from its centre.
double tileSizeToFit(const std::vector<PlacedTile>& patch, double radius);

} // namespace pavelora::testsupport
