#pragma once

#include "core/geometry/edge.h"
#include "core/geometry/edgeindex.h"

#include <cstdint>
#include <vector>

namespace pavelora {

struct TileGroup;

// One tile: its outline (board centimetres once placed), its decoration chains (inner
// face and one rim strip per outline edge, in rotated tile units, scaled only when
// drawn), its position and direction, the index of its outline and its group.
//
// Edges point back at their tile, so a tile never moves in memory: it is always held
// through a pointer and cannot be copied.
struct Tile {
    std::int32_t kind = 0;
    EdgeChain outline;
    std::vector<EdgeChain> decorations; // [0] inner face, [1 + i] rim strip of outline edge i
    double x = 0.0;                     // reference point, board centimetres
    double y = 0.0;
    std::int32_t rotation = 0;
    std::int32_t selected = 0;
    EdgeIndex edgeIndex;         // all outline edges, for the point-in-tile test
    TileGroup* group = nullptr;  // the group that holds the tile
    std::int32_t listPlace = -1; // where the tile was last seen in its group's list; a hint

    Tile() = default;
    Tile(const Tile&) = delete;
    Tile& operator=(const Tile&) = delete;

    int decorationCount() const { return static_cast<int>(decorations.size()); }
};

} // namespace pavelora
