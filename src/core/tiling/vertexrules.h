#pragma once

#include "core/board/board.h"
#include "core/tiling/vertexatlas.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pavelora {

// What the tiles at a vertex leave open: `Complete` when they make one of the set's vertex
// stars, `Open` when they are part of at least one star and room is left, `DeadEnd` when
// they are part of none, so that no arrangement of tiles can complete the vertex.
enum class VertexState { Open, Complete, DeadEnd };

// The state of the corners that meet at a vertex. The same corner twice (two tiles on top of
// each other) is a dead end.
VertexState vertexState(const VertexAtlas& atlas, const std::vector<PlacedCorner>& corners);

// The vertices of a set of tiles: points where corners meet. Two corners share a vertex when
// they lie within a hair (1e-9 of the tile size) of each other in x and in y, as joining makes
// shared vertices one value; the vertex is where its first corner lies.
class VertexMap {
public:
    struct Corner {
        Tile* tile = nullptr;
        int corner = 0;
        int next = -1; // the vertex's next corner, -1 at the end
    };
    struct Vertex {
        double x = 0.0;
        double y = 0.0;
        int first = -1; // first corner
        int count = 0;
        int nextInCell = -1;
    };

    explicit VertexMap(double tileSizeRatio);

    // Adds the tile's outline corners (outline edge i starts at corner i).
    void addTile(Tile& tile);
    // The vertex at a point, or -1.
    int find(double x, double y) const;

    const std::vector<Vertex>& vertices() const { return vertices_; }
    const std::vector<Corner>& corners() const { return corners_; }
    std::vector<PlacedCorner> placedCorners(int vertex) const;
    double hair() const { return hair_; }

private:
    std::int64_t cellOf(double v) const;
    static std::uint64_t key(std::int64_t cx, std::int64_t cy);
    int findOrAdd(double x, double y);

    double hair_;
    double cell_;
    std::vector<Vertex> vertices_;
    std::vector<Corner> corners_;
    std::vector<int> lastCorner_;                  // by vertex
    std::unordered_map<std::uint64_t, int> cells_; // first vertex of the cell
};

// A vertex that cannot be completed, in board centimetres.
struct DeadEnd {
    double x = 0.0;
    double y = 0.0;
};

// Every dead-end vertex of every group's tiles, groups in display order: corners that no
// star holds, or a corner that lies on the inside of another tile's edge (tiles of a tiling
// meet edge to edge). Tiles of different groups are never looked at together.
std::vector<DeadEnd> deadEnds(const Document& doc, const VertexAtlas& atlas);

// The dead ends of the vertices that lie in the box (board centimetres, edges included):
// only the tiles near the box are looked at.
std::vector<DeadEnd> deadEndsIn(const Document& doc, const VertexAtlas& atlas, double minX,
                                double minY, double maxX, double maxY);

// After an edit within the box: drops the marks that lie in the box and adds the dead ends
// found there now.
void refreshDeadEnds(std::vector<DeadEnd>& marks, const Document& doc, const VertexAtlas& atlas,
                     double minX, double minY, double maxX, double maxY);

} // namespace pavelora
