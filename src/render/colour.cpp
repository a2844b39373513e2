#include "render/colour.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace pavelora {

namespace {

// rgbToHls: everything that depends only on (max, min), and the hue ratio term.
struct RgbToHlsTables {
    std::array<std::array<std::uint8_t, 256>, 256> lightness{}; // [max][min]
    std::array<std::array<std::uint8_t, 256>, 256> saturation{};
    std::array<std::array<std::uint8_t, 256>, 256> ratio{}; // [diff][mid - min] = 60*b/a

    RgbToHlsTables() {
        for (int max = 0; max < 256; ++max) {
            for (int min = 0; min <= max; ++min) {
                const int diff = max - min;
                const int sum = max + min;
                lightness[max][min] = static_cast<std::uint8_t>((100 * sum) / 510);
                int s = 0;
                if (diff != 0) {
                    s = sum <= 255 ? (100 * diff) / sum : (100 * diff) / (510 - sum);
                }
                saturation[max][min] = static_cast<std::uint8_t>(s);
            }
        }
        for (int a = 1; a < 256; ++a) {
            for (int b = 0; b <= a; ++b) {
                ratio[a][b] = static_cast<std::uint8_t>((60 * b) / a);
            }
        }
    }
};

// hlsToRgb: greys, the channel levels of every (lightness, saturation) pair, and the
// interpolation products of hlsComponent.
struct HlsToRgbTables {
    std::array<std::uint8_t, 101> grey{};
    std::array<std::array<std::pair<std::uint8_t, std::uint8_t>, 101>, 101> levels{}; // [l][s]
    std::array<std::array<std::uint8_t, 61>, 256> product{};                          // [d][k]

    HlsToRgbTables() {
        for (int l = 0; l <= 100; ++l) {
            grey[l] = static_cast<std::uint8_t>((255 * l) / 100);
            for (int s = 0; s <= 100; ++s) {
                // The order of the double operations is part of the result: some pairs
                // land one below the exact value (lightness 60, saturation 100 gives 50).
                const double L = l * 0.01;
                const double S = s * 0.01;
                const double M = L > 0.5 ? (S + L) - S * L : (S + 1.0) * L;
                const double m = (L + L - M);
                levels[l][s] = {static_cast<std::uint8_t>(static_cast<int>(m * 255)),
                                static_cast<std::uint8_t>(static_cast<int>(M * 255))};
            }
        }
        for (int d = 0; d < 256; ++d) {
            for (int k = 0; k <= 60; ++k) {
                product[d][k] = static_cast<std::uint8_t>((d * k) / 60);
            }
        }
    }
};

const RgbToHlsTables& rgbTables() {
    static const RgbToHlsTables tables;
    return tables;
}

const HlsToRgbTables& hlsTables() {
    static const HlsToRgbTables tables;
    return tables;
}

int componentFromTables(const HlsToRgbTables& t, int mi, int Mi, int a) {
    if (a >= 360) {
        a -= 360;
    } else if (a < 0) {
        a += 360;
    }
    const int d = Mi - mi;
    if (a < 60) {
        return mi + t.product[d][a];
    }
    if (a < 180) {
        return Mi;
    }
    if (a < 240) {
        return mi + t.product[d][240 - a];
    }
    return mi;
}

} // namespace

Hls rgbToHls(int red, int green, int blue) {
    enum Channel { Red, Green, Blue };
    int value[3] = {std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)};
    Channel channel[3] = {Red, Green, Blue};
    // Descending exchange sort over the pairs (0,1), (0,2), (1,2); ties keep the order
    // red, green, blue.
    constexpr int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& p : pairs) {
        if (value[p[0]] < value[p[1]]) {
            std::swap(value[p[0]], value[p[1]]);
            std::swap(channel[p[0]], channel[p[1]]);
        }
    }
    const int max = value[0];
    const int mid = value[1];
    const int min = value[2];

    const RgbToHlsTables& t = rgbTables();
    Hls hls;
    hls.lightness = t.lightness[max][min];
    hls.saturation = t.saturation[max][min];
    const int diff = max - min;
    if (diff == 0) {
        return hls; // grey: hue 0
    }
    const int ratio = t.ratio[diff][mid - min];
    int hue = 0;
    switch (channel[0]) {
    case Red:
        hue = channel[1] == Green ? ratio : -ratio;
        break;
    case Green:
        hue = channel[1] == Blue ? 120 + ratio : 120 - ratio;
        break;
    case Blue:
        hue = channel[1] == Red ? 240 + ratio : 240 - ratio;
        break;
    }
    hls.hue = hue < 0 ? hue + 360 : hue;
    return hls;
}

Rgb hlsToRgb(int hue, int lightness, int saturation) {
    const int h = std::clamp(hue, 0, 359);
    const int l = std::clamp(lightness, 0, 100);
    const int s = std::clamp(saturation, 0, 100);
    const HlsToRgbTables& t = hlsTables();
    if (l == 100) {
        return {255, 255, 255};
    }
    if (s == 0) {
        const std::uint8_t g = t.grey[l];
        return {g, g, g};
    }
    const auto [mi, Mi] = t.levels[l][s];
    return {static_cast<std::uint8_t>(componentFromTables(t, mi, Mi, h + 120)),
            static_cast<std::uint8_t>(componentFromTables(t, mi, Mi, h)),
            static_cast<std::uint8_t>(componentFromTables(t, mi, Mi, h - 120))};
}

int hlsComponent(int mi, int Mi, int a) {
    mi = std::clamp(mi, 0, 255);
    Mi = std::clamp(Mi, mi, 255);
    a = std::clamp(a, -360, 719);
    return componentFromTables(hlsTables(), mi, Mi, a);
}

} // namespace pavelora
