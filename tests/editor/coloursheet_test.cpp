#include "editor/colourlogic.h"
#include "fakeshell.h"
#include "render/colourpictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace pavelora;

namespace {

struct ColourFixture : test::EditorHarness {
    ColourSheetLogic open(ColourSheetKind kind) {
        ColourSheetLogic sheet(kind, doc());
        sheet.activatePage(ColourPage::Rgb); // the first page opens with the sheet
        return sheet;
    }
};

QImage picture(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

QColor qcolor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// Whether a pixel of the ring has the colour of a hue within three degrees of `hue`: at a
// radius of about 44 pixels one degree is 0.77 pixels, so the three-pixel-wide lines of the
// next few hues cover each other.
bool ringShowsHue(const QImage& image, QPoint at, int hue) {
    for (int h = hue - 3; h <= hue + 3; ++h) {
        if (image.pixelColor(at) == qcolor(hlsToRgb((h + 360) % 360, 50, 100))) {
            return true;
        }
    }
    return false;
}

// The mean of a tile's outline corners: inside any convex tile.
QPointF centre(const Tile& tile) {
    QPointF sum;
    for (const TileEdge& e : tile.outline.edges) {
        sum += QPointF(e.x1, e.y1);
    }
    return sum / static_cast<double>(tile.outline.edges.size());
}

} // namespace

// --- The wheel and the square ---

TEST(HueWheel, PressesPickTheDirection) {
    const int side = 125;
    const int c = side / 2;
    EXPECT_EQ(hueAtPoint(side, c, 5), 0);          // top
    EXPECT_EQ(hueAtPoint(side, 5, c), 90);         // left
    EXPECT_EQ(hueAtPoint(side, c, side - 5), 180); // bottom
    EXPECT_EQ(hueAtPoint(side, side - 5, c), 270); // right
    // Between them, and anywhere else in the control.
    EXPECT_EQ(hueAtPoint(side, c - 40, c - 40), 45);
    EXPECT_EQ(hueAtPoint(side, c, c), 270);
    for (int y = 0; y < side; y += 7) {
        for (int x = 0; x < side; x += 7) {
            const int hue = hueAtPoint(side, x, y);
            ASSERT_GE(hue, 0);
            ASSERT_LE(hue, 359);
        }
    }
}

TEST(HueWheel, RingAndPointerColours) {
    const int side = 125;
    QImage image = picture(side);
    {
        QPainter painter(&image);
        drawHueWheel(painter, side, 120);
    }
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(side - 1, side / 3), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white));
    // Red at the top of the ring, cyan at the bottom, and so on round it.
    for (int hue = 0; hue < 360; hue += 30) {
        EXPECT_TRUE(ringShowsHue(image, hueWheelPoint(side, hue, 0.35), hue)) << hue;
    }
    EXPECT_TRUE(ringShowsHue(image, QPoint(side / 2, side / 2 - side * 35 / 100), 0));
    EXPECT_TRUE(ringShowsHue(image, QPoint(side / 2, side / 2 + side * 35 / 100), 180));
    // The pointer runs inside the ring in the current hue's colour, green.
    EXPECT_EQ(image.pixelColor(hueWheelPoint(side, 120, 0.15)), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(hueWheelPoint(side, 300, 0.15)), QColor(Qt::white));
}

TEST(LsSquare, PressesSetSaturationAndLightness) {
    const int side = 125;
    const LsSquareGeometry g = lsSquareGeometry(side);
    EXPECT_EQ(g.margin, 12);
    EXPECT_EQ(g.edge, 100);
    const LsPress corner = lsAtPoint(side, g.margin, g.margin);
    EXPECT_EQ(corner.saturation, 0);
    EXPECT_EQ(corner.lightness, 100);
    const LsPress far = lsAtPoint(side, g.margin + g.edge, g.margin + g.edge);
    EXPECT_EQ(far.saturation, 100);
    EXPECT_EQ(far.lightness, 0);
    // Above the square but within its columns: only the saturation.
    const LsPress above = lsAtPoint(side, g.margin + 30, 2);
    EXPECT_EQ(above.saturation, 30);
    EXPECT_FALSE(above.lightness);
    const LsPress outside = lsAtPoint(side, 2, side - 2);
    EXPECT_FALSE(outside.saturation);
    EXPECT_FALSE(outside.lightness);
    // A control too small for a square takes no presses (and divides by nothing).
    for (int tiny : {0, 1}) {
        const LsPress none = lsAtPoint(tiny, 0, 0);
        EXPECT_FALSE(none.saturation);
        EXPECT_FALSE(none.lightness);
    }
}

