#include "geometry/edge.h"

#include <gtest/gtest.h>

using namespace pavelora;

namespace {

AngleTable table() {
    return createAngleTable(*createTileSet(setcode::PenroseNo1));
}

TileEdge edge(double x1, double y1, double x2, double y2) {
    TileEdge e;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.length = 1.0;
    return e;
}

} // namespace

TEST(MakeEdge, TurnsAnticlockwiseAndWrapsTheDirection) {
    const AngleTable angles = table();
    auto e = makeEdge(1.0, 0.0, 2.0, 0.0, 1.0, 13, 10, -1, angles);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->direction, 3); // 13 + 10 wraps past 20
    EXPECT_EQ(e->x1, -1.0);     // half a turn: cos = -1 exactly, sin ~ 1.2e-16
    EXPECT_NEAR(e->y1, 0.0, 1e-15);
    EXPECT_EQ(e->x2, -2.0);
    EXPECT_EQ(e->length, 1.0);
    EXPECT_EQ(e->matchCode, -1);
    EXPECT_EQ(e->owner, nullptr);
    EXPECT_EQ(e->neighbour, nullptr);

    auto quarter = makeEdge(1.0, 0.0, 0.0, 0.0, 1.0, 10, 5, 0, angles);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->direction, 15);
    EXPECT_NEAR(quarter->x1, 0.0, 1e-16);
    EXPECT_EQ(quarter->y1, 1.0);

    EXPECT_EQ(makeEdge(0, 0, 1, 0, 1, 19, 19, 0, angles)->direction, 18);
    EXPECT_FALSE(makeEdge(0, 0, 1, 0, 1, 20, 0, 0, angles));
    EXPECT_FALSE(makeEdge(0, 0, 1, 0, 1, -1, 0, 0, angles));
    EXPECT_FALSE(makeEdge(0, 0, 1, 0, 1, 0, 20, 0, angles));
    EXPECT_FALSE(makeEdge(0, 0, 1, 0, 1, 0, -1, 0, angles));
}

TEST(AppendEdge, GrowsAtEitherEndAndClosesOnce) {
    EdgeChain chain;
    const TileEdge a = edge(0, 0, 1, 0);
    const TileEdge b = edge(1, 0, 1, 1);
    const TileEdge before = edge(0, 1, 0, 0); // ends where a starts
    const TileEdge closing = edge(1, 1, 0, 1);

    EXPECT_EQ(appendEdge(nullptr, &a), nullptr);
    EXPECT_EQ(appendEdge(&chain, nullptr), nullptr);

    ASSERT_EQ(appendEdge(&chain, &a), &chain);
    EXPECT_EQ(chain.count(), 1);
    ASSERT_EQ(appendEdge(&chain, &b), &chain);
    EXPECT_EQ(chain.closed, 0);

    // Meets neither end: refused, chain unchanged.
    const TileEdge stray = edge(5, 5, 6, 6);
    EXPECT_EQ(appendEdge(&chain, &stray), nullptr);
    EXPECT_EQ(chain.count(), 2);

    // A hair away from the last end is not the last end: comparisons are exact.
    const TileEdge nearly = edge(1.0, 1.0 + 1e-16 * 2, 0, 1);
    EXPECT_EQ(appendEdge(&chain, &nearly), nullptr);

    // Ends where the first starts: goes in front.
    ASSERT_EQ(appendEdge(&chain, &before), &chain);
    EXPECT_EQ(chain.count(), 3);
    EXPECT_EQ(chain.edges.front().x1, 0.0);
    EXPECT_EQ(chain.edges.front().y1, 1.0);
    EXPECT_EQ(chain.closed, 0);

    // Meets both ends: appended at the tail and the chain is closed.
    ASSERT_EQ(appendEdge(&chain, &closing), &chain);
    EXPECT_EQ(chain.count(), 4);
    EXPECT_EQ(chain.closed, 1);
    EXPECT_EQ(chain.edges.back().x1, 1.0);
    EXPECT_EQ(chain.edges.back().y1, 1.0);

    // A closed chain takes nothing more, not even an edge that would fit an end.
    const TileEdge more = edge(0, 1, 2, 2);
    EXPECT_EQ(appendEdge(&chain, &more), nullptr);
    EXPECT_EQ(chain.count(), 4);

    removeLastEdge(&chain);
    EXPECT_EQ(chain.count(), 3);
    EXPECT_EQ(chain.closed, 0);
    ASSERT_EQ(appendEdge(&chain, &closing), &chain);
    EXPECT_EQ(chain.closed, 1);
}
