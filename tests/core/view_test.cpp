#include "core/board/view.h"

#include <gtest/gtest.h>

#include <array>

using namespace pavelora;

namespace {

View openedAt96Dpi(int clientWidth, int clientHeight, std::int32_t board) {
    View view;
    view.pxPerMmX = view.pxPerMmY = pixelsPerMillimetre(96);
    openView(view, clientWidth, clientHeight, board);
    return view;
}

} // namespace

TEST(View, PortraitBoardCentredAcrossAndMarginedDown) {
    View view = openedAt96Dpi(1200, 900, 60003); // Ａ４縦, 210 × 297 mm
    EXPECT_NEAR(view.pxPerMmX, 96 / 25.4, 1e-15);
    // 210 mm at 96 dpi is 793.7 pixels, 297 mm is 1122.5; one centimetre is 37.8.
    EXPECT_EQ(
        (std::array{view.boardPixelWidth, view.boardPixelHeight, view.pxPerCmX, view.pxPerCmY}),
        (std::array{793, 1122, 37, 37}));
    EXPECT_NEAR(view.cmPerPixelX, 2.54 / 96, 1e-15);
    EXPECT_EQ(view.viewOpen, 1);
    EXPECT_EQ(view.zoom, 1.0);
    EXPECT_EQ(view.tileSizeRatio, 1.0);
    EXPECT_EQ(view.boardColour, (Rgb{255, 255, 255}));

    // Narrower than the client: centred. Taller: one centimetre from the top.
    EXPECT_EQ(view.boardOriginX, (1200 - 793) / 2);
    EXPECT_EQ(view.boardOriginY, 37);

    // The board may move until a one-centimetre strip of it stays in view.
    EXPECT_EQ((std::array{view.minOriginX, view.maxOriginX, view.minOriginY, view.maxOriginY}),
              (std::array{37 - 793, 1200 - 37, 37 - 1122, 900 - 37}));
    EXPECT_EQ(view.horizontal.maximum, (1200 - 37) - (37 - 793));
    EXPECT_EQ(view.horizontal.position, (1200 - 37) - 203);
    EXPECT_EQ(view.lineStepX, view.horizontal.maximum / 100);
    EXPECT_EQ(view.vertical.maximum, 863 + 1085);
    EXPECT_EQ(view.vertical.position, 863 - 37);
    EXPECT_EQ(view.lineStepY, 19);
    EXPECT_EQ(view.verticalScrollActive, 1);
    EXPECT_EQ(view.horizontalScrollActive, 1);
}

TEST(View, WideBoardScrollsSidewaysAndSmallClientsKeepAOneCentimetreRule) {
    View wide = openedAt96Dpi(800, 600, 60002); // Ａ３横, 420 × 297 mm
    EXPECT_EQ(wide.boardPixelWidth, 1587);
    EXPECT_EQ(wide.boardOriginX, wide.pxPerCmX);
    EXPECT_EQ(wide.horizontal.maximum, wide.maxOriginX - (wide.pxPerCmX - 1587));
    EXPECT_EQ(wide.horizontalScrollActive, 1);
    EXPECT_EQ(wide.verticalScrollActive, 0);

    View small = openedAt96Dpi(50, 40, 60009); // client smaller than two centimetres
    EXPECT_EQ(small.maxOriginX, small.pxPerCmX);
    EXPECT_EQ(small.maxOriginY, small.pxPerCmY);
    EXPECT_EQ(small.boardOriginX, small.pxPerCmX);
}

TEST(View, ZoomDoublesTheBitmapsAndTheMargin) {
    View view = openedAt96Dpi(1200, 900, 60003);
    const int w = view.boardPixelWidth;
    const int h = view.boardPixelHeight;
    rebuildView(view, 2.0);
    EXPECT_GE(view.boardPixelWidth, 2 * w);
    EXPECT_LE(view.boardPixelWidth, 2 * w + 1);
    EXPECT_GE(view.boardPixelHeight, 2 * h);
    EXPECT_LE(view.boardPixelHeight, 2 * h + 1);
    EXPECT_EQ(view.pxPerCmX, 75); // 2 × 37.8
    EXPECT_EQ(view.boardOriginX, 75);
    EXPECT_NEAR(view.cmPerPixelX * 2, 2.54 / 96, 1e-15);
}

