#pragma once

#include <QIODevice>
#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace pavelora {

class SvgPaintEngine;

// A paint device that writes what a QPainter draws on it as an SVG document: polygons,
// ellipses, lines, rectangles and paths with their pen and brush colours, clips as clip
// paths. Its pixels are units of a viewBox of the device's size; the document's width and
// height are given in millimetres, so that it shows at true size. Images and text are not
// written. The document is complete when the painter ends.
class SvgDevice final : public QPaintDevice {
public:
    SvgDevice(QIODevice& output, QSize units, double widthMm, double heightMm);
    ~SvgDevice() override;
    SvgDevice(const SvgDevice&) = delete;
    SvgDevice& operator=(const SvgDevice&) = delete;

    QPaintEngine* paintEngine() const override;
    // False when the output refused some of the bytes.
    bool written() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize units_;
    double widthMm_;
    double heightMm_;
    std::unique_ptr<SvgPaintEngine> engine_;
};

} // namespace pavelora
