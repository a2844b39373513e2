#include "core/board/view.h"

#include <gtest/gtest.h>

#include <array>

using namespace pavelora;

namespace {

View openedAt(double dpi, int clientWidth, int clientHeight, std::int32_t board) {
    View view;
    view.pxPerMmX = view.pxPerMmY = pixelsPerMillimetre(dpi);
    openView(view, clientWidth, clientHeight, board);
    return view;
}

} // namespace

TEST(View, BoardSizeOriginScrollLimitsAndZoom) {
    // "Ａ４縦" at 96 dpi: 210 mm are 793.7 pixels, 297 mm 1122.5, one centimetre 37.8. Narrower
    // than the client, the board is centred; taller, it starts one centimetre down. It may
    // move until a one-centimetre strip of it stays in view.
    View view = openedAt(96, 1200, 900, 60003);
    EXPECT_EQ((std::array{view.boardPixelWidth, view.boardPixelHeight, view.boardOriginX,
                          view.boardOriginY, view.minOriginX, view.maxOriginX, view.minOriginY,
                          view.maxOriginY}),
              (std::array{793, 1122, 203, 37, 37 - 793, 1200 - 37, 37 - 1122, 900 - 37}));
    // Board centimetres count up from the bottom left corner, 2.54 / 96 to the pixel.
    double x = 0;
    double y = 0;
    ASSERT_TRUE(pixelToBoard(view, 203 + 793, 37, x, y));
    EXPECT_NEAR(x, 793 * 2.54 / 96, 1e-12);
    EXPECT_NEAR(y, 1122 * 2.54 / 96, 1e-12);
    rebuildView(view, 2.0); // 420 mm, 594 mm and 2 cm
    EXPECT_EQ((std::array{view.boardPixelWidth, view.boardPixelHeight, view.boardOriginX}),
              (std::array{1587, 2245, 75}));
    openViewFromDocument(view, 1200, 900, 60007, 1.5, 0.5, Rgb{10, 20, 30}); // "Ｂ５縦", 182 mm
    EXPECT_EQ(view.boardPixelWidth, 343);
    // "Ａ３横" in a small client scrolls sideways only; a client smaller than two centimetres
    // keeps the one-centimetre rule.
    const View wide = openedAt(96, 800, 600, 60002);
    EXPECT_EQ(
        (std::array{wide.boardOriginX, wide.horizontalScrollActive, wide.verticalScrollActive}),
        (std::array{37, 1, 0}));
    const View small = openedAt(96, 50, 40, 60009);
    EXPECT_EQ((std::array{small.maxOriginX, small.maxOriginY}), (std::array{37, 37}));
    // Resizing recentres only when the client grows past the board.
    View narrow = openedAt(96, 700, 900, 60003);
    narrow.boardOriginX = 12; // as if scrolled
    ASSERT_TRUE(resizeView(narrow, 780, 900));
    EXPECT_EQ(narrow.boardOriginX, 12);
    ASSERT_TRUE(resizeView(narrow, 1001, 900));
    EXPECT_EQ((std::array{narrow.boardOriginX, narrow.maxOriginX}), (std::array{104, 1001 - 37}));
    closeView(narrow);
    EXPECT_FALSE(resizeView(narrow, 800, 600));
}

TEST(View, PixelsGoThroughTheBoardAndBackUnchanged) {
    // Positions are derived from pixels whenever a tile is moved or turned: the way back
    // must give the same pixel, or tiles creep. The borders are on the board.
    for (double dpi : {96.0, 120.0, 144.0}) {
        for (double zoom : {0.5, 1.0, 1.5, 2.0}) {
            View view = openedAt(dpi, 800, 600, 60001);
            rebuildView(view, zoom);
            const int left = view.boardOriginX;
            const int top = view.boardOriginY;
            double x = -1;
            double y = -1;
            for (int px = 0; px <= view.boardPixelWidth; ++px) {
                const int py = px % (view.boardPixelHeight + 1);
                ASSERT_TRUE(pixelToBoard(view, left + px, top + py, x, y));
                const BoardPixel back = boardToPixel(view, x, y);
                ASSERT_EQ((std::array{back.x, back.y}), (std::array{left + px, top + py}))
                    << dpi << " dpi, zoom " << zoom;
                ASSERT_TRUE(back.onBoard);
            }
            EXPECT_FALSE(pixelToBoard(view, left - 1, top, x, y));
            EXPECT_FALSE(pixelToBoard(view, left, top - 1, x, y));
            EXPECT_FALSE(pixelToBoard(view, left + view.boardPixelWidth + 1, top, x, y));
            EXPECT_FALSE(pixelToBoard(view, left, top + view.boardPixelHeight + 1, x, y));
            EXPECT_FALSE(boardToPixel(view, -1.0, 5.0).onBoard);
        }
    }
}
