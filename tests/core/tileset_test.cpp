#include "core/geometry/tileset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pavelora;

TEST(TileSetCatalogue, ListsTheFiveSetsInOrder) {
    ASSERT_EQ(TileSetCatalogue.size(), 5u);
    const std::int32_t codes[] = {50010, 50020, 50030, 50040, 50050};
    const char* names[] = {"Penrose No.1", "Penrose No.2", "Penrose No.3", "Durer", "Kepler"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(TileSetCatalogue[i].code, codes[i]);
        EXPECT_STREQ(TileSetCatalogue[i].name, names[i]);
    }
}

TEST(BoardSizeTable, FindsRowsByCode) {
    const BoardSize* a4 = findBoardSize(60004);
    ASSERT_NE(a4, nullptr);
    EXPECT_STREQ(a4->name, "Ａ４横");
    EXPECT_EQ(a4->widthMm, 297);
    EXPECT_EQ(a4->heightMm, 210);

    EXPECT_EQ(findBoardSize(60011), nullptr);
    EXPECT_EQ(findBoardSize(60000), nullptr);

    // Paper formats: portrait rows are the landscape rows turned, A3 is twice A4 in area,
    // and B5 halves B4 along its long side (ISO A, JIS B, Japanese postcard sizes).
    for (std::size_t i = 0; i < BoardSizeTable.size(); i += 2) {
        const BoardSize& upright = BoardSizeTable[i];
        const BoardSize& across = BoardSizeTable[i + 1];
        EXPECT_EQ(upright.code + 1, across.code);
        EXPECT_EQ(upright.widthMm, across.heightMm);
        EXPECT_EQ(upright.heightMm, across.widthMm);
        EXPECT_LT(upright.widthMm, upright.heightMm);
    }
    EXPECT_STREQ(findBoardSize(60009)->name, "官製はがき縦");
    EXPECT_EQ(findBoardSize(60009)->widthMm, 100);
    EXPECT_EQ(findBoardSize(60009)->heightMm, 148);
    EXPECT_EQ(findBoardSize(60001)->heightMm, 2 * findBoardSize(60003)->widthMm);
    EXPECT_EQ(findBoardSize(60005)->heightMm / 2, findBoardSize(60007)->widthMm);
}

TEST(CreateTileSet, RefusesCodesThatAreNotSets) {
    std::int32_t patternOn = 7;
    for (std::int32_t code : {50015, 50060, 50000, 50011}) {
        EXPECT_EQ(createTileSet(code, &patternOn), nullptr) << code;
    }
    EXPECT_EQ(patternOn, 7); // untouched by a refusal
}

TEST(CreateTileSet, KindsNamesAndColoursInPaletteOrder) {
    auto kepler = createTileSet(setcode::Kepler);
    ASSERT_NE(kepler, nullptr);
    EXPECT_EQ(kepler->name, "Kepler");
    EXPECT_EQ(kepler->kindCodes, (std::vector<std::int32_t>{50031, 50053, 50051, 50052}));
    EXPECT_EQ(kepler->kindNames,
              (std::vector<std::string>{"Pentagon", "Pentagram", "Decagon", "Waned Decagon"}));
    EXPECT_EQ(kepler->kindColours[1], (Rgb{200, 200, 0}));
    EXPECT_EQ(kepler->pairColourCount(), 0);
    EXPECT_EQ(kepler->kindIndex(50051), 2);
    EXPECT_EQ(kepler->kindIndex(50011), -1);

    auto p3 = createTileSet(setcode::PenroseNo3);
    ASSERT_NE(p3, nullptr);
    EXPECT_EQ(p3->kindCount(), 6);
    EXPECT_EQ(p3->kindCodes.front(), 50032);
    EXPECT_EQ(p3->kindNames[4], "Waned Pentagram");
    EXPECT_EQ(p3->kindColours[0], (Rgb{100, 50, 50}));
    EXPECT_EQ(p3->kindColours[2], (Rgb{180, 70, 70}));
    EXPECT_EQ(p3->pairColours,
              (std::vector<Rgb>{{0, 255, 0}, {0, 0, 0}, {0, 0, 255}, {255, 0, 0}}));

    auto p1 = createTileSet(setcode::PenroseNo1);
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->kindNames, (std::vector<std::string>{"Dart", "Kaite"}));
    EXPECT_EQ(p1->kindColours, (std::vector<Rgb>{{200, 0, 0}, {0, 200, 200}}));
    EXPECT_EQ(p1->pairColours, (std::vector<Rgb>{{0, 0, 255}, {255, 0, 0}}));

    // "Narrow Diamond" is a different kind code in each of the three sets that have it.
    EXPECT_EQ(createTileSet(setcode::PenroseNo2)->kindCodes[1], 50022);
    EXPECT_EQ(p3->kindCodes[5], 50037);
    EXPECT_EQ(createTileSet(setcode::Durer)->kindCodes[1], 50041);
}