TEST(LsSquare, EveryPairIsOnePixelWithAComplementaryMarker) {
    const int side = 125;
    QImage image = picture(side);
    {
        QPainter painter(&image);
        drawLsSquare(painter, side, 0, 50, 100);
    }
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    // Top left white (lightness 100), bottom left black, bottom right black.
    EXPECT_EQ(image.pixelColor(lsSquarePoint(side, 100, 0)), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(lsSquarePoint(side, 0, 0)), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(lsSquarePoint(side, 25, 100)), qcolor(hlsToRgb(0, 25, 100)));
    EXPECT_EQ(image.pixelColor(lsSquarePoint(side, 80, 40)), qcolor(hlsToRgb(0, 80, 40)));
    // The marker around lightness 50, saturation 100: drawn in cyan, the complement.
    const QPoint at = lsSquarePoint(side, 50, 100);
    EXPECT_EQ(image.pixelColor(at.x() - 3, at.y()), QColor(0, 255, 255));
    EXPECT_EQ(image.pixelColor(at.x() + 2, at.y() - 3), QColor(0, 255, 255));
    // Inside the marker the square shows through.
    EXPECT_EQ(image.pixelColor(at), QColor(255, 0, 0));
}

// --- The sheets ---

TEST_F(ColourFixture, NumberFieldsFollowTheirPage) {
    newDocument();
    ColourSheetLogic sheet = open(ColourSheetKind::BoardColour);
    EXPECT_FALSE(sheet.applyEnabled());
    EXPECT_FALSE(sheet.leaveField(ColourPage::Rgb, 0, QStringLiteral("300")));
    for (const char* bad : {"-5", "1a", ""}) {
        EXPECT_FALSE(sheet.leaveField(ColourPage::Rgb, 1, QString::fromUtf8(bad))) << bad;
    }
    EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{255, 255, 255}));
    EXPECT_FALSE(sheet.applyEnabled());

    EXPECT_TRUE(sheet.leaveField(ColourPage::Rgb, 1, QStringLiteral("0")));
    EXPECT_TRUE(sheet.applyEnabled());
    EXPECT_EQ(sheet.values(ColourPage::Hls), (std::array<int, 3>{300, 50, 100})); // magenta

    sheet.activatePage(ColourPage::Hls);
    EXPECT_TRUE(sheet.leaveField(ColourPage::Hls, 0, QStringLiteral("300")));
    EXPECT_FALSE(sheet.leaveField(ColourPage::Hls, 0, QStringLiteral("360")));
    EXPECT_FALSE(sheet.leaveField(ColourPage::Hls, 1, QStringLiteral("101")));
    EXPECT_TRUE(sheet.leaveField(ColourPage::Hls, 0, QStringLiteral("120")));
    EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{0, 255, 0}));
}

