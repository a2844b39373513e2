#include "render/devicetiles.h"

#include "core/board/hittest.h"
#include "render/shading.h"
#include "render/stamps.h"

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRegion>

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace pavelora {

QPoint DeviceMapping::point(double x, double y) const {
    return {p_.originX + static_cast<std::int32_t>(p_.scale * x * p_.ppcX),
            p_.originY + p_.imageHeight - static_cast<std::int32_t>(p_.scale * y * p_.ppcY)};
}

std::int32_t DeviceMapping::boxX(double v) const {
    return p_.originX + static_cast<std::int32_t>(v * p_.scale * p_.ppcX);
}

std::int32_t DeviceMapping::boxY(double v) const {
    return p_.originY + static_cast<std::int32_t>(v * p_.scale * p_.ppcY);
}

double DeviceMapping::boardHeight() const {
    return p_.imageHeight / (p_.scale * p_.ppcY);
}

namespace {

// One tile body as the device gets it: its polygons and their fill colours, in drawing
// order.
struct TileBody {
    std::vector<PixelPolygon> polygons;
    std::vector<QRgb> colours;
};

TileBody tileBody(const Tile& tile, const TileSet& tileSet, Rgb base, QPoint at, double scale,
                  double ppcX, double ppcY) {
    TileBody body;
    body.polygons.reserve(tile.decorations.size());
    body.colours.reserve(tile.decorations.size());
    for (int i = 0; i < tile.decorationCount(); ++i) {
        auto polygon = buildDevicePolygon(&tile.decorations[static_cast<std::size_t>(i)], at.x(),
                                          at.y(), scale, ppcX, ppcY, tileSet);
        if (!polygon) {
            continue;
        }
        const Rgb fill = i == 0 ? base : shadeColour(*polygon, base);
        body.colours.push_back(qRgb(fill.red, fill.green, fill.blue));
        body.polygons.push_back(std::move(*polygon));
    }
    return body;
}

// Solid pen of width 1 (in pixels of penScale units) and a brush, both in the fill colour,
// for each polygon.
void drawBody(QPainter& painter, const TileBody& body, double penScale = 1.0) {
    for (std::size_t i = 0; i < body.polygons.size(); ++i) {
        const QColor colour(body.colours[i]);
        painter.setPen(QPen(colour, penScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(QBrush(colour));
        painter.drawPolygon(body.polygons[i].points);
    }
}

// Pictures of tile bodies, one for each distinct list of polygons and colours. A body's
// vertices are whole pixels relative to the tile's point, so it comes out the same at every
// point.
class BodyStamps {
public:
    BodyStamps(const TileSet& tileSet, double scale, double ppcX, double ppcY)
        : tileSet_(tileSet), scale_(scale), ppcX_(ppcX), ppcY_(ppcY) {}

    // The stamp of the tile's body about the point (0, 0). The key holds each polygon's
    // colour and vertices exactly as buildDevicePolygon and shadeColour give them.
    const Stamp& stamp(const Tile& tile, Rgb base) {
        key_.clear();
        for (int i = 0; i < tile.decorationCount(); ++i) {
            const EdgeChain& chain = tile.decorations[static_cast<std::size_t>(i)];
            if (chain.edges.empty()) {
                continue;
            }
            const Rgb fill =
                i == 0 ? base : shadeColour(shadingFactor(chain, tileSet_.outlineRatio2), base);
            key_.push_back(static_cast<int>(qRgb(fill.red, fill.green, fill.blue)));
            key_.push_back(chain.count());
            for (const TileEdge& e : chain.edges) {
                key_.push_back(0 + deviceOffset(e.x1, scale_, ppcX_));
                key_.push_back(0 - deviceOffset(e.y1, scale_, ppcY_));
            }
        }
        auto found = stamps_.find(key_);
        if (found != stamps_.end()) {
            return found->second;
        }
        return stamps_
            .emplace(key_, makeBodyStamp(
                               tileBody(tile, tileSet_, base, QPoint(0, 0), scale_, ppcX_, ppcY_)))
            .first->second;
    }

private:
    static Stamp makeBodyStamp(const TileBody& body) {
        QRect bounds;
        for (const PixelPolygon& polygon : body.polygons) {
            bounds |= polygon.points.boundingRect();
        }
        bounds.adjust(-2, -2, 2, 2); // for the pen
        QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.translate(-bounds.topLeft());
            drawBody(painter, body);
        }
        return makeStamp(std::move(image), bounds.topLeft());
    }

    struct KeyHash {
        std::size_t operator()(const std::vector<int>& key) const {
            std::size_t h = 1469598103934665603ULL;
            for (int v : key) {
                h = (h ^ static_cast<std::size_t>(static_cast<unsigned>(v))) * 1099511628211ULL;
            }
            return h;
        }
    };

    const TileSet& tileSet_;
    double scale_;
    double ppcX_;
    double ppcY_;
    std::vector<int> key_;
    std::unordered_map<std::vector<int>, Stamp, KeyHash> stamps_;
};

// Pattern elements onto an image: circles and dots from stamps, cut to the tile's region by
// its spans; wedges, and circles whose picture is not exact or that come near the image's
// edge, drawn by the painter under the same region.
class StampPatternSink final : public PatternSink {
public:
    // Stamps are copied only inside `inner`; nearer the image's edge, where drawing cuts
    // the outline before rasterising it, the painter draws.
    StampPatternSink(const RasterTarget& target, const QRect& inner, QPainter& painter,
                     EllipseStamps& stamps)
        : target_(target), inner_(inner), painter_(painter), stamps_(stamps) {}

    void setClip(const QRegion& region) {
        region_ = &region;
        spans_.assign(region);
        painterClipSet_ = false;
    }

    void ellipse(const QRect& box, QRgb colour, bool filled) override {
        if (box.width() >= 0 && box.height() >= 0) {
            const Stamp& stamp = stamps_.stamp(box.width(), box.height(), colour, filled);
            const QRect placed(box.topLeft() + stamp.offset, stamp.image.size());
            if (stamp.exact && inner_.contains(placed)) {
                blitStamp(target_, stamp, box.topLeft(), &spans_);
                return;
            }
        }
        usePainter();
        PainterPatternSink(painter_).ellipse(box, colour, filled);
    }

    void wedge(const QPolygon& corners, QRgb colour) override {
        usePainter();
        PainterPatternSink(painter_).wedge(corners, colour);
    }

private:
    void usePainter() {
        if (!painterClipSet_) {
            painter_.setClipRegion(*region_);
            painterClipSet_ = true;
        }
    }

    const RasterTarget& target_;
    QRect inner_;
    QPainter& painter_;
    EllipseStamps& stamps_;
    const QRegion* region_ = nullptr;
    SpanClip spans_;
    bool painterClipSet_ = false;
};

} // namespace

void paintDeviceTiles(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                      const QRect& area, bool withPattern) {
    if (!doc.tileSet) {
        return;
    }
    const TileSet& tileSet = *doc.tileSet;
    const double ratio = doc.view.tileSizeRatio;
    const DeviceMapping mapping(placement);
    // save() and restore() bring the caller's clip back; clipping is never switched off
    // here, because after that the raster engine ignores a later non-rectangular clip.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            const Rgb* base = kindColour(tileSet, tile->kind);
            if (base == nullptr) {
                continue;
            }
            drawBody(painter,
                     tileBody(*tile, tileSet, *base, mapping.point(tile->x, tile->y),
                              ratio * placement.scale, placement.ppcX, placement.ppcY),
                     placement.penScale);
        }
    }
    if (withPattern) {
        const QRegion areaRegion(area);
        for (const auto& group : doc.board.groups) {
            for (const auto& tile : group->tiles) {
                if (!kindHasPairPattern(tile->kind)) {
                    continue;
                }
                if (placement.vector) {
                    QPolygon outline;
                    outline.reserve(tile->outline.count());
                    for (const TileEdge& edge : tile->outline.edges) {
                        outline << mapping.point(edge.x1, edge.y1);
                    }
                    if (!area.contains(outline.boundingRect())) {
                        outline = outline.intersected(QPolygon(area, true));
                    }
                    QPainterPath clip;
                    clip.addPolygon(outline);
                    painter.setClipPath(clip);
                    PainterPatternSink sink(painter, placement.penScale);
                    drawPairPattern(sink, *tile, tileSet, ratio, mapping);
                    continue;
                }
                const QRegion clip = areaRegion.intersected(tileDeviceRegion(
                    *tile, placement.originX, placement.originY + placement.imageHeight,
                    placement.scale, placement.ppcX, placement.ppcY));
                if (clip.isEmpty()) {
                    continue;
                }
                painter.setClipRegion(clip);
                drawPairPattern(painter, *tile, tileSet, ratio, mapping);
            }
        }
    }
    painter.restore();
}

