#include "document/shiftjis.h"
#include "editor/settingslogic.h"
#include "editor/statusbar.h"
#include "fakeshell.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace pavelora;

namespace {

const QString kRefused =
    QStringLiteral("寸法の調整が行えませんでした。ボードをはみだした可能性があります。");

struct SettingsFixture : test::EditorHarness {
    PercentDialogLogic open(PercentSetting setting) { return PercentDialogLogic(setting, doc()); }
};

// Every tile's position and outline corners.
std::vector<double> snapshot(const Document& doc) {
    std::vector<double> all;
    for (const auto& group : doc.board.groups) {
        for (const auto& tile : group->tiles) {
            all.insert(all.end(), {tile->x, tile->y});
            for (const TileEdge& e : tile->outline.edges) {
                all.insert(all.end(), {e.x1, e.y1, e.x2, e.y2});
            }
        }
    }
    return all;
}

// How far the inner face lies inside the outline at each corner, in tile units: the
// corner's distance from the reference point less that of the inner face's corner.
std::vector<double> rimWidths(const Document& doc, const Tile& tile) {
    std::vector<double> widths;
    const double ratio = doc.view.tileSizeRatio;
    const auto& outer = tile.outline.edges;
    const auto& inner = tile.decorations.at(0).edges;
    for (std::size_t i = 0; i < outer.size() && i < inner.size(); ++i) {
        const double ox = (outer[i].x1 - tile.x) / ratio;
        const double oy = (outer[i].y1 - tile.y) / ratio;
        widths.push_back(std::hypot(ox, oy) - std::hypot(inner[i].x1, inner[i].y1));
    }
    return widths;
}

} // namespace

// --- Number fields ---

TEST(NumberFieldRule, OnlyDigitsWithinTheLimits) {
    EXPECT_EQ(readNumberField(QStringLiteral("45"), 0, 45), 45);
    EXPECT_EQ(readNumberField(QStringLiteral("0"), 0, 45), 0);
    EXPECT_EQ(readNumberField(QStringLiteral("007"), 0, 45), 7);
    for (const char* bad : {"46", "-5", "1a", "", " 5", "5 ", "+5", "4.5", "４５"}) {
        EXPECT_FALSE(readNumberField(QString::fromUtf8(bad), 0, 45)) << bad;
    }
    EXPECT_FALSE(readNumberField(QStringLiteral("24"), 25, 200));
    // Far more digits than any int holds: refused, not wrapped round into range.
    EXPECT_FALSE(readNumberField(QStringLiteral("4294967296"), 0, 45));
    EXPECT_FALSE(readNumberField(QString(300, QLatin1Char('9')), 0, 2147483647));
    EXPECT_EQ(readNumberField(QStringLiteral("2147483647"), 0, 2147483647), 2147483647);
}

TEST(NumberFieldRule, LimitsAreTruncatedAndSafe) {
    EXPECT_EQ(truncatedPercent(12.5), 12);
    EXPECT_EQ(truncatedPercent(28.999999999999996), 28);
    EXPECT_EQ(truncatedPercent(1e300), 2147483647);
    EXPECT_EQ(truncatedPercent(INFINITY), 2147483647);
    EXPECT_EQ(truncatedPercent(NAN), 0);
}

// --- Tile size, outline width and zoom ---

TEST_F(SettingsFixture, PercentDialogsOfANewDocument) {
    newDocument();
    const struct {
        PercentSetting setting;
        int value, lower, upper;
    } dialogs[] = {{PercentSetting::TileSize, 100, 25, 200},
                   {PercentSetting::OutlineWidth, 1, 1, 99},
                   {PercentSetting::Zoom, 100, 25, 200}};
    for (const auto& d : dialogs) {
        PercentDialogLogic dialog = open(d.setting);
        const QString value = QString::number(d.value);
        EXPECT_EQ((std::array{dialog.value(), dialog.lower(), dialog.upper()}),
                  (std::array{d.value, d.lower, d.upper}));
        // Out of range the field goes back to its value, and "適用" stays off.
        EXPECT_EQ(dialog.leaveField(QString::number(d.upper + 1)), value);
        EXPECT_EQ(dialog.leaveField(QString::number(d.lower - 1)), value);
        EXPECT_FALSE(dialog.applyEnabled());
        EXPECT_EQ(dialog.leaveField(QString::number(d.upper)), QString::number(d.upper));
        EXPECT_TRUE(dialog.applyEnabled());
    }
    // The spin control enables "適用" by itself.
    PercentDialogLogic zoom = open(PercentSetting::Zoom);
    zoom.spinMoved(101);
    EXPECT_EQ(zoom.value(), 101);
    EXPECT_TRUE(zoom.applyEnabled());
}

