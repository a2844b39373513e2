#pragma once

#include "core/geometry/rgb.h"

#include <QPoint>
#include <QRect>

#include <optional>

class QPainter;

namespace pavelora {

// The pictures of the HLS pages: the hue wheel ("Huecntr"), the lightness-saturation
// square ("LScntr") and the colour swatch. Both controls draw in a square of `side` pixels
// (the smaller of their width and height) at their top left corner.

// The side a control draws in for its client size.
int pictureSide(int width, int height);

// A point of the hue wheel: `radius` times the side away from the centre (side / 2, side / 2)
// in the direction of the hue. Hue 0 points up, 90 left, 180 down, 270 right.
QPoint hueWheelPoint(int side, int hue, double radius);

// The hue a press at (x, y) picks: the direction of the point seen from the centre.
// Every point gives a hue, the centre and points outside the ring included.
int hueAtPoint(int side, int x, int y);

// The hue ring from 0.25 to 0.45 of the side, one line three pixels wide per whole hue,
// on white inside a black frame, with a pointer from the centre to the ring in the
// direction and colour of `hue`.
void drawHueWheel(QPainter& painter, int side, int hue);

// The square's margin (a tenth of the side) and its edge (eight tenths).
struct LsSquareGeometry {
    int margin;
    int edge;
};
LsSquareGeometry lsSquareGeometry(int side);

// The pixel of a lightness and saturation: saturation grows to the right, lightness
// upwards.
QPoint lsSquarePoint(int side, int lightness, int saturation);

// What a press at (x, y) sets: the saturation when x lies within the square's columns, the
// lightness when y lies within its rows; neither outside both bands.
struct LsPress {
    std::optional<int> lightness;
    std::optional<int> saturation;
};
LsPress lsAtPoint(int side, int x, int y);

// Every lightness and saturation of `hue` as one pixel each, on white inside a black
// frame, with a small square marker in the complementary colour around the current
// lightness and saturation.
void drawLsSquare(QPainter& painter, int side, int hue, int lightness, int saturation);

// The swatch: the rectangle filled with the colour inside a black one-pixel border.
void paintSwatch(QPainter& painter, const QRect& rect, Rgb colour);

} // namespace pavelora
