#include "render/svgdevice.h"

#include <QByteArray>
#include <QColor>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <cmath>
#include <optional>

namespace pavelora {

namespace {

void appendNumber(QByteArray& out, double v) {
    const double whole = std::round(v);
    if (std::fabs(v - whole) < 1e-9 && std::fabs(whole) < 2e9) {
        out += QByteArray::number(static_cast<qint64>(whole));
    } else {
        out += QByteArray::number(v, 'f', 3);
    }
}

void appendColour(QByteArray& out, const QColor& colour) {
    out += colour.name(QColor::HexRgb).toLatin1();
}

} // namespace

// The engine behind SvgDevice. Elements go out one by one; those under one clip and one
// pen width share a group.
class SvgPaintEngine final : public QPaintEngine {
public:
    SvgPaintEngine(QIODevice& output, QSize units, double widthMm, double heightMm)
        : QPaintEngine(QPaintEngine::AllFeatures), output_(output), units_(units),
          widthMm_(widthMm), heightMm_(heightMm) {}

    bool written() const { return ok_; }

    bool begin(QPaintDevice*) override {
        out_.clear();
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
        appendNumber(out_, widthMm_);
        out_ += "mm\" height=\"";
        appendNumber(out_, heightMm_);
        out_ += "mm\" viewBox=\"0 0 ";
        appendNumber(out_, units_.width());
        out_ += ' ';
        appendNumber(out_, units_.height());
        out_ += "\" stroke-linecap=\"round\" stroke-linejoin=\"round\" "
                "fill-rule=\"evenodd\">\n";
        groupOpen_ = false;
        clipCount_ = 0;
        return true;
    }

