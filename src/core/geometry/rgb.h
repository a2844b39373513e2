#pragma once

#include <cstdint>

namespace pavelora {

// A colour as stored in documents and tile sets: one byte per channel.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

} // namespace pavelora
