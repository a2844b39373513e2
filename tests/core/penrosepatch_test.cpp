// The tests' patch generator checked against the rules of a Penrose tiling, worked out here
// from the shapes buildTile makes.
#include "core/geometry/tilebuilder.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pavelora;
using testsupport::PlacedTile;

namespace {

const double kPhi = (1 + std::sqrt(5.0)) / 2;

struct Pt {
    double x;
    double y;
};

double cross(Pt o, Pt a, Pt b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// A tile's outline edges moved to its reference point.
struct Laid {
    Pt at;
    std::vector<TileEdge> edges;
};

Pt from(const TileEdge& e) {
    return {e.x1, e.y1};
}
Pt to(const TileEdge& e) {
    return {e.x2, e.y2};
}
bool near(Pt a, Pt b) {
    return std::abs(a.x - b.x) <= 1e-9 && std::abs(a.y - b.y) <= 1e-9;
}

// Strictly inside: the crossing rule, with points on the outline counted as outside.
bool strictlyInside(const Laid& t, Pt p) {
    bool inside = false;
    for (const TileEdge& e : t.edges) {
        const double dx = e.x2 - e.x1;
        const double dy = e.y2 - e.y1;
        const double along =
            std::clamp(((p.x - e.x1) * dx + (p.y - e.y1) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        if (std::hypot(p.x - e.x1 - along * dx, p.y - e.y1 - along * dy) < 1e-9) {
            return false;
        }
        if ((e.y1 > p.y) != (e.y2 > p.y) && e.x1 + (p.y - e.y1) * dx / dy > p.x) {
            inside = !inside;
        }
    }
    return inside;
}

// Everything the checks below need, worked out from the laid tiles alone.
struct Survey {
    std::vector<Laid> tiles;
    std::vector<std::pair<int, int>> close; // pairs of tiles near enough to touch
    std::vector<std::vector<int>> neighbours;
    int edges = 0;
    int sharedEdges = 0;
    std::vector<std::string> faults; // broken matching rules, overlaps along a line
};

void compareEdges(Survey& s, std::vector<std::vector<char>>& shared, int i, int j) {
    for (std::size_t a = 0; a < s.tiles[i].edges.size(); ++a) {
        for (std::size_t b = 0; b < s.tiles[j].edges.size(); ++b) {
            const TileEdge& e = s.tiles[i].edges[a];
            const TileEdge& f = s.tiles[j].edges[b];
            const std::string where = "tiles " + std::to_string(i) + " edge " + std::to_string(a) +
                                      " and " + std::to_string(j) + " edge " + std::to_string(b) +
                                      ": ";
            if (near(from(e), to(f)) && near(to(e), from(f))) {
                ++s.sharedEdges;
                if (shared[i][a] || shared[j][b]) {
                    s.faults.push_back(where + "an edge shared twice");
                }
                shared[i][a] = shared[j][b] = 1;
                s.neighbours[i].push_back(j);
                s.neighbours[j].push_back(i);
                if (std::abs(e.length - f.length) > 1e-12 ||
                    (e.direction + 10) % 20 != f.direction || e.matchCode + f.matchCode != 0) {
                    s.faults.push_back(where + "lengths, directions or match codes differ");
                }
                continue;
            }
            // Any other contact along a line is an overlap or a corner on an edge.
            const double len = std::hypot(e.x2 - e.x1, e.y2 - e.y1);
            if (std::abs(cross(from(e), to(e), from(f))) > 1e-9 * len ||
                std::abs(cross(from(e), to(e), to(f))) > 1e-9 * len) {
                continue;
            }
            auto along = [&](Pt p) {
                return ((p.x - e.x1) * (e.x2 - e.x1) + (p.y - e.y1) * (e.y2 - e.y1)) / len;
            };
            const double lo = std::max(0.0, std::min(along(from(f)), along(to(f))));
            const double hi = std::min(len, std::max(along(from(f)), along(to(f))));
            if (hi - lo > 1e-9) {
                s.faults.push_back(where + "overlap along a line without a shared edge");
            }
        }
    }
}

Survey survey(const std::vector<PlacedTile>& patch, std::int32_t setCode) {
    const std::unique_ptr<TileSet> set = createTileSet(setCode);
    const AngleTable angles = createAngleTable(*set);
    Survey s;
    for (const PlacedTile& t : patch) {
        std::unique_ptr<Tile> tile = buildTile(set.get(), &angles, t.kind, t.rotation);
        if (!tile) {
            ADD_FAILURE() << "kind " << t.kind << " rotation " << t.rotation << " cannot be built";
            return s;
        }
        Laid& laid = s.tiles.emplace_back(Laid{{t.x, t.y}, tile->outline.edges});
        for (TileEdge& e : laid.edges) {
            e.x1 += t.x;
            e.x2 += t.x;
            e.y1 += t.y;
            e.y2 += t.y;
        }
        s.edges += static_cast<int>(laid.edges.size());
    }
    const int n = static_cast<int>(s.tiles.size());
    s.neighbours.resize(n);
    std::vector<std::vector<char>> shared;
    for (const Laid& t : s.tiles) {
        shared.emplace_back(t.edges.size(), 0);
    }
    // No corner of these tiles is more than 1.2 from its reference point.
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (std::hypot(s.tiles[i].at.x - s.tiles[j].at.x, s.tiles[i].at.y - s.tiles[j].at.y) <
                2.5) {
                s.close.emplace_back(i, j);
                compareEdges(s, shared, i, j);
            }
        }
    }
    for (auto& list : s.neighbours) {
        std::sort(list.begin(), list.end());
    }
    return s;
}

struct SetCase {
    std::int32_t set;
    std::int32_t major; // kite, wide diamond: the kind that outnumbers the other φ to 1
    std::int32_t minor;
    const char* name;
};

// Printed as the set's name, which CTest then shows in place of the case number.
void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.name;
}

class PenrosePatch : public testing::TestWithParam<SetCase> {
protected:
    std::vector<PlacedTile> make(int size) const {
        return GetParam().set == setcode::PenroseNo1 ? testsupport::kiteDartPatch(size)
                                                     : testsupport::rhombPatch(size);
    }
    // Patches are surveyed once per set and size; the survey takes longer than making them.
    const Survey& surveyOf(int size) const {
        static std::map<std::pair<std::int32_t, int>, Survey> cache;
        const auto key = std::make_pair(GetParam().set, size);
        if (cache.count(key) == 0) {
            cache.emplace(key, survey(make(size), GetParam().set));
        }
        return cache.at(key);
    }
};

const int kSizes[] = {100, 1000, 2000};

TEST_P(PenrosePatch, IsALegalTilingOfBothKindsWithTheNeighboursItReports) {
    const std::unique_ptr<TileSet> set = createTileSet(GetParam().set);
    const AngleTable angles = createAngleTable(*set);
    for (int size : {1, 2}) { // the survey also fails on tiles buildTile cannot build
        EXPECT_GE(static_cast<int>(survey(make(size), GetParam().set).tiles.size()), size);
    }
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const Survey& s = surveyOf(size);
        ASSERT_GE(static_cast<int>(s.tiles.size()), size);
        const std::vector<PlacedTile> patch = make(size);
        std::set<std::int32_t> kinds;
        for (const PlacedTile& t : patch) {
            kinds.insert(t.kind);
        }
        EXPECT_EQ(kinds.size(), 2u);

        // Shared edges meet opposite with equal lengths and codes summing to zero, and most
        // edges of a round patch lie inside it, each shared by two tiles.
        EXPECT_EQ(s.faults.size(), 0u) << (s.faults.empty() ? "" : "first: " + s.faults[0]);
        EXPECT_GT(2 * s.sharedEdges, s.edges * 3 / 4);
        EXPECT_EQ(testsupport::edgeNeighbours(patch, *set, angles), s.neighbours);

        // No overlaps: points spread over the two triangles either side of the diagonal from
        // corner 0 to corner 2 (inside every one of these shapes) lie in no other tile.
        const double weights[][3] = {
            {1.0 / 3, 1.0 / 3, 1.0 / 3}, {0.8, 0.1, 0.1}, {0.1, 0.8, 0.1}, {0.1, 0.1, 0.8}};
        int inside = 0;
        for (const auto& [i, j] : s.close) {
            for (const auto& [a, b] : {std::make_pair(i, j), std::make_pair(j, i)}) {
                const auto& e = s.tiles[a].edges;
                for (const TileEdge* c : {&e[1], &e[3]}) {
                    for (const auto& w : weights) {
                        const Pt p{w[0] * e[0].x1 + w[1] * c->x1 + w[2] * e[2].x1,
                                   w[0] * e[0].y1 + w[1] * c->y1 + w[2] * e[2].y1};
                        ASSERT_TRUE(strictlyInside(s.tiles[a], p));
                        ++inside;
                        EXPECT_FALSE(strictlyInside(s.tiles[b], p))
                            << "a point of tile " << a << " lies in tile " << b;
                    }
                }
            }
        }
        EXPECT_GT(inside, 0);
    }
}

