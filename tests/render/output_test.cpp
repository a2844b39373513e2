#include "core/tiling/generator.h"
#include "jpegdecode.h"
#include "render/devicetiles.h"
#include "render/jpegexport.h"
#include "render/printing.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

using namespace pavelora;
using namespace pavelora::test;

namespace {

// The image pixel of a board point at the density.
QPoint imagePixel(std::int32_t density, int imageHeight, double x, double y) {
    const double ppc = density * 0.39370078740157477;
    return {static_cast<int>(ppc * x), imageHeight - static_cast<int>(ppc * y)};
}

// A4 paper at 300 dots per inch, 2480 × 3508 pixels, with an unprintable border of 40.
const PageGeometry a4{300, 300, 40, 40, 2480, 3508};

PrintLayout layoutOf(const PageGeometry& page, const PrintSettings& settings, std::int32_t board,
                     std::int32_t lineHeight = 0) {
    return computePrintLayout(page, lineHeight, settings, board).value_or(PrintLayout{});
}

} // namespace

// The export copies tile bodies and pattern circles from pictures drawn once; drawing every
// element in place, as printing does, must give the very same pixels.
TEST(JpegExport, CopiedTilesAreTheDrawnTilesPixelForPixel) {
    const std::tuple<std::int32_t, double, std::int32_t> cases[] = {
        {setcode::PenroseNo1, 0.6, 200}, {setcode::PenroseNo1, 1.7, 133},
        {setcode::PenroseNo2, 0.9, 200}, {setcode::PenroseNo2, 2.3, 71},
        {setcode::PenroseNo3, 1.1, 200}, {setcode::PenroseNo3, 0.45, 300},
        {setcode::Kepler, 1.3, 150},     {setcode::Durer, 0.8, 200}};
    for (const auto& [set, ratio, density] : cases) {
        RenderFixture f(set, 60004); // "Ａ４横"
        f.doc.view.tileSizeRatio = ratio;
        f.doc.view.boardColour = {20, 40, 60};
        if (set == setcode::PenroseNo1 || set == setcode::PenroseNo2) {
            f.layPatch(generatePatch(set, PatchSeed::Sun, 300).tiles, 14.85, 10.5);
        } else { // every kind at every rotation, some over the board's edges or on others
            for (int i = 0; i < 20 * f.doc.tileSet->kindCount(); ++i) {
                f.putTile(f.doc.tileSet->kindCodes[static_cast<std::size_t>(i / 20)], i % 20,
                          -0.5 + 1.6 * (i % 20), -0.4 + 2.1 * (i / 20));
            }
        }
        f.putTile(f.doc.tileSet->kindCodes[0], 3, 29.6, 20.9);
        f.putTile(f.doc.tileSet->kindCodes[1], 11, 14.9, 10.6);
        const QImage copied = renderJpegImage(f.doc, JpegSettings{100, density, 1});
        QImage drawn(copied.size(), QImage::Format_RGB32);
        drawn.fill(QColor(20, 40, 60));
        const double ppc = density * 0.39370078740157477;
        const DevicePlacement placement{0, 0, drawn.height(), 1.0, ppc, ppc};
        QPainter painter(&drawn);
        paintDeviceTiles(painter, f.doc, placement, drawn.rect(), f.doc.tileSet->hasPairPattern);
        painter.end();
        EXPECT_EQ(copied, drawn) << set << " ratio " << ratio << " density " << density;
    }
}

