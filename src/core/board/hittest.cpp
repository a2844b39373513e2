#include "core/board/hittest.h"

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace pavelora {

namespace {

// An enlarged Waned Pentagram: the corners at the ends of its cut (vertices 5 and 6) are
// pushed further out, each by half of the vector from a neighbouring corner; halves are
// truncated toward zero.
void pushOutCutCorners(QPolygon& p) {
    const QPoint p0 = p[0];
    const QPoint p4 = p[4];
    QPoint p5 = p[5];
    QPoint p6 = p[6];
    p5.setX(p5.x() + (p5.x() - p4.x()) / 2);
    p5.setY(p5.y() + (p5.y() - p4.y()) / 2);
    p6.setX(p6.x() + (p6.x() - p0.x()) / 2);
    p6.setY(p6.y() + (p6.y() - p0.y()) / 2);
    p[5] = p5;
    p[6] = p6;
}

QPolygon scaledPolygon(const Tile& tile, std::int32_t left, std::int32_t bottom, double u, double v,
                       double uFactor, double vFactor) {
    const auto& edges = tile.outline.edges;
    QPolygon polygon(static_cast<int>(edges.size()));
    const auto baseX = static_cast<std::int32_t>(u * tile.x);
    const auto baseY = static_cast<std::int32_t>(v * tile.y);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const TileEdge& e = edges[i];
        const auto x = left + baseX + static_cast<std::int32_t>(uFactor * (e.x1 - tile.x));
        const auto y = bottom - baseY - static_cast<std::int32_t>(vFactor * (e.y1 - tile.y));
        polygon.setPoint(static_cast<int>(i), x, y);
    }
    return polygon;
}

// A tile's polygon enlarged 1.2 times about its position, in board-buffer pixels.
QPolygon proximityPolygon(const Tile& tile, const View& view) {
    const double u = 10 * view.zoom * view.pxPerMmX;
    const double v = 10 * view.zoom * view.pxPerMmY;
    const double uEnlarged = 12 * view.zoom * view.pxPerMmX;
    const double vEnlarged = 12 * view.zoom * view.pxPerMmY;
    return scaledPolygon(tile, 0, view.boardPixelHeight, u, v, uEnlarged, vEnlarged);
}

} // namespace

QPolygon tilePixelPolygon(const Tile& tile, const View& view, std::int32_t left,
                          std::int32_t bottom, double factor) {
    const double u = 10 * view.zoom * view.pxPerMmX;
    const double v = 10 * view.zoom * view.pxPerMmY;
    QPolygon polygon = scaledPolygon(tile, left, bottom, u, v, u * factor, v * factor);
    if (factor != 1.0 && tile.kind == kind::WanedPentagram && polygon.size() == 7) {
        pushOutCutCorners(polygon);
    }
    return polygon;
}

QRegion tileRegion(const Tile& tile, const View& view, std::int32_t left, std::int32_t bottom,
                   double factor) {
    if (tile.outline.edges.empty()) {
        return {};
    }
    const QRegion polygon(tilePixelPolygon(tile, view, left, bottom, factor), Qt::OddEvenFill);
    const QRect board(left, bottom - view.boardPixelHeight, view.boardPixelWidth,
                      view.boardPixelHeight);
    return polygon.intersected(board);
}

QPolygon tileDevicePolygon(const Tile& tile, std::int32_t left, std::int32_t bottom, double scale,
                           double unitsPerCmX, double unitsPerCmY) {
    const double u = scale * unitsPerCmX;
    const double v = scale * unitsPerCmY;
    return scaledPolygon(tile, left, bottom, u, v, u * 1.0, v * 1.0);
}

QRegion tileDeviceRegion(const Tile& tile, std::int32_t left, std::int32_t bottom, double scale,
                         double unitsPerCmX, double unitsPerCmY) {
    if (tile.outline.edges.empty()) {
        return {};
    }
    return QRegion(tileDevicePolygon(tile, left, bottom, scale, unitsPerCmX, unitsPerCmY),
                   Qt::OddEvenFill);
}

namespace {

bool plainRegions = false;

// The union of many small regions, made in one pass: their rectangles are marked in a
// picture of one byte per pixel, and the marked runs of each row become the rectangles of
// the result, rows with the same runs one after the other joined into one band. The
// result holds the same pixels as combining the regions one by one.
QRegion uniteByMarking(const std::vector<QRegion>& parts) {
    QRect bounds;
    for (const QRegion& part : parts) {
        bounds |= part.boundingRect();
    }
    if (bounds.isEmpty()) {
        return {};
    }
    const auto width = static_cast<std::size_t>(bounds.width());
    const auto height = static_cast<std::size_t>(bounds.height());
    std::vector<std::uint8_t> marks(width * height, 0);
    for (const QRegion& part : parts) {
        for (const QRect& r : part) {
            const auto x0 = static_cast<std::size_t>(r.left() - bounds.left());
            const auto n = static_cast<std::size_t>(r.width());
            for (int y = r.top(); y <= r.bottom(); ++y) {
                std::uint8_t* row =
                    marks.data() + static_cast<std::size_t>(y - bounds.top()) * width;
                std::memset(row + x0, 1, n);
            }
        }
    }
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> runs;     // [from, to) of the current row
    std::vector<std::pair<int, int>> bandRuns; // of the band being built
    int bandTop = 0;
    const auto closeBand = [&](int bottom) {
        for (const auto& [from, to] : bandRuns) {
            rects.emplace_back(QPoint(bounds.left() + from, bounds.top() + bandTop),
                               QPoint(bounds.left() + to - 1, bounds.top() + bottom - 1));
        }
    };
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = marks.data() + y * width;
        runs.clear();
        std::size_t x = 0;
        while (x < width) {
            while (x < width && row[x] == 0) {
                ++x;
            }
            if (x == width) {
                break;
            }
            const std::size_t from = x;
            while (x < width && row[x] != 0) {
                ++x;
            }
            runs.emplace_back(static_cast<int>(from), static_cast<int>(x));
        }
        if (runs != bandRuns) {
            closeBand(static_cast<int>(y));
            bandRuns.swap(runs);
            bandTop = static_cast<int>(y);
        }
    }
    closeBand(static_cast<int>(height));
    QRegion result;
    if (!rects.empty()) {
        result.setRects(rects.data(), static_cast<int>(rects.size()));
    }
    return result;
}

