#pragma once

#include "core/geometry/rgb.h"

namespace pavelora {

// Hue in whole degrees 0..359, lightness and saturation in whole percent 0..100.
struct Hls {
    int hue = 0;
    int lightness = 0;
    int saturation = 0;

    friend bool operator==(const Hls&, const Hls&) = default;
};

// Integer conversions between RGB and HLS. Both are table driven (tables built on first
// use) and give exactly the results of the integer rules they were defined by, rounding
// quirks of those rules included. Arguments outside their ranges are clamped into them.
Hls rgbToHls(int red, int green, int blue);
Rgb hlsToRgb(int hue, int lightness, int saturation);

// One channel of hlsToRgb: the value at hue offset `a` (brought into 0..359 by one turn)
// between the low and high channel levels mi and Mi.
int hlsComponent(int mi, int Mi, int a);

} // namespace pavelora
