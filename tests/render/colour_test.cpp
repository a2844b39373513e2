#include "core/board/view.h"
#include "render/colour.h"
#include "render/shading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace pavelora;

TEST(Colour, KnownConversionsAndTheWayBack) {
    EXPECT_EQ(rgbToHls(255, 0, 255), (Hls{300, 50, 100}));
    EXPECT_EQ(hlsToRgb(120, 50, 100), (Rgb{0, 255, 0}));
    // (200, 0, 0) is lightness 39; back from HLS the levels are trunc(0.78 × 255) = 198. With
    // L = 0.6 and S = 1, (S + L) − S·L rounds to just above 1, so m = L + L − M is just below
    // 0.2 and its level 50 instead of 51.
    EXPECT_EQ(rgbToHls(200, 0, 0), (Hls{0, 39, 100}));
    EXPECT_EQ(hlsToRgb(0, 39, 100), (Rgb{198, 0, 0}));
    EXPECT_EQ(hlsToRgb(240, 60, 100), (Rgb{50, 50, 255}));
    // Every colour comes back within the ten levels that whole degrees, percent and levels lose.
    int worst = 0;
    for (int c = 0; c < (1 << 24); ++c) {
        const int r = c >> 16, g = (c >> 8) & 255, b = c & 255;
        const Hls hls = rgbToHls(r, g, b);
        const Rgb back = hlsToRgb(hls.hue, hls.lightness, hls.saturation);
        worst = std::max(
            {worst, std::abs(back.red - r), std::abs(back.green - g), std::abs(back.blue - b)});
    }
    EXPECT_LE(worst, 10);
}

TEST(Shading, WorkedSquareExampleAndTruncatedPixels) {
    // The anticlockwise square (1, 1), (-1, 1), (-1, -1), (1, -1), inner face at 0.99, rise
    // 0.01: the top strip faces the light falling down the board, the bottom one turns away.
    const double v[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    const double expected[4] = {2.0, 0.878680, 0.585786, 0.878680};
    const int lightness[4] = {100, 52, 35, 52}; // (200, 106, 106) is HLS (0, 60, 46)
    auto strip = [](const double* a, const double* b, double s) {
        EdgeChain chain;
        chain.edges = {{a[0], a[1], b[0], b[1]},
                       {b[0], b[1], s * b[0], s * b[1]},
                       {s * b[0], s * b[1], s * a[0], s * a[1]},
                       {s * a[0], s * a[1], a[0], a[1]}};
        return chain;
    };
    for (int i = 0; i < 4; ++i) {
        const double shade = shadingFactor(strip(v[i], v[i + 1], 0.99), 0.01);
        EXPECT_NEAR(shade, expected[i], 5e-7) << "strip " << i;
        EXPECT_EQ(shadeColour(shade, Rgb{200, 106, 106}), hlsToRgb(0, lightness[i], 46)) << i;
    }
    // On the screen at 96 dpi (37.795 pixels per centimetre) and on a device alike, offsets are
    // truncated towards zero: -37.79 gives -37 and -18.9 gives -18, not -38 and -19.
    View view;
    view.pxPerMmX = view.pxPerMmY = pixelsPerMillimetre(96);
    const auto set = createTileSet(setcode::PenroseNo1);
    const EdgeChain square = strip(v[0], v[1], 0.5);
    EXPECT_EQ(buildPixelPolygon(&square, 100, 200, 1.0, view, *set)->points,
              QPolygon({QPoint(137, 163), QPoint(63, 163), QPoint(82, 182), QPoint(118, 182)}));
    EXPECT_EQ(buildDevicePolygon(&square, 1000, 500, 0.5, 75.7, 37.9, *set)->points,
              QPolygon({QPoint(1037, 482), QPoint(963, 482), QPoint(982, 491), QPoint(1018, 491)}));
}