    bool end() override {
        closeGroup();
        out_ += "</svg>\n";
        flush(true);
        return ok_;
    }

    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags flags = state.state();
        if (flags & DirtyPen) {
            pen_ = state.pen();
        }
        if (flags & DirtyBrush) {
            brush_ = state.brush();
        }
        if (flags & DirtyTransform) {
            transform_ = state.transform();
        }
        if ((flags & DirtyClipEnabled) && !state.isClipEnabled()) {
            setClip(std::nullopt);
        }
        if (flags & DirtyClipRegion) {
            QPainterPath path;
            path.addRegion(state.clipRegion());
            applyClip(transform_.map(path), state.clipOperation());
        }
        if (flags & DirtyClipPath) {
            applyClip(transform_.map(state.clipPath()), state.clipOperation());
        }
    }

    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon;
        polygon.reserve(count);
        for (int i = 0; i < count; ++i) {
            polygon << QPointF(points[i]);
        }
        drawPolygon(polygon.constData(), count, mode);
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        element(mode == PolylineMode ? "<polyline" : "<polygon", mode != PolylineMode);
        if (mode == WindingMode) {
            out_ += " fill-rule=\"nonzero\"";
        }
        out_ += " points=\"";
        for (int i = 0; i < count; ++i) {
            const QPointF p = transform_.map(points[i]);
            if (i > 0) {
                out_ += ' ';
            }
            appendNumber(out_, p.x());
            out_ += ',';
            appendNumber(out_, p.y());
        }
        out_ += "\"/>\n";
        flush(false);
    }

    void drawEllipse(const QRectF& box) override {
        if (!transform_.isIdentity() && !transform_.isTranslating()) {
            QPainterPath path;
            path.addEllipse(box);
            drawPath(path);
            return;
        }
        const QRectF r = transform_.mapRect(box);
        element("<ellipse", true);
        out_ += " cx=\"";
        appendNumber(out_, r.center().x());
        out_ += "\" cy=\"";
        appendNumber(out_, r.center().y());
        out_ += "\" rx=\"";
        appendNumber(out_, r.width() / 2);
        out_ += "\" ry=\"";
        appendNumber(out_, r.height() / 2);
        out_ += "\"/>\n";
        flush(false);
    }

    void drawEllipse(const QRect& box) override { drawEllipse(QRectF(box)); }

    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QLineF line = transform_.map(lines[i]);
            element("<line", false);
            out_ += " x1=\"";
            appendNumber(out_, line.x1());
            out_ += "\" y1=\"";
            appendNumber(out_, line.y1());
            out_ += "\" x2=\"";
            appendNumber(out_, line.x2());
            out_ += "\" y2=\"";
            appendNumber(out_, line.y2());
            out_ += "\"/>\n";
        }
        flush(false);
    }

    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            const QLineF line(lines[i]);
            drawLines(&line, 1);
        }
    }

    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            QPolygonF corners(rects[i]);
            corners.removeLast(); // the closing corner
            drawPolygon(corners.constData(), static_cast<int>(corners.size()), OddEvenMode);
        }
    }

    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF rect(rects[i]);
            drawRects(&rect, 1);
        }
    }

    void drawPath(const QPainterPath& path) override {
        element("<path", true);
        if (path.fillRule() == Qt::WindingFill) {
            out_ += " fill-rule=\"nonzero\"";
        }
        out_ += " d=\"";
        appendPath(out_, transform_.map(path));
        out_ += "\"/>\n";
        flush(false);
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

private:
    // A clip: the path, or none.
    void applyClip(const QPainterPath& path, Qt::ClipOperation operation) {
        if (operation == Qt::NoClip) {
            setClip(std::nullopt);
        } else if (operation == Qt::IntersectClip && clip_) {
            setClip(clip_->intersected(path));
        } else {
            setClip(path);
        }
    }

    void setClip(std::optional<QPainterPath> clip) {
        // A clip holding the whole page clips nothing.
        const QRectF page(QPointF(0, 0), QSizeF(units_));
        if (clip && clip->controlPointRect().contains(page) && clip->contains(page)) {
            clip.reset();
        }
        if (!clip_ && !clip) {
            return;
        }
        clip_ = std::move(clip);
        closeGroup();
    }

    static void appendPath(QByteArray& out, const QPainterPath& path) {
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            if (e.isMoveTo()) {
                out += i > 0 ? " M" : "M";
            } else if (e.isLineTo()) {
                out += " L";
            } else if (e.isCurveTo()) {
                out += " C";
            } else {
                out += ' ';
            }
            appendNumber(out, e.x);
            out += ',';
            appendNumber(out, e.y);
        }
    }

    // Opens the group of the current clip and pen width when it is not open, then starts
    // an element with the current colours.
    void element(const char* name, bool filled) {
        const double width = pen_.style() == Qt::NoPen ? 0.0 : pen_.widthF();
        if (groupOpen_ && width != groupWidth_) {
            closeGroup();
        }
        if (!groupOpen_) {
            QByteArray clipId;
            if (clip_) {
                clipId = "c" + QByteArray::number(++clipCount_);
                out_ += "<clipPath id=\"" + clipId + "\"><path d=\"";
                appendPath(out_, *clip_);
                out_ += "\"/></clipPath>\n";
            }
            out_ += "<g";
            if (clip_) {
                out_ += " clip-path=\"url(#" + clipId + ")\"";
            }
            out_ += " stroke-width=\"";
            appendNumber(out_, width > 0 ? width : 1);
            out_ += "\">\n";
            groupOpen_ = true;
            groupWidth_ = width;
        }
        out_ += name;
        out_ += " fill=\"";
        if (filled && brush_.style() != Qt::NoBrush) {
            appendColour(out_, brush_.color());
        } else {
            out_ += "none";
        }
        out_ += "\" stroke=\"";
        if (pen_.style() != Qt::NoPen) {
            appendColour(out_, pen_.color());
        } else {
            out_ += "none";
        }
        out_ += '"';
    }

    void closeGroup() {
        if (groupOpen_) {
            out_ += "</g>\n";
            groupOpen_ = false;
        }
    }

    void flush(bool all) {
        if (out_.size() < (all ? 1 : 1 << 16)) {
            return;
        }
        if (output_.write(out_) != out_.size()) {
            ok_ = false;
        }
        out_.clear();
    }

    QIODevice& output_;
    QSize units_;
    double widthMm_;
    double heightMm_;
    QByteArray out_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    std::optional<QPainterPath> clip_;
    bool groupOpen_ = false;
    double groupWidth_ = 0.0;
    int clipCount_ = 0;
    bool ok_ = true;
};

SvgDevice::SvgDevice(QIODevice& output, QSize units, double widthMm, double heightMm)
    : units_(units), widthMm_(widthMm), heightMm_(heightMm),
      engine_(std::make_unique<SvgPaintEngine>(output, units, widthMm, heightMm)) {}

SvgDevice::~SvgDevice() = default;

QPaintEngine* SvgDevice::paintEngine() const {
    return engine_.get();
}

bool SvgDevice::written() const {
    return engine_->written();
}

int SvgDevice::metric(PaintDeviceMetric metric) const {
    const double dpiX = units_.width() / (widthMm_ / 25.4);
    const double dpiY = units_.height() / (heightMm_ / 25.4);
    switch (metric) {
    case PdmWidth:
        return units_.width();
    case PdmHeight:
        return units_.height();
    case PdmWidthMM:
        return static_cast<int>(std::lround(widthMm_));
    case PdmHeightMM:
        return static_cast<int>(std::lround(heightMm_));
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return static_cast<int>(std::lround(dpiX));
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return static_cast<int>(std::lround(dpiY));
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace pavelora
