#include "core/geometry/tilebuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

using namespace pavelora;

namespace {

const double kPhi = (1 + std::sqrt(5.0)) / 2;
const double kDeg = M_PI / 180;

struct KindCase {
    std::int32_t kind;
    std::int32_t set;
    int edges;
};

// Every kind with a shape, the set it is built in, and its number of outline edges.
const std::vector<KindCase> kAllKinds = {
    {50011, 50010, 4},  {50012, 50010, 4},  {50021, 50020, 4},  {50022, 50020, 4},
    {50031, 50040, 5},  {50032, 50030, 5},  {50033, 50030, 5},  {50034, 50030, 5},
    {50035, 50030, 10}, {50036, 50030, 7},  {50037, 50030, 4},  {50041, 50040, 4},
    {50051, 50050, 10}, {50052, 50050, 10}, {50053, 50050, 10},
};

struct Fixture {
    std::unique_ptr<TileSet> set;
    AngleTable angles;
    explicit Fixture(std::int32_t code)
        : set(createTileSet(code)), angles(createAngleTable(*set)) {}
    std::unique_ptr<Tile> build(std::int32_t kindCode, std::int32_t rotation) const {
        return buildTile(set.get(), &angles, kindCode, rotation);
    }
};

double signedArea(const EdgeChain& chain) {
    double twice = 0;
    for (const TileEdge& e : chain.edges) {
        twice += e.x1 * e.y2 - e.x2 * e.y1;
    }
    return twice / 2;
}

// The edge's own course must agree with its length and direction index.
void expectEdgeGeometry(const TileEdge& e, const char* what) {
    const double dx = e.x2 - e.x1;
    const double dy = e.y2 - e.y1;
    EXPECT_NEAR(std::hypot(dx, dy), e.length, 1e-12) << what;
    const double angle = e.direction * 18 * kDeg;
    // Direction compared as a unit vector, so that 0° and 360° need no special case.
    EXPECT_NEAR(dx / e.length, std::cos(angle), 1e-12) << what << " direction " << e.direction;
    EXPECT_NEAR(dy / e.length, std::sin(angle), 1e-12) << what << " direction " << e.direction;
}

void expectClosedRing(const EdgeChain& chain, int count, const char* what) {
    ASSERT_EQ(chain.count(), count) << what;
    EXPECT_EQ(chain.closed, 1) << what;
    for (int i = 0; i < count; ++i) {
        const TileEdge& e = chain.edges[i];
        const TileEdge& next = chain.edges[(i + 1) % count];
        EXPECT_EQ(e.x2, next.x1) << what << " vertex " << i + 1;
        EXPECT_EQ(e.y2, next.y1) << what << " vertex " << i + 1;
    }
}

} // namespace

TEST(BuildTile, EveryKindAtEveryRotationIsAConsistentClosedShape) {
    for (const KindCase& c : kAllKinds) {
        Fixture f(c.set);
        const double sigma = 1 - f.set->outlineInset;
        for (int rotation = 0; rotation < 20; ++rotation) {
            SCOPED_TRACE(testing::Message() << "kind " << c.kind << " rotation " << rotation);
            auto tile = f.build(c.kind, rotation);
            ASSERT_NE(tile, nullptr);
            expectClosedRing(tile->outline, c.edges, "outline");
            EXPECT_GT(signedArea(tile->outline), 0.0) << "outline must run anticlockwise";
            for (const TileEdge& e : tile->outline.edges) {
                expectEdgeGeometry(e, "outline");
                EXPECT_EQ(e.owner, tile.get());
            }

            ASSERT_EQ(tile->decorationCount(), 1 + c.edges);
            const EdgeChain& face = tile->decorations[0];
            expectClosedRing(face, c.edges, "inner face");
            for (int i = 0; i < c.edges; ++i) {
                const TileEdge& outer = tile->outline.edges[i];
                const TileEdge& inner = face.edges[i];
                expectEdgeGeometry(inner, "inner face");
                EXPECT_EQ(inner.matchCode, 0);
                EXPECT_EQ(inner.direction, outer.direction);
                EXPECT_NEAR(inner.x1, sigma * outer.x1, 1e-15);
                EXPECT_NEAR(inner.y1, sigma * outer.y1, 1e-15);

                // Rim strip i: outline edge, inwards, inner edge backwards, outwards.
                const EdgeChain& strip = tile->decorations[1 + i];
                expectClosedRing(strip, 4, "rim strip");
                const TileEdge& first = strip.edges[0];
                EXPECT_EQ(first.x1, outer.x1);
                EXPECT_EQ(first.y1, outer.y1);
                EXPECT_EQ(first.x2, outer.x2);
                EXPECT_EQ(first.y2, outer.y2);
                EXPECT_EQ(strip.edges[2].x1, face.edges[i].x2);
                EXPECT_EQ(strip.edges[2].x2, face.edges[i].x1);
                for (const TileEdge& e : strip.edges) {
                    expectEdgeGeometry(e, "rim strip");
                    EXPECT_EQ(e.matchCode, 0);
                    EXPECT_EQ(e.owner, tile.get());
                }
                // The short edges run along the rays from the reference point.
                EXPECT_NEAR(strip.edges[1].x2 * outer.y2, strip.edges[1].y2 * outer.x2, 1e-15);
            }
        }
    }
}

