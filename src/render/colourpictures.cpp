#include "render/colourpictures.h"

#include "render/colour.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pavelora {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// The white face inside a black one-pixel frame, covering (0, 0) up to but not including
// (side, side).
void drawFace(QPainter& painter, int side) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, side - 1, side - 1);
}

void drawWideLine(QPainter& painter, QPoint from, QPoint to, Rgb colour) {
    painter.setPen(QPen(toQColor(colour), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from, to);
}

} // namespace

int pictureSide(int width, int height) {
    return std::min(width, height);
}

QPoint hueWheelPoint(int side, int hue, double radius) {
    const int c = side / 2;
    const double a = (hue + 90) * kRadiansPerDegree;
    const double r = radius * side;
    return QPoint(c + static_cast<int>(r * std::cos(a)), c - static_cast<int>(r * std::sin(a)));
}

int hueAtPoint(int side, int x, int y) {
    const int c = side / 2;
    const double theta =
        std::atan2(static_cast<double>(c - y), static_cast<double>(x - c)) / kRadiansPerDegree;
    int hue = 270 + static_cast<int>(theta);
    if (hue >= 360) {
        hue -= 360;
    }
    return hue;
}

void drawHueWheel(QPainter& painter, int side, int hue) {
    if (side <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawFace(painter, side);
    for (int i = 0; i < 360; ++i) {
        drawWideLine(painter, hueWheelPoint(side, i, 0.25), hueWheelPoint(side, i, 0.45),
                     hlsToRgb(i, 50, 100));
    }
    const int c = side / 2;
    drawWideLine(painter, QPoint(c, c), hueWheelPoint(side, hue, 0.25), hlsToRgb(hue, 50, 100));
    painter.restore();
}

LsSquareGeometry lsSquareGeometry(int side) {
    return {side / 10, (8 * side) / 10};
}

QPoint lsSquarePoint(int side, int lightness, int saturation) {
    const LsSquareGeometry g = lsSquareGeometry(side);
    return QPoint(g.margin + (g.edge * saturation) / 100,
                  g.margin + (g.edge * (100 - lightness)) / 100);
}

LsPress lsAtPoint(int side, int x, int y) {
    const LsSquareGeometry g = lsSquareGeometry(side);
    LsPress press;
    // A control too small to hold the square has no bands to press.
    if (g.edge <= 0) {
        return press;
    }
    const int px = x - g.margin;
    const int py = y - g.margin;
    if (0 <= px && px <= g.edge) {
        press.saturation = (100 * px) / g.edge;
    }
    if (0 <= py && py <= g.edge) {
        press.lightness = 100 - (100 * py) / g.edge;
    }
    return press;
}

void drawLsSquare(QPainter& painter, int side, int hue, int lightness, int saturation) {
    if (side <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawFace(painter, side);
    for (int s = 0; s <= 100; ++s) {
        for (int l = 0; l <= 100; ++l) {
            painter.setPen(QPen(toQColor(hlsToRgb(hue, l, s)), 1));
            painter.drawPoint(lsSquarePoint(side, l, s));
        }
    }
    // The marker covers three pixels before the point and two after it, each way.
    const QPoint at = lsSquarePoint(side, lightness, saturation);
    painter.setPen(QPen(toQColor(hlsToRgb((hue + 180) % 360, 100 - lightness, saturation)), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(at.x() - 3, at.y() - 3, 5, 5);
    painter.restore();
}

void paintSwatch(QPainter& painter, const QRect& rect, Rgb colour) {
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(toQColor(colour));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace pavelora
