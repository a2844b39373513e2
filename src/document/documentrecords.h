#pragma once

#include "core/geometry/rgb.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavelora {

// The records of the document file (".pvd"), as the DocumentImage holds them in memory: a
// header, the BOARD chunk, the TILESET chunk with its kind and pair-colour records, the
// GTILETBL chunk with every group, its tiles and each tile's outline edges, and the print
// settings. A record owns the lists of records that follow it in the file; the lengths of
// the lists are the counts the file holds. Where each field lies is recordlayout.h.
namespace docfile {
inline constexpr std::size_t TitleSize = 256; // Shift-JIS, zero-terminated

// The value of a link word that is not at the end of its list. Link words carry nothing
// in the file; a fixed value makes saving an unchanged document give identical bytes.
inline constexpr std::uint32_t LinkWord = 1;

// Joined-tile index of a free edge.
inline constexpr std::int32_t FreeEdge = -1;
} // namespace docfile

// The header holds nothing but its constant texts.
struct FileHeader {};

struct BoardChunk {
    std::int32_t boardCode = 0;
    double tileSizeRatio = 0.0;
    double zoom = 0.0;
    std::uint32_t reserved = 0;
    Rgb boardColour;
    std::uint32_t patternOn = 0;
    std::uint32_t groupMode = 0;

    friend bool operator==(const BoardChunk&, const BoardChunk&) = default;
};

struct KindRecord {
    std::int32_t kind = 0;
    Rgb colour;
    std::int32_t tileCount = 0;

    friend bool operator==(const KindRecord&, const KindRecord&) = default;
};

struct PairColourRecord {
    Rgb colour;

    friend bool operator==(const PairColourRecord&, const PairColourRecord&) = default;
};

struct TileSetChunk {
    std::int32_t code = 0;
    double outlineInset = 0.0;
    double outlineRatio2 = 0.0;
    std::vector<KindRecord> kinds;
    std::vector<PairColourRecord> pairColours;

    friend bool operator==(const TileSetChunk&, const TileSetChunk&) = default;
};

struct EdgeRecord {
    std::int32_t index = 0; // position in the outline chain
    double x1 = 0.0;        // the placed edge, board centimetres
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    std::int32_t joinedTile = docfile::FreeEdge; // index of the joined tile in the group

    friend bool operator==(const EdgeRecord&, const EdgeRecord&) = default;
};

struct TileRecord {
    std::int32_t kind = 0;
    std::int32_t index = 0; // position in the group
    std::int32_t rotation = 0;
    double x = 0.0;
    double y = 0.0;
    std::vector<EdgeRecord> edges;

    friend bool operator==(const TileRecord&, const TileRecord&) = default;
};

struct GroupRecord {
    std::vector<TileRecord> tiles;

    friend bool operator==(const GroupRecord&, const GroupRecord&) = default;
};

struct GroupTableChunk {
    std::vector<GroupRecord> groups;

    friend bool operator==(const GroupTableChunk&, const GroupTableChunk&) = default;
};

// The print settings as the file holds them: the title already in Shift-JIS.
struct PrintSettingsBlock {
    std::array<char, docfile::TitleSize> title{};
    std::int32_t paperMarginX = 0;
    std::int32_t paperMarginY = 0;
    std::int32_t cutMarginX = 0;
    std::int32_t cutMarginY = 0;
    std::int32_t printForm = 0;
    std::int32_t reserved = 0;

    friend bool operator==(const PrintSettingsBlock&, const PrintSettingsBlock&) = default;
};

struct DocumentImage {
    BoardChunk board;
    TileSetChunk tileSet;
    GroupTableChunk groupTable;
    PrintSettingsBlock printSettings;

    friend bool operator==(const DocumentImage&, const DocumentImage&) = default;
};

} // namespace pavelora
