#include "core/geometry/edgeindex.h"

#include <algorithm>

namespace pavelora {

SortedEdge makeSortedEdge(TileEdge& edge, std::int32_t directionCount) {
    SortedEdge sorted;
    sorted.source = &edge;
    if (edge.y1 < edge.y2) {
        sorted.x1 = edge.x1;
        sorted.y1 = edge.y1;
        sorted.x2 = edge.x2;
        sorted.y2 = edge.y2;
        sorted.direction = edge.direction;
    } else {
        sorted.x1 = edge.x2;
        sorted.y1 = edge.y2;
        sorted.x2 = edge.x1;
        sorted.y2 = edge.y1;
        sorted.direction = (edge.direction + directionCount / 2) % directionCount;
    }
    return sorted;
}

void insertIntoIndex(EdgeIndex& index, const SortedEdge& edge) {
    // Rows are kept in ascending y, each y once: the row for this y, or the place of the
    // first row with a greater y.
    auto row = std::lower_bound(index.rows.begin(), index.rows.end(), edge.y1,
                                [](const EdgeRow& r, double y) { return r.y < y; });
    if (row == index.rows.end() || row->y != edge.y1) {
        row = index.rows.insert(row, EdgeRow{edge.y1, {}});
    }
    // Before the first edge with a greater x1, or with an equal x1 and an x2 that is not
    // greater. The row is ordered so that this holds for a suffix of it.
    auto& edges = row->edges;
    auto at = std::partition_point(edges.begin(), edges.end(), [&edge](const SortedEdge& e) {
        return !(e.x1 > edge.x1 || (e.x1 == edge.x1 && e.x2 <= edge.x2));
    });
    edges.insert(at, edge);
}

EdgeIndex buildEdgeIndex(EdgeChain& chain, std::int32_t directionCount) {
    EdgeIndex index;
    for (TileEdge& edge : chain.edges) {
        insertIntoIndex(index, makeSortedEdge(edge, directionCount));
    }
    return index;
}

bool pointInIndex(const EdgeIndex& index, double x, double y, const AngleTable& angles) {
    const std::int32_t half = angles.count / 2;
    int crossingsLeft = 0;
    bool anyCrossing = false;
    for (const EdgeRow& row : index.rows) {
        if (row.y > y) {
            break; // rows ascend: no later row starts at or below the point
        }
        for (const SortedEdge& e : row.edges) {
            if (!(e.y2 > y)) {
                continue;
            }
            anyCrossing = true;
            // An edge of a horizontal direction whose ends differ in their last bits still
            // crosses the points at its lower end's height; it has no slope to go by.
            const std::int32_t sourceDirection = e.source->direction;
            const bool level = sourceDirection == 0 || sourceDirection == half;
            const double crossX =
                level ? e.x1 + (y - e.y1) * (e.x2 - e.x1) / (e.y2 - e.y1)
                      : (y - e.y1) * angles.cosines[e.direction] / angles.sines[e.direction] + e.x1;
            if (crossX <= x) {
                ++crossingsLeft;
            }
        }
    }
    return anyCrossing && (crossingsLeft % 2) == 1;
}

} // namespace pavelora