TEST_F(ColourFixture, ScrollBarsStepClampAndWrap) {
    newDocument();
    ColourSheetLogic sheet = open(ColourSheetKind::BoardColour);
    sheet.scroll(ColourPage::Rgb, 0, ScrollRequest::LineForward);
    EXPECT_EQ(sheet.values(ColourPage::Rgb)[0], 255);
    sheet.scroll(ColourPage::Rgb, 0, ScrollRequest::PageBack);
    EXPECT_EQ(sheet.values(ColourPage::Rgb)[0], 250);
    sheet.scroll(ColourPage::Rgb, 2, ScrollRequest::Thumb, 3);
    sheet.scroll(ColourPage::Rgb, 2, ScrollRequest::PageBack);
    EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{250, 255, 0}));
    // Requests that are no step leave the values.
    sheet.scroll(ColourPage::Rgb, 1, ScrollRequest::Done);
    sheet.scroll(ColourPage::Rgb, 1, ScrollRequest::End);
    EXPECT_EQ(sheet.values(ColourPage::Rgb)[1], 255);

    sheet.activatePage(ColourPage::Hls);
    sheet.scroll(ColourPage::Hls, 0, ScrollRequest::Thumb, 359);
    sheet.scroll(ColourPage::Hls, 0, ScrollRequest::LineForward);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[0], 0);
    sheet.scroll(ColourPage::Hls, 0, ScrollRequest::PageBack);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[0], 350);
    sheet.scroll(ColourPage::Hls, 0, ScrollRequest::PageForward);
    sheet.scroll(ColourPage::Hls, 0, ScrollRequest::LineBack);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[0], 359);

    sheet.scroll(ColourPage::Hls, 1, ScrollRequest::Thumb, 2);
    sheet.scroll(ColourPage::Hls, 1, ScrollRequest::PageBack);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[1], 0);
    sheet.scroll(ColourPage::Hls, 1, ScrollRequest::Thumb, 98);
    sheet.scroll(ColourPage::Hls, 1, ScrollRequest::PageForward);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[1], 100);
    sheet.scroll(ColourPage::Hls, 1, ScrollRequest::LineForward);
    EXPECT_EQ(sheet.values(ColourPage::Hls)[1], 100);
    // Lightness 100 is white, whatever the hue.
    EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(ColourFixture, WheelAndSquareSetTheWorkingColour) {
    newDocument();
    ASSERT_TRUE(editor.settings().applyBoardColour(Rgb{255, 0, 0}));
    ColourSheetLogic sheet = open(ColourSheetKind::BoardColour);
    sheet.activatePage(ColourPage::Hls);
    const int side = 125;
    sheet.pressHueWheel(side, 5, side / 2); // left: 90
    EXPECT_EQ(sheet.values(ColourPage::Hls), (std::array<int, 3>{90, 50, 100}));
    EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{127, 255, 0}));
    EXPECT_TRUE(sheet.applyEnabled());

    const LsSquareGeometry g = lsSquareGeometry(side);
    EXPECT_TRUE(sheet.pressLsSquare(side, g.margin, g.margin));
    EXPECT_EQ(sheet.values(ColourPage::Hls), (std::array<int, 3>{90, 100, 0}));
    EXPECT_TRUE(sheet.pressLsSquare(side, g.margin + g.edge / 2, g.margin + g.edge * 3 / 4));
    EXPECT_EQ(sheet.values(ColourPage::Hls), (std::array<int, 3>{90, 25, 50}));
    const auto before = sheet.values(ColourPage::Hls);
    EXPECT_FALSE(sheet.pressLsSquare(side, 1, side - 1));
    EXPECT_EQ(sheet.values(ColourPage::Hls), before);
}

TEST_F(ColourFixture, BoardColourRoundTrip) {
    newDocument();
    ASSERT_TRUE(editor.settings().applyBoardColour(Rgb{200, 0, 0}));
    {
        // The RGB page recomputes red, green, blue from the HLS triple as it opens.
        ColourSheetLogic sheet = open(ColourSheetKind::BoardColour);
        EXPECT_EQ(sheet.values(ColourPage::Rgb), (std::array<int, 3>{198, 0, 0}));
        EXPECT_EQ(sheet.values(ColourPage::Hls), (std::array<int, 3>{0, 39, 100}));
        ASSERT_TRUE(sheet.apply(editor.settings()));
        EXPECT_EQ(doc().view.boardColour, (Rgb{198, 0, 0}));
        EXPECT_EQ(editor.buffers().backBuffer.pixelColor(1, 1), QColor(198, 0, 0));
    }
    ASSERT_TRUE(editor.settings().applyBoardColour(Rgb{255, 255, 255}));
    ColourSheetLogic white = open(ColourSheetKind::BoardColour);
    white.activatePage(ColourPage::Hls);
    white.activatePage(ColourPage::Rgb);
    ASSERT_TRUE(white.apply(editor.settings()));
    EXPECT_EQ(doc().view.boardColour, (Rgb{255, 255, 255}));
}