TEST_F(SettingsFixture, TileSizeAndZoomLimitEachOther) {
    newDocument();
    ASSERT_TRUE(editor.settings().applyZoom(200));
    PercentDialogLogic size = open(PercentSetting::TileSize);
    EXPECT_EQ(size.lower(), 12);
    EXPECT_EQ(size.upper(), 100);
    ASSERT_TRUE(editor.settings().applyZoom(100));
    ASSERT_TRUE(editor.settings().applyTileSize(50));
    PercentDialogLogic zoom = open(PercentSetting::Zoom);
    EXPECT_EQ(zoom.lower(), 50);
    EXPECT_EQ(zoom.upper(), 400);
    // The limits stay those of the opening.
    ASSERT_TRUE(editor.settings().applyTileSize(100));
    EXPECT_EQ(zoom.upper(), 400);
    EXPECT_EQ(zoom.leaveField(QStringLiteral("400")), QStringLiteral("400"));
}

TEST_F(SettingsFixture, PercentagesDoNotDriftBetweenOpenings) {
    newDocument();
    // 58 × 0.01 × 100 lies just below 58.
    ASSERT_LT((58 * 0.01) * 100, 58.0);
    for (PercentSetting setting :
         {PercentSetting::TileSize, PercentSetting::OutlineWidth, PercentSetting::Zoom}) {
        PercentDialogLogic first = open(setting);
        ASSERT_EQ(first.leaveField(QStringLiteral("58")), QStringLiteral("58"));
        ASSERT_TRUE(first.apply(editor.settings()));
        // Opened again and confirmed without a change, several times over.
        for (int i = 0; i < 3; ++i) {
            PercentDialogLogic again = open(setting);
            EXPECT_EQ(again.value(), 58);
            ASSERT_TRUE(again.apply(editor.settings()));
        }
    }
    EXPECT_EQ(doc().view.tileSizeRatio, 58 * 0.01);
    EXPECT_EQ(doc().tileSet->outlineInset, 58 * 0.01);
    EXPECT_EQ(doc().view.zoom, 58 * 0.01);
    EXPECT_EQ(shell.status[2], QStringLiteral("ｽﾞｰﾑ:58%"));
    EXPECT_EQ(shell.status[3], QStringLiteral("ﾀｲﾙ寸法:58%"));
    EXPECT_EQ(shell.status[4], QStringLiteral("ﾀｲﾙ輪郭幅:58%"));
}

TEST_F(SettingsFixture, AlternateOpeningsCannotWalkTheScaleAway) {
    newDocument();
    // Always taking the smallest tile size and then the largest zoom the dialogs offer
    // (and the other way round) stays within 1 %..800 %.
    for (int round = 0; round < 6; ++round) {
        PercentDialogLogic size = open(PercentSetting::TileSize);
        size.spinMoved(size.lower());
        ASSERT_TRUE(size.apply(editor.settings()));
        PercentDialogLogic zoom = open(PercentSetting::Zoom);
        zoom.spinMoved(zoom.upper());
        ASSERT_TRUE(zoom.apply(editor.settings()));
        EXPECT_GE(doc().view.tileSizeRatio, 0.01);
        EXPECT_LE(doc().view.zoom, 8.0);
    }
    // Tile size 3 % at zoom 800 %: the product rule alone would ask for a zoom of at
    // least 833 %.
    EXPECT_EQ(percentOf(doc().view.zoom), 800);
    EXPECT_EQ(percentOf(doc().view.tileSizeRatio), 3);
    PercentDialogLogic zoom = open(PercentSetting::Zoom);
    EXPECT_EQ(zoom.lower(), 800);
    EXPECT_EQ(zoom.upper(), 800);

    for (int round = 0; round < 6; ++round) {
        PercentDialogLogic size = open(PercentSetting::TileSize);
        size.spinMoved(size.upper());
        ASSERT_TRUE(size.apply(editor.settings()));
        PercentDialogLogic z = open(PercentSetting::Zoom);
        z.spinMoved(z.lower());
        ASSERT_TRUE(z.apply(editor.settings()));
        EXPECT_LE(doc().view.tileSizeRatio, 8.0);
        EXPECT_GE(doc().view.zoom, 0.01);
    }
    // The editor itself takes nothing outside the safe ranges.
    EXPECT_FALSE(editor.settings().applyTileSize(0));
    EXPECT_FALSE(editor.settings().applyTileSize(801));
    EXPECT_FALSE(editor.settings().applyZoom(0));
    EXPECT_FALSE(editor.settings().applyZoom(801));
    EXPECT_FALSE(editor.settings().applyOutlineWidth(100));
}

