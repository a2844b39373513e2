#include "editor/palette.h"

#include <gtest/gtest.h>

using namespace pavelora;

namespace {
const double kPxPerMm = 96 / 25.4;
const PaletteFont kFont{16, 7};
} // namespace

TEST(Palette, SizeAndCellsFollowTheTileSet) {
    auto p1 = createTileSet(setcode::PenroseNo1);
    const PaletteSize size = paletteWindowSize(*p1, kPxPerMm, kPxPerMm, kFont);
    // The longest name (5 bytes) needs (5 + 6) × 7 = 77 px, more than the square's
    // 7.5 × 2.351 cm × 3.78 px/mm = 66.6 px.
    EXPECT_EQ(size.width, std::max(11 * 7, static_cast<int>(2.3511410091789253 * kPxPerMm * 7.5)));
    EXPECT_EQ(size.height, static_cast<int>((2.3511410091789253 * kPxPerMm * 7.0 + 32) * 2) + 30);
    auto p3 = createTileSet(setcode::PenroseNo3);
    const PaletteSize size3 = paletteWindowSize(*p3, kPxPerMm, kPxPerMm, kFont);
    EXPECT_EQ(size3.height, static_cast<int>((2.752763840942347 * kPxPerMm * 7.0 + 32) * 6) + 30);
    // "Waned Pentagram" is 15 bytes long.
    EXPECT_EQ(size3.width, std::max(21 * 7, static_cast<int>(2.752763840942347 * kPxPerMm * 7.5)));

    auto palette = buildPalette(*p1, kPxPerMm, kPxPerMm, 120, 300, kFont);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->count(), 2);
    const int side = static_cast<int>(kPxPerMm * 2.3511410091789253 * 5.0); // 44
    EXPECT_EQ(palette->cells[0].kind, kind::Dart);
    EXPECT_EQ(palette->cells[1].kind, kind::Kaite);
    EXPECT_EQ(palette->cells[0].left, (120 - side) / 2);
    EXPECT_EQ(palette->cells[0].right, (120 + side) / 2);
    EXPECT_EQ(palette->cells[0].top, side / 10 + 32);
    EXPECT_EQ(palette->cells[1].top, 150 + side / 10 + 32);
    EXPECT_EQ(palette->cells[1].bottom, palette->cells[1].top + side);
}

TEST(Palette, ClicksChooseAndUnchoose) {
    auto set = createTileSet(setcode::PenroseNo1);
    Palette palette = *buildPalette(*set, kPxPerMm, kPxPerMm, 120, 300, kFont);
    const PaletteCell first = palette.cells[0];
    const PaletteCell second = palette.cells[1];
    EXPECT_EQ(selectedPaletteKind(&palette), -1);
    EXPECT_EQ(selectedPaletteKind(nullptr), -1);

    // Edges of the square count as inside.
    EXPECT_EQ(paletteClick(palette, second.right, second.bottom), kind::Kaite);
    EXPECT_EQ(selectedPaletteKind(&palette), kind::Kaite);
    EXPECT_EQ(paletteClick(palette, first.left, first.top), kind::Dart);
    EXPECT_EQ(palette.cells[1].selected, 0);
    EXPECT_EQ(selectedPaletteKind(&palette), kind::Dart);
    // The chosen cell again: nothing chosen.
    EXPECT_EQ(paletteClick(palette, first.left + 1, first.top + 1), -1);
    EXPECT_EQ(selectedPaletteKind(&palette), -1);
    // Between the cells, on the text lines: nothing.
    paletteClick(palette, first.left, first.top);
    EXPECT_EQ(paletteClick(palette, first.left, first.bottom + 1), -1);
    EXPECT_EQ(selectedPaletteKind(&palette), -1);

    paletteClick(palette, first.left, first.top);
    clearPaletteSelection(palette);
    EXPECT_EQ(selectedPaletteKind(&palette), -1);
    ASSERT_NE(findPaletteCell(palette, kind::Kaite), nullptr);
    EXPECT_EQ(findPaletteCell(palette, kind::Kaite)->top, second.top);
    EXPECT_EQ(findPaletteCell(palette, kind::WideDiamond), nullptr);
}
