#pragma once

#include "core/tiling/forcing.h"
#include "core/tiling/vertexatlas.h"

#include <vector>

namespace pavelora::testsupport {

// Where tiles go whose given corners meet at (x, y), anticlockwise round it from direction
// `turn`, at `ratio` centimetres per tile unit.
inline std::vector<TilePlacement> roundVertex(const VertexAtlas& atlas, double ratio, double x,
                                              double y, int turn,
                                              const std::vector<StarCorner>& corners) {
    std::vector<TilePlacement> out;
    const int n = atlas.directionCount();
    int start = turn;
    for (const StarCorner& c : corners) {
        const int base = atlas.unitTile(c.kind, 0)->outline.edges[c.corner].direction;
        const int rotation = ((start - base) % n + n) % n;
        const TileEdge& u = atlas.unitTile(c.kind, rotation)->outline.edges[c.corner];
        out.push_back({c.kind, rotation, x - u.x1 * ratio, y - u.y1 * ratio});
        start += atlas.cornerSpan(c.kind, c.corner);
    }
    return out;
}

} // namespace pavelora::testsupport
