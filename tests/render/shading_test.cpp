#include "core/board/view.h"
#include "core/geometry/tilebuilder.h"
#include "render/colour.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace pavelora;
using pavelora::test::litFactor;

namespace {

TileEdge edge(double x1, double y1, double x2, double y2) {
    TileEdge e;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    return e;
}

// The rim strip of the outline edge from a to b with the inner face at sigma:
// a -> b -> sigma b -> sigma a -> a.
EdgeChain rimStrip(std::array<double, 2> a, std::array<double, 2> b, double sigma) {
    EdgeChain chain;
    chain.edges = {edge(a[0], a[1], b[0], b[1]), edge(b[0], b[1], sigma * b[0], sigma * b[1]),
                   edge(sigma * b[0], sigma * b[1], sigma * a[0], sigma * a[1]),
                   edge(sigma * a[0], sigma * a[1], a[0], a[1])};
    chain.closed = 1;
    return chain;
}

} // namespace

TEST(Shading, WorkedSquareExample) {
    // The anticlockwise square (1, 1), (-1, 1), (-1, -1), (1, -1), inner face at 0.99, rise
    // 0.01: top, left, bottom and right strips.
    const std::array<std::array<double, 2>, 4> v{{{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}};
    const double expected[4] = {2.0, 0.878680, 0.585786, 0.878680};
    const int lightness[4] = {100, 52, 35, 52};
    // (200, 106, 106): lightness 100 * (200 + 106) / 510 = 60.
    const Rgb colour{200, 106, 106};
    const Hls hls = rgbToHls(colour.red, colour.green, colour.blue);
    ASSERT_EQ(hls.lightness, 60);
    for (int i = 0; i < 4; ++i) {
        const EdgeChain strip = rimStrip(v[i], v[(i + 1) % 4], 0.99);
        const double shade = shadingFactor(strip, 0.01);
        EXPECT_NEAR(shade, expected[i], 5e-7) << "strip " << i;
        EXPECT_EQ(shadeColour(shade, colour), hlsToRgb(hls.hue, lightness[i], hls.saturation))
            << "strip " << i;
    }
    // Lightness 100 is white whatever the hue.
    EXPECT_EQ(shadeColour(2.0, colour), (Rgb{255, 255, 255}));
}

TEST(Shading, RimsOfEveryKindAreLitFromUpTheBoardAndStayInRange) {
    for (const TileSetEntry& entry : TileSetCatalogue) {
        const auto set = createTileSet(entry.code);
        const AngleTable angles = createAngleTable(*set);
        for (std::int32_t kind : set->kindCodes) {
            for (int rotation = 0; rotation < 20; ++rotation) {
                const auto tile = buildTile(set.get(), &angles, kind, rotation);
                ASSERT_NE(tile, nullptr);
                for (int i = 1; i < tile->decorationCount(); ++i) {
                    const EdgeChain& strip = tile->decorations[static_cast<std::size_t>(i)];
                    const double shade = shadingFactor(strip, set->outlineRatio2);
                    EXPECT_NEAR(shade, litFactor(strip, set->outlineRatio2), 1e-12)
                        << kind << " rotation " << rotation << " strip " << i;
                    EXPECT_GE(shade, 0.0);
                    EXPECT_LE(shade, 2.0);
                }
            }
        }
    }
}

TEST(Shading, DegenerateFacetsAndLightnessLimits) {
    EdgeChain single;
    single.edges = {edge(0, 0, 1, 0)};
    EXPECT_EQ(shadingFactor(single, 0.01), 1.0);
    // Two edges on one point span no facet.
    EdgeChain point;
    point.edges = {edge(0, 0, 0, 0), edge(0, 0, 0, 0)};
    EXPECT_EQ(shadingFactor(point, 0.0), 1.0);

    const Rgb red{200, 0, 0};
    EXPECT_EQ(shadeColour(0.0, red), (Rgb{0, 0, 0}));
    EXPECT_EQ(shadeColour(-3.0, red), (Rgb{0, 0, 0}));
    EXPECT_EQ(shadeColour(1e300, red), (Rgb{255, 255, 255}));
    EXPECT_EQ(shadeColour(1.0, red), hlsToRgb(0, 39, 100));
}

TEST(PixelPolygon, VerticesAreTruncatedTowardZero) {
    View view;
    view.pxPerMmX = pixelsPerMillimetre(96); // 37.795... pixels per centimetre
    view.pxPerMmY = pixelsPerMillimetre(96);
    const auto set = createTileSet(setcode::PenroseNo1);
    EdgeChain square = rimStrip({1, 1}, {-1, 1}, 0.5);
    const auto polygon = buildPixelPolygon(&square, 100, 200, 1.0, view, *set);
    ASSERT_TRUE(polygon.has_value());
    ASSERT_EQ(polygon->count(), 4);
    // Starts of the four edges: (1, 1), (-1, 1), (-0.5, 0.5), (0.5, 0.5).
    EXPECT_EQ(polygon->points[0], QPoint(137, 163));
    EXPECT_EQ(polygon->points[1], QPoint(63, 163)); // -37.79 truncates to -37, not -38
    EXPECT_EQ(polygon->points[2], QPoint(82, 182)); // -18.9 to -18
    EXPECT_EQ(polygon->points[3], QPoint(118, 182));
    EXPECT_DOUBLE_EQ(polygon->shade, shadingFactor(square, set->outlineRatio2));

    // Scale 2 doubles the centimetre: 75.59 pixels.
    const auto doubled = buildPixelPolygon(&square, 0, 0, 2.0, view, *set);
    EXPECT_EQ(doubled->points[0], QPoint(75, -75));

    EdgeChain empty;
    EXPECT_FALSE(buildPixelPolygon(&empty, 0, 0, 1.0, view, *set).has_value());
    EXPECT_FALSE(buildPixelPolygon(nullptr, 0, 0, 1.0, view, *set).has_value());

    // Device units are the caller's: 100 and 40 pixels per unit at scale 0.5.
    EdgeChain chain;
    chain.edges = {edge(0.5, -0.013, 2, 3), edge(2, 3, -1.25, 0.5), edge(-1.25, 0.5, 0.5, -0.013)};
    const auto device = buildDevicePolygon(&chain, 1000, 500, 0.5, 100.0, 40.0, *set);
    ASSERT_TRUE(device.has_value());
    EXPECT_EQ(device->points, QPolygon({QPoint(1025, 500), QPoint(1100, 440), QPoint(938, 490)}));
    EXPECT_FALSE(buildDevicePolygon(nullptr, 0, 0, 1.0, 1.0, 1.0, *set).has_value());
}

TEST(KindColour, LooksTheKindUpInTheCurrentSet) {
    const auto set = createTileSet(setcode::PenroseNo3);
    set->kindColours[4] = {1, 2, 3};
    ASSERT_NE(kindColour(*set, kind::WanedPentagram), nullptr);
    EXPECT_EQ(*kindColour(*set, kind::WanedPentagram), (Rgb{1, 2, 3}));
    EXPECT_EQ(*kindColour(*set, kind::Pentagon1), (Rgb{100, 50, 50}));
    EXPECT_EQ(kindColour(*set, kind::Dart), nullptr);
    EXPECT_EQ(kindColour(*set, 50013), nullptr);
}

TEST(CircleBox, BoxesAreMeasuredDownFromTheBoardTop) {
    const CircleBox box = circleBox(3.0, 4.0, 0.5, 20.0);
    EXPECT_EQ(box.left, 2.5);
    EXPECT_EQ(box.right, 3.5);
    EXPECT_EQ(box.top, 15.5);
    EXPECT_EQ(box.bottom, 16.5);

    // The screen flips with the board height that its whole pixels make.
    View view;
    view.pxPerMmX = pixelsPerMillimetre(96);
    view.pxPerMmY = pixelsPerMillimetre(96);
    openView(view, 800, 600, 60003); // "Ａ４縦": 297 mm are 1122.5 pixels, 1122 whole ones
    ASSERT_EQ(view.boardPixelHeight, 1122);
    const CircleBox screen = circleBox(view, 3.0, 4.0, 0.5);
    EXPECT_NEAR(screen.top, 1122 / 37.79527559055118 - 4.5, 1e-12);
    EXPECT_LT(screen.top + 4.5, 29.7);
}
