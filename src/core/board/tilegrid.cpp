#include "core/board/tilegrid.h"

#include "core/geometry/tile.h"

#include <algorithm>
#include <cmath>

namespace pavelora {

namespace {

// Far beyond the rounding that moving a group lets into filed positions (a few units in the
// last place per move), far below a cell.
constexpr double MarginOfCell = 1e-6;

} // namespace

void TileGrid::reset() {
    built_ = false;
    cells_.clear();
    minCx_ = minCy_ = 0;
    maxCx_ = maxCy_ = -1;
}

void TileGrid::build(const std::vector<std::unique_ptr<Tile>>& tiles, double cellSize) {
    reset();
    built_ = true;
    cell_ = cellSize > 0 && std::isfinite(cellSize) ? cellSize : 1.0;
    originX_ = tiles.empty() ? 0.0 : tiles.front()->x;
    originY_ = tiles.empty() ? 0.0 : tiles.front()->y;
    try {
        cells_.reserve(tiles.size() / 2 + 1);
        for (const auto& tile : tiles) {
            insert(tile.get());
        }
    } catch (...) {
        reset(); // a half-filed grid would miss tiles
        throw;
    }
}

std::int64_t TileGrid::cellOf(double v, double origin) const {
    // Positions off any board are clamped: they still land in some cell.
    const double c = std::floor((v - origin) / cell_);
    return static_cast<std::int64_t>(std::clamp(c, -1e9, 1e9));
}

std::uint64_t TileGrid::key(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
           static_cast<std::uint32_t>(cy);
}

void TileGrid::insert(Tile* tile) {
    if (!built_ || tile == nullptr) {
        return;
    }
    const std::int64_t cx = cellOf(tile->x, originX_);
    const std::int64_t cy = cellOf(tile->y, originY_);
    if (maxCx_ < minCx_) {
        minCx_ = maxCx_ = cx;
        minCy_ = maxCy_ = cy;
    } else {
        minCx_ = std::min(minCx_, cx);
        maxCx_ = std::max(maxCx_, cx);
        minCy_ = std::min(minCy_, cy);
        maxCy_ = std::max(maxCy_, cy);
    }
    cells_[key(cx, cy)].push_back(tile);
}

void TileGrid::remove(const Tile* tile) {
    if (!built_ || tile == nullptr) {
        return;
    }
    const std::int64_t cx = cellOf(tile->x, originX_);
    const std::int64_t cy = cellOf(tile->y, originY_);
    // A position on a cell's border may have been filed next door.
    for (std::int64_t i = cx - 1; i <= cx + 1; ++i) {
        for (std::int64_t j = cy - 1; j <= cy + 1; ++j) {
            auto cell = cells_.find(key(i, j));
            if (cell == cells_.end()) {
                continue;
            }
            auto& list = cell->second;
            auto it = std::find(list.begin(), list.end(), tile);
            if (it != list.end()) {
                list.erase(it);
                if (list.empty()) {
                    cells_.erase(cell);
                }
                return;
            }
        }
    }
    reset(); // not where it should be: the grid no longer describes the group
}

void TileGrid::shift(double dx, double dy) {
    if (built_) {
        originX_ += dx;
        originY_ += dy;
    }
}

void TileGrid::collect(double minX, double minY, double maxX, double maxY,
                       std::vector<Tile*>& out) const {
    if (!built_ || cells_.empty()) {
        return;
    }
    const double margin = cell_ * MarginOfCell;
    const std::int64_t x0 = std::max(minCx_, cellOf(minX - margin, originX_));
    const std::int64_t x1 = std::min(maxCx_, cellOf(maxX + margin, originX_));
    const std::int64_t y0 = std::max(minCy_, cellOf(minY - margin, originY_));
    const std::int64_t y1 = std::min(maxCy_, cellOf(maxY + margin, originY_));
    if (x0 > x1 || y0 > y1) {
        return;
    }
    const double span = static_cast<double>(x1 - x0 + 1) * static_cast<double>(y1 - y0 + 1);
    if (span > static_cast<double>(cells_.size())) {
        for (const auto& [k, list] : cells_) {
            const auto cx = static_cast<std::int32_t>(static_cast<std::uint32_t>(k >> 32));
            const auto cy = static_cast<std::int32_t>(static_cast<std::uint32_t>(k));
            if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1) {
                out.insert(out.end(), list.begin(), list.end());
            }
        }
        return;
    }
    for (std::int64_t i = x0; i <= x1; ++i) {
        for (std::int64_t j = y0; j <= y1; ++j) {
            auto cell = cells_.find(key(i, j));
            if (cell != cells_.end()) {
                out.insert(out.end(), cell->second.begin(), cell->second.end());
            }
        }
    }
}

} // namespace pavelora
