#include "core/board/view.h"

#include "core/geometry/tileset.h"

#include <algorithm>

namespace pavelora {

void ScrollBarState::setRange(std::int32_t max) {
    maximum = max;
    setPosition(position);
}

void ScrollBarState::setPosition(std::int32_t pos) {
    position = maximum < 0 ? 0 : std::clamp(pos, 0, maximum);
}

double pixelsPerMillimetre(double dotsPerInch) {
    return dotsPerInch * 0.03937007874015748;
}

namespace {

void computeBoardPixels(View& view, double zoom) {
    if (const BoardSize* size = findBoardSize(view.boardCode)) {
        view.boardPixelWidth = static_cast<std::int32_t>(size->widthMm * view.pxPerMmX * zoom);
        view.boardPixelHeight = static_cast<std::int32_t>(size->heightMm * view.pxPerMmY * zoom);
    }
}

// The scroll model of one axis for the current origin: the origin may move until only a
// one-centimetre strip of the board remains in view.
void placeScrollAxis(std::int32_t client, std::int32_t boardPixels, std::int32_t pxPerCm,
                     std::int32_t origin, std::int32_t& minOrigin, std::int32_t& maxOrigin,
                     ScrollBarState& bar, std::int32_t& lineStep, std::int32_t& active) {
    maxOrigin = client - pxPerCm;
    if (maxOrigin <= pxPerCm) {
        maxOrigin = pxPerCm;
    }
    if (origin > maxOrigin) {
        maxOrigin = origin;
    }
    minOrigin = pxPerCm - boardPixels;
    bar.setRange(maxOrigin - minOrigin);
    bar.setPosition(maxOrigin - origin);
    active = bar.maximum > 0 && bar.position >= 0 && bar.position <= bar.maximum ? 1 : 0;
    lineStep = bar.maximum / 100;
}

void placeScrollBars(View& view) {
    placeScrollAxis(view.clientHeight, view.boardPixelHeight, view.pxPerCmY, view.boardOriginY,
                    view.minOriginY, view.maxOriginY, view.vertical, view.lineStepY,
                    view.verticalScrollActive);
    placeScrollAxis(view.clientWidth, view.boardPixelWidth, view.pxPerCmX, view.boardOriginX,
                    view.minOriginX, view.maxOriginX, view.horizontal, view.lineStepX,
                    view.horizontalScrollActive);
    // A board wider than tall and wider than the window: the wheel scrolls sideways.
    if (view.verticalScrollActive == 1 && view.horizontalScrollActive == 1 &&
        view.boardPixelWidth > view.boardPixelHeight && view.boardPixelWidth > view.clientWidth) {
        view.verticalScrollActive = 0;
    }
}

// Scales, origin and scroll bars, the same for every way of setting up a view.
void setUpView(View& view) {
    view.cmPerPixelX = 1.0 / (view.zoom * view.pxPerMmX * 10);
    view.cmPerPixelY = 1.0 / (view.pxPerMmY * view.zoom * 10);
    view.pxPerCmX = static_cast<std::int32_t>(view.zoom * view.pxPerMmX * 10);
    view.pxPerCmY = static_cast<std::int32_t>(view.pxPerMmY * view.zoom * 10);

    view.boardOriginX = view.clientWidth < view.boardPixelWidth
                            ? view.pxPerCmX
                            : (view.clientWidth - view.boardPixelWidth) / 2;
    view.boardOriginY = view.clientHeight < view.boardPixelHeight
                            ? view.pxPerCmY
                            : (view.clientHeight - view.boardPixelHeight) / 2;
    placeScrollBars(view);
}

} // namespace

void openView(View& view, std::int32_t clientWidth, std::int32_t clientHeight,
              std::int32_t boardCode) {
    openViewFromDocument(view, clientWidth, clientHeight, boardCode, 1.0, 1.0, Rgb{255, 255, 255});
}

void openViewFromDocument(View& view, std::int32_t clientWidth, std::int32_t clientHeight,
                          std::int32_t boardCode, double tileSizeRatio, double zoom,
                          Rgb boardColour) {
    view.clientWidth = clientWidth;
    view.clientHeight = clientHeight;
    view.tileSizeRatio = tileSizeRatio;
    view.zoom = zoom;
    view.boardColour = boardColour;
    view.viewOpen = 1;
    view.boardCode = boardCode;
    computeBoardPixels(view, zoom);
    setUpView(view);
}

void rebuildView(View& view, double zoom) {
    view.zoom = zoom;
    computeBoardPixels(view, zoom);
    setUpView(view);
}

bool resizeView(View& view, std::int32_t clientWidth, std::int32_t clientHeight) {
    if (view.viewOpen == 0) {
        return false;
    }
    view.clientWidth = clientWidth;
    view.clientHeight = clientHeight;
    if (view.clientWidth > view.boardPixelWidth) {
        view.boardOriginX = (view.clientWidth - view.boardPixelWidth) / 2;
    }
    if (view.clientHeight > view.boardPixelHeight) {
        view.boardOriginY = (view.clientHeight - view.boardPixelHeight) / 2;
    }
    placeScrollBars(view);
    return true;
}

void closeView(View& view) {
    view.viewOpen = 0;
    view.horizontal.setRange(-1);
    view.vertical.setRange(-1);
    view.horizontalScrollActive = 0;
    view.verticalScrollActive = 0;
}

bool pixelToBoard(const View& view, std::int32_t pixelX, std::int32_t pixelY, double& x,
                  double& y) {
    const double bx = (pixelX - view.boardOriginX) * view.cmPerPixelX;
    const double by = (view.boardOriginY + view.boardPixelHeight - pixelY) * view.cmPerPixelY;
    if (pixelX < view.boardOriginX || pixelX > view.boardOriginX + view.boardPixelWidth ||
        pixelY < view.boardOriginY || pixelY > view.boardOriginY + view.boardPixelHeight) {
        return false;
    }
    if (bx < 0 || bx > boardWidthCm(view) || by < 0 || by > boardHeightCm(view)) {
        return false;
    }
    x = bx;
    y = by;
    return true;
}

namespace {

// Whole pixels in a board distance. A distance made from whole pixels times the pixel
// size divides back to a hair below the whole number in about one case in sixteen;
// truncating that would move a tile by a pixel each time its position goes through the
// pixel grid (every turn, nudge and detach). The hair is given back before truncating.
std::int32_t wholePixels(double distance, double cmPerPixel) {
    return static_cast<std::int32_t>(distance / cmPerPixel + 1e-7);
}

} // namespace

BoardPixel boardToPixel(const View& view, double x, double y) {
    BoardPixel p;
    p.x = wholePixels(x, view.cmPerPixelX) + view.boardOriginX;
    p.y = view.boardPixelHeight - wholePixels(y, view.cmPerPixelY) + view.boardOriginY;
    p.onBoard = view.boardOriginX <= p.x && p.x <= view.boardOriginX + view.boardPixelWidth &&
                view.boardOriginY <= p.y && p.y <= view.boardOriginY + view.boardPixelHeight;
    return p;
}

double boardWidthCm(const View& view) {
    return view.boardPixelWidth * view.cmPerPixelX;
}

double boardHeightCm(const View& view) {
    return view.boardPixelHeight * view.cmPerPixelY;
}

bool positionOnBoard(const View& view, double x, double y) {
    constexpr double hair = 1e-7; // pixels, as in wholePixels
    const double px = x / view.cmPerPixelX;
    const double py = y / view.cmPerPixelY;
    return px >= -hair && px <= view.boardPixelWidth + hair && py >= -hair &&
           py <= view.boardPixelHeight + hair;
}

} // namespace pavelora
