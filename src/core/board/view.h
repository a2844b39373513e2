#pragma once

#include "core/geometry/rgb.h"

#include <cstdint>

namespace pavelora {

// One scroll bar as the view sets it: the range 0..maximum (hidden when maximum < 0)
// and the thumb position, kept within the range.
struct ScrollBarState {
    std::int32_t maximum = -1;
    std::int32_t position = 0;

    void setRange(std::int32_t max);
    void setPosition(std::int32_t pos);
};

// The numbers that place the board in the main window: screen resolution, zoom, the
// board's size in pixels, the pixel/centimetre scales, the board origin in the client
// area and the scroll model.
struct View {
    double pxPerMmX = 0.0; // screen pixels per millimetre, measured once at start-up
    double pxPerMmY = 0.0;
    double zoom = 1.0;
    double tileSizeRatio = 1.0; // board centimetres per tile unit
    std::int32_t boardCode = 0;
    Rgb boardColour{255, 255, 255};

    std::int32_t boardPixelWidth = 0;
    std::int32_t boardPixelHeight = 0;
    double cmPerPixelX = 0.0;
    double cmPerPixelY = 0.0;
    std::int32_t pxPerCmX = 0; // one board centimetre at the current zoom: the scroll margin
    std::int32_t pxPerCmY = 0;

    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0; // without the status bar
    std::int32_t boardOriginX = 0; // client coordinates of the board's top-left corner
    std::int32_t boardOriginY = 0;

    std::int32_t minOriginX = 0;
    std::int32_t maxOriginX = 0;
    std::int32_t minOriginY = 0;
    std::int32_t maxOriginY = 0;
    ScrollBarState horizontal;
    ScrollBarState vertical;
    std::int32_t lineStepX = 0;
    std::int32_t lineStepY = 0;
    std::int32_t verticalScrollActive = 0;
    std::int32_t horizontalScrollActive = 0;
    std::int32_t viewOpen = 0;
};

// pxPerMm from the screen's logical dots per inch.
double pixelsPerMillimetre(double dotsPerInch);

// The view of a new document: zoom 1, tile size 1, white board.
void openView(View& view, std::int32_t clientWidth, std::int32_t clientHeight,
              std::int32_t boardCode);

// The view of an opened document, with its stored board code, tile size, zoom and colour.
void openViewFromDocument(View& view, std::int32_t clientWidth, std::int32_t clientHeight,
                          std::int32_t boardCode, double tileSizeRatio, double zoom,
                          Rgb boardColour);

// After a change of zoom (or of a setting that needs every tile redrawn, with the
// current zoom): new board size in pixels and the origin placed from scratch.
void rebuildView(View& view, double zoom);

// After the client area changed size. Returns false when no view is open.
bool resizeView(View& view, std::int32_t clientWidth, std::int32_t clientHeight);

// When the document closes: scroll bars hidden.
void closeView(View& view);

// A client pixel as board centimetres (y upwards from the bottom edge). False when the
// pixel lies outside the board (its border counts as inside) or the position is off it.
bool pixelToBoard(const View& view, std::int32_t pixelX, std::int32_t pixelY, double& x, double& y);

// The client pixel of a board position, and whether that pixel lies on the board.
struct BoardPixel {
    std::int32_t x;
    std::int32_t y;
    bool onBoard;
};
BoardPixel boardToPixel(const View& view, double x, double y);

// Board width and height in centimetres, as whole pixels times the pixel size.
double boardWidthCm(const View& view);
double boardHeightCm(const View& view);

// Whether a board position lies on the board (edges included), judged as its pixel is: a
// position brought to the edge by whole pixels may overshoot it by a hair of rounding.
bool positionOnBoard(const View& view, double x, double y);

} // namespace pavelora