TEST(CreateTileSet, NumericSettingsAndPatternSwitch) {
    struct Expected {
        std::int32_t code;
        std::int32_t pattern;
        double extent;
        double ratio2;
    };
    const Expected sets[] = {
        {50010, 1, 2.3511410091789253, 0.01},
        {50020, 1, 1.902113032590307, 0.0030901699437494742},
        {50030, 1, 2.752763840942347, 0.0016245984811645317},
        {50040, 0, 1.902113032590307, 0.0030901699437494742},
        {50050, 0, 4.045084971874737, 0.005257311121191336},
    };
    for (const Expected& e : sets) {
        SCOPED_TRACE(e.code);
        std::int32_t patternOn = -1;
        auto set = createTileSet(e.code, &patternOn);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->hasPairPattern, e.pattern);
        EXPECT_EQ(patternOn, e.pattern);
        EXPECT_EQ(set->pairColourCount() > 0, e.pattern == 1);
        EXPECT_EQ(set->directionCount, 20);
        EXPECT_EQ(set->directionStep, 18);
        EXPECT_EQ(set->extent, e.extent);
        EXPECT_EQ(set->outlineInset, 0.01);
        EXPECT_EQ(set->outlineRatio2, e.ratio2);
    }
    // The extents are characteristic lengths of the sets' shapes: 4 sin 36° for darts and
    // kites, 2 sin 72° (the narrow rhomb's long diagonal) for the rhomb sets, 2 / tan 36°
    // for Penrose No.3 and 2.5 φ for Kepler.
    const double phi = (1 + std::sqrt(5.0)) / 2;
    const double deg = M_PI / 180;
    // The darts-and-kites literal was itself rounded once (it is 9e-12 off) and is kept
    // as it stands, since snapping tolerances and layouts derive from it.
    EXPECT_NEAR(createTileSet(50010)->extent, 4 * std::sin(36 * deg), 1e-11);
    EXPECT_NEAR(createTileSet(50020)->extent, 2 * std::sin(72 * deg), 1e-15);
    EXPECT_NEAR(createTileSet(50030)->extent, 2 / std::tan(36 * deg), 1e-15);
    EXPECT_NEAR(createTileSet(50050)->extent, 2.5 * phi, 1e-15);
}

TEST(CreateAngleTable, WholeDegreesTimesTheRadianFactor) {
    const AngleTable table = createAngleTable(*createTileSet(setcode::PenroseNo1));
    ASSERT_EQ(table.count, 20);
    ASSERT_EQ(table.sines.size(), 20u);
    ASSERT_EQ(table.cosines.size(), 20u);
    for (int k = 0; k < 20; ++k) {
        const double exact = k * 18 * M_PI / 180;
        EXPECT_NEAR(table.sines[k], std::sin(exact), 1e-15) << k;
        EXPECT_NEAR(table.cosines[k], std::cos(exact), 1e-15) << k;
    }
}
