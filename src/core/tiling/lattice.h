#pragma once

#include "core/geometry/tileset.h"

#include <array>
#include <cstdint>

namespace pavelora {

// An exact point of a Penrose tiling: an integer combination of the unit vectors
// u_k = e^(i·36°·k) turned by a fixed offset (0° or 18°, the patch's edge parity), held in the
// basis u_0 … u_3 of the ring Z[ζ] with ζ = e^(i·36°), where ζ⁴ = ζ³ − ζ² + ζ − 1 and
// ζ⁵ = −1. Every corner of a tiling whose edges have lengths 1 and φ lies on it, and equal
// points have equal coefficients, so a shared corner turns into one double value.
struct LatticePoint {
    std::array<std::int32_t, 4> c{};

    friend bool operator==(const LatticePoint&, const LatticePoint&) = default;
    friend auto operator<=>(const LatticePoint&, const LatticePoint&) = default;

    LatticePoint operator+(const LatticePoint& o) const {
        return {{c[0] + o.c[0], c[1] + o.c[1], c[2] + o.c[2], c[3] + o.c[3]}};
    }
    LatticePoint operator-(const LatticePoint& o) const {
        return {{c[0] - o.c[0], c[1] - o.c[1], c[2] - o.c[2], c[3] - o.c[3]}};
    }

    // Turned by 36° anticlockwise (times ζ).
    LatticePoint turned() const { return {{-c[3], c[0] + c[3], c[1] - c[3], c[2] + c[3]}}; }

    // Times φ = 1 + ζ² − ζ³.
    LatticePoint timesPhi() const { return *this + turned().turned() - turned().turned().turned(); }
    // Times 1/φ = φ − 1.
    LatticePoint overPhi() const { return timesPhi() - *this; }

    // The unit vector u_k, k taken modulo 10.
    static LatticePoint unit(int k) {
        k = ((k % 10) + 10) % 10;
        LatticePoint p{{k < 5 ? 1 : -1, 0, 0, 0}};
        for (int i = 0; i < k % 5; ++i) {
            p = p.turned();
        }
        return p;
    }
};

// Maps lattice points to unit-frame doubles with the angle table of the tile set: u_k points
// in direction 2k + parity (steps of 18°). The same point always gives the same double.
struct LatticeFrame {
    int parity = 0;
    std::array<double, 4> cx{};
    std::array<double, 4> cy{};

    LatticeFrame() = default;
    LatticeFrame(const AngleTable& angles, int edgeParity) : parity(edgeParity) {
        for (int k = 0; k < 4; ++k) {
            cx[k] = angles.cosines[static_cast<std::size_t>(2 * k + parity)];
            cy[k] = angles.sines[static_cast<std::size_t>(2 * k + parity)];
        }
    }
    double x(const LatticePoint& p) const {
        return p.c[0] * cx[0] + p.c[1] * cx[1] + p.c[2] * cx[2] + p.c[3] * cx[3];
    }
    double y(const LatticePoint& p) const {
        return p.c[0] * cy[0] + p.c[1] * cy[1] + p.c[2] * cy[2] + p.c[3] * cy[3];
    }
};

} // namespace pavelora