// "Ａ４縦" at 200 dpi: a JFIF file of 1653 × 2338 pixels (210 and 297 mm), the density in dots
// per inch, every quantiser step 1 at quality 100, and the tiles' colours where they lie, red
// first. The screen's zoom and pattern switch play no part. Form 1 has the pattern, its circles
// through each dart's and kite's reference point; form 2 (the file) has none.
TEST(JpegExport, TheFileAndTheForms) {
    QTemporaryDir dir;
    RenderFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 1.5;
    f.doc.view.boardColour = {230, 220, 180};
    f.doc.patternOn = 0;
    for (int rotation : {0, 7}) {
        f.putTile(kind::Dart, rotation, 5.0 + rotation, 4.0);
        f.putTile(kind::Kaite, rotation, 5.0 + rotation, 8.5);
    }
    const QString path = dir.filePath(QStringLiteral("board.jpg"));
    ASSERT_EQ(exportJpeg(f.doc, JpegSettings{100, 200, 2}, path, nullptr), 1);
    const auto file = decodeJpeg(path);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ((std::array{file->width, file->height, file->densityUnit, file->xDensity}),
              (std::array{1653, 2338, 1, 200}));
    EXPECT_EQ(file->luminanceTable, std::vector<int>(64, 1));
    const QImage form1 = renderJpegImage(f.doc, JpegSettings{100, 200, 1});
    const QRgb pairs[] = {rgb(f.doc.tileSet->pairColours[0]), rgb(f.doc.tileSet->pairColours[1])};
    for (const auto& group : f.doc.board.groups) {
        const Tile& t = *group->tiles[0];
        const Rgb want = *kindColour(*f.doc.tileSet, t.kind);
        const QPoint p = imagePixel(200, 2338, t.x, t.y);
        EXPECT_NEAR(file->channel(p.x(), p.y(), 0), want.red, 6);
        EXPECT_NEAR(file->channel(p.x(), p.y(), 1), want.green, 6);
        EXPECT_NEAR(file->channel(p.x(), p.y(), 2), want.blue, 6);
        for (const auto& [colour, x, y] : arcPoints(t)) {
            EXPECT_TRUE(coloursNear(form1, imagePixel(200, 2338, x, y)).count(pairs[colour]));
        }
    }
    for (double zoom : {0.5, 1.3, 2.7}) {
        rebuildView(f.doc.view, zoom);
        EXPECT_EQ(renderJpegImage(f.doc, JpegSettings{100, 200, 1}), form1) << "zoom " << zoom;
    }
    const auto form2 = coloursOf(renderJpegImage(f.doc, JpegSettings{100, 200, 2}));
    EXPECT_EQ(form2.count(pairs[0]) + form2.count(pairs[1]), 0u);
    // Printed, forms 1 and 2 fill exactly the cut rectangle with the board colour, form 3 draws
    // outlines only, and only form 1 has the pattern.
    static int argc = 1;
    static char name[] = "render_tests", *argv[] = {name, nullptr};
    [[maybe_unused]] static const auto* fonts = new QGuiApplication(argc, argv); // for printing
    f.doc.printSettings.cutMarginX = f.doc.printSettings.cutMarginY = 5;
    QImage page(1240, 1754, QImage::Format_RGB32); // A4 at 150 dpi
    const QRgb white = qRgb(255, 255, 255);
    page.setDotsPerMeterX(5906);
    page.setDotsPerMeterY(5906);
    for (std::int32_t form : {1, 2, 3}) {
        f.doc.printSettings.printForm = form;
        page.fill(Qt::white);
        QPainter painter(&page);
        printPage(painter, f.doc, pageGeometry(page));
        painter.end();
        const PrintLayout l = layoutOf(pageGeometry(page), f.doc.printSettings, 60003);
        const QRgb inside = form == 3 ? white : rgb(f.doc.view.boardColour);
        EXPECT_EQ(
            (std::array{page.pixel(l.cutLeft, l.cutTop), page.pixel(l.cutRight - 1, l.cutTop),
                        page.pixel(l.cutLeft - 1, l.cutTop), page.pixel(l.cutRight, l.cutTop)}),
            (std::array{inside, inside, white, white}));
        EXPECT_EQ(coloursOf(page).count(pairs[1]), form == 1 ? 1u : 0u) << form;
    }
    EXPECT_EQ(coloursOf(page), (std::set<QRgb>{qRgb(0, 0, 0), white}));
}

