#pragma once

#include "core/board/view.h"
#include "core/geometry/edge.h"
#include "core/geometry/rgb.h"
#include "core/geometry/tileset.h"

#include <QPolygon>

#include <cstdint>
#include <optional>

namespace pavelora {

// The fill colour of a kind in the tile set, or null when the set has no such kind.
const Rgb* kindColour(const TileSet& tileSet, std::int32_t kind);

// One decoration chain turned into device pixels for a single fill, with the lightness
// factor of its bevel.
struct PixelPolygon {
    QPolygon points; // one vertex per chain edge: the edge's start, in chain order
    double shade = 1.0;

    int count() const { return static_cast<int>(points.size()); }
};

// Lightness factor of a chain seen as a bevel facet. The first edge lies flat, the second
// climbs by `rise` (the tile set's outlineRatio2); the facet's normal decides how bright
// it is: 1.0 for a flat-lit facet, up to 2.0 when it faces the light (up the board), down
// towards 0 when it faces away. A chain with fewer than two edges, or whose first two
// edges span no facet, gets 1.0.
double shadingFactor(const EdgeChain& chain, double rise);

// A chain in unit coordinates placed on the screen: vertex i is
// (X0 + trunc(x1 * pxPerMmX * scale * 10), Y0 - trunc(y1 * pxPerMmY * scale * 10)) for the
// start (x1, y1) of edge i. Empty for a null or empty chain.
std::optional<PixelPolygon> buildPixelPolygon(const EdgeChain* chain, std::int32_t X0,
                                              std::int32_t Y0, double scale, const View& view,
                                              const TileSet& tileSet);

// The same with explicit device pixels per unit (export image, printer page):
// (X0 + trunc(x1 * scale * unitsX), Y0 - trunc(y1 * scale * unitsY)).
inline std::int32_t deviceOffset(double v, double scale, double units) {
    return static_cast<std::int32_t>(v * scale * units);
}
std::optional<PixelPolygon> buildDevicePolygon(const EdgeChain* chain, std::int32_t X0,
                                               std::int32_t Y0, double scale, double unitsX,
                                               double unitsY, const TileSet& tileSet);

// The colour with its lightness multiplied by the polygon's shade (truncated, kept within
// 0..100); hue and saturation stay.
Rgb shadeColour(double shade, Rgb colour);
inline Rgb shadeColour(const PixelPolygon& polygon, Rgb colour) {
    return shadeColour(polygon.shade, colour);
}

// The bounding box of a circle in board centimetres measured downwards from the top edge
// of a board `boardHeight` centimetres high: (cx - r, boardHeight - cy - r) to
// (cx + r, boardHeight - cy + r).
struct CircleBox {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};
CircleBox circleBox(double cx, double cy, double r, double boardHeight);

// The screen's box: flipped with the board height of the view's pixels,
// boardPixelHeight * cmPerPixelY.
CircleBox circleBox(const View& view, double cx, double cy, double r);

} // namespace pavelora
