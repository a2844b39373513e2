#pragma once

#include "core/geometry/edge.h"
#include "core/geometry/tileset.h"

#include <cstdint>
#include <vector>

namespace pavelora {

// A tile edge copied so that it starts at its lower end.
struct SortedEdge {
    double x1 = 0.0; // lower end
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    std::int32_t direction = 0; // from (x1, y1) to (x2, y2)
    TileEdge* source = nullptr;
};

// The edges of an index whose lower ends have exactly the same y.
struct EdgeRow {
    double y = 0.0;
    std::vector<SortedEdge> edges; // ascending x1; equal x1 by descending x2; newer first
};

// Edges sorted into rows of ascending y. The order of rows and of edges within a row is
// significant: snapping takes the first matching edge in this order.
struct EdgeIndex {
    std::vector<EdgeRow> rows;

    int count() const { return static_cast<int>(rows.size()); }
    void clear() { rows.clear(); }
};

// The edge as it goes into an index: reversed when it does not start at its lower end
// (horizontal edges, y1 == y2, are always reversed), its direction then turned by half
// a circle.
SortedEdge makeSortedEdge(TileEdge& edge, std::int32_t directionCount);

// Puts one edge into its row, keeping the order of rows and of edges within rows.
void insertIntoIndex(EdgeIndex& index, const SortedEdge& edge);

// Index of every edge of a chain (a tile's outline).
EdgeIndex buildEdgeIndex(EdgeChain& chain, std::int32_t directionCount);

// Crossing-number test: true when (x, y) lies inside the polygons whose edges the index
// holds. Half-open: points on left edges and lower vertices count as inside, points on
// right edges and at the top as outside; horizontal edges never count.
bool pointInIndex(const EdgeIndex& index, double x, double y, const AngleTable& angles);

} // namespace pavelora
