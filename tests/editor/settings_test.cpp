#include "document/documentimage.h"
#include "document/shiftjis.h"
#include "editor/colourlogic.h"
#include "editor/settingslogic.h"
#include "fakeshell.h"

#include <cmath>

using namespace pavelora;

namespace {

struct Settings : test::EditorHarness {
    SettingsApplier& target = editor.settings();
    PercentDialogLogic percent(PercentSetting setting) {
        return PercentDialogLogic(setting, doc());
    }
};

} // namespace

TEST(NumberFields, OnlyDigitsWithinTheLimitsAndLimitsThatStayInRange) {
    EXPECT_EQ(readNumberField(QStringLiteral("007"), 0, 45), 7);
    // Far more digits than an int holds are refused, not wrapped round into range.
    for (const char* bad : {"46", "-5", "1a", "", " 5", "+5", "４５", "4294967296"}) {
        EXPECT_FALSE(readNumberField(QString::fromUtf8(bad), 0, 45)) << bad;
    }
    EXPECT_EQ(readNumberField(QStringLiteral("2147483647"), 0, 2147483647), 2147483647);
    EXPECT_EQ((std::array{truncatedPercent(28.999999999999996), truncatedPercent(INFINITY),
                          truncatedPercent(NAN)}),
              (std::array{28, 2147483647, 0}));
}

TEST_F(Settings, PercentDialogsLimitEachOtherAndDoNotDrift) {
    newDocument();
    // Out of range the field shows its value again and "適用" stays off.
    PercentDialogLogic outline = percent(PercentSetting::OutlineWidth);
    EXPECT_EQ(outline.leaveField(QStringLiteral("100")), QStringLiteral("1"));
    EXPECT_FALSE(outline.applyEnabled());
    // Tile size × zoom stays between 25 % and 200 %, with the limits of the opening.
    ASSERT_TRUE(target.applyZoom(200));
    PercentDialogLogic size = percent(PercentSetting::TileSize);
    EXPECT_EQ((std::array{size.lower(), size.upper()}), (std::array{12, 100}));
    ASSERT_TRUE(target.applyZoom(100));
    size.spinMoved(5);
    EXPECT_TRUE(size.value() == 12 && size.applyEnabled());
    // 58 % is stored as 0.58, whose product with 100 lies just below 58: opened again and
    // confirmed, it stays 58. The palette's samples take the new outline width.
    const QImage palette = editor.palette().paletteImage().copy();
    for (PercentSetting setting :
         {PercentSetting::TileSize, PercentSetting::OutlineWidth, PercentSetting::Zoom}) {
        PercentDialogLogic first = percent(setting);
        first.leaveField(QStringLiteral("58"));
        ASSERT_TRUE(first.apply(target) && percent(setting).apply(target));
        EXPECT_EQ(percent(setting).value(), 58);
    }
    EXPECT_EQ(shell.status[4], QStringLiteral("ﾀｲﾙ輪郭幅:58%"));
    EXPECT_NE(editor.palette().paletteImage(), palette);
    // At tile size 3 % the product rule alone would ask for a zoom of 833 % at least:
    // alternate openings must not walk the scale out of 1..800 %.
    ASSERT_TRUE(target.applyZoom(800) && target.applyTileSize(3));
    PercentDialogLogic zoom = percent(PercentSetting::Zoom);
    EXPECT_EQ((std::array{zoom.lower(), zoom.upper()}), (std::array{800, 800}));
    EXPECT_FALSE(target.applyTileSize(801) || target.applyZoom(0));
}

