#include "core/geometry/tilebuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

using namespace pavelora;

namespace {

const double kDeg = std::numbers::pi / 180;

// The kind built in its set (the plain pentagon in Durer's), or in `set` when given.
std::unique_ptr<Tile> build(std::int32_t kind, std::int32_t rotation, std::int32_t set = 0) {
    const auto tileSet = createTileSet(set != 0 ? set : kind == 50031 ? 50040 : kind / 10 * 10);
    const AngleTable angles = createAngleTable(*tileSet);
    return buildTile(tileSet.get(), &angles, kind, rotation);
}

std::array<double, 4> ends(const TileEdge& e) {
    return {e.x1, e.y1, e.x2, e.y2};
}

// The chain is closed, each edge starting exactly where the one before ends and running as
// far and in the direction its length and direction index say.
void expectClosedChain(const EdgeChain& chain, int count, const char* what) {
    ASSERT_EQ(chain.count(), count) << what;
    EXPECT_EQ(chain.closed, 1) << what;
    for (int i = 0; i < count; ++i) {
        const TileEdge& e = chain.edges[i];
        EXPECT_EQ(e.x2, chain.edges[(i + 1) % count].x1) << what << " vertex " << i + 1;
        EXPECT_EQ(e.y2, chain.edges[(i + 1) % count].y1) << what << " vertex " << i + 1;
        EXPECT_NEAR(e.x2 - e.x1, e.length * std::cos(e.direction * 18 * kDeg), 1e-12) << what;
        EXPECT_NEAR(e.y2 - e.y1, e.length * std::sin(e.direction * 18 * kDeg), 1e-12) << what;
    }
}

} // namespace

TEST(BuildTile, EveryKindAtEveryRotationIsTheTurnedShapeWithItsDecorations) {
    for (std::int32_t kind : {50011, 50012, 50021, 50022, 50031, 50032, 50033, 50034, 50035, 50036,
                              50037, 50041, 50051, 50052, 50053}) {
        const auto unturned = build(kind, 0);
        const int n = outlineEdgeCount(kind);
        for (int rotation = 0; rotation < 20; ++rotation) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " rotation " << rotation);
            const auto tile = build(kind, rotation);
            ASSERT_NE(tile, nullptr);
            expectClosedChain(tile->outline, n, "outline");
            ASSERT_EQ(tile->decorationCount(), 1 + n);
            expectClosedChain(tile->decorations[0], n, "inner face");
            double twiceArea = 0;
            for (int i = 0; i < n; ++i) {
                // Turned anticlockwise about the reference point, match codes going along.
                const TileEdge& e = tile->outline.edges[i];
                const TileEdge& u = unturned->outline.edges[i];
                twiceArea += e.x1 * e.y2 - e.x2 * e.y1;
                const double c = std::cos(rotation * 18 * kDeg);
                const double s = std::sin(rotation * 18 * kDeg);
                EXPECT_NEAR(e.x1, u.x1 * c - u.y1 * s, 1e-14) << "V" << i;
                EXPECT_NEAR(e.y1, u.x1 * s + u.y1 * c, 1e-14) << "V" << i;
                EXPECT_EQ(std::pair(e.matchCode, e.owner), std::pair(u.matchCode, tile.get()));
                // The inner face is the outline shrunk by 0.99 about the reference point; rim
                // strip i runs along outline edge i, inwards, back along the face, outwards.
                const TileEdge& inner = tile->decorations[0].edges[i];
                EXPECT_NEAR(inner.x1, 0.99 * e.x1, 1e-15);
                EXPECT_NEAR(inner.y1, 0.99 * e.y1, 1e-15);
                const EdgeChain& strip = tile->decorations[1 + i];
                expectClosedChain(strip, 4, "rim strip");
                EXPECT_EQ(ends(strip.edges[0]), ends(e));
                EXPECT_EQ(ends(strip.edges[2]),
                          (std::array{inner.x2, inner.y2, inner.x1, inner.y1}));
                for (const TileEdge& d : strip.edges) {
                    EXPECT_EQ(std::pair(d.matchCode, d.owner), std::pair(0, tile.get()));
                }
                EXPECT_EQ(std::pair(inner.matchCode, inner.owner), std::pair(0, tile.get()));
            }
            EXPECT_GT(twiceArea, 0.0) << "the outline must run anticlockwise";
        }
    }
}

