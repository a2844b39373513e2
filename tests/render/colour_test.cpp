#include "render/colour.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pavelora;

namespace {

// The conversion rules, evaluated directly (no tables) to check the table-driven code.
Hls directRgbToHls(int r, int g, int b) {
    int v[3] = {r, g, b};
    int ch[3] = {0, 1, 2};
    auto exchange = [&](int i, int j) {
        if (v[i] < v[j]) {
            std::swap(v[i], v[j]);
            std::swap(ch[i], ch[j]);
        }
    };
    exchange(0, 1);
    exchange(0, 2);
    exchange(1, 2);
    const int diff = v[0] - v[2];
    const int sum = v[0] + v[2];
    Hls out;
    out.lightness = (100 * sum) / 510;
    if (diff == 0) {
        return out;
    }
    out.saturation = sum <= 255 ? (100 * diff) / sum : (100 * diff) / (510 - sum);
    const int t = (60 * (v[1] - v[2])) / diff;
    static const int base[3] = {0, 120, 240};
    // The hue moves towards the mid channel: forwards when it is the next channel round
    // the circle red → green → blue → red, backwards otherwise.
    const bool forwards = ch[1] == (ch[0] + 1) % 3;
    int hue = base[ch[0]] + (forwards ? t : -t);
    if (hue < 0) {
        hue += 360;
    }
    out.hue = hue;
    return out;
}

int directComponent(int mi, int Mi, int a) {
    if (a >= 360) {
        a -= 360;
    } else if (a < 0) {
        a += 360;
    }
    const int d = Mi - mi;
    if (a < 60) {
        return mi + (d * a) / 60;
    }
    if (a < 180) {
        return Mi;
    }
    if (a < 240) {
        return mi + (d * (240 - a)) / 60;
    }
    return mi;
}

Rgb directHlsToRgb(int h, int l, int s) {
    if (l == 100) {
        return {255, 255, 255};
    }
    if (s == 0) {
        const auto grey = static_cast<std::uint8_t>((255 * l) / 100);
        return {grey, grey, grey};
    }
    const double L = l * 0.01;
    const double S = s * 0.01;
    double M;
    if (L > 0.5) {
        M = (S + L) - S * L;
    } else {
        M = (S + 1.0) * L;
    }
    const double m = (L + L - M);
    const int Mi = static_cast<int>(M * 255);
    const int mi = static_cast<int>(m * 255);
    return {static_cast<std::uint8_t>(directComponent(mi, Mi, h + 120)),
            static_cast<std::uint8_t>(directComponent(mi, Mi, h)),
            static_cast<std::uint8_t>(directComponent(mi, Mi, h - 120))};
}

} // namespace

TEST(Colour, KnownConversions) {
    EXPECT_EQ(rgbToHls(255, 0, 0), (Hls{0, 50, 100}));
    EXPECT_EQ(rgbToHls(255, 255, 0), (Hls{60, 50, 100}));
    EXPECT_EQ(rgbToHls(0, 255, 255), (Hls{180, 50, 100}));
    EXPECT_EQ(rgbToHls(128, 128, 128), (Hls{0, 50, 0}));
    EXPECT_EQ(rgbToHls(255, 255, 255), (Hls{0, 100, 0}));
    EXPECT_EQ(rgbToHls(0, 0, 0), (Hls{0, 0, 0}));
    EXPECT_EQ(rgbToHls(0, 0, 255), (Hls{240, 50, 100}));
    EXPECT_EQ(rgbToHls(255, 0, 255), (Hls{300, 50, 100}));

    EXPECT_EQ(hlsToRgb(0, 50, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(hlsToRgb(120, 50, 100), (Rgb{0, 255, 0}));
    EXPECT_EQ(hlsToRgb(240, 50, 100), (Rgb{0, 0, 255}));
    for (int h : {0, 77, 359}) {
        for (int s : {0, 40, 100}) {
            EXPECT_EQ(hlsToRgb(h, 100, s), (Rgb{255, 255, 255}));
            EXPECT_EQ(hlsToRgb(h, 0, s), (Rgb{0, 0, 0}));
        }
        EXPECT_EQ(hlsToRgb(h, 50, 0), (Rgb{127, 127, 127}));
    }
    // (200, 0, 0) is lightness 39; back from HLS the levels are trunc(0.78 × 255) = 198.
    EXPECT_EQ(rgbToHls(200, 0, 0), (Hls{0, 39, 100}));
    EXPECT_EQ(hlsToRgb(0, 39, 100), (Rgb{198, 0, 0}));
    // With L = 0.6 and S = 1, (S + L) − S·L rounds to just above 1, so m = L + L − M is
    // just below 0.2 and its level 50 instead of 51.
    EXPECT_EQ(hlsToRgb(240, 60, 100), (Rgb{50, 50, 255}));
}

TEST(Colour, TablesAgreeWithTheRulesForEveryRgbTriple) {
    int mismatches = 0;
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                if (!(rgbToHls(r, g, b) == directRgbToHls(r, g, b)) && ++mismatches <= 5) {
                    ADD_FAILURE() << "rgbToHls(" << r << ", " << g << ", " << b << ")";
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Colour, TablesAgreeWithTheRulesForEveryHlsTriple) {
    int mismatches = 0;
    for (int h = 0; h < 360; ++h) {
        for (int l = 0; l <= 100; ++l) {
            for (int s = 0; s <= 100; ++s) {
                if (!(hlsToRgb(h, l, s) == directHlsToRgb(h, l, s)) && ++mismatches <= 5) {
                    ADD_FAILURE() << "hlsToRgb(" << h << ", " << l << ", " << s << ")";
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}