TEST(View, OpeningAStoredDocumentUsesItsValues) {
    View view;
    view.pxPerMmX = view.pxPerMmY = pixelsPerMillimetre(96);
    openViewFromDocument(view, 1200, 900, 60007, 1.5, 0.5, Rgb{10, 20, 30});
    EXPECT_EQ(view.boardPixelWidth, static_cast<int>(182 * (96 / 25.4) * 0.5));
    EXPECT_EQ(view.tileSizeRatio, 1.5);

    // An unknown board code leaves the pixel size as it was.
    rebuildView(view, 1.0);
    const int w = view.boardPixelWidth;
    view.boardCode = 12345;
    rebuildView(view, 2.0);
    EXPECT_EQ(view.boardPixelWidth, w);
}

TEST(View, ResizeRecentresOnlyWhenTheClientGrowsPastTheBoard) {
    View view = openedAt96Dpi(700, 900, 60003); // 793 wide: starts at the margin
    EXPECT_EQ(view.boardOriginX, 37);
    view.boardOriginX = 12; // as if scrolled
    ASSERT_TRUE(resizeView(view, 780, 900));
    EXPECT_EQ(view.boardOriginX, 12);
    ASSERT_TRUE(resizeView(view, 1001, 900));
    EXPECT_EQ(view.boardOriginX, (1001 - 793) / 2);
    EXPECT_EQ(view.maxOriginX, 1001 - 37);

    closeView(view);
    EXPECT_FALSE(resizeView(view, 800, 600));
    EXPECT_EQ((std::array{view.horizontal.maximum, view.vertical.maximum,
                          view.horizontalScrollActive, view.verticalScrollActive}),
              (std::array{-1, -1, 0, 0}));
}

TEST(View, PixelsAndCentimetres) {
    const View view = openedAt96Dpi(1200, 900, 60003);
    const int left = view.boardOriginX;
    const int top = view.boardOriginY;
    double x = -1;
    double y = -1;
    // The board's corners and borders are on the board.
    ASSERT_TRUE(pixelToBoard(view, left, top + 1122, x, y));
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
    ASSERT_TRUE(pixelToBoard(view, left + 793, top, x, y));
    EXPECT_NEAR(x, 793 * 2.54 / 96, 1e-12);
    EXPECT_NEAR(y, 1122 * 2.54 / 96, 1e-12);
    EXPECT_FALSE(pixelToBoard(view, left - 1, top, x, y));
    EXPECT_FALSE(pixelToBoard(view, left, top + 1123, x, y));
    EXPECT_FALSE(pixelToBoard(view, left + 794, top, x, y));

    const BoardPixel p = boardToPixel(view, 10.0, 5.0);
    EXPECT_EQ(p.x, left + static_cast<int>(10.0 * 96 / 2.54));
    EXPECT_EQ(p.y, top + 1122 - static_cast<int>(5.0 * 96 / 2.54));
    EXPECT_TRUE(p.onBoard);
    EXPECT_FALSE(boardToPixel(view, -1.0, 5.0).onBoard);
}

TEST(View, PixelsGoThroughTheBoardAndBackUnchanged) {
    // Positions are derived from pixels whenever a tile is moved or turned: the way back
    // must give the same pixel, or tiles creep.
    for (double dpi : {96.0, 120.0, 144.0}) {
        for (double zoom : {0.5, 1.0, 1.5, 2.0}) {
            View view;
            view.pxPerMmX = view.pxPerMmY = pixelsPerMillimetre(dpi);
            openView(view, 800, 600, 60001);
            rebuildView(view, zoom);
            for (int px = 0; px <= view.boardPixelWidth; ++px) {
                const int py = px % (view.boardPixelHeight + 1);
                double x = 0;
                double y = 0;
                ASSERT_TRUE(
                    pixelToBoard(view, view.boardOriginX + px, view.boardOriginY + py, x, y));
                const BoardPixel back = boardToPixel(view, x, y);
                ASSERT_EQ(back.x, view.boardOriginX + px) << dpi << " dpi, zoom " << zoom;
                ASSERT_EQ(back.y, view.boardOriginY + py) << dpi << " dpi, zoom " << zoom;
            }
        }
    }
}