// The published shapes: the first vertex, then each edge's length, direction and match code,
// which with the checks above fix every vertex.
TEST(BuildTile, EdgesAtRotationZeroAreThoseOfThePublishedShapesAndNoOthers) {
    const double h = 0.618034, n = 0.809017, q = 0.951057, p = 0.850651, u = 1.376382;
    const double w = 1.618034, P = std::numbers::phi;
    struct Shape {
        std::int32_t kind;
        double x0, y0;
        std::vector<int> directions, codes;
        std::vector<double> lengths = {}; // all 1 when empty
    };
    const std::vector<int> pentagon = {12, 16, 0, 4, 8};
    const std::vector<int> pentagram = {14, 10, 18, 14, 2, 18, 6, 2, 10, 6};
    const Shape shapes[] = {{50011, 0, h, {13, 1, 19, 7}, {1, -1, 1, -1}, {P, 1, 1, P}},
                            {50012, 0, 1, {13, 19, 1, 7}, {-1, 1, -1, 1}, {P, 1, 1, P}},
                            {50021, 0, n, {13, 17, 3, 7}, {1, 2, -2, -1}},
                            {50022, 0, q, {14, 16, 4, 6}, {1, -1, 2, -2}},
                            {50031, 0, p, pentagon, {0, 0, 0, 0, 0}},
                            {50032, 0, p, pentagon, {-1, -1, -1, -1, -1}},
                            {50033, 0, p, pentagon, {-1, -2, 1, -2, -1}},
                            {50034, 0, p, pentagon, {-4, 1, -3, 1, -4}},
                            {50035, 0, u, pentagram, std::vector(10, 4)},
                            {50053, 0, u, pentagram, std::vector(10, 4)},
                            {50036, 0, u, {14, 10, 18, 14, 2, 4, 6}, {4, 4, 4, 4, 2, 3, 2}},
                            {50037, 0, q, {14, 16, 4, 6}, {3, 2, 2, 3}},
                            {50041, 0, q, {14, 16, 4, 6}, {3, 2, 2, 3}},
                            {50051, w, 0, {6, 8, 10, 12, 14, 16, 18, 0, 2, 4}, std::vector(10, 0)},
                            {50052, w, 0, {6, 8, 10, 12, 16, 14, 18, 0, 2, 4}, std::vector(10, 0)}};
    EXPECT_EQ(build(50013, 0, 50010), nullptr);       // no such kind
    EXPECT_EQ(build(kind::Kaite, 0, 50020), nullptr); // kind of another set
    EXPECT_EQ(build(kind::Dart, 20), nullptr);
    EXPECT_EQ(build(kind::Dart, -1), nullptr);
    EXPECT_EQ(outlineEdgeCount(50013), 0);
    for (const Shape& shape : shapes) {
        const auto tile = build(shape.kind, 0);
        const auto& edges = tile->outline.edges;
        ASSERT_EQ(edges.size(), shape.directions.size()) << shape.kind;
        EXPECT_NEAR(edges[0].x1, shape.x0, 5.1e-7) << shape.kind;
        EXPECT_NEAR(edges[0].y1, shape.y0, 5.1e-7) << shape.kind;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            EXPECT_EQ(edges[i].direction, shape.directions[i]) << shape.kind << " edge " << i;
            EXPECT_EQ(edges[i].matchCode, shape.codes[i]) << shape.kind << " edge " << i;
            EXPECT_NEAR(edges[i].length, shape.lengths.empty() ? 1.0 : shape.lengths[i], 1e-15);
        }
    }
}
