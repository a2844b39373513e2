#include "editor/commands.h"
#include "editor/menustate.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using namespace pavelora;

TEST(Menu, ItemsSeparatorsAndAccelerators) {
    // Four pull-downs, 23 commands. Every command's menu text shows the key that the
    // accelerator table binds to it, and only the first binding of a key acts.
    int headings = 0;
    std::set<int> ids;
    std::set<int> separated;
    for (const MenuItem& item : MainMenu) {
        if (item.separatorAfter) {
            separated.insert(item.id);
        }
        if (item.id == 0) {
            ++headings;
            continue;
        }
        ids.insert(item.id);
        const std::string key = item.accelerator;
        ASSERT_EQ(key.rfind("Ctrl+", 0), 0u) << item.text;
        const int bound = acceleratorCommand(key.back());
        if (item.id == cmd::TileColour || item.id == cmd::PatternOn) {
            EXPECT_NE(bound, item.id) << item.text;
        } else {
            EXPECT_EQ(bound, item.id) << item.text;
        }
    }
    EXPECT_EQ(headings, 4);
    EXPECT_EQ(ids.size(), 23u);
    EXPECT_EQ(separated, (std::set<int>{40002, 40005, 40007, 40009, 40022, 40025, 40032, 40034}));
    EXPECT_EQ(acceleratorCommand('c'), cmd::Close);
    EXPECT_EQ(acceleratorCommand('Q'), 0);
}

namespace {

// The commands that are enabled, and those that are checked.
std::pair<std::set<int>, std::set<int>> stateOf(const MenuState& menu) {
    std::pair<std::set<int>, std::set<int>> state;
    for (int id : MenuCommands) {
        if (menu.enabled(id)) {
            state.first.insert(id);
        }
        if (menu.checked(id)) {
            state.second.insert(id);
        }
    }
    return state;
}

} // namespace

TEST(MenuState, AtStartOnlyNewOpenExitAndHelp) {
    MenuState menu;
    EXPECT_EQ(stateOf(menu).first, (std::set<int>{40001, 40003, 40010, 40041, 40042}));
    EXPECT_TRUE(stateOf(menu).second.empty());
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
    EXPECT_EQ(stateOf(menu).first,
              (std::set<int>{40002, 40006, 40007, 40008, 40009, 40010, 40021, 40022, 40023, 40024,
                             40025, 40026, 40032, 40034, 40041, 40042}));
    EXPECT_EQ(stateOf(menu).second, (std::set<int>{40031, 40033}));

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
