#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace pavelora {

// Output forms of printing and JPEG export.
namespace outputform {
constexpr std::int32_t WithPairPattern = 1;
constexpr std::int32_t WithoutPairPattern = 2;
constexpr std::int32_t Outlines = 3;
// Export only: every edge of the tiling once, for a cutter or plotter (SVG, PDF).
constexpr std::int32_t Cut = 4;
} // namespace outputform

// How the document is printed: a title line, paper and board-cut margins, and the form.
struct PrintSettings {
    QString title; // stored in files as Shift-JIS, at most 255 bytes
    // The title's bytes as the file held them. They are written back as they are while the
    // title is still the text they decode to, so that an opened title keeps its code-page
    // variants and even invalid bytes until the user edits it.
    QByteArray titleBytes;
    std::int32_t paperMarginX = 0; // millimetres, left and right
    std::int32_t paperMarginY = 0; // millimetres, top and bottom
    std::int32_t cutMarginX = 0;   // millimetres cut off the board, left and right
    std::int32_t cutMarginY = 0;   // millimetres cut off the board, top and bottom
    std::int32_t printForm = outputform::WithPairPattern;
    std::int32_t reserved = 0;
    friend bool operator==(const PrintSettings&, const PrintSettings&) = default;
};

// How the board is exported as a JPEG image. Not stored in documents.
struct JpegSettings {
    std::int32_t quality = 100;
    std::int32_t density = 200; // dots per inch
    std::int32_t form = outputform::WithPairPattern;
};

} // namespace pavelora