TEST_F(Settings, EachSettingsCommandRunsItsDialogAndAnApplyRedrawsTheBoard) {
    const std::vector<int> commands{cmd::PrintSetup,   cmd::JpegSetup,  cmd::TileSize,
                                    cmd::OutlineWidth, cmd::TileColour, cmd::PairColour,
                                    cmd::BoardColour,  cmd::Zoom};
    for (int command : commands) {
        EXPECT_FALSE(editor.invokeMenuCommand(command)); // nothing open: disabled
    }
    EXPECT_TRUE(shell.dialogs.empty());
    EXPECT_FALSE(target.applyZoom(50) || target.applyBoardColour(Rgb{1, 2, 3})); // no document
    newDocument();
    for (int command : commands) {
        EXPECT_TRUE(editor.invokeMenuCommand(command));
    }
    EXPECT_EQ(shell.dialogs, commands);
    ASSERT_TRUE(target.applyBoardColour(Rgb{10, 20, 30}));
    const QImage& board = editor.buffers().backBuffer;
    EXPECT_EQ(board.pixel(board.width() / 2, board.height() / 2), qRgb(10, 20, 30));
}

TEST_F(Settings, TileSizeDropsTheSelectionOrIsRefusedChangingNothing) {
    newDocument();
    placeAt(kind::Dart, 1.0, 5.0);
    Tile* current = placeAt(kind::Kaite, boardWidthCm(doc().view) - 1.0, 8.0);
    sel().currentTile = current;
    current->selected = 1;
    const auto status = shell.status;
    EXPECT_FALSE(target.applyTileSize(200));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].shown(),
              QStringLiteral("タイル寸法指定操作|寸法の調整が行えません"
                             "でした。ボードをはみだした可能性があります。"));
    EXPECT_EQ(doc().view.tileSizeRatio, 1.0);
    EXPECT_TRUE(sel().currentTile == current && current->selected == 1);
    EXPECT_TRUE(shell.status == status && !editor.menu().enabled(cmd::SaveAs));

    EXPECT_TRUE(target.applyTileSize(50));
    EXPECT_TRUE(sel().currentTile == nullptr && current->selected == 0 &&
                editor.menu().enabled(cmd::SaveAs));
    EXPECT_EQ(shell.status[3], QStringLiteral("ﾀｲﾙ寸法:50%"));
}

TEST_F(Settings, SetupOkStoresWhatItShowsAndKeepsTheRest) {
    newDocument();
    // The JPEG setup's OK is no change of the document; densities the export cannot use
    // are not taken.
    JpegSetupLogic jpeg(doc());
    jpeg.leaveField(JpegSetupLogic::Quality, QStringLiteral("0"));
    jpeg.accept(target, false, true);
    EXPECT_EQ((std::array{doc().jpegSettings.quality, doc().jpegSettings.form}),
              (std::array{0, 2}));
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs) ||
                 target.applyJpegSettings(JpegSettings{50, 0, 1}));

    PrintSetupLogic print(doc());
    EXPECT_EQ(print.boardTexts()[2], QStringLiteral("縦幅： 210 mm"));
    print.spinMoved(PrintSetupLogic::CutMarginY, 46); // the spin stops at its end
    print.leaveField(PrintSetupLogic::PaperMarginY, QStringLiteral("7"));
    // The title is cut to 254 bytes of Shift-JIS, two a kana, a character never split.
    const QString title = QStringLiteral("a") + QString(200, QChar(0x3042));
    print.accept(target, title, false, false);
    const PrintSettings& s = doc().printSettings;
    EXPECT_EQ(s.title, title.left(127));
    EXPECT_EQ(toShiftJis(s.title, 1000).size(), 253u);
    EXPECT_EQ((std::array{s.paperMarginY, s.cutMarginY, s.printForm}), (std::array{7, 45, 3}));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
    // What it was not asked to change stays, even beyond the fields' ranges; a form that
    // is none of the three shows as the third.
    doc().printSettings.printForm = 0;
    doc().printSettings.paperMarginX = 60;
    PrintSetupLogic again(doc());
    EXPECT_EQ(again.initialFormButton(), 2);
    again.accept(target, again.initialTitle(), true, false);
    EXPECT_EQ((std::array{s.printForm, s.paperMarginX}), (std::array{1, 60}));
}

