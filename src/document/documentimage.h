#pragma once

#include "core/board/board.h"
#include "core/progress.h"
#include "document/documentrecords.h"

#include <QIODevice>

#include <cstddef>
#include <memory>

namespace pavelora {

// Building, writing, reading and checking the image of a document file (".pvd"): the tree
// of records in documentrecords.h. The writer builds the whole image before writing it, the
// reader reads the whole image before anything is built from it.

// The number of bytes writeDocumentImage writes for the image.
std::size_t documentFileSize(const DocumentImage& image);

// The file form of the print settings, and back. The title is converted to Shift-JIS, cut
// after whole characters to leave room for its terminating zero, unless the settings keep
// the bytes they were read with (see keepsTitleBytes): those are written as they are.
PrintSettingsBlock toPrintSettingsBlock(const PrintSettings& settings);
PrintSettings fromPrintSettingsBlock(const PrintSettingsBlock& block);
// Whether the settings' title is still the text of the title bytes they were read with.
bool keepsTitleBytes(const PrintSettings& settings);

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
// is checked: false once one does not take all its bytes, and nothing is written after it.
bool writeDocumentImage(QIODevice& out, const DocumentImage& image, Progress* progress = nullptr);

// Reads an image from the device's current position. Null when the data is not a readable
// document: a tag that does not match (compared as zero-terminated texts; other bytes of
// the chunks are not looked at), a record cut short before the print settings, a count
// whose records cannot fit in the bytes that remain, or no byte of the print settings at
// all. Print settings cut short read with the missing bytes as zero. Nothing after the
// print settings is read. Counts below 1 read no records. Throws std::bad_alloc when
// memory runs out.
//
// A device that does not know its size (a pipe) is read no further than the largest
// plausible document, maxDocumentBytes(): a document that would need more is not readable.
std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in);
// The same with another limit for devices that do not know their size.
std::unique_ptr<DocumentImage> readDocumentImage(QIODevice& in, std::size_t sequentialLimit);

// The most tiles a plausible document holds.
inline constexpr std::size_t MaxPlausibleTiles = 1'000'000;
// The file size of the largest plausible document: MaxPlausibleTiles tiles, each alone in
// its group and with as many edges as the largest outline of the catalogue's sets, and the
// kind and pair-colour records of the set that has the most of them.
std::size_t maxDocumentBytes();

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
