#pragma once

#include "core/board/board.h"
#include "core/board/settings.h"
#include "core/progress.h"

#include <QString>

#include <optional>

namespace pavelora {

// The files the board can be exported to.
enum class ExportFormat { Jpeg, Png, Svg, Pdf };

// The format a file name asks for by its extension in any letter case: jpg (or jpeg),
// png, svg, pdf. Empty for any other name.
std::optional<ExportFormat> exportFormatOf(const QString& path);

// Results of the exports besides JPEG (which keeps writeJpeg's): the file was written, it
// could not be opened (nothing is written), or writing it failed (what was written stays).
namespace exportresult {
constexpr int Written = 1;
constexpr int WriteFailed = -1;
constexpr int FileNotOpened = -2;
} // namespace exportresult

// Units of the vector files: a micrometre, so that every corner lies within 0.001 mm of its
// true place.
constexpr double VectorUnitsPerCm = 10000.0;

// The board at its true paper size in the settings' form (1, 2, 3, or the cut form, which
// draws every edge of the tiling once as a thin black line on nothing), as SVG or PDF with
// millimetre page sizes. Pens are as wide as in the JPEG image at the settings' density.
int exportSvg(const Document& doc, const JpegSettings& settings, const QString& path);
int exportPdf(const Document& doc, const JpegSettings& settings, const QString& path);

// The JPEG image of the settings' form as a PNG file with its density stored. The cut form
// gives the outlines of form 3.
int exportPng(const Document& doc, const JpegSettings& settings, const QString& path);

// The export in the format: exportJpeg, exportPng, exportSvg or exportPdf.
int exportBoard(const Document& doc, const JpegSettings& settings, const QString& path,
                ExportFormat format, Progress* progress);

// The message box text for a failed export of the format ("" for success); JPEG keeps its
// own texts. The caption is jpegMessageCaption() for every format.
QString exportResultMessage(ExportFormat format, int result);

} // namespace pavelora