TEST_F(ColourFixture, TileSheetOkAppliesEveryEntryToBoardAndPalette) {
    newDocument(setcode::Durer);
    const std::vector<Rgb> stored = doc().tileSet->kindColours;
    Tile* pentagon = placeAt(doc().tileSet->kindCodes[0], 10.0, 10.0);
    ASSERT_NE(pentagon, nullptr);
    editor.palette().paletteClicked(editor.palette().cells()->cells[1].left + 1,
                                    editor.palette().cells()->cells[1].top + 1);
    ASSERT_GE(selectedPaletteKind(editor.palette().cells()), 1);
    const QImage paletteBefore = editor.palette().paletteImage().copy();

    ColourSheetLogic sheet = open(ColourSheetKind::TileColours);
    EXPECT_EQ(sheet.entryNames(),
              (QStringList{QString::fromStdString(doc().tileSet->kindNames[0]),
                           QString::fromStdString(doc().tileSet->kindNames[1])}));
    EXPECT_EQ(sheet.workingColour().rgb(), stored[0]);
    sheet.leaveField(ColourPage::Rgb, 0, QStringLiteral("10"));
    sheet.leaveField(ColourPage::Rgb, 1, QStringLiteral("20"));
    sheet.leaveField(ColourPage::Rgb, 2, QStringLiteral("30"));
    sheet.chooseEntry(1);
    sheet.activatePage(ColourPage::Hls);
    sheet.leaveField(ColourPage::Hls, 0, QStringLiteral("240"));
    // Nothing reaches the document before the sheet applies.
    EXPECT_EQ(doc().tileSet->kindColours, stored);
    ASSERT_TRUE(sheet.apply(editor.settings()));
    EXPECT_FALSE(sheet.applyEnabled());

    EXPECT_EQ(doc().tileSet->kindColours[0], (Rgb{10, 20, 30}));
    const Hls second = rgbToHls(stored[1].red, stored[1].green, stored[1].blue);
    EXPECT_EQ(doc().tileSet->kindColours[1], hlsToRgb(240, second.lightness, second.saturation));
    // The board shows the new fill, the palette its new samples with no kind chosen.
    const QPointF middle = centre(*pentagon);
    const BoardPixel p = boardToPixel(doc().view, middle.x(), middle.y());
    EXPECT_EQ(editor.buffers().backBuffer.pixelColor(p.x - doc().view.boardOriginX,
                                                     p.y - doc().view.boardOriginY),
              QColor(10, 20, 30));
    EXPECT_EQ(selectedPaletteKind(editor.palette().cells()), -1);
    EXPECT_FALSE(shell.tileCursor);
    EXPECT_NE(editor.palette().paletteImage(), paletteBefore);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
}

TEST_F(ColourFixture, EntriesOnlyLookedAtKeepTheirColoursExactly) {
    newDocument();
    // Neither colour survives a trip through HLS unchanged.
    ASSERT_TRUE(editor.settings().applyKindColours({Rgb{200, 0, 0}, Rgb{10, 100, 51}}));
    ASSERT_NE(hlsToRgb(0, 39, 100), (Rgb{200, 0, 0}));
    ColourSheetLogic sheet = open(ColourSheetKind::TileColours);
    sheet.activatePage(ColourPage::Hls);
    sheet.chooseEntry(1);
    sheet.chooseEntry(0);
    sheet.activatePage(ColourPage::Rgb);
    sheet.chooseEntry(1);
    EXPECT_FALSE(sheet.applyEnabled());
    ASSERT_TRUE(sheet.apply(editor.settings()));
    EXPECT_EQ(doc().tileSet->kindColours, (std::vector<Rgb>{Rgb{200, 0, 0}, Rgb{10, 100, 51}}));
}

TEST_F(ColourFixture, PairSheetNamesItsEntries) {
    newDocument(setcode::PenroseNo3);
    const int count = doc().tileSet->pairColourCount();
    ASSERT_GT(count, 1);
    ColourSheetLogic sheet = open(ColourSheetKind::PairColours);
    ASSERT_EQ(sheet.entryNames().size(), count);
    EXPECT_EQ(sheet.entryNames()[0], QStringLiteral("対模様その１"));
    EXPECT_EQ(sheet.entryNames()[1], QStringLiteral("対模様その２"));
    sheet.chooseEntry(count - 1);
    sheet.leaveField(ColourPage::Rgb, 0, QStringLiteral("1"));
    ASSERT_TRUE(sheet.apply(editor.settings()));
    EXPECT_EQ(doc().tileSet->pairColours[count - 1].red, 1);
    EXPECT_EQ(ColourSheetLogic::texts(ColourSheetKind::PairColours).pageNames[1],
              QStringLiteral("TilePMColorHLS"));
    // A list of the wrong length is not taken.
    EXPECT_FALSE(editor.settings().applyPairColours({Rgb{}}));
}