// Union of the parts, the quickest way for their number.
QRegion uniteParts(std::vector<QRegion> parts) {
    if (plainRegions || parts.size() < 64) {
        return unite(std::move(parts));
    }
    return uniteByMarking(parts);
}

} // namespace

std::size_t ShapeRegions::PolygonHash::operator()(const QPolygon& polygon) const {
    std::uint64_t h = 1469598103934665603ULL;
    for (const QPoint& p : polygon) {
        h = (h ^ static_cast<std::uint32_t>(p.x())) * 1099511628211ULL;
        h = (h ^ static_cast<std::uint32_t>(p.y())) * 1099511628211ULL;
    }
    return static_cast<std::size_t>(h);
}

QRegion ShapeRegions::region(QPolygon polygon) {
    if (polygon.isEmpty()) {
        return {};
    }
    if (plainRegions) {
        return QRegion(polygon, Qt::OddEvenFill);
    }
    const QPoint at = polygon.front();
    polygon.translate(-at);
    auto found = shapes_.find(polygon);
    if (found == shapes_.end()) {
        QRegion shape(polygon, Qt::OddEvenFill);
        found = shapes_.emplace(std::move(polygon), std::move(shape)).first;
    }
    return found->second.translated(at);
}

void usePlainRegions(bool on) {
    plainRegions = on;
}

QRegion groupRegion(const TileGroup& group, const View& view, std::int32_t left,
                    std::int32_t bottom, double factor) {
    std::vector<QRegion> parts;
    parts.reserve(group.tiles.size());
    ShapeRegions shapes;
    const QRect board(left, bottom - view.boardPixelHeight, view.boardPixelWidth,
                      view.boardPixelHeight);
    for (const auto& tile : group.tiles) {
        if (!tile->outline.edges.empty()) {
            parts.push_back(shapes.region(tilePixelPolygon(*tile, view, left, bottom, factor))
                                .intersected(board));
        }
    }
    return uniteParts(std::move(parts));
}

QRegion tileProximityRegion(const Tile& tile, const View& view) {
    if (tile.outline.edges.empty()) {
        return {};
    }
    return QRegion(proximityPolygon(tile, view), Qt::OddEvenFill);
}

QRegion groupProximityRegion(const TileGroup& group, const View& view) {
    std::vector<QRegion> parts;
    parts.reserve(group.tiles.size());
    ShapeRegions shapes;
    for (const auto& tile : group.tiles) {
        if (!tile->outline.edges.empty()) {
            parts.push_back(shapes.region(proximityPolygon(*tile, view)));
        }
    }
    return uniteParts(std::move(parts));
}

bool groupsNear(const TileGroup& group, const Tile& tile) {
    return tile.group != nullptr && group.region.intersects(tile.group->region);
}

Tile* tileAtPixel(const Document& doc, std::int32_t pixelX, std::int32_t pixelY) {
    double x = 0;
    double y = 0;
    if (!doc.tileSet || !pixelToBoard(doc.view, pixelX, pixelY, x, y)) {
        return nullptr;
    }
    const double reach = doc.view.tileSizeRatio * doc.tileSet->extent;
    // The last hit in display order is the topmost tile: search from the top down, asking
    // each group only for its tiles near the point.
    std::vector<Tile*> near;
    const auto& groups = doc.board.groups;
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        near.clear();
        tilesInBox(doc, **g, x - reach, y - reach, x + reach, y + reach, near);
        for (auto t = near.rbegin(); t != near.rend(); ++t) {
            const Tile& tile = **t;
            const double dx = tile.x - x;
            const double dy = tile.y - y;
            if (std::sqrt(dx * dx + dy * dy) >= reach) {
                continue;
            }
            if (pointInIndex(tile.edgeIndex, x, y, doc.angles)) {
                return *t;
            }
        }
    }
    return nullptr;
}

Tile* tileAtPixelWalking(const Document& doc, std::int32_t pixelX, std::int32_t pixelY) {
    double x = 0;
    double y = 0;
    if (!doc.tileSet || !pixelToBoard(doc.view, pixelX, pixelY, x, y)) {
        return nullptr;
    }
    const double reach = doc.view.tileSizeRatio * doc.tileSet->extent;
    const auto& groups = doc.board.groups;
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        const auto& tiles = (*g)->tiles;
        for (auto t = tiles.rbegin(); t != tiles.rend(); ++t) {
            const Tile& tile = **t;
            const double dx = tile.x - x;
            const double dy = tile.y - y;
            if (std::sqrt(dx * dx + dy * dy) >= reach) {
                continue;
            }
            if (pointInIndex(tile.edgeIndex, x, y, doc.angles)) {
                return t->get();
            }
        }
    }
    return nullptr;
}

QRegion unite(std::vector<QRegion> regions) {
    if (regions.empty()) {
        return {};
    }
    for (std::size_t step = 1; step < regions.size(); step *= 2) {
        for (std::size_t i = 0; i + step < regions.size(); i += 2 * step) {
            regions[i] = regions[i].united(regions[i + step]);
            regions[i + step] = QRegion();
        }
    }
    return regions.front();
}

} // namespace pavelora
