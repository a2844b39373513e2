#pragma once

#include "core/board/board.h"
#include "core/board/settings.h"
#include "core/progress.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

namespace pavelora {

// Results of writeJpeg and exportJpeg.
namespace jpegresult {
constexpr int Written = 1;
constexpr int CompressionFailed = -1;
constexpr int FileNotOpened = -2;
constexpr int NoRowBuffer = -3;
} // namespace jpegresult

// Pixels per centimetre of the export image at `density` dots per inch.
double jpegPixelsPerCm(std::int32_t density);

// The export image's size: the board's paper size at the density, whatever the zoom.
// Empty for a board code that is not in BoardSizeTable.
QSize jpegImageSize(std::int32_t boardCode, std::int32_t density);

// The board at true size for forms 1 and 2 (Format_RGB32): board colour, every tile's face
// and rim strips and, in form 1 for a set with the pair pattern, the patterns. The
// screen's pattern switch plays no part. Null for an unknown board size.
QImage renderJpegImage(const Document& doc, const JpegSettings& settings);

// Form 3: white with every tile outline drawn 3 pixels wide in black.
QImage renderJpegOutlines(const Document& doc, const JpegSettings& settings);

// One scanline for the compressor: red, green, blue of each pixel of row y, read straight
// from the image's scan line. Row 0 starts the progress ("JPEGファイル書き込み中", total =
// image height); every row steps it by 1. `progress` may be null.
void readJpegRow(const QImage& image, unsigned char* row, int y, Progress* progress);

// The compressor reads the image's 32-bit rows as they lie where the library can (they
// give the same file); with plain rows on, every row goes through readJpegRow: the way
// tests set the files against. Off by default.
void usePlainJpegRows(bool on);

// Compresses the image into a baseline JFIF file with the density in dots per inch, one
// row at a time. Returns 1, or -1 when compression failed (the partly written file is
// left), -2 when the file could not be opened (nothing is written), -3 when the row buffer
// could not be had (the file is left empty).
int writeJpeg(const QImage& image, std::int32_t quality, std::int32_t density, const QString& path,
              Progress* progress);

// Renders the board in the settings' form and writes it: the whole export after the file
// name is known. Returns writeJpeg's result.
int exportJpeg(const Document& doc, const JpegSettings& settings, const QString& path,
               Progress* progress);

// The message box text for a failed export ("" for success), and the box's caption.
QString jpegResultMessage(int result);
QString jpegMessageCaption();

} // namespace pavelora
