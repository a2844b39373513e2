#include "core/tiling/shapetable.h"

#include "core/geometry/tilebuilder.h"

#include <cmath>

namespace pavelora {

ShapeTable::ShapeTable(const TileSet& set, const AngleTable& angles, int parity)
    : set_(set), parity_(parity) {
    const std::int32_t directions = set.directionCount;
    shapes_.resize(static_cast<std::size_t>(set.kindCount() * directions));
    for (int k = 0; k < set.kindCount(); ++k) {
        for (std::int32_t r = 0; r < directions; ++r) {
            const auto tile =
                buildTile(&set, &angles, set.kindCodes[static_cast<std::size_t>(k)], r);
            if (!tile || tile->outline.edges.empty() ||
                tile->outline.edges.front().direction % 2 != parity) {
                continue;
            }
            Shape& s = shapes_[static_cast<std::size_t>(k * directions + r)];
            s.firstX = tile->outline.edges.front().x1;
            s.firstY = tile->outline.edges.front().y1;
            s.valid = true;
            for (const TileEdge& e : tile->outline.edges) {
                if (e.direction % 2 != parity) {
                    s.valid = false;
                }
                LatticePoint v = LatticePoint::unit((e.direction - parity) / 2);
                // Edges are 1 or φ long in every Penrose set.
                if (std::abs(e.length - 1.0) > 1e-9) {
                    v = v.timesPhi();
                }
                s.edges.push_back(v);
                s.directions.push_back(e.direction);
                s.codes.push_back(e.matchCode);
                s.lengths.push_back(e.length);
            }
        }
    }
}

const ShapeTable::Shape* ShapeTable::shape(std::int32_t kind, std::int32_t rotation) const {
    const int k = set_.kindIndex(kind);
    if (k < 0 || rotation < 0 || rotation >= set_.directionCount) {
        return nullptr;
    }
    const Shape& s = shapes_[static_cast<std::size_t>(k * set_.directionCount + rotation)];
    return s.valid ? &s : nullptr;
}

} // namespace pavelora