TEST_P(PenrosePatch, KindsComeInTheGoldenRatio) {
    // Kites outnumber darts, and wide diamonds narrow ones, by φ to 1; a round patch strays
    // from that through its rim, about 1/√n of the tiles, so the allowance shrinks that way.
    for (const auto& [size, tolerance] :
         {std::make_pair(1000, 0.05), std::make_pair(2000, 0.05), std::make_pair(5000, 0.025)}) {
        SCOPED_TRACE(size);
        int major = 0;
        int minor = 0;
        for (const PlacedTile& t : make(size)) {
            major += t.kind == GetParam().major ? 1 : 0;
            minor += t.kind == GetParam().minor ? 1 : 0;
        }
        ASSERT_GT(minor, 0);
        EXPECT_NEAR(static_cast<double>(major) / minor / kPhi, 1.0, tolerance)
            << major << " to " << minor;
    }
}

// The order is a permutation of all tiles and each tile after the first shares an edge
// with one laid before it.
void expectConnectedOrder(const std::vector<int>& order,
                          const std::vector<std::vector<int>>& neighbours) {
    const int n = static_cast<int>(neighbours.size());
    ASSERT_EQ(static_cast<int>(order.size()), n);
    std::vector<char> laid(n, 0);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int tile = order[k];
        ASSERT_TRUE(tile >= 0 && tile < n && laid[tile] == 0) << "tile " << tile;
        const auto& list = neighbours[tile];
        EXPECT_TRUE(k == 0 || std::any_of(list.begin(), list.end(), [&](int j) { return laid[j]; }))
            << "tile " << tile << " at place " << k << " touches none before it";
        laid[tile] = 1;
    }
}

