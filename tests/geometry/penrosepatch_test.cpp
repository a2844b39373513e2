#include "geometry/tilebuilder.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
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

bool near(Pt a, Pt b, double tolerance = 1e-9) {
    return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

double cross(Pt o, Pt a, Pt b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// An outline edge of a tile laid at its reference point.
struct LaidEdge {
    Pt from;
    Pt to;
    double length;
    std::int32_t direction;
    std::int32_t code;
};

struct Laid {
    std::int32_t kind;
    Pt at;
    std::vector<LaidEdge> edges;
};

// Lays every tile with buildTile and moves it to its reference point.
std::vector<Laid> lay(const std::vector<PlacedTile>& patch, const TileSet& set,
                      const AngleTable& angles) {
    std::vector<Laid> laid;
    for (const PlacedTile& t : patch) {
        std::unique_ptr<Tile> tile = buildTile(&set, &angles, t.kind, t.rotation);
        if (!tile) {
            ADD_FAILURE() << "kind " << t.kind << " rotation " << t.rotation << " cannot be built";
            return {};
        }
        Laid l{t.kind, {t.x, t.y}, {}};
        for (const TileEdge& e : tile->outline.edges) {
            l.edges.push_back({{e.x1 + t.x, e.y1 + t.y},
                               {e.x2 + t.x, e.y2 + t.y},
                               e.length,
                               e.direction,
                               e.matchCode});
        }
        laid.push_back(std::move(l));
    }
    return laid;
}

// Strictly inside: the crossing rule, with the point kept away from the outline first.
bool strictlyInside(const Laid& t, Pt p) {
    bool inside = false;
    for (const LaidEdge& e : t.edges) {
        const double len = std::hypot(e.to.x - e.from.x, e.to.y - e.from.y);
        const double t0 =
            ((p.x - e.from.x) * (e.to.x - e.from.x) + (p.y - e.from.y) * (e.to.y - e.from.y)) /
            (len * len);
        const double along = std::clamp(t0, 0.0, 1.0);
        const Pt foot{e.from.x + along * (e.to.x - e.from.x),
                      e.from.y + along * (e.to.y - e.from.y)};
        if (std::hypot(p.x - foot.x, p.y - foot.y) < 1e-9) {
            return false;
        }
        if ((e.from.y > p.y) != (e.to.y > p.y)) {
            const double x =
                e.from.x + (p.y - e.from.y) * (e.to.x - e.from.x) / (e.to.y - e.from.y);
            if (x > p.x) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// Everything the checks below need, worked out from the laid tiles alone.
struct Survey {
    std::vector<Laid> tiles;
    std::vector<std::pair<int, int>> close; // pairs of tiles near enough to touch
    std::vector<std::vector<int>> neighbours;
    std::vector<std::vector<char>> edgeShared; // [tile][edge]
    int sharedEdges = 0;
    std::vector<std::string> faults; // broken matching rules, overlaps
};

void compareEdges(Survey& s, int i, int j) {
    for (std::size_t a = 0; a < s.tiles[i].edges.size(); ++a) {
        for (std::size_t b = 0; b < s.tiles[j].edges.size(); ++b) {
            const LaidEdge& e = s.tiles[i].edges[a];
            const LaidEdge& f = s.tiles[j].edges[b];
            const auto where = [&] {
                return "tiles " + std::to_string(i) + " edge " + std::to_string(a) + " and " +
                       std::to_string(j) + " edge " + std::to_string(b);
            };
            if (near(e.from, f.to) && near(e.to, f.from)) {
                ++s.sharedEdges;
                if (s.edgeShared[i][a] || s.edgeShared[j][b]) {
                    s.faults.push_back(where() + ": an edge shared twice");
                }
                s.edgeShared[i][a] = s.edgeShared[j][b] = 1;
                s.neighbours[i].push_back(j);
                s.neighbours[j].push_back(i);
                if (std::abs(e.length - f.length) > 1e-12) {
                    s.faults.push_back(where() + ": lengths differ");
                }
                if ((e.direction + 10) % 20 != f.direction) {
                    s.faults.push_back(where() + ": directions not opposite");
                }
                if (e.code + f.code != 0) {
                    s.faults.push_back(where() + ": match codes " + std::to_string(e.code) +
                                       " and " + std::to_string(f.code));
                }
                continue;
            }
            // Any other contact along a line is an overlap or a corner on an edge.
            const double len = std::hypot(e.to.x - e.from.x, e.to.y - e.from.y);
            if (std::abs(cross(e.from, e.to, f.from)) > 1e-9 * len ||
                std::abs(cross(e.from, e.to, f.to)) > 1e-9 * len) {
                continue;
            }
            auto along = [&](Pt p) {
                return ((p.x - e.from.x) * (e.to.x - e.from.x) +
                        (p.y - e.from.y) * (e.to.y - e.from.y)) /
                       len;
            };
            const double lo = std::max(0.0, std::min(along(f.from), along(f.to)));
            const double hi = std::min(len, std::max(along(f.from), along(f.to)));
            if (hi - lo > 1e-9) {
                s.faults.push_back(where() + ": overlap along a line without a shared edge");
            }
        }
    }
}

Survey survey(const std::vector<PlacedTile>& patch, std::int32_t setCode) {
    const std::unique_ptr<TileSet> set = createTileSet(setCode);
    const AngleTable angles = createAngleTable(*set);
    Survey s;
    s.tiles = lay(patch, *set, angles);
    const int n = static_cast<int>(s.tiles.size());
    s.neighbours.resize(n);
    for (const Laid& t : s.tiles) {
        s.edgeShared.emplace_back(t.edges.size(), 0);
    }
    // No corner of these tiles is more than 1.2 from its reference point.
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (std::hypot(s.tiles[i].at.x - s.tiles[j].at.x, s.tiles[i].at.y - s.tiles[j].at.y) <
                2.5) {
                s.close.emplace_back(i, j);
                compareEdges(s, i, j);
            }
        }
    }
    for (auto& list : s.neighbours) {
        std::sort(list.begin(), list.end());
    }
    return s;
}

// Patches are surveyed once per set and size; the survey takes longer than making them.
const Survey& surveyed(std::int32_t setCode, int size) {
    static std::map<std::pair<std::int32_t, int>, Survey> cache;
    const auto key = std::make_pair(setCode, size);
    auto it = cache.find(key);
    if (it == cache.end()) {
        const std::vector<PlacedTile> patch = setCode == setcode::PenroseNo1
                                                  ? testsupport::kiteDartPatch(size)
                                                  : testsupport::rhombPatch(size);
        it = cache.emplace(key, survey(patch, setCode)).first;
    }
    return it->second;
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
    const Survey& surveyOf(int size) const { return surveyed(GetParam().set, size); }
};

const int kSizes[] = {100, 1000, 2000};

TEST_P(PenrosePatch, HasTheTilesAskedForInKindsAndRotationsOfTheSet) {
    const std::unique_ptr<TileSet> set = createTileSet(GetParam().set);
    for (int size : {1, 2, 100, 1000, 2000}) {
        SCOPED_TRACE(size);
        const std::vector<PlacedTile> patch = make(size);
        EXPECT_GE(static_cast<int>(patch.size()), size);
        std::set<std::int32_t> kinds;
        for (const PlacedTile& t : patch) {
            EXPECT_GE(set->kindIndex(t.kind), 0) << t.kind;
            EXPECT_GE(t.rotation, 0);
            EXPECT_LT(t.rotation, 20);
            kinds.insert(t.kind);
        }
        if (size >= 100) {
            EXPECT_EQ(kinds.size(), 2u);
        }
    }
}

TEST_P(PenrosePatch, SharedEdgesMeetOppositeWithEqualLengthsAndCodesSummingToZero) {
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const Survey& s = surveyOf(size);
        EXPECT_EQ(s.faults.size(), 0u) << (s.faults.empty() ? "" : "first: " + s.faults[0]);
        // Most edges of a round patch lie inside it, each shared by two tiles.
        int edges = 0;
        for (const Laid& t : s.tiles) {
            edges += static_cast<int>(t.edges.size());
        }
        EXPECT_GT(2 * s.sharedEdges, edges * 3 / 4);
    }
}

TEST_P(PenrosePatch, TilesDoNotOverlap) {
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const Survey& s = surveyOf(size);
        // Points spread over the two triangles either side of the diagonal from corner 0 to
        // corner 2, which lies inside every one of these shapes.
        const double weights[][3] = {
            {1.0 / 3, 1.0 / 3, 1.0 / 3}, {0.8, 0.1, 0.1}, {0.1, 0.8, 0.1}, {0.1, 0.1, 0.8}};
        int inside = 0;
        for (const auto& [i, j] : s.close) {
            for (const auto& [a, b] : {std::make_pair(i, j), std::make_pair(j, i)}) {
                const auto& e = s.tiles[a].edges;
                const Pt v[4] = {e[0].from, e[1].from, e[2].from, e[3].from};
                for (const Pt& c : {v[1], v[3]}) {
                    for (const auto& w : weights) {
                        const Pt p{w[0] * v[0].x + w[1] * c.x + w[2] * v[2].x,
                                   w[0] * v[0].y + w[1] * c.y + w[2] * v[2].y};
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
    // In a Penrose tiling kites outnumber darts, and wide diamonds narrow ones, by φ to 1;
    // a round patch strays from that only through the tiles along its rim.
    // The rim holds a share of about 1/√n of the tiles, so the allowance shrinks that way.
    for (const auto& [size, tolerance] :
         {std::make_pair(1000, 0.05), std::make_pair(2000, 0.05), std::make_pair(5000, 0.025)}) {
        SCOPED_TRACE(size);
        int major = 0, minor = 0;
        for (const PlacedTile& t : make(size)) {
            major += t.kind == GetParam().major ? 1 : 0;
            minor += t.kind == GetParam().minor ? 1 : 0;
        }
        ASSERT_GT(minor, 0);
        EXPECT_NEAR(static_cast<double>(major) / minor / kPhi, 1.0, tolerance)
            << major << " to " << minor;
    }
}

TEST_P(PenrosePatch, EdgeNeighboursAreTheTilesSharingAnEdge) {
    const std::unique_ptr<TileSet> set = createTileSet(GetParam().set);
    const AngleTable angles = createAngleTable(*set);
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const Survey& s = surveyOf(size);
        const std::vector<PlacedTile> patch = make(size);
        EXPECT_EQ(testsupport::edgeNeighbours(patch, *set, angles), s.neighbours);
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
        ASSERT_GE(tile, 0);
        ASSERT_LT(tile, n);
        ASSERT_EQ(laid[tile], 0) << "tile " << tile << " twice";
        if (k > 0) {
            const auto& list = neighbours[tile];
            EXPECT_TRUE(std::any_of(list.begin(), list.end(), [&](int j) { return laid[j]; }))
                << "tile " << tile << " at place " << k << " touches none before it";
        }
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
        ASSERT_FALSE(order.empty());
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
