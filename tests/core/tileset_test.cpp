#include "core/geometry/tileset.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

using namespace pavelora;

TEST(TileSets, ExtentsPatternSwitchAndBoardSizes) {
    // The extents are characteristic lengths of the shapes: 4 sin 36° for darts and kites,
    // 2 sin 72° (the narrow rhomb's long diagonal) for the rhomb sets, 2 / tan 36° for
    // Penrose No.3 and 2.5 φ for Kepler. The darts-and-kites value was rounded once (9e-12
    // off) and is kept as it stands, since snapping tolerances derive from it. Only the
    // Penrose sets have a pair pattern, which new documents start with shown.
    const double deg = std::numbers::pi / 180;
    const std::pair<std::int32_t, double> extents[] = {{50010, 4 * std::sin(36 * deg)},
                                                       {50020, 2 * std::sin(72 * deg)},
                                                       {50030, 2 / std::tan(36 * deg)},
                                                       {50040, 2 * std::sin(72 * deg)},
                                                       {50050, 2.5 * std::numbers::phi}};
    for (const auto& [code, extent] : extents) {
        std::int32_t patternOn = -1;
        auto set = createTileSet(code, &patternOn);
        ASSERT_NE(set, nullptr);
        EXPECT_NEAR(set->extent, extent, code == 50010 ? 1e-11 : 1e-15) << code;
        EXPECT_EQ((std::array{set->hasPairPattern, patternOn, set->pairColourCount() > 0 ? 1 : 0}),
                  (std::array{code <= 50030 ? 1 : 0, set->hasPairPattern, set->hasPairPattern}));
    }
    std::int32_t untouched = 7;
    for (std::int32_t code : {50015, 50060, 50000, 50011}) {
        EXPECT_EQ(createTileSet(code, &untouched), nullptr) << code;
    }
    EXPECT_EQ(untouched, 7);

    // Portrait rows are followed by the same paper turned. The sizes are borne out by the pixel
    // sizes of boards (view_test, render) and JIS B4, 257 × 364 mm.
    for (std::size_t i = 0; i < BoardSizeTable.size(); i += 2) {
        const BoardSize& upright = BoardSizeTable[i];
        const BoardSize& across = BoardSizeTable[i + 1];
        EXPECT_EQ(findBoardSize(across.code), &across);
        EXPECT_EQ((std::array{upright.code + 1, upright.widthMm, upright.heightMm}),
                  (std::array{across.code, across.heightMm, across.widthMm}));
        EXPECT_LT(upright.widthMm, upright.heightMm);
    }
    EXPECT_EQ((std::array{findBoardSize(60005)->widthMm, findBoardSize(60005)->heightMm}),
              (std::array{257, 364}));
    EXPECT_EQ(findBoardSize(60011), nullptr);
    EXPECT_EQ(findBoardSize(60000), nullptr);
}