TEST_F(SettingsFixture, TileSizeScalesAboutTheMeanAndMarksTheChange) {
    newDocument();
    Tile* left = placeAt(kind::Kaite, 4.0, 10.0);
    Tile* right = placeAt(kind::Kaite, 6.0, 10.0);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    const double lx = left->x;
    const double rx = right->x;
    editor.board().selection().currentTile = right;
    editor.board().selection().currentGroup = right->group;
    right->selected = 1;
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));

    ASSERT_TRUE(editor.settings().applyTileSize(200));
    const double mean = (lx + rx) / 2;
    EXPECT_DOUBLE_EQ(left->x, mean - (rx - lx));
    EXPECT_DOUBLE_EQ(right->x, mean + (rx - lx));
    EXPECT_EQ(doc().view.tileSizeRatio, 2.0);
    EXPECT_EQ(editor.board().selection().currentTile, nullptr);
    EXPECT_EQ(editor.board().selection().currentGroup, nullptr);
    EXPECT_EQ(right->selected, 0);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
    EXPECT_EQ(shell.status[3], QStringLiteral("ﾀｲﾙ寸法:200%"));
    EXPECT_TRUE(shell.messages.empty());

    // Applying the same size again changes nothing.
    const auto before = snapshot(doc());
    ASSERT_TRUE(editor.settings().applyTileSize(200));
    EXPECT_EQ(snapshot(doc()), before);
}

TEST_F(SettingsFixture, ARefusedTileSizeLeavesEveryTileWhereItWas) {
    newDocument();
    const double width = boardWidthCm(doc().view);
    placeAt(kind::Dart, 1.0, 5.0);
    placeAt(kind::Kaite, width / 2, 5.0);
    placeAt(kind::Kaite, width - 1.0, 8.0);
    const auto before = snapshot(doc());
    Tile* current = doc().board.groups.back()->tiles.front().get();
    editor.board().selection().currentTile = current;
    current->selected = 1;
    const auto statusBefore = shell.status;

    EXPECT_FALSE(editor.settings().applyTileSize(200));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, kRefused);
    EXPECT_EQ(shell.messages[0].caption, QStringLiteral("タイル寸法指定操作"));
    EXPECT_EQ(snapshot(doc()), before);
    EXPECT_EQ(doc().view.tileSizeRatio, 1.0);
    EXPECT_EQ(editor.board().selection().currentTile, current);
    EXPECT_EQ(current->selected, 1);
    EXPECT_EQ(shell.status, statusBefore);
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));

    // Shrinking stays on the board.
    EXPECT_TRUE(editor.settings().applyTileSize(50));
    EXPECT_EQ(shell.messages.size(), 1u);
}

TEST_F(SettingsFixture, OutlineWidthFiveMakesTheRimsFiveTimesAsWide) {
    newDocument();
    Tile* dart = placeAt(kind::Dart, 8.0, 8.0);
    ASSERT_NE(dart, nullptr);
    const auto before = snapshot(doc());
    const std::vector<double> thin = rimWidths(doc(), *dart);
    const QImage paletteBefore = editor.palette().paletteImage().copy();
    const int paletteDraws = shell.paletteChanges;

    PercentDialogLogic outline = open(PercentSetting::OutlineWidth);
    outline.leaveField(QStringLiteral("5"));
    ASSERT_TRUE(outline.apply(editor.settings()));
    EXPECT_EQ(doc().tileSet->outlineInset, 0.05);
    EXPECT_EQ(doc().tileSet->outlineRatio2, 0.05);
    const std::vector<double> wide = rimWidths(doc(), *dart);
    ASSERT_EQ(wide.size(), thin.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        EXPECT_NEAR(wide[i], 5 * thin[i], 1e-12);
    }
    EXPECT_EQ(snapshot(doc()), before);
    // The palette's samples are drawn again with the new rims.
    EXPECT_GT(shell.paletteChanges, paletteDraws);
    EXPECT_NE(editor.palette().paletteImage(), paletteBefore);
    EXPECT_EQ(shell.status[4], QStringLiteral("ﾀｲﾙ輪郭幅:5%"));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
}

