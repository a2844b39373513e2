#pragma once

#include "core/board/board.h"
#include "render/pairpattern.h"

#include <QImage>
#include <QPainter>
#include <QRect>

#include <cstdint>

namespace pavelora {

// Where the board lies on a device (export image, printer page): a board point (x, y) in
// centimetres falls on (originX + trunc(scale * x * ppcX),
// originY + imageHeight - trunc(scale * y * ppcY)).
struct DevicePlacement {
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t imageHeight = 0;
    double scale = 1.0;
    double ppcX = 0.0; // device pixels per centimetre
    double ppcY = 0.0;
    // Vector devices (SVG, PDF) work in fine units: their pens are penScale units per pixel of
    // the widths given here, and a pattern is clipped by its tile's outline as a path instead
    // of the tile's pixel region.
    double penScale = 1.0;
    bool vector = false;
};

// The pattern mapping of a placement. Circles are flipped with the board height that the
// device's whole pixels make, imageHeight / (scale * ppcY), the device's counterpart of the
// screen's boardPixelHeight * cmPerPixelY: so the pattern sits on its tile at every density
// and scale, whatever the screen's zoom.
class DeviceMapping final : public PatternMapping {
public:
    explicit DeviceMapping(const DevicePlacement& placement) : p_(placement) {}

    QPoint point(double x, double y) const override;
    std::int32_t boxX(double v) const override;
    std::int32_t boxY(double v) const override;
    double boardHeight() const override;

private:
    DevicePlacement p_;
};

// Every tile in display order, faces and shaded rim strips, inside `area`; then, when asked,
// every tile's pair pattern cut to its outline and to `area`. Everything is drawn element by
// element, as vector output (a printer, a PDF file) needs it.
void paintDeviceTiles(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                      const QRect& area, bool withPattern);

// The same pixels on an RGB32 image with no painter open on it, made faster by copying
// each distinct tile body and pattern circle from a picture drawn once.
void paintImageTiles(QImage& image, const Document& doc, const DevicePlacement& placement,
                     bool withPattern);

// Every outline edge of every tile as a black line of the given pen width, inside `area`.
// Shared edges of neighbours are drawn twice. Nothing is filled.
void paintDeviceOutlines(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                         const QRect& area, int penWidth);

} // namespace pavelora
