#pragma once

#include "core/geometry/rgb.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavelora {

// Tile-set codes.
namespace setcode {
constexpr std::int32_t PenroseNo1 = 50010;
constexpr std::int32_t PenroseNo2 = 50020;
constexpr std::int32_t PenroseNo3 = 50030;
constexpr std::int32_t Durer = 50040;
constexpr std::int32_t Kepler = 50050;
} // namespace setcode

// Tile-kind codes. Kinds with the same shape keep separate codes because their
// match codes (or the set they belong to) differ.
namespace kind {
constexpr std::int32_t Dart = 50011;
constexpr std::int32_t Kaite = 50012;
constexpr std::int32_t WideDiamond = 50021;
constexpr std::int32_t NarrowDiamond2 = 50022; // "Narrow Diamond" of Penrose No.2
constexpr std::int32_t Pentagon = 50031;       // Durer and Kepler
constexpr std::int32_t Pentagon1 = 50032;
constexpr std::int32_t Pentagon2 = 50033;
constexpr std::int32_t Pentagon3 = 50034;
constexpr std::int32_t Pentagram3 = 50035; // "Pentagram" of Penrose No.3
constexpr std::int32_t WanedPentagram = 50036;
constexpr std::int32_t NarrowDiamond3 = 50037; // "Narrow Diamond" of Penrose No.3
constexpr std::int32_t NarrowDiamondDurer = 50041;
constexpr std::int32_t Decagon = 50051;
constexpr std::int32_t WanedDecagon = 50052;
constexpr std::int32_t PentagramKepler = 50053; // "Pentagram" of Kepler
} // namespace kind

struct TileSetEntry {
    std::int32_t code;
    const char* name;
};

// The five built-in tile sets, in the order the new-document dialog lists them.
extern const std::array<TileSetEntry, 5> TileSetCatalogue;

struct BoardSize {
    std::int32_t code;
    const char* name; // UTF-8; documents and printing convert it where they need Shift-JIS
    std::int32_t widthMm;
    std::int32_t heightMm;
};

// The ten paper-sized boards, portrait (縦) and landscape (横) alternating.
extern const std::array<BoardSize, 10> BoardSizeTable;

// The row of BoardSizeTable with the given code, or null.
const BoardSize* findBoardSize(std::int32_t boardCode);

// The tile set of an open document: its kinds in palette order with their names and
// fill colours, the pair-pattern colours, and the set's numeric settings. Colours and
// ratios may be changed by the document afterwards.
struct TileSet {
    std::int32_t code = 0;
    std::string name;
    std::int32_t hasPairPattern = 0;
    std::vector<std::int32_t> kindCodes;
    std::vector<std::string> kindNames;
    std::vector<Rgb> kindColours;
    std::vector<Rgb> pairColours; // empty when the set has no pair pattern
    std::int32_t directionCount = 0;
    std::int32_t directionStep = 0;
    double extent = 0.0;
    double outlineInset = 0.0;
    double outlineRatio2 = 0.0;

    int kindCount() const { return static_cast<int>(kindCodes.size()); }
    int pairColourCount() const { return static_cast<int>(pairColours.size()); }
    // Palette index of a kind code, or -1 when the set does not have it.
    int kindIndex(std::int32_t kindCode) const;
};

// Builds the tile set with the given code, or returns null for a code that is not one
// of the five. When patternOn is given it receives the new set's hasPairPattern, which
// is the pair-pattern switch every new document starts with.
std::unique_ptr<TileSet> createTileSet(std::int32_t setCode, std::int32_t* patternOn = nullptr);

// Sines and cosines of the directions a tile can point to.
struct AngleTable {
    int count = 0;
    std::vector<double> sines;
    std::vector<double> cosines;
};

// Entry k holds sin and cos of (directionStep * k) degrees, the whole number of
// degrees converted with 0.017453292519943295 radians per degree.
AngleTable createAngleTable(const TileSet& tileSet);

} // namespace pavelora
