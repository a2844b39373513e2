#include "core/board/board.h"
#include "editor/statusbar.h"

#include <gtest/gtest.h>

using namespace pavelora;

TEST(StatusBar, TextsOfANewDocument) {
    Document doc;
    doc.tileSet = createTileSet(setcode::Durer);
    doc.view.pxPerMmX = doc.view.pxPerMmY = 96 / 25.4;
    openView(doc.view, 800, 600, 60007);
    const auto texts = statusTexts(doc);
    EXPECT_EQ(texts[0], QStringLiteral("Ｂ５縦"));
    EXPECT_EQ(texts[1], QStringLiteral("対原理：無"));
    EXPECT_EQ(texts[2], QStringLiteral("ｽﾞｰﾑ:100%"));
    EXPECT_EQ(texts[3], QStringLiteral("ﾀｲﾙ寸法:100%"));
    EXPECT_EQ(texts[4], QStringLiteral("ﾀｲﾙ輪郭幅:1%"));

    doc.tileSet = createTileSet(setcode::PenroseNo2);
    rebuildView(doc.view, 1.5);
    EXPECT_EQ(statusTexts(doc)[1], QStringLiteral("対原理：有"));
    EXPECT_EQ(statusTexts(doc)[2], QStringLiteral("ｽﾞｰﾑ:150%"));
}

TEST(StatusBar, PercentagesDoNotDrift) {
    // 0.29 × 100 is 28.999999999999996: shown as 29, not 28.
    EXPECT_EQ(percentOf(0.29), 29);
    EXPECT_EQ(percentOf(0.57), 57);
    for (int p = 1; p <= 800; ++p) {
        ASSERT_EQ(percentOf(p * 0.01), p);
    }
}

TEST(StatusBar, FiveEqualParts) {
    EXPECT_EQ(statusPartEdges(803), (std::array<int, 5>{160, 320, 480, 640, 800}));
    EXPECT_EQ(statusPartEdges(0), (std::array<int, 5>{0, 0, 0, 0, 0}));
}
