// An overlap test of the tests' own: points sampled inside one tile looked for inside the
// other.
#include "penrosepatch.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace pavelora::testsupport {

namespace {

bool inside(const Tile& t, double x, double y) {
    bool in = false;
    for (const TileEdge& e : t.outline.edges) {
        if ((e.y1 > y) != (e.y2 > y) && x < (e.x2 - e.x1) * (y - e.y1) / (e.y2 - e.y1) + e.x1) {
            in = !in;
        }
    }
    return in;
}

// Points strictly inside the triangles from the tile's position to its edges (every outline
// is star-shaped about its position) found inside the other tile.
bool samplesInside(const Tile& a, const Tile& b) {
    for (const TileEdge& e : a.outline.edges) {
        for (double u : {0.05, 0.3, 0.6, 0.9}) {
            for (double v : {0.02, 0.5, 0.98}) {
                const double s = u * (1 - v);
                const double t = u * v;
                if (inside(b, a.x + s * (e.x1 - a.x) + t * (e.x2 - a.x),
                           a.y + s * (e.y1 - a.y) + t * (e.y2 - a.y))) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

bool tilesOverlap(const Tile& a, const Tile& b) {
    return samplesInside(a, b) || samplesInside(b, a);
}

} // namespace pavelora::testsupport
