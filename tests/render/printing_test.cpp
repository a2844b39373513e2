#include "render/printing.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pavelora;
using pavelora::test::blackAround;
using pavelora::test::blankA4;
using pavelora::test::coloursOf;
using pavelora::test::ensureGuiApplication;
using pavelora::test::key;
using pavelora::test::RenderFixture;
using pavelora::test::rgbAt;

namespace {

// A4 paper at 300 dots per inch (2480 x 3508 pixels) with an unprintable border of 40
// pixels, and the same paper turned.
constexpr std::int32_t A4Portrait = 60003;
constexpr std::int32_t A4Landscape = 60004;
constexpr std::int32_t Postcard = 60009; // 100 x 148 mm
constexpr std::int32_t A3Portrait = 60001;

PageGeometry a4Page(bool landscape = false) {
    PageGeometry page;
    page.dpiX = 300;
    page.dpiY = 300;
    page.offsetX = 40;
    page.offsetY = 40;
    page.paperWidth = landscape ? 3508 : 2480;
    page.paperHeight = landscape ? 2480 : 3508;
    return page;
}

PrintLayout layoutOf(const PageGeometry& page, const PrintSettings& settings, std::int32_t board,
                     std::int32_t fontLineHeight = 50) {
    const auto layout = computePrintLayout(page, fontLineHeight, settings, board);
    EXPECT_TRUE(layout.has_value());
    return layout.value_or(PrintLayout{});
}

} // namespace

// 300 dpi are 118.11 pixels per centimetre; between the 40-pixel borders of A4 paper
// there are 2400 x 3428 pixels. The board keeps its proportions, fills the width or the
// height (a dimension that the board fills may lose its last pixel to truncation), is
// centred across and starts at the top.
TEST(PrintLayout, TheBoardFillsTheWidthOrTheHeightAndIsCentredAcross) {
    struct Case {
        const char* what;
        bool landscapePaper;
        std::int32_t board;
        const char* title;
        int fullWidth;  // the width the board fills, or 0
        int fullHeight; // the height it fills, or 0
        int width;      // otherwise the other dimension, worked out below
        int height;
        int originX;
        int originY;
    };
    const Case cases[] = {
        // 2400 x 21 / 29.7 = 1696.97
        {"wider board", false, A4Landscape, "", 2400, 0, 0, 1696, 0, 0},
        // the upright board on turned paper, 3428 x 2400 free: 2400 x 21 / 29.7 wide
        {"taller board", true, A4Portrait, "", 0, 2400, 1696, 0, (3428 - 1696) / 2, 0},
        // a postcard, 10 x 14.8 cm, enlarged: 3428 x 10 / 14.8 = 2316.2
        {"small board", false, Postcard, "", 0, 3428, 2316, 0, (2400 - 2316) / 2, 0},
        // a title line of 50 pixels leaves 3378: 3378 x 21 / 29.7 = 2388.5
        {"title", false, A4Portrait, "ペンローズ", 0, 3378, 2388, 0, (2400 - 2388) / 2, 50},
    };
    for (const Case& c : cases) {
        PrintSettings settings;
        settings.title = QString::fromUtf8(c.title);
        const PrintLayout l = layoutOf(a4Page(c.landscapePaper), settings, c.board, 50);
        EXPECT_EQ(l.lineHeight, *c.title ? 50 : 0) << c.what;
        if (c.fullWidth != 0) {
            EXPECT_NEAR(l.imageWidth, c.fullWidth - 0.5, 0.5) << c.what;
            EXPECT_EQ(l.imageHeight, c.height) << c.what;
        } else {
            EXPECT_NEAR(l.imageHeight, c.fullHeight - 0.5, 0.5) << c.what;
            EXPECT_EQ(l.imageWidth, c.width) << c.what;
        }
        EXPECT_EQ(l.originX, c.originX) << c.what;
        EXPECT_EQ(l.originY, c.originY) << c.what;
        // Without cut margins the cut rectangle is the whole image; the title line sits on
        // top of it.
        EXPECT_EQ(l.cutRect(), QRect(l.originX, l.originY, l.imageWidth, l.imageHeight));
        EXPECT_EQ(l.cutTop - l.lineHeight, 0) << c.what;
        // Board corners: (0, 0) at the image's bottom left, the far corner at its top right.
        EXPECT_EQ(l.map(0, 0), QPoint(l.originX, l.originY + l.imageHeight)) << c.what;
        const BoardSize* size = findBoardSize(c.board);
        const QPoint far = l.map(size->widthMm * 0.1, size->heightMm * 0.1);
        EXPECT_NEAR(far.x(), l.originX + l.imageWidth, 1) << c.what;
        EXPECT_NEAR(far.y(), l.originY, 1) << c.what;
    }
}

