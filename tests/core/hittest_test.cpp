#include "fixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

// Winding number of a closed polygon around a point.
int windingNumber(const EdgeChain& chain, double x, double y) {
    int winding = 0;
    for (const TileEdge& e : chain.edges) {
        const double cross = (e.x2 - e.x1) * (y - e.y1) - (x - e.x1) * (e.y2 - e.y1);
        if (e.y1 <= y && e.y2 > y && cross > 0) {
            ++winding;
        } else if (e.y1 > y && e.y2 <= y && cross < 0) {
            --winding;
        }
    }
    return winding;
}

} // namespace

// Points on outlines are looked at in patch_test: a tiling covers every point once.
TEST(PointInIndex, AgreesWithTheWindingNumberAwayFromTheOutline) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> spread(-4.0, 4.0);
    for (const TileSetEntry& entry : TileSetCatalogue) {
        BoardFixture f(entry.code);
        f.doc.view.tileSizeRatio = 1.3;
        for (int k = 0; k < 20 * f.doc.tileSet->kindCount(); ++k) {
            const std::int32_t kind = f.doc.tileSet->kindCodes[k / 20];
            const int rotation = k % 20;
            Tile* t = f.putTile(kind, rotation, 8.0, 9.0);
            for (int i = 0; i < 400; ++i) {
                const double x = 8.0 + spread(random);
                const double y = 9.0 + spread(random); // never exactly on the outline
                ASSERT_EQ(pointInIndex(t->edgeIndex, x, y, f.doc.angles),
                          windingNumber(t->outline, x, y) != 0)
                    << "kind " << kind << " rotation " << rotation << " at " << x << ", " << y;
            }
            removeTile(f.doc, t);
        }
    }
}

TEST(TileAtPixel, TopmostTileWins) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* below = f.putTile(kind::Kaite, 0, 8.0, 8.0);
    Tile* above = f.putTile(kind::Dart, 0, 8.0, 8.1);
    const auto at = [&f](double x, double y) {
        const BoardPixel q = f.pixelOf(x, y);
        return tileAtPixel(f.doc, q.x, q.y);
    };
    EXPECT_EQ(at(8.0, 8.05), above);
    bringGroupToTop(f.doc.board, below->group);
    EXPECT_EQ(at(8.0, 8.05), below);
    EXPECT_EQ(at(8.0, 8.9), below); // the Kaite's tip reaches beyond the dart
    EXPECT_EQ(at(12.0, 12.0), nullptr);
    EXPECT_EQ(tileAtPixel(f.doc, f.doc.view.boardOriginX - 5, f.pixelOf(8, 8).y), nullptr);
}

TEST(Regions, GroupsNearWhenEnlargedPolygonsShareAPixel) {
    // Rhombs 1.2 times enlarged: two stacked ones (corners n = cos 36° above and below the
    // position) meet at a distance of 2.4 n; 2.1 n apart they overlap, 2.6 n apart not.
    BoardFixture f(setcode::PenroseNo2);
    const double n = 0.8090169943749475;
    Tile* a = f.putTile(kind::WideDiamond, 0, 5.0, 5.0);
    Tile* touching = f.putTile(kind::WideDiamond, 0, 5.0 + 2 * 0.5877852522924731, 5.0);
    EXPECT_TRUE(groupsNear(*a->group, *touching));
    EXPECT_TRUE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.1 * n)));
    EXPECT_FALSE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.6 * n)));
    EXPECT_FALSE(groupsNear(*a->group, *f.putTile(kind::WideDiamond, 0, 12.0, 5.0)));
    // On the outline the left side counts as inside: the left corner, not the right one.
    const auto& corner = a->outline.edges;
    EXPECT_TRUE(pointInIndex(a->edgeIndex, corner[1].x1, corner[1].y1, f.doc.angles));
    EXPECT_FALSE(pointInIndex(a->edgeIndex, corner[3].x1, corner[3].y1, f.doc.angles));
    EXPECT_EQ(unite({}), QRegion());
    // A tile over the board's left edge has its region cut there.
    const View& v = f.doc.view;
    const Tile* edge = f.putTile(kind::WideDiamond, 0, 0.1, 9.0);
    const int bottom = v.boardOriginY + v.boardPixelHeight;
    EXPECT_LT(tilePixelPolygon(*edge, v, v.boardOriginX, bottom, 1.0).boundingRect().left(),
              v.boardOriginX);
    EXPECT_EQ(tileRegion(*edge, v, v.boardOriginX, bottom, 1.0).boundingRect().left(),
              v.boardOriginX);
}
