#include "editor/commands.h"
#include "editor/menustate.h"
#include "editor/palette.h"
#include "editor/statusbar.h"
#include "render/colourpictures.h"

#include <gtest/gtest.h>

using namespace pavelora;

TEST(Menu, EachItemShowsTheKeyBoundToItAndOnlyTheFirstItemOfAKeyActs) {
    for (const MenuItem& item : MainMenu) {
        const std::string key = item.accelerator;
        const bool second = item.id == cmd::TileColour || item.id == cmd::PatternOn;
        if (item.id == cmd::Undo) {
            EXPECT_EQ(key, "Alt+Backspace"); // the one key that is not Ctrl + letter
        } else if (item.id != 0) {
            EXPECT_TRUE(key.starts_with("Ctrl+") &&
                        (acceleratorCommand(key.back()) == item.id) != second)
                << item.text;
        }
    }
}

TEST(Menu, StateFollowsTheDocument) {
    MenuState menu;
    EXPECT_EQ(std::count_if(MenuCommands.begin(), MenuCommands.end(),
                            [&menu](int id) { return menu.enabled(id); }),
              5);
    EXPECT_TRUE(menu.enabled(cmd::New) && menu.enabled(cmd::Open) && menu.enabled(cmd::Exit) &&
                menu.enabled(cmd::Help) && menu.enabled(cmd::About));
    // An opened document shows its stored mode and pattern switch and its name.
    menu.documentReady(true, true, false, true, 1);
    EXPECT_TRUE(menu.checked(cmd::GroupMode) && menu.enabled(cmd::TileMode) &&
                menu.checked(cmd::PatternOff) && menu.enabled(cmd::PatternOn) &&
                menu.enabled(cmd::Save) && !menu.enabled(cmd::SaveAs) && !menu.enabled(cmd::New));
    menu.documentReady(false, false, false, false, 1); // a set without a pair pattern
    EXPECT_FALSE(menu.enabled(cmd::PairColour) || menu.enabled(cmd::PatternOn) ||
                 menu.checked(cmd::PatternOn) || menu.enabled(cmd::PatternOff));
}

TEST(StatusBar, TextsPartsAndPercentagesThatDoNotDrift) {
    Document doc;
    doc.tileSet = createTileSet(setcode::Durer);
    doc.view.pxPerMmX = doc.view.pxPerMmY = 96 / 25.4;
    openView(doc.view, 800, 600, 60007);
    rebuildView(doc.view, 1.5);
    doc.view.tileSizeRatio = 0.29; // 0.29 × 100 is 28.999999999999996
    EXPECT_EQ(statusTexts(doc),
              (std::array<QString, 5>{QStringLiteral("Ｂ５縦"), QStringLiteral("対原理：無"),
                                      QStringLiteral("ｽﾞｰﾑ:150%"), QStringLiteral("ﾀｲﾙ寸法:29%"),
                                      QStringLiteral("ﾀｲﾙ輪郭幅:1%")}));
    for (int p = 1; p <= 800; ++p) {
        ASSERT_EQ(percentOf(p * 0.01), p);
    }
    EXPECT_EQ(statusPartEdges(803), (std::array<int, 5>{160, 320, 480, 640, 800}));
}

TEST(Palette, FitsTheLongestNameAndClicksChooseAndUnchooseAsDoColourSquarePresses) {
    auto set = createTileSet(setcode::PenroseNo3);
    const PaletteSize size = paletteWindowSize(*set, 96 / 25.4, 96 / 25.4, {16, 7});
    EXPECT_EQ(size.width, 21 * 7); // "Waned Pentagram" and six more characters
    Palette palette = *buildPalette(*set, 96 / 25.4, 96 / 25.4, size.width, size.height, {16, 7});
    const PaletteCell first = palette.cells[0];
    const PaletteCell last = palette.cells[5];
    EXPECT_EQ(paletteClick(palette, last.right, last.bottom), last.kind); // edges count
    EXPECT_EQ(paletteClick(palette, first.left, first.top), first.kind);
    EXPECT_EQ(paletteClick(palette, first.left + 1, first.top + 1), -1); // again: unchosen
    paletteClick(palette, first.left, first.top);
    EXPECT_EQ(paletteClick(palette, first.left, first.bottom + 1), -1); // between the cells
    EXPECT_EQ(selectedPaletteKind(&palette), -1);
    // The colour square: above it, within its columns, the saturation only; outside both
    // bands, and in a control too small for a square, nothing.
    const LsPress above = lsAtPoint(125, 42, 2);
    EXPECT_TRUE(above.saturation == 30 && !above.lightness);
    for (const LsPress none : {lsAtPoint(125, 2, 123), lsAtPoint(1, 0, 0)}) {
        EXPECT_FALSE(none.saturation || none.lightness);
    }
}
