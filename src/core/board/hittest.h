#pragma once

#include "core/board/board.h"

#include <QPolygon>
#include <QRegion>

#include <cstdint>
#include <unordered_map>

namespace pavelora {

// The pixel polygon of a tile's outline on the screen: position and offsets from it are
// truncated separately, so a tile has the same pixel shape wherever it lies. `left` and
// `bottom` are the pixel of board point (0, 0); `factor` enlarges the offsets (1 for the
// tile itself). An enlarged Waned Pentagram has its two cut corners pushed outwards.
QPolygon tilePixelPolygon(const Tile& tile, const View& view, std::int32_t left,
                          std::int32_t bottom, double factor);

// The tile's polygon as an even-odd region, clipped to the board's pixel rectangle.
QRegion tileRegion(const Tile& tile, const View& view, std::int32_t left, std::int32_t bottom,
                   double factor);

// The tile's polygon in a device's units (printer page, export image), not clipped.
QPolygon tileDevicePolygon(const Tile& tile, std::int32_t left, std::int32_t bottom, double scale,
                           double unitsPerCmX, double unitsPerCmY);
QRegion tileDeviceRegion(const Tile& tile, std::int32_t left, std::int32_t bottom, double scale,
                         double unitsPerCmX, double unitsPerCmY);

// The group regions below are made from one region per tile shape, moved into place, and
// united in one pass over their pixels. With plain regions on, each tile's region is made
// from its polygon and the regions are united one by one (see unite): the way tests and
// benchmarks set them against. Off by default.
void usePlainRegions(bool on);

// Even-odd regions of polygons, each shape (corners measured from the first) turned into a
// region once and moved into place after: a region moved by whole pixels is the region of
// the moved polygon. With plain regions on, every polygon is turned into a region.
class ShapeRegions {
public:
    QRegion region(QPolygon polygon);

private:
    struct PolygonHash {
        std::size_t operator()(const QPolygon& polygon) const;
    };
    std::unordered_map<QPolygon, QRegion, PolygonHash> shapes_;
};

// Union of tileRegion of all the group's tiles.
QRegion groupRegion(const TileGroup& group, const View& view, std::int32_t left,
                    std::int32_t bottom, double factor);

// One tile's polygon enlarged 1.2 times about its position, in board-buffer pixels.
QRegion tileProximityRegion(const Tile& tile, const View& view);
// Union of the tiles' proximity regions: the group's `region`.
QRegion groupProximityRegion(const TileGroup& group, const View& view);

// True when the group's region and the region of the tile's own group share a pixel.
bool groupsNear(const TileGroup& group, const Tile& tile);

// The topmost tile under a client pixel, or null. Each group is asked for its tiles near
// the point (see tilesInBox); tileAtPixelWalking gives the same answer by walking every
// tile of the board.
Tile* tileAtPixel(const Document& doc, std::int32_t pixelX, std::int32_t pixelY);
Tile* tileAtPixelWalking(const Document& doc, std::int32_t pixelX, std::int32_t pixelY);

// Union of many regions, combined pairwise so that the work stays proportional to the
// size of the result rather than growing with every region added.
QRegion unite(std::vector<QRegion> regions);

} // namespace pavelora
