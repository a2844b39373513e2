#pragma once

// What the benchmarks that open documents share: a structural fault stops the run, and the
// documents are seen on a 96 dpi screen of 1600 x 1000 pixels.
#include "document/documentio.h"

#include <cstdio>
#include <cstdlib>

namespace pavelora::bench {

class AbortOnError : public ErrorReporter {
public:
    void reportError(const char* code) override {
        std::fprintf(stderr, "error %s\n", code);
        std::abort();
    }
};

inline ScreenGeometry screen() {
    const double pxPerMm = pixelsPerMillimetre(96);
    return {pxPerMm, pxPerMm, 1600, 1000};
}

} // namespace pavelora::bench
