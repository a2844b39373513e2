#include "core/geometry/edge.h"

#include <gtest/gtest.h>

#include <utility>

using namespace pavelora;

TEST(MakeEdge, TurnsAnticlockwiseWrapsTheDirectionAndRefusesBadIndices) {
    const AngleTable angles = createAngleTable(*createTileSet(setcode::PenroseNo1));
    auto e = makeEdge(1.0, 0.0, 2.0, 0.0, 1.0, 13, 10, -1, angles);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->direction, 3); // 13 + 10 wraps past 20
    EXPECT_EQ(e->x1, -1.0);     // half a turn: cos = -1 exactly, sin ~ 1.2e-16
    EXPECT_NEAR(e->y1, 0.0, 1e-15);
    EXPECT_EQ(e->x2, -2.0);
    EXPECT_EQ(e->matchCode, -1);

    auto quarter = makeEdge(1.0, 0.0, 0.0, 0.0, 1.0, 10, 5, 0, angles);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->direction, 15);
    EXPECT_NEAR(quarter->x1, 0.0, 1e-16);
    EXPECT_EQ(quarter->y1, 1.0);

    EXPECT_EQ(makeEdge(0, 0, 1, 0, 1, 19, 19, 0, angles)->direction, 18);
    for (const auto& [direction, turn] :
         {std::pair{20, 0}, std::pair{-1, 0}, std::pair{0, 20}, std::pair{0, -1}}) {
        EXPECT_FALSE(makeEdge(0, 0, 1, 0, 1, direction, turn, 0, angles)) << direction << turn;
    }
}

TEST(AppendEdge, GrowsAtEitherEndAndClosesOnce) {
    EdgeChain chain;
    const TileEdge a{0, 0, 1, 0, 1};
    const TileEdge b{1, 0, 1, 1, 1};
    const TileEdge before{0, 1, 0, 0, 1}; // ends where a starts
    const TileEdge closing{1, 1, 0, 1, 1};

    EXPECT_EQ(appendEdge(nullptr, &a), nullptr);
    EXPECT_EQ(appendEdge(&chain, nullptr), nullptr);
    ASSERT_EQ(appendEdge(&chain, &a), &chain);
    ASSERT_EQ(appendEdge(&chain, &b), &chain);
    EXPECT_EQ(chain.closed, 0);

    // Meets neither end, or misses the last end by a hair (comparisons are exact): refused.
    const TileEdge stray{5, 5, 6, 6, 1};
    const TileEdge nearly{1.0, 1.0 + 2e-16, 0, 1, 1};
    EXPECT_EQ(appendEdge(&chain, &stray), nullptr);
    EXPECT_EQ(appendEdge(&chain, &nearly), nullptr);
    EXPECT_EQ(chain.count(), 2);

    // Ends where the first starts: goes in front.
    ASSERT_EQ(appendEdge(&chain, &before), &chain);
    EXPECT_EQ(chain.edges.front().y1, 1.0);
    EXPECT_EQ(chain.closed, 0);

    // Meets both ends: appended at the tail and the chain is closed.
    ASSERT_EQ(appendEdge(&chain, &closing), &chain);
    EXPECT_EQ(chain.count(), 4);
    EXPECT_EQ(chain.closed, 1);
    EXPECT_EQ(chain.edges.back().x1, 1.0);

    // A closed chain takes nothing more, not even an edge that would fit an end.
    const TileEdge more{0, 1, 2, 2, 1};
    EXPECT_EQ(appendEdge(&chain, &more), nullptr);
    EXPECT_EQ(chain.count(), 4);

    removeLastEdge(&chain);
    EXPECT_EQ(chain.count(), 3);
    EXPECT_EQ(chain.closed, 0);
    ASSERT_EQ(appendEdge(&chain, &closing), &chain);
    EXPECT_EQ(chain.closed, 1);
}
