#include "fixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

struct KindInSet {
    std::int32_t kind;
    std::int32_t set;
};

const KindInSet kKinds[] = {
    {50011, 50010}, {50012, 50010}, {50021, 50020}, {50022, 50020}, {50031, 50040}, {50034, 50030},
    {50035, 50030}, {50036, 50030}, {50037, 50030}, {50051, 50050}, {50052, 50050},
};

// Winding number of a closed polygon around a point, counted without the edge index.
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

TEST(PointInIndex, AgreesWithTheWindingNumberAwayFromTheOutline) {
    std::mt19937 random(12345);
    for (const KindInSet& k : kKinds) {
        BoardFixture f(k.set);
        f.doc.view.tileSizeRatio = 1.3;
        for (int rotation = 0; rotation < 20; ++rotation) {
            Tile* t = f.putTile(k.kind, rotation, 8.0, 9.0);
            std::uniform_real_distribution<double> spread(-4.0, 4.0);
            for (int i = 0; i < 400; ++i) {
                const double x = 8.0 + spread(random);
                const double y = 9.0 + spread(random); // never exactly on the outline
                const bool inside = windingNumber(t->outline, x, y) != 0;
                ASSERT_EQ(pointInIndex(t->edgeIndex, x, y, f.doc.angles), inside)
                    << "kind " << k.kind << " rotation " << rotation << " at " << x << ", " << y;
            }
            removeTile(f.doc, t);
        }
    }
}

TEST(PointInIndex, HalfOpenRuleAtVertices) {
    // The narrow rhomb at rotation 0: (0, q) (−c, 0) (0, −q) (c, 0).
    BoardFixture f(setcode::PenroseNo2);
    Tile* t = f.putTile(kind::NarrowDiamond2, 0, 5.0, 5.0);
    const auto& v = t->outline.edges;
    auto inside = [&](double x, double y) {
        return pointInIndex(t->edgeIndex, x, y, f.doc.angles);
    };
    EXPECT_TRUE(inside(5.0, 5.0));          // reference point
    EXPECT_TRUE(inside(v[1].x1, v[1].y1));  // left corner: on left edges
    EXPECT_FALSE(inside(v[3].x1, v[3].y1)); // right corner
    EXPECT_FALSE(inside(v[2].x1, v[2].y1)); // lowest corner, both edges rising
    EXPECT_FALSE(inside(v[0].x1, v[0].y1)); // top corner

    // A point level with a horizontal edge is decided by the other edges: the Durer
    // pentagon's bottom edge is horizontal.
    BoardFixture d(setcode::Durer);
    Tile* p = d.putTile(kind::Pentagon, 0, 5.0, 5.0);
    const TileEdge& bottom = p->outline.edges[2];
    ASSERT_EQ(bottom.direction, 0);
    const double midX = (bottom.x1 + bottom.x2) / 2;
    EXPECT_TRUE(pointInIndex(p->edgeIndex, midX, bottom.y1, d.doc.angles));
    EXPECT_FALSE(pointInIndex(p->edgeIndex, bottom.x2 + 0.01, bottom.y1, d.doc.angles));

    EXPECT_FALSE(pointInIndex(EdgeIndex{}, 5.0, 5.0, f.doc.angles));
}

