#include "penrosepatch.h"

#include "core/geometry/tilebuilder.h"

#include <queue>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace pavelora::testsupport {

namespace {

struct Vec {
    double x;
    double y;
    Vec operator+(Vec b) const { return {x + b.x, y + b.y}; }
    Vec operator-(Vec b) const { return {x - b.x, y - b.y}; }
    friend Vec operator*(double s, Vec a) { return {s * a.x, s * a.y}; }
};

// Points within a tolerance of each other get the same id. Cells are far wider than the
// tolerance, so a point is looked for in its own cell and the eight around it.
class PointIndex {
public:
    explicit PointIndex(double tolerance) : tolerance_(tolerance) {}

    int find(Vec p) const {
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = cells_.find(key(cellOf(p.x) + dx, cellOf(p.y) + dy));
                for (std::size_t k = 0; it != cells_.end() && k < it->second.size(); ++k) {
                    const Vec& q = points_[it->second[k]];
                    if (std::abs(q.x - p.x) <= tolerance_ && std::abs(q.y - p.y) <= tolerance_) {
                        return it->second[k];
                    }
                }
            }
        }
        return -1;
    }

    int idOf(Vec p) {
        const int found = find(p);
        if (found >= 0) {
            return found;
        }
        const int id = static_cast<int>(points_.size());
        points_.push_back(p);
        cells_[key(cellOf(p.x), cellOf(p.y))].push_back(id);
        return id;
    }

private:
    static constexpr double kCell = 0.125;

    static std::int64_t cellOf(double v) {
        return static_cast<std::int64_t>(std::floor(v / kCell));
    }
    static std::uint64_t key(std::int64_t cx, std::int64_t cy) {
        return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
    }

    double tolerance_;
    std::vector<Vec> points_;
    std::unordered_map<std::uint64_t, std::vector<int>> cells_;
};

std::uint64_t pairKey(int a, int b) {
    if (a > b) {
        std::swap(a, b);
    }
    return (static_cast<std::uint64_t>(a) << 32) | static_cast<std::uint32_t>(b);
}

// For each outline, the sorted indices of the others that have an edge with the same two
// ends (each end matched within the tolerance).
std::vector<std::vector<int>> sharingAnEdge(const std::vector<std::vector<Vec>>& outlines,
                                            double tolerance) {
    PointIndex points(tolerance);
    std::unordered_map<std::uint64_t, std::vector<int>> byEdge;
    for (int i = 0; i < static_cast<int>(outlines.size()); ++i) {
        const std::vector<Vec>& o = outlines[i];
        for (std::size_t k = 0; k < o.size(); ++k) {
            const int from = points.idOf(o[k]);
            const int to = points.idOf(o[(k + 1) % o.size()]);
            byEdge[pairKey(from, to)].push_back(i);
        }
    }
    std::vector<std::vector<int>> neighbours(outlines.size());
    for (const auto& [edge, owners] : byEdge) {
        for (int i : owners) {
            for (int j : owners) {
                if (i != j) {
                    neighbours[i].push_back(j);
                }
            }
        }
    }
    for (auto& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return neighbours;
}

} // namespace

std::vector<std::vector<int>> edgeNeighbours(const std::vector<PatchTile>& patch,
                                             const TileSet& tileSet, const AngleTable& angles) {
    std::vector<std::vector<Vec>> outlines;
    outlines.reserve(patch.size());
    for (const PatchTile& tile : patch) {
        std::unique_ptr<Tile> built = buildTile(&tileSet, &angles, tile.kind, tile.rotation);
        if (!built) {
            throw std::invalid_argument("edgeNeighbours: kind " + std::to_string(tile.kind) +
                                        " cannot be built");
        }
        std::vector<Vec>& outline = outlines.emplace_back();
        for (const TileEdge& e : built->outline.edges) {
            outline.push_back({e.x1 + tile.x, e.y1 + tile.y});
        }
    }
    return sharingAnEdge(outlines, 1e-9);
}

std::vector<int> breadthFirstOrder(const std::vector<std::vector<int>>& neighbours, int start) {
    const int n = static_cast<int>(neighbours.size());
    if (start < 0 || start >= n) {
        throw std::out_of_range("breadthFirstOrder: no tile " + std::to_string(start));
    }
    std::vector<char> seen(n, 0);
    std::vector<int> order{start};
    seen[start] = 1;
    for (std::size_t next = 0; next < order.size(); ++next) {
        for (int j : neighbours[order[next]]) {
            if (seen[j] == 0) {
                seen[j] = 1;
                order.push_back(j);
            }
        }
    }
    return order;
}

std::vector<int> randomConnectedOrder(const std::vector<std::vector<int>>& neighbours,
                                      unsigned seed) {
    const auto n = static_cast<std::uint32_t>(neighbours.size());
    if (n == 0) {
        return {};
    }
    // mt19937 is the same everywhere, the distributions of <random> are not.
    std::mt19937 random(seed);
    std::vector<char> seen(n, 0);
    std::vector<int> frontier{static_cast<int>(random() % n)};
    seen[frontier.front()] = 1;
    std::vector<int> order;
    while (!frontier.empty()) {
        const std::size_t pick = random() % frontier.size();
        const int tile = frontier[pick];
        frontier[pick] = frontier.back();
        frontier.pop_back();
        order.push_back(tile);
        for (int j : neighbours[tile]) {
            if (seen[j] == 0) {
                seen[j] = 1;
                frontier.push_back(j);
            }
        }
    }
    return order;
}

} // namespace pavelora::testsupport
