#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace pavelora {

struct Tile;

// The tiles of a group filed by position in square cells, so that the tiles near a point
// are found by looking into a few cells instead of at every tile. A grid is built when it is
// first needed and then follows the group: tiles added and removed, the whole group moved.
// Any other change drops it (`reset`), and it is built again on the next question.
//
// Positions are filed relative to an origin that moves with the group, so a move costs
// nothing per tile. The rounding that this lets in is far below the margin added to every
// question: what the grid returns is a superset of the tiles in the box asked for, and
// callers apply their own exact test.
class TileGrid {
public:
    bool built() const { return built_; }
    double cellSize() const { return cell_; }
    void reset();
    void build(const std::vector<std::unique_ptr<Tile>>& tiles, double cellSize);
    // Both do nothing while the grid is not built.
    void insert(Tile* tile);
    void remove(const Tile* tile);
    void shift(double dx, double dy);
    // Appends the tiles whose positions may lie within the box, in no particular order.
    void collect(double minX, double minY, double maxX, double maxY, std::vector<Tile*>& out) const;

private:
    std::int64_t cellOf(double v, double origin) const;
    static std::uint64_t key(std::int64_t cx, std::int64_t cy);

    bool built_ = false;
    double cell_ = 1.0;
    double originX_ = 0.0;
    double originY_ = 0.0;
    // The cells that hold tiles lie within these bounds (they only ever widen).
    std::int64_t minCx_ = 0;
    std::int64_t maxCx_ = -1;
    std::int64_t minCy_ = 0;
    std::int64_t maxCy_ = -1;
    std::unordered_map<std::uint64_t, std::vector<Tile*>> cells_;
};

} // namespace pavelora