TEST(PrintLayout, PaperMarginsCountOnlyBeyondTheUnprintableBorder) {
    const PrintLayout plain = layoutOf(a4Page(), PrintSettings{}, A4Portrait);
    PrintSettings small;
    small.paperMarginX = 3; // 35 pixels, inside the 40-pixel border
    small.paperMarginY = 3;
    const PrintLayout same = layoutOf(a4Page(), small, A4Portrait);
    EXPECT_EQ(same.marginX, 35);
    EXPECT_EQ(same.effectiveMarginX, 40);
    EXPECT_EQ(same.cutRect(), plain.cutRect());

    PrintSettings wide;
    wide.paperMarginX = 10; // 118 pixels: 78 beyond the border
    wide.paperMarginY = 10;
    const PrintLayout l = layoutOf(a4Page(), wide, A4Portrait);
    EXPECT_EQ(l.marginX, 118);
    EXPECT_EQ(l.availableWidth, 2480 - 2 * 118);
    EXPECT_EQ(l.availableHeight, 3508 - 2 * 118);
    EXPECT_GE(l.imageWidth, 2243);
    EXPECT_EQ(l.originX, (2244 - l.imageWidth) / 2 + 78);
    EXPECT_EQ(l.originY, 78);
}

TEST(PrintLayout, CutMarginsAreMeasuredOnThePaperWhateverTheScale) {
    PrintSettings settings;
    settings.cutMarginX = 10;
    settings.cutMarginY = 10;
    for (std::int32_t board : {A4Portrait, Postcard, A3Portrait, A4Landscape}) {
        const PrintLayout l = layoutOf(a4Page(), settings, board);
        // 10 mm at 300 dpi are 118.1 pixels.
        EXPECT_EQ(l.cutLeft - l.originX, 118) << board;
        EXPECT_EQ(l.originX + l.imageWidth - l.cutRight, 118) << board;
        EXPECT_EQ(l.cutTop - l.originY, 118) << board;
        EXPECT_EQ(l.originY + l.imageHeight - l.cutBottom, 118) << board;
    }
}

TEST(PrintLayout, NoLayoutWithoutABoardSizeOrRoom) {
    EXPECT_FALSE(computePrintLayout(a4Page(), 50, PrintSettings{}, 12345).has_value());
    PageGeometry tiny = a4Page();
    tiny.paperWidth = 400;
    PrintSettings margins;
    margins.paperMarginX = 45; // 531 pixels on each side
    EXPECT_FALSE(computePrintLayout(tiny, 50, margins, A4Portrait).has_value());
    PageGeometry noResolution = a4Page();
    noResolution.dpiX = 0;
    EXPECT_FALSE(computePrintLayout(noResolution, 50, PrintSettings{}, A4Portrait).has_value());
}