TEST_F(SettingsFixture, NothingAppliesWithoutADocument) {
    EXPECT_FALSE(editor.settings().applyTileSize(100));
    EXPECT_FALSE(editor.settings().applyOutlineWidth(5));
    EXPECT_FALSE(editor.settings().applyZoom(100));
    EXPECT_FALSE(editor.settings().applyBoardColour(Rgb{1, 2, 3}));
    EXPECT_FALSE(editor.settings().applyPrintSettings(PrintSettings{}));
    EXPECT_FALSE(editor.settings().applyJpegSettings(JpegSettings{}));
}

// --- Print setup and JPEG setup ---

TEST(SetupForms, ButtonsAndForms) {
    EXPECT_EQ(formButton(1), 0);
    EXPECT_EQ(formButton(2), 1);
    EXPECT_EQ(formButton(3), 2);
    EXPECT_EQ(formButton(0), 2);
    EXPECT_EQ(formButton(7), 2);
    EXPECT_EQ(formFromButtons(true, false), 1);
    EXPECT_EQ(formFromButtons(false, true), 2);
    EXPECT_EQ(formFromButtons(false, false), 3);
}

TEST(SetupForms, TitleIsCutAsTheFileKeepsIt) {
    EXPECT_EQ(storedPrintTitle(QStringLiteral("タイリング")), QStringLiteral("タイリング"));
    EXPECT_EQ(storedPrintTitle(QString(300, QLatin1Char('a'))), QString(254, QLatin1Char('a')));
    // Two bytes per kana: 127 of them fill 254 bytes.
    const QString kana(200, QChar(0x3042));
    EXPECT_EQ(storedPrintTitle(kana), QString(127, QChar(0x3042)));
    // One byte first: the 128th kana would need bytes 254 and 255.
    const QString mixed = QStringLiteral("a") + kana;
    const QString stored = storedPrintTitle(mixed);
    EXPECT_EQ(stored, QStringLiteral("a") + QString(126, QChar(0x3042)));
    EXPECT_LE(toShiftJis(stored, 1000).size(), 254u);
}

TEST_F(SettingsFixture, PrintSetupOkStoresAndMarksTheDocumentAndKeepsTheRest) {
    newDocument();
    PrintSetupLogic print(doc());
    EXPECT_EQ(print.boardTexts()[2], QStringLiteral("縦幅： 210 mm"));
    print.spinMoved(PrintSetupLogic::CutMarginY, 46); // the spin stops at its end
    print.leaveField(PrintSetupLogic::PaperMarginY, QStringLiteral("7"));
    print.accept(editor.settings(), QStringLiteral("題"), false, true);
    const PrintSettings& s = doc().printSettings;
    EXPECT_EQ(s.title, QStringLiteral("題"));
    EXPECT_EQ(s.paperMarginY, 7);
    EXPECT_EQ(s.cutMarginY, 45);
    EXPECT_EQ(s.printForm, 2);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));

    // What it was not asked to change stays as it was.
    doc().printSettings.printForm = 0;     // not one of the three: shown as the third button
    doc().printSettings.paperMarginX = 60; // from elsewhere, beyond the field's range
    doc().printSettings.reserved = 9;
    PrintSetupLogic again(doc());
    EXPECT_EQ(again.initialFormButton(), 2);
    again.accept(editor.settings(), again.initialTitle(), false, false);
    EXPECT_EQ((std::array{s.printForm, s.paperMarginX, s.paperMarginY, s.reserved}),
              (std::array{3, 60, 7, 9}));
}

TEST_F(SettingsFixture, JpegSetupOkIsNoChangeOfTheDocument) {
    newDocument();
    JpegSetupLogic jpeg(doc());
    EXPECT_EQ(jpeg.leaveField(JpegSetupLogic::Quality, QStringLiteral("101")),
              QStringLiteral("100"));
    jpeg.leaveField(JpegSetupLogic::Quality, QStringLiteral("0"));
    jpeg.accept(editor.settings(), false, false);
    EXPECT_EQ(doc().jpegSettings.quality, 0);
    EXPECT_EQ(doc().jpegSettings.form, 3);
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));
    EXPECT_EQ(JpegSetupLogic(doc()).initialFormButton(), 2);

    // Densities the export cannot use are not taken.
    EXPECT_FALSE(editor.settings().applyJpegSettings(JpegSettings{50, 0, 1}));
    EXPECT_FALSE(editor.settings().applyJpegSettings(JpegSettings{101, 100, 1}));
    EXPECT_EQ(doc().jpegSettings.density, 200);
}