TEST_P(PenrosePatch, IsConnectedInBreadthFirstAndRandomOrders) {
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const std::vector<std::vector<int>>& neighbours = surveyOf(size).neighbours;
        const int n = static_cast<int>(neighbours.size());

        for (int start : {0, n / 2, n - 1}) {
            const std::vector<int> order = testsupport::breadthFirstOrder(neighbours, start);
            ASSERT_FALSE(order.empty());
            EXPECT_EQ(order.front(), start);
            expectConnectedOrder(order, neighbours);
            // Breadth first: the number of steps from the start never decreases.
            std::vector<int> steps(n, -1);
            std::vector<int> queue{start};
            steps[start] = 0;
            for (std::size_t q = 0; q < queue.size(); ++q) {
                for (int j : neighbours[queue[q]]) {
                    if (steps[j] < 0) {
                        steps[j] = steps[queue[q]] + 1;
                        queue.push_back(j);
                    }
                }
            }
            for (std::size_t k = 1; k < order.size(); ++k) {
                EXPECT_LE(steps[order[k - 1]], steps[order[k]]);
            }
        }

        std::set<std::vector<int>> distinct;
        for (unsigned seed : {1u, 2u, 3u, 12345u}) {
            const std::vector<int> order = testsupport::randomConnectedOrder(neighbours, seed);
            expectConnectedOrder(order, neighbours);
            EXPECT_EQ(order, testsupport::randomConnectedOrder(neighbours, seed));
            distinct.insert(order);
        }
        EXPECT_EQ(distinct.size(), 4u);
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, PenrosePatch,
                         testing::Values(SetCase{setcode::PenroseNo1, kind::Kaite, kind::Dart,
                                                 "KitesAndDarts"},
                                         SetCase{setcode::PenroseNo2, kind::WideDiamond,
                                                 kind::NarrowDiamond2, "Rhombs"}));

TEST(PenrosePatchOrders, CoverOnlyThePieceThatHoldsTheStart) {
    // Two pieces: 0-1-2 in a row and 3-4.
    const std::vector<std::vector<int>> neighbours = {{1}, {0, 2}, {1}, {4}, {3}};
    EXPECT_EQ(testsupport::breadthFirstOrder(neighbours, 1), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(testsupport::breadthFirstOrder(neighbours, 4), (std::vector<int>{4, 3}));
    EXPECT_THROW(testsupport::breadthFirstOrder(neighbours, 5), std::out_of_range);
    EXPECT_THROW(testsupport::breadthFirstOrder(neighbours, -1), std::out_of_range);
    for (unsigned seed = 0; seed < 20; ++seed) {
        const std::vector<int> order = testsupport::randomConnectedOrder(neighbours, seed);
        const std::set<int> piece(order.begin(), order.end());
        EXPECT_TRUE(piece == std::set<int>({0, 1, 2}) || piece == std::set<int>({3, 4}));
        EXPECT_EQ(piece.size(), order.size());
        if (order.size() == 3) {
            EXPECT_TRUE(order[1] == 1 || order[0] == 1) << "2 cannot follow 0 directly";
        }
    }
    EXPECT_TRUE(testsupport::randomConnectedOrder({}, 7).empty());
}

} // namespace
