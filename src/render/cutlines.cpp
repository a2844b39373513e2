#include "render/cutlines.h"

#include <QPen>

#include <cmath>
#include <unordered_map>

namespace pavelora {

namespace {

// Corners that joining made to meet may differ in their last bits.
bool sameCorner(double x1, double y1, double x2, double y2) {
    constexpr double tolerance = 1e-6; // centimetres
    return std::fabs(x1 - x2) <= tolerance && std::fabs(y1 - y2) <= tolerance;
}

// Whether `other` holds the edge joined to `edge`: one naming edge's tile as its neighbour,
// running between the same two corners the other way.
bool holdsPartner(const Tile& other, const TileEdge& edge) {
    for (const TileEdge& e : other.outline.edges) {
        if (e.neighbour == edge.owner && sameCorner(e.x1, e.y1, edge.x2, edge.y2) &&
            sameCorner(e.x2, e.y2, edge.x1, edge.y1)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<const TileEdge*> cutEdges(const Document& doc) {
    std::unordered_map<const Tile*, std::size_t> order;
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            order.emplace(tile.get(), order.size());
        }
    }
    std::vector<const TileEdge*> edges;
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            const std::size_t self = order.at(tile.get());
            for (const TileEdge& edge : tile->outline.edges) {
                if (edge.neighbour != nullptr) {
                    const auto other = order.find(edge.neighbour);
                    if (other != order.end() && other->second < self &&
                        holdsPartner(*edge.neighbour, edge)) {
                        continue; // drawn with the neighbour
                    }
                }
                edges.push_back(&edge);
            }
        }
    }
    return edges;
}

void paintDeviceCutLines(QPainter& painter, const Document& doc, const DevicePlacement& placement,
                         const QRect& area, double penWidth, const QColor& colour) {
    const DeviceMapping mapping(placement);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(area);
    painter.setPen(
        QPen(colour, penWidth * placement.penScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    for (const TileEdge* edge : cutEdges(doc)) {
        painter.drawLine(mapping.point(edge->x1, edge->y1), mapping.point(edge->x2, edge->y2));
    }
    painter.restore();
}

} // namespace pavelora