void paintImageTiles(QImage& image, const Document& doc, const DevicePlacement& placement,
                     bool withPattern) {
    if (!doc.tileSet || image.format() != QImage::Format_RGB32) {
        return;
    }
    const TileSet& tileSet = *doc.tileSet;
    const double ratio = doc.view.tileSizeRatio;
    const DeviceMapping mapping(placement);
    // The pixels are taken before the painter opens, so that nothing detaches them after.
    const RasterTarget target{image.bits(), image.bytesPerLine(), image.rect()};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(image.rect());

    const double scale = ratio * placement.scale;
    BodyStamps bodies(tileSet, scale, placement.ppcX, placement.ppcY);
    const QRect inner = image.rect().adjusted(2, 2, -2, -2);
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            const Rgb* base = kindColour(tileSet, tile->kind);
            if (base == nullptr) {
                continue;
            }
            const QPoint at = mapping.point(tile->x, tile->y);
            const Stamp& stamp = bodies.stamp(*tile, *base);
            // Lines that cross the image's edge are cut there before they are rasterised,
            // which moves their pixels; a tile reaching the edge is therefore drawn.
            const QRect placed(at + stamp.offset, stamp.image.size());
            if (stamp.exact && inner.contains(placed)) {
                blitStamp(target, stamp, at);
            } else {
                painter.setClipRect(image.rect());
                drawBody(painter, tileBody(*tile, tileSet, *base, at, scale, placement.ppcX,
                                           placement.ppcY));
            }
        }
    }
    if (withPattern) {
        EllipseStamps ellipses;
        StampPatternSink sink(target, inner, painter, ellipses);
        ShapeRegions outlines; // the region of tileDeviceRegion, made once per shape
        for (const auto& group : doc.board.groups) {
            for (const auto& tile : group->tiles) {
                if (!kindHasPairPattern(tile->kind) || tile->outline.edges.empty()) {
                    continue;
                }
                const QRegion clip =
                    outlines
                        .region(tileDevicePolygon(*tile, placement.originX,
                                                  placement.originY + placement.imageHeight,
                                                  placement.scale, placement.ppcX, placement.ppcY))
                        .intersected(image.rect());
                if (clip.isEmpty()) {
                    continue;
                }
                sink.setClip(clip);
                drawPairPattern(sink, *tile, tileSet, ratio, mapping);
            }
        }
    }
}

void paintDeviceOutlines(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                         const QRect& area, int penWidth) {
    const DeviceMapping mapping(placement);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);
    painter.setPen(
        QPen(Qt::black, penWidth * placement.penScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            for (const TileEdge& edge : tile->outline.edges) {
                painter.drawLine(mapping.point(edge.x1, edge.y1), mapping.point(edge.x2, edge.y2));
            }
        }
    }
    painter.restore();
}

} // namespace pavelora