TEST(BuildTile, VerticesAtRotationZeroMatchTheSixDecimalTable) {
    const double h = 0.618034, q = 0.951057, m = 0.690983, r = 0.381966, c = 0.309017;
    const double n = 0.809017, g = 0.587785, p = 0.850651, b = 0.262866, k = 0.688191;
    const double u = 1.376382, e = 0.425325, t = 1.309017, a = 0.162460, s = 1.113516;
    const double f = 0.525731, w = 1.538842, phi = 1.618034;
    using V = std::vector<std::pair<double, double>>;
    const V pentagon = {{0, p}, {-n, b}, {-0.5, -k}, {0.5, -k}, {n, b}};
    const V narrow = {{0, q}, {-c, 0}, {0, -q}, {c, 0}};
    const V pentagram = {{0, u},  {-c, e}, {-t, e},   {-0.5, -a}, {-n, -s},
                         {0, -f}, {n, -s}, {0.5, -a}, {t, e},     {c, e}};
    const V decagon = {{phi, 0},  {t, q},   {0.5, w},   {-0.5, w}, {-t, q},
                       {-phi, 0}, {-t, -q}, {-0.5, -w}, {0.5, -w}, {t, -q}};
    V waned = decagon;
    waned[5] = {-1, 0};
    const std::map<std::int32_t, V> expected = {
        {50011, {{0, h}, {-q, -m}, {0, -r}, {q, -m}}},
        {50012, {{0, 1}, {-q, -c}, {0, -h}, {q, -c}}},
        {50021, {{0, n}, {-g, 0}, {0, -n}, {g, 0}}},
        {50022, narrow},
        {50031, pentagon},
        {50032, pentagon},
        {50033, pentagon},
        {50034, pentagon},
        {50035, pentagram},
        {50037, narrow},
        {50041, narrow},
        {50036, {{0, u}, {-c, e}, {-t, e}, {-0.5, -a}, {-n, -s}, {0, -f}, {c, e}}},
        {50051, decagon},
        {50052, waned},
        {50053, pentagram},
    };
    for (const KindCase& kc : kAllKinds) {
        SCOPED_TRACE(kc.kind);
        auto tile = Fixture(kc.set).build(kc.kind, 0);
        ASSERT_NE(tile, nullptr);
        const V& v = expected.at(kc.kind);
        ASSERT_EQ(tile->outline.count(), static_cast<int>(v.size()));
        for (std::size_t i = 0; i < v.size(); ++i) {
            EXPECT_NEAR(tile->outline.edges[i].x1, v[i].first, 5.1e-7) << "V" << i;
            EXPECT_NEAR(tile->outline.edges[i].y1, v[i].second, 5.1e-7) << "V" << i;
        }
    }
}

TEST(BuildTile, AreasAgreeWithTheKnownShapes) {
    auto area = [](std::int32_t kindCode, std::int32_t set) {
        return signedArea(Fixture(set).build(kindCode, 0)->outline);
    };
    // Kite and dart areas are in the golden ratio.
    EXPECT_NEAR(area(50012, 50010) / area(50011, 50010), kPhi, 1e-14);
    // Rhombs with unit edges: sin 72° and sin 36°.
    EXPECT_NEAR(area(50021, 50020), std::sin(72 * kDeg), 1e-15);
    EXPECT_NEAR(area(50022, 50020), std::sin(36 * kDeg), 1e-15);
    // Regular pentagon and decagon with unit edges: (n/4) cot(180°/n).
    EXPECT_NEAR(area(50031, 50040), 5.0 / 4 / std::tan(36 * kDeg), 1e-14);
    EXPECT_NEAR(area(50051, 50050), 10.0 / 4 / std::tan(18 * kDeg), 1e-14);
    // A pentagram of unit edges is a pentagon of edge 1/φ with five spikes, triangles with
    // two unit sides and an apex angle of 36°.
    const double spikes = 5 * 0.5 * std::sin(36 * kDeg);
    const double core = 5.0 / 4 / std::tan(36 * kDeg) / (kPhi * kPhi);
    EXPECT_NEAR(area(50053, 50050), core + spikes, 1e-13);
    // The waned pentagram is the pentagram with part cut away; the waned decagon loses the
    // two triangles on the chord between its neighbours of vertex 5 (length 2 sin 72°),
    // reaching φ − t to the left of it and t − 1 to the right: sin 72° (φ − 1) in all.
    EXPECT_LT(area(50036, 50030), area(50035, 50030));
    const double cut = std::sin(72 * kDeg) * (kPhi - 1);
    EXPECT_NEAR(area(50051, 50050) - area(50052, 50050), cut, 1e-14);
}

