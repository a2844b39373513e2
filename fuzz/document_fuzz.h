#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The document fuzz target's work on one input, with what became of it. Aborts, naming the
// broken rule, when an opened document does not save and open again to the same bytes or
// has a link outside its own tile or group, or when opening reports anything but "EM007".
enum FuzzOutcome { FuzzUnreadable = 0, FuzzOpened = 1, FuzzErrorReported = 2 };

// With `saved`, an opened document's bytes as saved again are left there.
int paveloraFuzzOpen(const std::uint8_t* data, std::size_t size, std::string* saved = nullptr);

namespace pavelora {
struct Document;
}
// Aborts unless every tile of every group links to its group and every edge to its tile
// and, when joined, to a tile of the same group.
void paveloraFuzzCheckLinks(const pavelora::Document& doc);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
