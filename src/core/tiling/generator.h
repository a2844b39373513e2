#pragma once

#include "core/board/board.h"
#include "core/progress.h"
#include "core/tiling/substitution.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pavelora {

// Whether patches can be generated for the set: the three Penrose sets.
bool generationSupported(std::int32_t setCode);

// A legal patch of the set about the origin (its seed's centre) in tile units. With
// tiles > 0: the connected patch of the `tiles` tiles nearest the centre (gathered outward from
// the tile nearest it). With tiles 0: every tile whose reference point lies in `reach` (unit
// frame about the centre). Empty for a set without generation, or past `mostTiles`.
Patch generatePatch(std::int32_t setCode, PatchSeed seed, int tiles, const Box& reach,
                    int mostTiles, const TileSet& set, const AngleTable& angles);

// The same for a set of its own making: the `tiles` tiles nearest the seed's centre.
Patch generatePatch(std::int32_t setCode, PatchSeed seed, int tiles);

// The tile size at which every reference point of the patch lies within `radius` (board
// centimetres) of its centre, with two tile units to spare.
double tileSizeToFit(const Patch& patch, double radius);

// Lays the patch on top of the board as one joined group at the document's tile size, tile i
// at (originX + x_i × ratio, originY + y_i × ratio) unless listed in `skip`: every corner the
// value of its exact lattice point, shared edges linked both ways, boundary, region and box
// built once. Null for an empty patch.
TileGroup* layPatch(Document& doc, const Patch& patch, double originX, double originY,
                    const std::vector<int>& skip = {});

// What generateOnBoard is asked for: the seed figure; tiles > 0 for that many tiles nearest
// (centreX, centreY) (board centimetres), tiles 0 for the whole board about its centre.
struct GenerateRequest {
    PatchSeed seed = PatchSeed::Sun;
    int tiles = 0;
    double centreX = 0.0;
    double centreY = 0.0;
};

// The generated group, on top of the board, and the tiles it added per palette kind.
struct Generated {
    TileGroup* group = nullptr;
    std::vector<std::int32_t> added;
};

// The most tiles one generation lays.
inline constexpr int kMostGeneratedTiles = 2'000'000;

// Fills the board (or the part asked for) with a patch of the document's set at its tile
// size: tiles whose reference point falls off the board are left out and, of what remains,
// the connected piece with the most tiles is laid as one group on top; the palette counts
// rise by the kinds' numbers. Refused (nullopt, board unchanged) for Durer and Kepler, a
// request past kMostGeneratedTiles, or when no tile fits on the board. A progress display,
// when given, counts the three stages (the patch, the board's edge, laying) to the end.
std::optional<Generated> generateOnBoard(Document& doc, const GenerateRequest& request,
                                         Progress* progress = nullptr);

} // namespace pavelora
