#include "render/shading.h"

#include "render/colour.h"

#include <cmath>

namespace pavelora {

const Rgb* kindColour(const TileSet& tileSet, std::int32_t kind) {
    const int index = tileSet.kindIndex(kind);
    if (index < 0 || index >= static_cast<int>(tileSet.kindColours.size())) {
        return nullptr;
    }
    return &tileSet.kindColours[static_cast<std::size_t>(index)];
}

double shadingFactor(const EdgeChain& chain, double rise) {
    if (chain.count() < 2) {
        return 1.0;
    }
    const TileEdge& first = chain.edges[0];
    const TileEdge& second = chain.edges[1];
    const double ax = first.x2 - first.x1;
    const double ay = first.y2 - first.y1;
    const double bx = second.x2 - second.x1;
    const double by = second.y2 - second.y1;
    const double h = rise;
    // n = a x b with a = (ax, ay, 0) and b = (bx, by, h).
    const double nx = ay * h;
    const double ny = -ax * h;
    const double nz = ax * by - bx * ay;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0.0)) {
        return 1.0; // no facet: leave the colour as it is
    }
    const double k = 1 / std::sqrt(2.0);
    const double v = (ny / length + nz / length) * k;
    if (v == k) {
        return 1.0;
    }
    if (v > k) {
        return 1 + (v - k) / (1 - k);
    }
    return 1 - (k - v) / (k + 1);
}

std::optional<PixelPolygon> buildPixelPolygon(const EdgeChain* chain, std::int32_t X0,
                                              std::int32_t Y0, double scale, const View& view,
                                              const TileSet& tileSet) {
    if (chain == nullptr || chain->edges.empty()) {
        return std::nullopt;
    }
    PixelPolygon polygon;
    polygon.points.resize(chain->count());
    for (int i = 0; i < chain->count(); ++i) {
        const TileEdge& e = chain->edges[static_cast<std::size_t>(i)];
        const auto x = X0 + static_cast<std::int32_t>(e.x1 * view.pxPerMmX * scale * 10);
        const auto y = Y0 - static_cast<std::int32_t>(e.y1 * view.pxPerMmY * scale * 10);
        polygon.points.setPoint(i, x, y);
    }
    polygon.shade = shadingFactor(*chain, tileSet.outlineRatio2);
    return polygon;
}

std::optional<PixelPolygon> buildDevicePolygon(const EdgeChain* chain, std::int32_t X0,
                                               std::int32_t Y0, double scale, double unitsX,
                                               double unitsY, const TileSet& tileSet) {
    if (chain == nullptr || chain->edges.empty()) {
        return std::nullopt;
    }
    PixelPolygon polygon;
    polygon.points.resize(chain->count());
    for (int i = 0; i < chain->count(); ++i) {
        const TileEdge& e = chain->edges[static_cast<std::size_t>(i)];
        const auto x = X0 + deviceOffset(e.x1, scale, unitsX);
        const auto y = Y0 - deviceOffset(e.y1, scale, unitsY);
        polygon.points.setPoint(i, x, y);
    }
    polygon.shade = shadingFactor(*chain, tileSet.outlineRatio2);
    return polygon;
}

Rgb shadeColour(double shade, Rgb colour) {
    const Hls hls = rgbToHls(colour.red, colour.green, colour.blue);
    const double lit = hls.lightness * shade;
    // Clamped before the conversion to int, so that no factor can overflow it.
    const int lightness = lit >= 100.0 ? 100 : lit > 0.0 ? static_cast<int>(lit) : 0;
    return hlsToRgb(hls.hue, lightness, hls.saturation);
}

CircleBox circleBox(double cx, double cy, double r, double boardHeight) {
    return {cx - r, boardHeight - cy - r, cx + r, boardHeight - cy + r};
}

CircleBox circleBox(const View& view, double cx, double cy, double r) {
    return circleBox(cx, cy, r, view.boardPixelHeight * view.cmPerPixelY);
}

} // namespace pavelora