TEST(EdgeIndex, RowsAscendAndEdgesAreOrderedWithinRows) {
    BoardFixture f(setcode::Kepler);
    Tile* t = f.putTile(kind::Decagon, 3, 6.0, 6.0);
    const EdgeIndex& index = t->edgeIndex;
    int edges = 0;
    for (std::size_t r = 0; r < index.rows.size(); ++r) {
        const EdgeRow& row = index.rows[r];
        if (r > 0) {
            EXPECT_LT(index.rows[r - 1].y, row.y);
        }
        for (std::size_t i = 0; i < row.edges.size(); ++i) {
            const SortedEdge& e = row.edges[i];
            EXPECT_EQ(e.y1, row.y);
            EXPECT_LE(e.y1, e.y2);
            if (i > 0) {
                const SortedEdge& prev = row.edges[i - 1];
                EXPECT_TRUE(prev.x1 < e.x1 || (prev.x1 == e.x1 && prev.x2 >= e.x2));
            }
            ++edges;
        }
    }
    EXPECT_EQ(edges, 10);

    // Edges with the same lower end and the same far x: the later one goes first.
    TileEdge a{0, 0, 1, 1, 1, 5, 0, nullptr, nullptr};
    TileEdge b{0, 0, 1, 1, 1, 5, 0, nullptr, nullptr};
    TileEdge c{0, 0, 2, 1, 1, 5, 0, nullptr, nullptr};
    TileEdge d{1, 1, -1, 0, 1, 11, 0, nullptr, nullptr}; // runs downwards: reversed
    EdgeIndex manual;
    for (TileEdge* e : {&a, &b, &c, &d}) {
        insertIntoIndex(manual, makeSortedEdge(*e, 20));
    }
    ASSERT_EQ(manual.rows.size(), 1u);
    const auto& row = manual.rows[0].edges;
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row[0].source, &d); // x1 −1
    EXPECT_EQ(row[0].direction, 1);
    EXPECT_EQ(row[1].source, &c); // x1 0, x2 2
    EXPECT_EQ(row[2].source, &b); // x1 0, x2 1, newer
    EXPECT_EQ(row[3].source, &a);
}

TEST(TileAtPixel, TopmostTileWins) {
    BoardFixture f(setcode::PenroseNo1);
    Tile* below = f.putTile(kind::Kaite, 0, 8.0, 8.0);
    Tile* above = f.putTile(kind::Dart, 0, 8.0, 8.1);
    const BoardPixel p = f.pixelOf(8.0, 8.05);
    EXPECT_EQ(tileAtPixel(f.doc, p.x, p.y), above);
    bringGroupToTop(f.doc.board, below->group);
    EXPECT_EQ(tileAtPixel(f.doc, p.x, p.y), below);

    // The Kaite's tip reaches a point the dart does not cover.
    const auto at = [&f](double x, double y) {
        const BoardPixel q = f.pixelOf(x, y);
        return tileAtPixel(f.doc, q.x, q.y);
    };
    EXPECT_EQ(at(8.0, 8.9), below);
    EXPECT_EQ(at(12.0, 12.0), nullptr);
    EXPECT_EQ(tileAtPixel(f.doc, f.doc.view.boardOriginX - 5, p.y), nullptr);

    // The reference point of a tile lies inside it.
    Tile* lone = f.putTile(kind::Dart, 7, 3.0, 20.0);
    EXPECT_EQ(at(3.0, 20.0), lone);
}

TEST(Regions, TilePolygonsAndClipping) {
    BoardFixture f(setcode::PenroseNo2);
    const View& v = f.doc.view;
    Tile* t = f.putTile(kind::WideDiamond, 0, 5.0, 5.0);
    const int left = v.boardOriginX;
    const int bottom = v.boardOriginY + v.boardPixelHeight;
    const QPolygon polygon = tilePixelPolygon(*t, v, left, bottom, 1.0);
    ASSERT_EQ(polygon.size(), 4);
    // Position and offset truncate separately: the top corner is n = cos 36° cm above.
    const double ppc = 10 * v.pxPerMmX;
    EXPECT_EQ(polygon[0].x(), left + static_cast<int>(ppc * 5.0));
    EXPECT_EQ(polygon[0].y(),
              bottom - static_cast<int>(ppc * 5.0) - static_cast<int>(ppc * 0.8090169943749475));
    const QRegion region = tileRegion(*t, v, left, bottom, 1.0);
    const BoardPixel at = f.pixelOf(5.0, 5.0);
    EXPECT_TRUE(region.contains(QPoint(at.x, at.y)));

    // A tile hanging over the board's left edge is clipped to the board.
    Tile* edge = f.putTile(kind::WideDiamond, 0, 0.1, 5.0);
    const QRegion clipped = tileRegion(*edge, v, left, bottom, 1.0);
    EXPECT_GE(clipped.boundingRect().left(), left);
    EXPECT_LT(QRegion(tilePixelPolygon(*edge, v, left, bottom, 1.0)).boundingRect().left(), left);

    // The same polygon at device scale: 600 units per inch at scale 1.
    const QRegion device = tileDeviceRegion(*t, 0, 10000, 1.0, 600 / 2.54, 600 / 2.54);
    EXPECT_NEAR(device.boundingRect().width(), 2 * 0.5877852522924731 * 600 / 2.54, 2.0);
}

