#pragma once

#include "core/board/board.h"
#include "core/geometry/rgb.h"
#include "core/progress.h"

#include <QIODevice>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pavelora {

// The document file (".pvd") is a fixed sequence of fixed-size little-endian records:
// header, BOARD chunk, TILESET chunk with its kind and pair-colour records, GTILETBL chunk
// with every group, its tiles and each tile's outline edges, and the print settings.
// The DocumentImage is the same tree of records in memory; the writer builds the whole
// image before writing it, the reader reads the whole image before anything is built
// from it.
namespace docfile {
inline constexpr std::size_t HeaderSize = 14;
inline constexpr std::size_t BoardChunkSize = 48;
inline constexpr std::size_t TileSetChunkSize = 48;
inline constexpr std::size_t KindRecordSize = 16;
inline constexpr std::size_t PairColourRecordSize = 8;
inline constexpr std::size_t GroupTableChunkSize = 20;
inline constexpr std::size_t GroupRecordSize = 12;
inline constexpr std::size_t TileRecordSize = 40;
inline constexpr std::size_t EdgeRecordSize = 48;
inline constexpr std::size_t PrintSettingsSize = 280;
inline constexpr std::size_t TitleSize = 256; // Shift-JIS, zero-terminated

// The value of a link word that is not at the end of its list. Link words carry nothing
// in the file; a fixed value makes saving an unchanged document give identical bytes.
inline constexpr std::uint32_t LinkWord = 1;

// Joined-tile index of a free edge.
inline constexpr std::int32_t FreeEdge = -1;
} // namespace docfile

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
    std::vector<GroupRecord> groups;
    PrintSettingsBlock printSettings;

    friend bool operator==(const DocumentImage&, const DocumentImage&) = default;
};

// The number of bytes writeDocumentImage writes for the image.
std::size_t documentFileSize(const DocumentImage& image);

// The file form of the print settings (title converted to Shift-JIS, cut after whole
// characters to leave room for its terminating zero), and back.
PrintSettingsBlock toPrintSettingsBlock(const PrintSettings& settings);
PrintSettings fromPrintSettingsBlock(const PrintSettingsBlock& block);

// Builds the image of an open document; `groupMode` is the editor's operating mode.
// Reads the document and changes nothing. With a progress, steps it by 5 after each of
// four pieces: header, BOARD chunk, TILESET chunk with its records, GTILETBL chunk with
// every group. Null when the document has no tile set. Throws std::bad_alloc when memory
// runs out (nothing is left behind).
std::unique_ptr<DocumentImage> buildDocumentImage(const Document& doc, bool groupMode,
                                                  Progress* progress = nullptr);

// Writes the image's records in file order. With a progress, steps it by 5 after each of
// the header, the BOARD chunk, the TILESET chunk, the kind records, the pair-colour records
// and the GTILETBL chunk, and by 50 after the groups and the print settings. Every write
// is checked: false as soon as one does not take all its bytes.
bool writeDocumentImage(QIODevice& out, const DocumentImage& image, Progress* progress = nullptr);

// Reads an image from the device's current position. Null when the data is not a readable
// document: a tag that does not match (compared as zero-terminated texts; other bytes of
// the chunks are not looked at), a record cut short before the print settings, a count
// whose records cannot fit in the bytes that remain, or no byte of the print settings at
// all. Print settings cut short read with the missing bytes as zero. Nothing after the
// print settings is read. Counts below 1 read no records. Throws std::bad_alloc when
// memory runs out.
std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in);

// Why a read image cannot be opened.
enum class ImageFault {
    None,
    UnknownBoard,           // board code not in the board-size table
    UnknownTileSet,         // tile-set code not in the catalogue
    BadSwitch,              // pattern switch or group mode other than 0 and 1
    TileSizeOutOfRange,     // tile-size ratio outside 0.01..8 (1 %..800 %)
    ZoomOutOfRange,         // zoom outside 0.01..8 (1 %..800 %)
    OutlineInsetOutOfRange, // outline inset outside 0.01..0.99
    OutlineRatioOutOfRange, // outlineRatio2 outside 0..1
    TooManyKinds,           // more kind records than the set has kinds
    TooManyPairColours,     // more pair-colour records than the set has colours
    EmptyGroup,             // a group without tiles
    BadPosition,            // a tile position not finite or beyond MaxCoordinate
    BadEdge,                // edge coordinates not finite or out of their tile's reach
    EdgeCountMismatch,      // a tile of a kind of the set with another edge count
};

// Largest magnitude of a tile position, in board centimetres: far beyond the largest board
// (42 cm), small enough that pixel positions at any accepted zoom fit in 32 bits.
inline constexpr double MaxCoordinate = 1000.0;

// Checks the values of a read image before anything is built from it. Tiles whose kind the
// stored set does not have, and rotations out of range, are not faults here: rebuilding
// them fails with "EM007" as for any tile that cannot be built. Edge endpoints must lie
// within tileSizeRatio × extent of their tile's position in x and in y.
ImageFault checkDocumentImage(const DocumentImage& image);

} // namespace pavelora
