#include "app/commands.h"
#include "app/menustate.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace pavelora;

TEST(Menu, ItemsSeparatorsAndAccelerators) {
    // Four pull-downs, 23 commands.
    int headings = 0;
    std::set<int> ids;
    for (const MenuItem& item : MainMenu) {
        if (item.id == 0) {
            ++headings;
        } else {
            ids.insert(item.id);
        }
    }
    EXPECT_EQ(headings, 4);
    EXPECT_EQ(ids.size(), 23u);
    std::set<int> separated;
    for (const MenuItem& item : MainMenu) {
        if (item.separatorAfter) {
            separated.insert(item.id);
        }
    }
    EXPECT_EQ(separated, (std::set<int>{40002, 40005, 40007, 40009, 40022, 40025, 40032, 40034}));
    EXPECT_STREQ(MainMenu[1].text, "新規(&N)...");
    EXPECT_STREQ(MainMenu[1].accelerator, "Ctrl+N");
    // Every command's menu text shows the key that the accelerator table binds to it,
    // and only the first binding of a key acts.
    for (const MenuItem& item : MainMenu) {
        if (item.id == 0) {
            continue;
        }
        const std::string key = item.accelerator;
        ASSERT_EQ(key.rfind("Ctrl+", 0), 0u) << item.text;
        const int bound = acceleratorCommand(key.back());
        if (item.id == cmd::TileColour || item.id == cmd::PatternOn) {
            EXPECT_NE(bound, item.id) << item.text;
        } else {
            EXPECT_EQ(bound, item.id) << item.text;
        }
    }
    EXPECT_EQ(acceleratorCommand('C'), cmd::Close);
    EXPECT_EQ(acceleratorCommand('A'), cmd::SaveAs);
    EXPECT_EQ(acceleratorCommand('c'), cmd::Close);
    EXPECT_EQ(acceleratorCommand('Q'), 0);
}

TEST(MenuState, AtStartOnlyNewOpenExitAndHelp) {
    MenuState menu;
    std::set<int> enabled;
    for (int id : MenuCommands) {
        if (menu.enabled(id)) {
            enabled.insert(id);
        }
        EXPECT_FALSE(menu.checked(id));
    }
    EXPECT_EQ(enabled, (std::set<int>{40001, 40003, 40010, 40041, 40042}));
    // The accelerators that act without a document are exactly these.
    std::set<char> acting;
    for (const Accelerator& a : AcceleratorTable) {
        if (acceleratorCommand(a.letter) == a.command && menu.enabled(a.command)) {
            acting.insert(a.letter);
        }
    }
    EXPECT_EQ(acting, (std::set<char>{'N', 'O', 'X', 'H', 'I'}));
}

TEST(MenuState, NewDocumentWithAndWithoutPairPattern) {
    MenuState menu;
    menu.documentReady(true, false, true, false, 0);
    for (int id : {40002, 40006, 40007, 40008, 40009, 40021, 40022, 40023, 40024, 40025, 40026,
                   40032, 40034, 40041, 40042, 40010}) {
        EXPECT_TRUE(menu.enabled(id)) << id;
    }
    for (int id : {40001, 40003, 40004, 40005, 40031, 40033, 40035}) {
        EXPECT_FALSE(menu.enabled(id)) << id;
    }
    EXPECT_TRUE(menu.checked(40031));
    EXPECT_TRUE(menu.checked(40033));
    EXPECT_FALSE(menu.checked(40032));
    EXPECT_FALSE(menu.checked(40034));

    MenuState durer;
    durer.documentReady(false, false, false, false, 0);
    for (int id : {40024, 40033, 40034}) {
        EXPECT_FALSE(durer.enabled(id)) << id;
        EXPECT_FALSE(durer.checked(id)) << id;
    }

    // Switching the pattern off and on.
    menu.showPattern(false);
    EXPECT_TRUE(menu.enabled(40033));
    EXPECT_FALSE(menu.checked(40033));
    EXPECT_TRUE(menu.checked(40034));
    EXPECT_FALSE(menu.enabled(40034));
    menu.showPattern(true);
    EXPECT_FALSE(menu.enabled(40033));
    EXPECT_TRUE(menu.checked(40033));

    menu.markChanged();
    EXPECT_TRUE(menu.enabled(cmd::SaveAs));
    EXPECT_FALSE(menu.enabled(cmd::Save));
}

TEST(MenuState, OpenedDocumentShowsItsStoredModes) {
    MenuState menu;
    menu.documentReady(true, true, false, true, 3);
    EXPECT_TRUE(menu.enabled(cmd::Save));
    EXPECT_FALSE(menu.enabled(cmd::SaveAs));
    EXPECT_TRUE(menu.checked(cmd::GroupMode));
    EXPECT_FALSE(menu.enabled(cmd::GroupMode));
    EXPECT_TRUE(menu.enabled(cmd::TileMode));
    EXPECT_TRUE(menu.checked(cmd::PatternOff));
    EXPECT_TRUE(menu.enabled(cmd::PatternOn));
    EXPECT_TRUE(menu.enabled(cmd::TidyOrder));

    menu.noDocument();
    EXPECT_FALSE(menu.enabled(cmd::Close));
    EXPECT_FALSE(menu.checked(cmd::GroupMode));
    EXPECT_TRUE(menu.enabled(cmd::Open));
}
