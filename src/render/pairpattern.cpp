#include "render/pairpattern.h"

#include "core/geometry/tilebuilder.h"
#include "render/shading.h"

#include <QBrush>
#include <QPen>

#include <initializer_list>

namespace pavelora {

namespace {

// The edge fraction of every wedge corner and dot position.
constexpr double EdgeFraction = 0.3090169943749474;
constexpr double DotRadius = 0.20601132958329826;

struct Point {
    double x;
    double y;
};

// A -> B at the edge fraction: A + c (B - A).
Point along(Point a, Point b) {
    return {a.x + EdgeFraction * (b.x - a.x), a.y + EdgeFraction * (b.y - a.y)};
}

class PatternBuilder {
public:
    PatternBuilder(PatternSink& sink, const Tile& tile, const TileSet& tileSet,
                   const PatternMapping& mapping)
        : sink_(sink), tile_(tile), tileSet_(tileSet), mapping_(mapping) {}

    Point S(int i) const {
        const TileEdge& e = tile_.outline.edges[static_cast<std::size_t>(i)];
        return {e.x1, e.y1};
    }
    Point E(int i) const {
        const TileEdge& e = tile_.outline.edges[static_cast<std::size_t>(i)];
        return {e.x2, e.y2};
    }

    void circle(Point centre, double radius, int colour) { ellipse(centre, radius, colour, false); }
    void dot(Point centre, double radius, int colour) { ellipse(centre, radius, colour, true); }

    void wedge(std::initializer_list<Point> corners, int colour) {
        QRgb rgb = 0;
        if (!pairColour(colour, rgb)) {
            return;
        }
        QPolygon polygon(static_cast<int>(corners.size()));
        int i = 0;
        for (const Point& p : corners) {
            polygon.setPoint(i++, mapping_.point(p.x, p.y));
        }
        sink_.wedge(polygon, rgb);
        drawn_ |= polygon.boundingRect();
    }

    QRect drawn() const { return drawn_.isEmpty() ? QRect() : drawn_.adjusted(-2, -2, 2, 2); }

private:
    void ellipse(Point centre, double radius, int colour, bool filled) {
        QRgb rgb = 0;
        if (!pairColour(colour, rgb)) {
            return;
        }
        const CircleBox box = circleBox(centre.x, centre.y, radius, mapping_.boardHeight());
        const std::int32_t left = mapping_.boxX(box.left);
        const std::int32_t top = mapping_.boxY(box.top);
        const std::int32_t right = mapping_.boxX(box.right);
        const std::int32_t bottom = mapping_.boxY(box.bottom);
        const QRect rect(left, top, right - left, bottom - top);
        sink_.ellipse(rect, rgb, filled);
        drawn_ |= rect.normalized();
    }

    bool pairColour(int index, QRgb& rgb) const {
        if (index < 0 || index >= tileSet_.pairColourCount()) {
            return false;
        }
        const Rgb& c = tileSet_.pairColours[static_cast<std::size_t>(index)];
        rgb = qRgb(c.red, c.green, c.blue);
        return true;
    }

    PatternSink& sink_;
    const Tile& tile_;
    const TileSet& tileSet_;
    const PatternMapping& mapping_;
    QRect drawn_;
};

} // namespace

QPen patternPen(QRgb colour, double penScale) {
    return QPen(QColor(colour), 2 * penScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void PainterPatternSink::ellipse(const QRect& box, QRgb colour, bool filled) {
    painter_.setPen(patternPen(colour, penScale_));
    painter_.setBrush(filled ? QBrush(QColor(colour)) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(box);
}

void PainterPatternSink::wedge(const QPolygon& corners, QRgb colour) {
    painter_.setPen(patternPen(colour, penScale_));
    painter_.setBrush(QBrush(QColor(colour)));
    painter_.drawPolygon(corners);
}

bool kindHasPairPattern(std::int32_t kind) {
    return kind >= kind::Dart && kind <= kind::NarrowDiamond3 && kind != kind::Pentagon &&
           outlineEdgeCount(kind) > 0;
}

QRect drawPairPattern(PatternSink& sink, const Tile& tile, const TileSet& tileSet,
                      double tileSizeRatio, const PatternMapping& mapping) {
    if (!kindHasPairPattern(tile.kind) || tile.outline.count() != outlineEdgeCount(tile.kind)) {
        return {};
    }
    PatternBuilder p(sink, tile, tileSet, mapping);
    const double t = tileSizeRatio;
    const double dot = DotRadius * t;
    switch (tile.kind) {
    case kind::Dart:
        p.circle(p.S(0), 0.6180339887498948 * t, 0);
        p.circle(p.E(1), 0.3819660112501051 * t, 1);
        break;
    case kind::Kaite:
        p.circle(p.S(0), 1.0 * t, 0);
        p.circle(p.E(1), 0.6180339887498948 * t, 1);
        break;
    case kind::WideDiamond:
        p.wedge({along(p.E(0), p.S(0)), p.E(0), p.S(3), along(p.S(3), p.E(3))}, 1);
        p.wedge({along(p.E(1), p.S(1)), p.E(1), along(p.S(2), p.E(2))}, 0);
        break;
    case kind::NarrowDiamond2: {
        const Point m{(p.E(0).x + p.E(2).x) / 2, (p.E(0).y + p.E(2).y) / 2};
        p.wedge({along(p.E(0), p.S(0)), p.E(0), along(p.S(1), p.E(1)), m}, 1);
        p.wedge({along(p.E(2), p.S(2)), p.E(2), along(p.S(3), p.E(3)), m}, 0);
        break;
    }
    case kind::Pentagon1:
        for (int i = 0; i < 5; ++i) {
            p.dot(along(p.E(i), p.S(i)), dot, 0);
        }
        break;
    case kind::Pentagon2:
        for (int i = 0; i < 5; ++i) {
            const bool fromEnd = i == 0 || i == 1 || i == 3 || i == 4;
            const Point centre = fromEnd ? along(p.E(i), p.S(i)) : along(p.S(i), p.E(i));
            p.dot(centre, dot, i == 0 || i == 2 || i == 4 ? 0 : 2);
        }
        break;
    case kind::Pentagon3:
        p.dot(p.S(0), dot, 1);
        p.dot(along(p.S(1), p.E(1)), dot, 0);
        p.dot(along(p.E(2), p.S(2)), dot, 3);
        p.dot(along(p.S(3), p.E(3)), dot, 0);
        break;
    case kind::Pentagram3:
        for (int i : {0, 2, 4, 6, 8}) {
            p.dot(p.E(i), dot, 1);
        }
        break;
    case kind::WanedPentagram:
        p.dot(p.E(0), dot, 1);
        p.dot(along(p.S(4), p.E(4)), dot, 2);
        p.dot(along(p.S(5), p.E(5)), dot, 3);
        p.dot(along(p.S(6), p.E(6)), dot, 2);
        p.dot(p.E(2), dot, 1);
        break;
    case kind::NarrowDiamond3:
        for (int i = 0; i < 4; ++i) {
            p.dot(along(p.S(i), p.E(i)), dot, i == 0 || i == 3 ? 3 : 2);
        }
        break;
    default:
        break;
    }
    return p.drawn();
}

QRect drawPairPattern(QPainter& painter, const Tile& tile, const TileSet& tileSet,
                      double tileSizeRatio, const PatternMapping& mapping) {
    PainterPatternSink sink(painter);
    return drawPairPattern(sink, tile, tileSet, tileSizeRatio, mapping);
}

} // namespace pavelora
