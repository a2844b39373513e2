#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include <cstdint>

namespace pavelora {

// How the board centimetres of a pair pattern become device pixels. Wedge vertices are
// mapped as points; circles and dots are first boxed by circleBox with boardHeight() and
// each corner value is then mapped on its own axis.
class PatternMapping {
public:
    virtual ~PatternMapping() = default;
    virtual QPoint point(double x, double y) const = 0;
    virtual std::int32_t boxX(double v) const = 0;
    virtual std::int32_t boxY(double v) const = 0;
    virtual double boardHeight() const = 0;
};

// Where the elements of a pattern go, in device pixels. Every element is drawn with a
// solid pen of width 2 in its colour; dots and wedges are filled in that colour as well.
class PatternSink {
public:
    virtual ~PatternSink() = default;
    // The ellipse in `box` (left, top, width, height): a circle, or a filled dot.
    virtual void ellipse(const QRect& box, QRgb colour, bool filled) = 0;
    virtual void wedge(const QPolygon& corners, QRgb colour) = 0;
};

// The pen of every pattern element; `penScale` device units to a pixel of its width.
QPen patternPen(QRgb colour, double penScale = 1.0);

// A sink that draws with a painter under its current clip.
class PainterPatternSink final : public PatternSink {
public:
    explicit PainterPatternSink(QPainter& painter, double penScale = 1.0)
        : painter_(painter), penScale_(penScale) {}
    void ellipse(const QRect& box, QRgb colour, bool filled) override;
    void wedge(const QPolygon& corners, QRgb colour) override;

private:
    QPainter& painter_;
    double penScale_;
};

// Whether tiles of the kind carry a pair pattern: the Penrose kinds 50011..50037 except the
// plain Pentagon 50031.
bool kindHasPairPattern(std::int32_t kind);

// The pair pattern of the tile, element by element in drawing order (arcs, wedges and dots
// in the pair colours). Elements whose colour the set does not have are left out. Returns
// the device rectangle that holds the elements (empty when there was none).
QRect drawPairPattern(PatternSink& sink, const Tile& tile, const TileSet& tileSet,
                      double tileSizeRatio, const PatternMapping& mapping);

// The same drawn with the painter under its current clip.
QRect drawPairPattern(QPainter& painter, const Tile& tile, const TileSet& tileSet,
                      double tileSizeRatio, const PatternMapping& mapping);

} // namespace pavelora