// 300 dpi are 118.11 pixels per centimetre; between the borders 2400 × 3428 pixels are free.
// The board keeps its proportions and fills the width or the height (maybe but for the last
// pixel), centred across, at the top below the title line. Margins count on the paper.
TEST(PrintLayout, TheBoardFillsTheWidthOrTheHeightCentredAcrossWithinTheMargins) {
    const PageGeometry turned{300, 300, 40, 40, 3508, 2480};
    const std::tuple<PageGeometry, std::int32_t, int, bool, std::array<int, 4>> cases[] = {
        {a4, 60004, 0, true, {2400, 1696, 0, 0}},        // 2400 × 21 / 29.7 high
        {turned, 60003, 0, false, {1696, 2400, 866, 0}}, // (3428 − 1696) / 2 across
        {a4, 60009, 0, false, {2316, 3428, 42, 0}},      // postcard 10 × 14.8, enlarged
        {a4, 60003, 50, false, {2388, 3378, 6, 50}}};    // below a 50-pixel title
    for (const auto& [page, board, line, fillsWidth, want] : cases) {
        PrintSettings settings;
        settings.title = line != 0 ? QStringLiteral("ペンローズ") : QString();
        const PrintLayout l = layoutOf(page, settings, board, 50);
        const double slack = fillsWidth ? 0.5 : 0.0;
        EXPECT_NEAR(l.imageWidth, want[0] - slack, slack) << board;
        EXPECT_NEAR(l.imageHeight, want[1] - (0.5 - slack), 0.5 - slack) << board;
        EXPECT_EQ((std::array{l.originX, l.originY, l.lineHeight}),
                  (std::array{want[2], want[3], line}));
        EXPECT_EQ(l.map(0, 0), QPoint(l.originX, l.originY + l.imageHeight));
    }
    // A paper margin inside the unprintable border changes nothing; a wider one moves the
    // image in by the difference (10 mm: 118 pixels, 78 beyond the border).
    PrintSettings settings;
    settings.paperMarginX = settings.paperMarginY = 3;
    EXPECT_EQ(layoutOf(a4, settings, 60003).cutRect(), layoutOf(a4, {}, 60003).cutRect());
    settings.paperMarginX = settings.paperMarginY = 10;
    const PrintLayout l = layoutOf(a4, settings, 60003);
    EXPECT_EQ((std::array{l.availableWidth, l.availableHeight, l.originX, l.originY}),
              (std::array{2480 - 2 * 118, 3508 - 2 * 118, (2244 - l.imageWidth) / 2 + 78, 78}));
    // Cut margins of 10 mm take 118 pixels off each side of the board, whatever the scale.
    settings = PrintSettings{};
    settings.cutMarginX = settings.cutMarginY = 10;
    for (std::int32_t board : {60003, 60009, 60001, 60004}) {
        const PrintLayout c = layoutOf(a4, settings, board);
        EXPECT_EQ((std::array{c.cutLeft - c.originX, c.originX + c.imageWidth - c.cutRight,
                              c.cutTop - c.originY, c.originY + c.imageHeight - c.cutBottom}),
                  (std::array{118, 118, 118, 118}))
            << board;
    }
}

// The export picture is the one made with every pattern clip made tile by tile; rows handed
// to the library as the image holds them give the file that rows copied out as red, green
// and blue give, byte for byte: a rendered patch at two qualities, and a picture with every
// colour value in it whose alpha is not opaque.
TEST(JpegExport, RowsAsTheyLieWriteTheSameFile) {
    QTemporaryDir dir;
    RenderFixture f(setcode::PenroseNo1);
    f.doc.view.tileSizeRatio = 0.5;
    layPatch(f.doc, generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 400), 10.0, 14.0);
    QImage colours(256, 300, QImage::Format_ARGB32);
    for (int y = 0; y < colours.height(); ++y) {
        for (int x = 0; x < colours.width(); ++x) {
            colours.setPixel(x, y, qRgba(x, (x * 7 + y) % 256, y % 256, (x + y) % 256));
        }
    }
    // The patterns cut by outline regions made once per shape: the picture of regions made
    // tile by tile.
    usePlainRegions(true);
    const QImage plainPicture = renderJpegImage(f.doc, {100, 200, 1});
    usePlainRegions(false);
    ASSERT_EQ(renderJpegImage(f.doc, {100, 200, 1}), plainPicture);
    const auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const auto& [image, quality] :
         {std::pair{renderJpegImage(f.doc, {100, 200, 1}), 100},
          std::pair{renderJpegImage(f.doc, {100, 200, 1}), 40}, std::pair{colours, 75}}) {
        const QString direct = dir.filePath(QStringLiteral("direct.jpg"));
        const QString plain = dir.filePath(QStringLiteral("plain.jpg"));
        ASSERT_EQ(writeJpeg(image, quality, 200, direct, nullptr), 1);
        usePlainJpegRows(true);
        ASSERT_EQ(writeJpeg(image, quality, 200, plain, nullptr), 1);
        usePlainJpegRows(false);
        EXPECT_GT(bytes(plain).size(), 1000);
        EXPECT_EQ(bytes(direct), bytes(plain)) << "quality " << quality;
    }
}
