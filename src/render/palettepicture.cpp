#include "render/palettepicture.h"

#include "render/shading.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace pavelora {

namespace {

const Tile* sampleOf(const TileGroup& samples, std::int32_t kind) {
    for (const auto& t : samples.tiles) {
        if (t->kind == kind && t->rotation == 0) {
            return t.get();
        }
    }
    return nullptr;
}

} // namespace

bool paintPalette(QImage& picture, const std::vector<PaletteCell>& cells, const TileGroup& samples,
                  const Document& doc, const QFont& font) {
    const TileSet& set = *doc.tileSet;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height() + metrics.leading();
    const int charWidth = metrics.averageCharWidth();
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);

    auto fillPolygon = [&painter](const QPolygon& polygon, QColor colour) {
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        painter.drawPolygon(polygon);
    };

    for (const PaletteCell& cell : cells) {
        const Tile* sample = sampleOf(samples, cell.kind);
        if (sample == nullptr) {
            return false;
        }
        const int L = cell.left;
        const int T = cell.top;
        const int R = cell.right;
        const int B = cell.bottom;
        const int w = R - L;
        const int h = B - T;
        const int cx = (L + R) / 2;
        const int cy = (T + B) / 2;
        const int index = set.kindIndex(cell.kind);
        const int count = index >= 0 && index < static_cast<int>(doc.kindCounts.size())
                              ? doc.kindCounts[index]
                              : 0;

        painter.setPen(Qt::black);
        const int firstLine = T - h / 10 - 2 * lineHeight;
        painter.drawText(QRect(0, firstLine, picture.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop, paletteNameLine(set, index));
        // The count's padding spaces are narrower than digits: a shorter count would leave the
        // end of a longer one standing, so its line is cleared first.
        const QRect countLine(charWidth, firstLine + lineHeight, picture.width(), lineHeight);
        painter.fillRect(countLine, Qt::white);
        painter.drawText(countLine, Qt::AlignLeft | Qt::AlignTop, paletteCountLine(count));

        painter.fillRect(QRect(L, T, w, h), QColor(210, 210, 210));
        const int dx = w / 40;
        const int dy = h / 40;
        const QColor light(240, 240, 240);
        const QColor dark(160, 160, 160);
        const bool pressed = cell.selected == 1;
        const QPolygon left(
            {QPoint(L - dx, T - dy), QPoint(L - dx, B + dy), QPoint(L, B), QPoint(L, T)});
        const QPolygon top(
            {QPoint(L - dx, T - dy), QPoint(R + dx, T - dy), QPoint(R, T), QPoint(L, T)});
        const QPolygon right(
            {QPoint(R + dx, T - dy), QPoint(R + dx, B + dy), QPoint(R, B), QPoint(R, T)});
        const QPolygon bottom(
            {QPoint(R + dx, B + dy), QPoint(L - dx, B + dy), QPoint(L, B), QPoint(R, B)});
        fillPolygon(left, pressed ? dark : light);
        fillPolygon(top, pressed ? dark : light);
        fillPolygon(right, pressed ? light : dark);
        fillPolygon(bottom, pressed ? light : dark);

        const Rgb* fill = kindColour(set, cell.kind);
        for (int i = 0; i < sample->decorationCount() && fill != nullptr; ++i) {
            const auto polygon =
                buildPixelPolygon(&sample->decorations[i], cx, cy, 0.5, doc.view, set);
            if (!polygon) {
                continue;
            }
            const Rgb c = i == 0 ? *fill : shadeColour(*polygon, *fill);
            fillPolygon(polygon->points, QColor(c.red, c.green, c.blue));
        }
    }
    return true;
}

QString paletteNameLine(const TileSet& set, int index) {
    const bool known = index >= 0 && index < static_cast<int>(set.kindNames.size());
    const QString name = known ? QString::fromStdString(set.kindNames[index]) : QString();
    return QStringLiteral("%1 (F%2)").arg(name).arg(index + 1);
}

QString paletteCountLine(int count) {
    return QString::asprintf("%4d tiles", count);
}

int paletteTextWidth(const TileSet& set, const QFont& font) {
    const QFontMetrics metrics(font);
    const int blank = metrics.averageCharWidth();
    int width = blank + metrics.horizontalAdvance(paletteCountLine(9999));
    for (int i = 0; i < static_cast<int>(set.kindNames.size()); ++i) {
        width = std::max(width, metrics.horizontalAdvance(paletteNameLine(set, i)));
    }
    return width + blank;
}

} // namespace pavelora