TEST_F(Settings, ColourSheetsEditAWorkingCopyAndApplyOnlyWhatWasEdited) {
    newDocument(setcode::Durer);
    ASSERT_TRUE(target.applyBoardColour(Rgb{200, 0, 0}));
    // Opening the sheet and pressing OK keeps a colour that no trip through HLS gives back
    // ((200, 0, 0) comes back as (198, 0, 0)).
    ColourSheetLogic board(ColourSheetKind::BoardColour, doc());
    board.activatePage(ColourPage::Hls);
    ASSERT_TRUE(board.apply(target));
    ASSERT_EQ(doc().view.boardColour, (Rgb{200, 0, 0}));
    board.activatePage(ColourPage::Rgb);
    EXPECT_EQ(board.values(ColourPage::Rgb), (std::array<int, 3>{200, 0, 0}));
    EXPECT_FALSE(board.leaveField(ColourPage::Rgb, 0, QStringLiteral("256")) ||
                 board.applyEnabled());
    // Red, green, blue stop at their ends; the hue goes round.
    board.scroll(ColourPage::Rgb, 1, ScrollRequest::PageBack);
    board.activatePage(ColourPage::Hls);
    board.scroll(ColourPage::Hls, 0, ScrollRequest::LineBack);
    EXPECT_EQ(board.values(ColourPage::Hls)[0], 359);
    ASSERT_TRUE(board.apply(target));
    EXPECT_EQ(doc().view.boardColour, board.workingColour().rgb());
    EXPECT_FALSE(board.applyEnabled());

    // Entries only looked at keep colours that no trip through HLS gives back; the palette
    // drops its pick.
    const std::vector<Rgb> odd{Rgb{200, 0, 0}, Rgb{10, 100, 51}};
    ASSERT_TRUE(target.applyKindColours(odd));
    const PaletteCell cell = editor.palette().cells()->cells[1];
    editor.palette().paletteClicked(cell.left + 1, cell.top + 1);
    ColourSheetLogic tiles(ColourSheetKind::TileColours, doc());
    tiles.activatePage(ColourPage::Hls);
    tiles.chooseEntry(1);
    tiles.chooseEntry(0);
    tiles.activatePage(ColourPage::Rgb);
    tiles.leaveField(ColourPage::Rgb, 1, QStringLiteral("20"));
    EXPECT_EQ(doc().tileSet->kindColours, odd); // nothing before the sheet applies
    ASSERT_TRUE(tiles.apply(target));
    EXPECT_EQ(doc().tileSet->kindColours, (std::vector<Rgb>{Rgb{200, 20, 0}, odd[1]}));
    EXPECT_TRUE(editor.palette().pickedKind() == -1 && !target.applyPairColours({Rgb{}}));
}

TEST_F(Settings, AnUneditedTitleKeepsTheBytesItWasReadFrom) {
    newDocument();
    // "≒" as its NEC row 13 code (its own code is 81 E0), a lead byte without its second
    // byte, and bytes after the terminator.
    PrintSettingsBlock read;
    const QByteArray bytes = QByteArray::fromHex("8790618200") + "rest";
    std::copy(bytes.begin(), bytes.end(), read.title.begin());
    doc().printSettings = fromPrintSettingsBlock(read);
    const auto savedTitle = [&] { return toPrintSettingsBlock(doc().printSettings).title; };
    PrintSetupLogic kept(doc());
    kept.accept(target, kept.initialTitle(), false, true);
    EXPECT_EQ(savedTitle(), read.title);

    PrintSetupLogic(doc()).accept(target, QStringLiteral("≒a"), false, true); // edited
    EXPECT_EQ(QByteArray(savedTitle().data()), QByteArray::fromHex("81E061"));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo)); // the read bytes come back
    EXPECT_EQ(savedTitle(), read.title);
}
