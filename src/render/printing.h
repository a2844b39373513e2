#pragma once

#include "core/board/board.h"
#include "core/board/settings.h"

#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

namespace pavelora {

// What the page layout needs to know of a printing device, in device pixels.
struct PageGeometry {
    double dpiX = 0.0;
    double dpiY = 0.0;
    std::int32_t offsetX = 0; // the unprintable border at the left and at the top: where
    std::int32_t offsetY = 0; // the device's own coordinates start on the paper
    std::int32_t paperWidth = 0;
    std::int32_t paperHeight = 0;
};

// A paged device (PDF writer, printer) gives its paper and printable area through its page
// layout; any other device counts as paper without an unprintable border.
PageGeometry pageGeometry(const QPaintDevice& device);
// The same from a device's resolution and the paper and printable rectangles it reports.
PageGeometry pageGeometry(const QPaintDevice& device, const QRect& paper, const QRect& printable);

// Where the board goes on the page, in the device's coordinates.
struct PrintLayout {
    double ppcX = 0.0; // device pixels per centimetre
    double ppcY = 0.0;
    std::int32_t lineHeight = 0; // of the title line; 0 without a title
    std::int32_t marginX = 0;    // the paper margins in pixels
    std::int32_t marginY = 0;
    std::int32_t effectiveMarginX = 0; // the larger of margin and unprintable border
    std::int32_t effectiveMarginY = 0;
    std::int32_t availableWidth = 0;
    std::int32_t availableHeight = 0;
    double boardWidth = 0.0; // centimetres
    double boardHeight = 0.0;
    double scale = 0.0;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::int32_t cutLeft = 0;
    std::int32_t cutTop = 0;
    std::int32_t cutRight = 0;
    std::int32_t cutBottom = 0;

    // The device pixel of a board point in centimetres.
    QPoint map(double x, double y) const;
    // The cut rectangle, its right and bottom edges excluded.
    QRect cutRect() const;
};

// The page layout of the board `boardCode` with the print settings, for a title font whose
// height plus external leading is `fontLineHeight`. The board is scaled to fit the space
// left by the margins and the title line, keeping its proportions, centred across the page
// and placed at the top margin below the title. Empty when the board size is unknown or
// the margins leave no room.
std::optional<PrintLayout> computePrintLayout(const PageGeometry& page, std::int32_t fontLineHeight,
                                              const PrintSettings& settings,
                                              std::int32_t boardCode);

// One page of the given geometry on a painter that is active on its device: the title, then the
// board cut to the cut rectangle, in form 1 or 2 (printPageColour) or as thin black outlines (form
// 3, printPageOutlines). The screen's pattern switch plays no part.
void printPageColour(QPainter& painter, const Document& doc, const PageGeometry& page);
void printPageOutlines(QPainter& painter, const Document& doc, const PageGeometry& page);

// The page in the form the print settings ask for.
void printPage(QPainter& painter, const Document& doc, const PageGeometry& page);

// The document name of every print job.
QString printDocumentName();

} // namespace pavelora