TEST(BuildTile, RotatingByFiveStepsIsAQuarterTurn) {
    for (const KindCase& c : kAllKinds) {
        Fixture f(c.set);
        for (int rotation = 0; rotation < 20; ++rotation) {
            auto a = f.build(c.kind, rotation);
            auto b = f.build(c.kind, (rotation + 5) % 20);
            for (int i = 0; i < c.edges; ++i) {
                const TileEdge& ea = a->outline.edges[i];
                const TileEdge& eb = b->outline.edges[i];
                // Rotated values carry the angle table's rounding (cos 90° is 6e-17).
                EXPECT_NEAR(eb.x1, -ea.y1, 1e-15) << c.kind << " r" << rotation << " V" << i;
                EXPECT_NEAR(eb.y1, ea.x1, 1e-15) << c.kind << " r" << rotation << " V" << i;
                EXPECT_EQ(eb.direction, (ea.direction + 5) % 20);
                EXPECT_EQ(eb.matchCode, ea.matchCode);
            }
        }
    }
}

TEST(BuildTile, MatchCodesAndSharedShapes) {
    auto codes = [](std::int32_t kindCode, std::int32_t set) {
        std::vector<std::int32_t> out;
        const auto tile = Fixture(set).build(kindCode, 0);
        for (const TileEdge& e : tile->outline.edges) {
            out.push_back(e.matchCode);
        }
        return out;
    };
    using C = std::vector<std::int32_t>;
    EXPECT_EQ(codes(50011, 50010), (C{1, -1, 1, -1}));
    EXPECT_EQ(codes(50012, 50010), (C{-1, 1, -1, 1}));
    EXPECT_EQ(codes(50021, 50020), (C{1, 2, -2, -1}));
    EXPECT_EQ(codes(50022, 50020), (C{1, -1, 2, -2}));
    EXPECT_EQ(codes(50033, 50030), (C{-1, -2, 1, -2, -1}));
    EXPECT_EQ(codes(50034, 50030), (C{-4, 1, -3, 1, -4}));
    EXPECT_EQ(codes(50036, 50030), (C{4, 4, 4, 4, 2, 3, 2}));
    EXPECT_EQ(codes(50037, 50030), codes(50041, 50040));
    EXPECT_EQ(codes(50035, 50030), codes(50053, 50050));
    EXPECT_EQ(codes(50031, 50040), (C{0, 0, 0, 0, 0}));

    // The narrow rhomb of three sets is one shape, bit for bit.
    const auto reference = Fixture(50020).build(50022, 0);
    for (const auto& [k, set] : {std::pair{50037, 50030}, std::pair{50041, 50040}}) {
        const auto narrow = Fixture(set).build(k, 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(narrow->outline.edges[i].x1, reference->outline.edges[i].x1) << k;
            EXPECT_EQ(narrow->outline.edges[i].y1, reference->outline.edges[i].y1) << k;
        }
    }
}

TEST(BuildTile, RefusesWhatItCannotBuild) {
    Fixture p1(setcode::PenroseNo1);
    Fixture p2(setcode::PenroseNo2);
    EXPECT_EQ(p1.build(50013, 0), nullptr);       // no such kind
    EXPECT_EQ(p2.build(kind::Kaite, 0), nullptr); // kind of another set
    EXPECT_EQ(p1.build(kind::Dart, 20), nullptr);
    EXPECT_EQ(p1.build(kind::Dart, -1), nullptr);
    EXPECT_EQ(buildTile(nullptr, &p1.angles, kind::Dart, 0), nullptr);
    EXPECT_EQ(buildTile(p1.set.get(), nullptr, kind::Dart, 0), nullptr);
    EXPECT_EQ(outlineEdgeCount(50013), 0);
    EXPECT_EQ(outlineEdgeCount(50036), 7);
}
