#pragma once

#include "core/geometry/tileset.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pavelora {

struct Tile;

// One directed straight edge of a tile outline or decoration.
struct TileEdge {
    double x1 = 0.0; // start, already rotated
    double y1 = 0.0;
    double x2 = 0.0; // end, already rotated
    double y2 = 0.0;
    double length = 0.0;        // in tile units; never scaled or rotated
    std::int32_t direction = 0; // direction index from start to end, rotation included
    std::int32_t matchCode = 0; // matching class; 0 on decoration edges
    Tile* owner = nullptr;      // the tile the edge belongs to
    Tile* neighbour = nullptr;  // the tile joined along this edge, null for a free edge
};

// A polygon as a chain of edges, each starting where the previous one ends. Once the
// last edge reaches the start of the first the chain is closed and takes no more.
// Edges are held by value: a tile's chains are complete when it is built, so their
// addresses stay put for as long as the tile lives.
struct EdgeChain {
    std::int32_t closed = 0;
    std::vector<TileEdge> edges; // chain order; edges.front() is the first edge

    int count() const { return static_cast<int>(edges.size()); }
};

// The edge from (x1, y1) to (x2, y2), given in unit coordinates at rotation 0, turned
// anticlockwise by `rotation` steps. Empty when either direction index is out of range.
std::optional<TileEdge> makeEdge(double x1, double y1, double x2, double y2, double length,
                                 std::int32_t baseDirection, std::int32_t rotation,
                                 std::int32_t matchCode, const AngleTable& angles);

// Adds an edge to the chain: at the tail when it starts where the last edge ends, at the
// head when it ends where the first edge starts, and at the tail closing the chain when
// both hold. Coordinates are compared exactly. Returns null (chain unchanged) when the
// chain or edge is null, the chain is closed, or the edge meets neither end.
EdgeChain* appendEdge(EdgeChain* chain, const TileEdge* edge);

// Drops the last edge and opens the chain again.
void removeLastEdge(EdgeChain* chain);

} // namespace pavelora
