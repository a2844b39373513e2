#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <cstdint>
#include <memory>

namespace pavelora {

// Builds a tile of the given kind turned by `rotation` direction steps, in its unit frame
// (reference point at the origin, one unit = the set's common edge length): the closed
// outline with lengths, directions and match codes, and the decoration chains for the
// set's current outline inset. Returns null, with nothing left behind, when there is no
// tile set, the kind is not in the set or has no shape, or the rotation is out of range.
std::unique_ptr<Tile> buildTile(const TileSet* tileSet, const AngleTable* angles, std::int32_t kind,
                                std::int32_t rotation);

// Replaces the tile's decoration chains by new ones for `outlineInset`, built from its
// kind and rotation exactly as buildTile builds them. The outline is not touched.
// Returns false (and leaves the tile without decorations) for a kind without a shape.
bool buildDecorations(Tile& tile, double outlineInset, const AngleTable& angles);

// Number of outline edges of a kind, or 0 for a code without a shape.
int outlineEdgeCount(std::int32_t kind);

} // namespace pavelora
