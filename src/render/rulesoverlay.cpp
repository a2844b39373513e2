#include "render/rulesoverlay.h"

#include "core/geometry/tilebuilder.h"

#include <QPainter>
#include <QPen>

namespace pavelora {

namespace {

constexpr int kMarkRadius = 5;
const QColor kMarkColour(255, 0, 0);
const QColor kGhostFill(128, 128, 128, 90); // a grey veil, seen on tiles and board alike
const QColor kGhostLine(40, 40, 40);

} // namespace

QPoint clientPixel(const View& view, double x, double y) {
    const auto px = static_cast<int>(x * view.pxPerMmX * view.zoom * 10);
    const auto py = static_cast<int>(y * view.pxPerMmY * view.zoom * 10);
    return {view.boardOriginX + px, view.boardOriginY + view.boardPixelHeight - py};
}

QRect deadEndMarkRect(QPoint at) {
    // The white halo outside the ring, its pen of two pixels and a pixel to spare.
    const int r = kMarkRadius + 4;
    return {at.x() - r, at.y() - r, 2 * r + 1, 2 * r + 1};
}

QPolygon ghostPolygon(const Document& doc, const TilePlacement& placement) {
    QPolygon polygon;
    const std::unique_ptr<Tile> tile =
        buildTile(doc.tileSet.get(), &doc.angles, placement.kind, placement.rotation);
    if (!tile) {
        return polygon;
    }
    // As tiles are drawn: the position's pixel, plus each unit vertex scaled to pixels.
    const View& v = doc.view;
    const QPoint at = clientPixel(v, placement.x, placement.y);
    const double scale = doc.view.tileSizeRatio * v.zoom;
    for (const TileEdge& e : tile->outline.edges) {
        polygon << QPoint(at.x() + static_cast<int>(e.x1 * v.pxPerMmX * scale * 10),
                          at.y() - static_cast<int>(e.y1 * v.pxPerMmY * scale * 10));
    }
    return polygon;
}

void drawRulesOverlay(QPainter& painter, const RulesOverlay& overlay) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen dashed(kGhostLine, 1, Qt::DashLine);
    painter.setPen(dashed);
    painter.setBrush(kGhostFill);
    for (const QPolygon& ghost : overlay.ghosts) {
        painter.drawPolygon(ghost);
    }
    for (const QPoint& at : overlay.deadEnds) {
        // A white halo keeps the ring visible on the red darts.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawEllipse(at, kMarkRadius + 2, kMarkRadius + 2);
        painter.setPen(QPen(kMarkColour, 2));
        painter.drawEllipse(at, kMarkRadius, kMarkRadius);
        painter.setBrush(kMarkColour);
        painter.drawEllipse(at, 1, 1);
    }
    painter.restore();
}

} // namespace pavelora