TEST(Regions, GroupRegionsAreExactUnionsWhateverTheOrder) {
    BoardFixture f(setcode::PenroseNo1);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(2.0, 18.0);
    auto group = newGroup();
    for (int i = 0; i < 60; ++i) {
        auto tile =
            buildTile(f.doc.tileSet.get(), &f.doc.angles, i % 2 ? kind::Dart : kind::Kaite, i % 20);
        placeOutline(f.doc, *tile, spread(random), spread(random));
        addTileToGroup(f.doc, *group, std::move(tile));
    }
    // Built one tile at a time, pairwise, and one after the other: the same pixels.
    QRegion sequential;
    for (const auto& t : group->tiles) {
        sequential = sequential.united(tileProximityRegion(*t, f.doc.view));
    }
    EXPECT_EQ(group->region, sequential);
    EXPECT_EQ(groupProximityRegion(*group, f.doc.view), sequential);
    EXPECT_EQ(unite({}), QRegion());
}

TEST(Regions, EnlargedWanedPentagramPushesItsCutCornersOut) {
    BoardFixture f(setcode::PenroseNo3);
    const View& v = f.doc.view;
    Tile* waned = f.putTile(kind::WanedPentagram, 0, 6.0, 6.0);
    Tile* full = f.putTile(kind::Pentagram3, 0, 6.0, 6.0);
    const QPolygon w = tilePixelPolygon(*waned, v, 0, 1000, 1.5);
    const QPolygon p = tilePixelPolygon(*full, v, 0, 1000, 1.5);
    // The waned shape shares vertices 0..5 with the pentagram; its vertex 6 is the
    // pentagram's vertex 9.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w[i], p[i]);
    }
    const QPoint raw5 = p[5];
    const QPoint raw6 = p[9];
    EXPECT_EQ(w[5],
              QPoint(raw5.x() + (raw5.x() - p[4].x()) / 2, raw5.y() + (raw5.y() - p[4].y()) / 2));
    EXPECT_EQ(w[6],
              QPoint(raw6.x() + (raw6.x() - p[0].x()) / 2, raw6.y() + (raw6.y() - p[0].y()) / 2));
    // Not at factor 1.
    const QPolygon plain = tilePixelPolygon(*waned, v, 0, 1000, 1.0);
    const QPolygon fullPlain = tilePixelPolygon(*full, v, 0, 1000, 1.0);
    EXPECT_EQ(plain[5], fullPlain[5]);
    EXPECT_EQ(plain[6], fullPlain[9]);
}

TEST(Regions, GroupsNearWhenEnlargedPolygonsShareAPixel) {
    BoardFixture f(setcode::PenroseNo2);
    Tile* a = f.putTile(kind::WideDiamond, 0, 5.0, 5.0);
    // Touching at a corner, and far apart.
    Tile* touching = f.putTile(kind::WideDiamond, 0, 5.0 + 2 * 0.5877852522924731, 5.0);
    Tile* far = f.putTile(kind::WideDiamond, 0, 12.0, 5.0);
    EXPECT_TRUE(groupsNear(*a->group, *touching));
    EXPECT_TRUE(groupsNear(*touching->group, *a));
    EXPECT_FALSE(groupsNear(*a->group, *far));
    // Enlarged 1.2 times, the corners of two stacked rhombs (n = cos 36° above and below
    // the position) meet at a distance of 2.4 n: 2.1 n apart they overlap, 2.6 n apart not.
    Tile* close = f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.1 * 0.8090169943749475);
    EXPECT_TRUE(groupsNear(*a->group, *close));
    Tile* apart = f.putTile(kind::WideDiamond, 0, 5.0, 5.0 + 2.6 * 0.8090169943749475);
    EXPECT_FALSE(groupsNear(*a->group, *apart));
}
