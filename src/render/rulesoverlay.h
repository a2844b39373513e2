#pragma once

#include "core/board/board.h"
#include "core/tiling/forcing.h"

#include <QPoint>
#include <QPolygon>
#include <QRect>

#include <vector>

class QPainter;

namespace pavelora {

// What the vertex rules show over the board, in client pixels: a red mark on every vertex
// that cannot be completed, and the tiles that may be laid on a chosen edge as ghosts. It is
// painted over the board picture on the screen only, never into the back buffer, prints or
// exports.
struct RulesOverlay {
    std::vector<QPoint> deadEnds;
    std::vector<QPolygon> ghosts;

    bool empty() const { return deadEnds.empty() && ghosts.empty(); }
};

// The client pixel of a board point as tiles are drawn (truncated board pixels plus the
// board's origin).
QPoint clientPixel(const View& view, double x, double y);

// The pixels a dead-end mark at a client pixel covers.
QRect deadEndMarkRect(QPoint at);

// The outline of a tile at a placement, in client pixels.
QPolygon ghostPolygon(const Document& doc, const TilePlacement& placement);

// Paints the overlay: ghosts as translucent tiles with a dashed outline, then the marks as
// red rings with a dot and a white halo.
void drawRulesOverlay(QPainter& painter, const RulesOverlay& overlay);

} // namespace pavelora
