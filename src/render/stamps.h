#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QRgb>

#include <cstddef>
#include <map>
#include <tuple>
#include <vector>

namespace pavelora {

// A small picture of something drawn once (a tile body, a pattern circle) that is copied
// wherever the same thing is drawn again. Drawing with whole-pixel coordinates comes out
// the same at every whole-pixel offset, so the copy sets exactly the pixels that drawing
// there would set; copying them is much cheaper than drawing.
struct Stamp {
    struct Run {
        int y;
        int x0; // first opaque pixel
        int x1; // one past the last
    };

    QImage image;          // Format_ARGB32_Premultiplied
    QPoint offset;         // of the picture's top left corner from where the stamp is placed
    std::vector<Run> runs; // the opaque pixels, row by row
    bool exact = false;    // every pixel is fully opaque or fully transparent
};

// Finds the opaque runs of a freshly drawn picture.
Stamp makeStamp(QImage image, QPoint offset);

// A region as pixel spans, row by row. One object serves region after region without
// allocating anew.
class SpanClip {
public:
    struct Span {
        int x0;
        int x1; // one past the last pixel
    };

    void assign(const QRegion& region);

    // The spans of row y, in ascending order; none outside the region.
    const Span* rowBegin(int y) const { return inside(y) ? &spans_[starts_[index(y)]] : nullptr; }
    const Span* rowEnd(int y) const {
        return inside(y) ? &spans_[0] + starts_[index(y) + 1] : nullptr;
    }

private:
    bool inside(int y) const {
        return y >= top_ && y - top_ + 1 < static_cast<int>(starts_.size());
    }
    std::size_t index(int y) const { return static_cast<std::size_t>(y - top_); }

    int top_ = 0;
    std::vector<Span> spans_;
    std::vector<std::size_t> starts_; // row i has spans_[starts_[i]] .. spans_[starts_[i + 1]]
};

// The pixels of an RGB32 image, taken once before any painter is opened on it.
struct RasterTarget {
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
    QRect area; // nothing is written outside it
};

// Copies the stamp's opaque pixels with the stamp placed at `at`, inside the target's area
// and, when given, inside the clip.
void blitStamp(const RasterTarget& target, const Stamp& stamp, QPoint at,
               const SpanClip* clip = nullptr);

// Pattern circles and dots by box size, colour and fill: drawEllipse of
// QRect(0, 0, width, height) with the pattern pen and, for dots, a brush of its colour.
class EllipseStamps {
public:
    const Stamp& stamp(int width, int height, QRgb colour, bool filled);

private:
    std::map<std::tuple<int, int, QRgb, bool>, Stamp> stamps_;
};

} // namespace pavelora
