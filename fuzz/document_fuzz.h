#pragma once

#include <cstddef>
#include <cstdint>

// The document fuzz target's work on one input, with what became of it. Aborts when an
// opened document does not save and open again to the same bytes, or when opening reports
// anything but "EM007".
enum FuzzOutcome { FuzzUnreadable = 0, FuzzOpened = 1, FuzzErrorReported = 2 };

int paveloraFuzzOpen(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
