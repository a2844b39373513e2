#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"
#include "core/tiling/lattice.h"

#include <cstdint>
#include <vector>

namespace pavelora {

// The outlines buildTile makes for each kind of a set at each rotation whose edges have the
// given parity: the edges as exact lattice vectors, and the first corner as buildTile puts it
// (so that a tile's reference point is its exact first corner minus that).
class ShapeTable {
public:
    struct Shape {
        bool valid = false;
        double firstX = 0.0;
        double firstY = 0.0;
        std::vector<LatticePoint> edges;
        std::vector<std::int32_t> directions;
        std::vector<std::int32_t> codes;
        std::vector<double> lengths;
    };

    ShapeTable(const TileSet& set, const AngleTable& angles, int parity);

    // Null for a kind outside the set or a rotation whose edges have the other parity.
    const Shape* shape(std::int32_t kind, std::int32_t rotation) const;
    int parity() const { return parity_; }

private:
    const TileSet& set_;
    int parity_;
    std::vector<Shape> shapes_; // kind index × 20 + rotation
};

} // namespace pavelora
