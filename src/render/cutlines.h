#pragma once

#include "core/board/board.h"
#include "render/devicetiles.h"

#include <QPainter>
#include <QRect>

#include <vector>

namespace pavelora {

// The outline edges of the board with each edge of the tiling once: of two joined edges
// only the one of the tile drawn first is taken. Free edges, and the edges of tiles that
// merely overlap, all count. Tiles in display order, edges in outline order.
std::vector<const TileEdge*> cutEdges(const Document& doc);

// The cut edges as lines of the given pen width (in pixels of penScale units) in `colour`,
// inside `area`. Nothing is filled.
void paintDeviceCutLines(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                         const QRect& area, double penWidth, const QColor& colour);

} // namespace pavelora
