#include "render/stamps.h"

#include "render/pairpattern.h"

#include <QBrush>
#include <QPainter>

#include <algorithm>

namespace pavelora {

Stamp makeStamp(QImage image, QPoint offset) {
    Stamp stamp;
    stamp.offset = offset;
    stamp.exact = true;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && qAlpha(line[x]) != 0) {
                stamp.exact = stamp.exact && qAlpha(line[x]) == 255;
                ++x;
            }
            stamp.runs.push_back({y, start, x});
        }
    }
    stamp.image = std::move(image);
    return stamp;
}

void SpanClip::assign(const QRegion& region) {
    spans_.clear();
    starts_.clear();
    const QRect bounds = region.boundingRect();
    top_ = bounds.top();
    starts_.push_back(0);
    // The rectangles come in bands of equal top and bottom, the bands from top to bottom
    // and the rectangles of a band from left to right, none overlapping.
    int y = top_;
    auto rect = region.begin();
    while (rect != region.end()) {
        auto bandEnd = rect;
        while (bandEnd != region.end() && bandEnd->top() == rect->top()) {
            ++bandEnd;
        }
        for (; y < rect->top(); ++y) {
            starts_.push_back(spans_.size()); // a row between bands
        }
        for (; y <= rect->bottom(); ++y) {
            for (auto r = rect; r != bandEnd; ++r) {
                spans_.push_back({r->left(), r->right() + 1});
            }
            starts_.push_back(spans_.size());
        }
        rect = bandEnd;
    }
}

namespace {

// Runs are mostly a few pixels long: a plain loop beats a call to memcpy.
void copyPixels(const RasterTarget& target, const Stamp& stamp, int sourceY, int x0, int x1,
                int targetX, int targetY) {
    const auto* source = reinterpret_cast<const QRgb*>(stamp.image.constScanLine(sourceY)) + x0;
    auto* line = reinterpret_cast<QRgb*>(target.bits + targetY * target.bytesPerLine) + targetX;
    for (int n = x1 - x0; n > 0; --n) {
        *line++ = *source++;
    }
}

} // namespace

void blitStamp(const RasterTarget& target, const Stamp& stamp, QPoint at, const SpanClip* clip) {
    const int left = at.x() + stamp.offset.x();
    const int top = at.y() + stamp.offset.y();
    const QRect& area = target.area;
    for (const Stamp::Run& run : stamp.runs) {
        const int y = top + run.y;
        if (y < area.top() || y > area.bottom()) {
            continue;
        }
        // The run in target columns, cut to the area.
        const int x0 = std::max(left + run.x0, area.left());
        const int x1 = std::min(left + run.x1, area.right() + 1);
        if (x1 <= x0) {
            continue;
        }
        if (clip == nullptr) {
            copyPixels(target, stamp, run.y, x0 - left, x1 - left, x0, y);
            continue;
        }
        for (const SpanClip::Span* span = clip->rowBegin(y); span != clip->rowEnd(y); ++span) {
            const int c0 = std::max(x0, span->x0);
            const int c1 = std::min(x1, span->x1);
            if (c1 > c0) {
                copyPixels(target, stamp, run.y, c0 - left, c1 - left, c0, y);
            }
        }
    }
}

const Stamp& EllipseStamps::stamp(int width, int height, QRgb colour, bool filled) {
    const auto key = std::make_tuple(width, height, colour, filled);
    auto found = stamps_.find(key);
    if (found != stamps_.end()) {
        return found->second;
    }
    // Margin for the pen, which reaches a pixel beyond the box.
    constexpr int Margin = 3;
    QImage image(width + 2 * Margin, height + 2 * Margin, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(patternPen(colour));
        painter.setBrush(filled ? QBrush(QColor(colour)) : QBrush(Qt::NoBrush));
        painter.drawEllipse(QRect(Margin, Margin, width, height));
    }
    return stamps_.emplace(key, makeStamp(std::move(image), QPoint(-Margin, -Margin)))
        .first->second;
}

} // namespace pavelora
