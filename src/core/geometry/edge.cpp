#include "core/geometry/edge.h"

namespace pavelora {

std::optional<TileEdge> makeEdge(double x1, double y1, double x2, double y2, double length,
                                 std::int32_t baseDirection, std::int32_t rotation,
                                 std::int32_t matchCode, const AngleTable& angles) {
    const std::int32_t count = angles.count;
    if (baseDirection < 0 || baseDirection >= count || rotation < 0 || rotation >= count) {
        return std::nullopt;
    }
    const double s = angles.sines[rotation];
    const double c = angles.cosines[rotation];

    TileEdge edge;
    edge.x1 = x1 * c - y1 * s;
    edge.y1 = y1 * c + x1 * s;
    edge.x2 = x2 * c - y2 * s;
    edge.y2 = y2 * c + x2 * s;
    edge.length = length;
    edge.direction = baseDirection + rotation;
    if (edge.direction >= count) {
        edge.direction -= count;
    }
    edge.matchCode = matchCode;
    return edge;
}

EdgeChain* appendEdge(EdgeChain* chain, const TileEdge* edge) {
    if (chain == nullptr || edge == nullptr) {
        return nullptr;
    }
    if (chain->edges.empty()) {
        chain->edges.push_back(*edge);
        chain->closed = 0;
        return chain;
    }
    if (chain->closed != 0) {
        return nullptr;
    }

    const TileEdge& first = chain->edges.front();
    const TileEdge& last = chain->edges.back();
    const bool followsLast = edge->x1 == last.x2 && edge->y1 == last.y2;
    const bool precedesFirst = edge->x2 == first.x1 && edge->y2 == first.y1;

    if (followsLast) {
        chain->edges.push_back(*edge);
        chain->closed = precedesFirst ? 1 : 0;
    } else if (precedesFirst) {
        chain->edges.insert(chain->edges.begin(), *edge);
        chain->closed = 0;
    } else {
        return nullptr;
    }
    return chain;
}

void removeLastEdge(EdgeChain* chain) {
    if (chain == nullptr || chain->edges.empty()) {
        return;
    }
    chain->edges.pop_back();
    chain->closed = 0;
}

} // namespace pavelora