TEST(PrintPage, ColourFormFillsTheCutRectangleAndDrawsTheTiles) {
    ensureGuiApplication();
    RenderFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 2.0;
    f.doc.view.boardColour = {230, 220, 180};
    f.doc.patternOn = 0; // the screen's switch plays no part
    f.distinctPairColours();
    f.putTile(kind::Dart, 0, 6.0, 8.0);
    f.putTile(kind::Kaite, 3, 14.0, 20.0);
    f.doc.printSettings.cutMarginX = 5;
    f.doc.printSettings.cutMarginY = 8;

    QImage page = blankA4(300);
    {
        QPainter painter(&page);
        printPageColour(painter, f.doc, pageGeometry(page));
    }
    const PageGeometry geometry = pageGeometry(page);
    EXPECT_EQ(geometry.dpiX, 300);
    EXPECT_EQ(geometry.offsetX, 0);
    EXPECT_EQ(geometry.paperWidth, 2480);
    const PrintLayout l = layoutOf(geometry, f.doc.printSettings, A4Portrait);
    const Rgb board = f.doc.view.boardColour;
    const Rgb white{255, 255, 255};
    EXPECT_EQ(rgbAt(page, {l.cutLeft, l.cutTop}), board);
    EXPECT_EQ(rgbAt(page, {l.cutRight - 1, l.cutBottom - 1}), board);
    EXPECT_EQ(rgbAt(page, {l.cutLeft - 1, l.cutTop + 10}), white);
    EXPECT_EQ(rgbAt(page, {l.cutRight, l.cutTop + 10}), white);
    EXPECT_EQ(rgbAt(page, {l.cutLeft + 10, l.cutBottom}), white);
    for (const auto& group : f.doc.board.groups) {
        for (const auto& tile : group->tiles) {
            const QPoint at = l.map(tile->x, tile->y);
            // Both patterns' circles pass through the reference point: look beside it.
            EXPECT_EQ(rgbAt(page, at + QPoint(0, 40)), *kindColour(*f.doc.tileSet, tile->kind));
        }
    }
    const auto colours = coloursOf(page);
    EXPECT_EQ(colours.count(key(f.doc.tileSet->pairColours[0])), 1u);
    EXPECT_EQ(colours.count(key(f.doc.tileSet->pairColours[1])), 1u);

    // Form 2 leaves the pattern out.
    f.doc.printSettings.printForm = 2;
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        printPage(painter, f.doc, pageGeometry(page));
    }
    EXPECT_EQ(coloursOf(page).count(key(f.doc.tileSet->pairColours[0])), 0u);
}

TEST(PrintPage, OutlineFormIsThinBlackLinesOnly) {
    ensureGuiApplication();
    RenderFixture f(setcode::PenroseNo2);
    f.doc.view.tileSizeRatio = 2.0;
    f.doc.view.boardColour = {230, 220, 180};
    f.putTile(kind::WideDiamond, 0, 6.0, 8.0);
    f.putTile(kind::NarrowDiamond2, 4, 14.0, 20.0);
    f.doc.printSettings.printForm = 3;

    QImage page = blankA4(150);
    {
        QPainter painter(&page);
        printPage(painter, f.doc, pageGeometry(page));
    }
    EXPECT_EQ(coloursOf(page), (std::set<std::tuple<int, int, int>>{{0, 0, 0}, {255, 255, 255}}));
    const PrintLayout l = layoutOf(pageGeometry(page), f.doc.printSettings, A4Portrait);
    for (const auto& group : f.doc.board.groups) {
        for (const auto& tile : group->tiles) {
            EXPECT_EQ(rgbAt(page, l.map(tile->x, tile->y)), (Rgb{255, 255, 255}));
            for (const TileEdge& e : tile->outline.edges) {
                const int black = blackAround(page, l.map((e.x1 + e.x2) / 2, (e.y1 + e.y2) / 2));
                EXPECT_GE(black, 3);
                EXPECT_LE(black, 7);
            }
        }
    }
}

TEST(PrintPage, TheTitleIsWrittenAboveTheCutRectangle) {
    ensureGuiApplication();
    RenderFixture f(setcode::PenroseNo1);
    f.doc.view.boardColour = {230, 220, 180};
    QImage page = blankA4(150);
    auto darkAboveTheBoard = [&](const PrintLayout& l) {
        int dark = 0;
        for (int y = 0; y < l.cutTop; ++y) {
            for (int x = 0; x < page.width(); ++x) {
                dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        return dark;
    };
    for (const QString& title : {QString(), QStringLiteral("Pavelora 1")}) {
        f.doc.printSettings.title = title;
        page.fill(Qt::white);
        int lineHeight = 0;
        {
            QPainter painter(&page);
            lineHeight = painter.fontMetrics().height() + painter.fontMetrics().leading();
            printPageColour(painter, f.doc, pageGeometry(page));
        }
        const PrintLayout l =
            layoutOf(pageGeometry(page), f.doc.printSettings, A4Portrait, lineHeight);
        if (title.isEmpty()) {
            EXPECT_EQ(l.cutTop, 0);
            EXPECT_EQ(darkAboveTheBoard(l), 0);
        } else {
            EXPECT_GT(lineHeight, 5);
            EXPECT_EQ(l.cutTop, lineHeight);
            EXPECT_GT(darkAboveTheBoard(l), 20);
        }
    }
}
