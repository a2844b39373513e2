#include "fixture.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace pavelora;
using pavelora::test::BoardFixture;
using pavelora::testsupport::PlacedTile;

namespace {

struct SetCase {
    const char* name;
    std::int32_t set;
    std::vector<PlacedTile> (*patch)(int);
};

const SetCase kSets[] = {
    {"KitesAndDarts", setcode::PenroseNo1, &testsupport::kiteDartPatch},
    {"Rhombs", setcode::PenroseNo2, &testsupport::rhombPatch},
};

constexpr int kPatchTiles = 120;

// Lays generated patches on an "Ａ３横" board at the default tile size (one tile unit is
// one centimetre), its centre on the board's centre.
struct Assembly {
    BoardFixture f;
    std::vector<PlacedTile> patch;
    std::vector<std::vector<int>> neighbours;
    double originX = 0;
    double originY = 0;
    double shiftX = 0; // where the first tile actually landed, relative to its true place
    double shiftY = 0;
    std::map<const Tile*, int> index; // board tile -> patch tile

    explicit Assembly(const SetCase& c) : f(c.set, 60002), patch(c.patch(kPatchTiles)) {
        neighbours = testsupport::edgeNeighbours(patch, *f.doc.tileSet, f.doc.angles);
        originX = boardWidthCm(f.doc.view) / 2;
        originY = boardHeightCm(f.doc.view) / 2;
    }

    double trueX(int i) const { return originX + patch[i].x + shiftX; }
    double trueY(int i) const { return originY + patch[i].y + shiftY; }

    // Drops patch tile i near its place, off by up to a pixel either way besides the
    // pixel grid's own rounding, and joins it.
    bool dropAndJoin(int i, std::mt19937& random) {
        std::uniform_int_distribution<int> jitter(-1, 1);
        Tile* t = f.drop(patch[i].kind, patch[i].rotation, trueX(i), trueY(i), jitter(random),
                         jitter(random));
        if (t == nullptr) {
            ADD_FAILURE() << "tile " << i << " could not be placed";
            return false;
        }
        if (f.doc.board.count() == 1) {
            // The first tile: the patch is laid where it landed.
            shiftX = t->x - (originX + patch[i].x);
            shiftY = t->y - (originY + patch[i].y);
            index[t] = i;
            f.sel.clear();
            t->selected = 0;
            t->group->selected = 0;
            return true;
        }
        if (!joinCurrentTile(f.doc, f.sel)) {
            return false;
        }
        const Tile& joined = *f.doc.board.groups.back()->tiles.back();
        index[&joined] = i;
        expectMatchedVerticesFromTheGroup(joined);
        return true;
    }

    // The vertices of the edges a tile was joined along are the group's own values, bit
    // for bit: each equals an end of an edge of a tile it was joined to.
    static void expectMatchedVerticesFromTheGroup(const Tile& joined) {
        auto fromGroup = [&joined](double x, double y) {
            for (const TileEdge& e : joined.outline.edges) {
                if (e.neighbour == nullptr) {
                    continue;
                }
                for (const TileEdge& g : e.neighbour->outline.edges) {
                    if ((g.x1 == x && g.y1 == y) || (g.x2 == x && g.y2 == y)) {
                        return true;
                    }
                }
            }
            return false;
        };
        for (const TileEdge& e : joined.outline.edges) {
            if (e.neighbour != nullptr) {
                EXPECT_TRUE(fromGroup(e.x1, e.y1));
                EXPECT_TRUE(fromGroup(e.x2, e.y2));
            }
        }
    }

    void assemble(const std::vector<int>& order, unsigned seed) {
        std::mt19937 random(seed);
        for (std::size_t k = 0; k < order.size(); ++k) {
            ASSERT_TRUE(dropAndJoin(order[k], random))
                << "join " << k << " (patch tile " << order[k] << ") refused";
            ASSERT_EQ(f.doc.board.count(), 1);
            ASSERT_EQ(f.doc.board.groups[0]->count(), static_cast<int>(k + 1));
        }
    }

    // Every tile lies where the tiling puts it, every edge the tiling shares is joined both
    // ways, and joined edges coincide exactly.
    void expectWholeTiling(bool requireExact) const {
        ASSERT_EQ(f.doc.board.count(), 1);
        const TileGroup& group = *f.doc.board.groups[0];
        ASSERT_EQ(group.count(), static_cast<int>(patch.size()));
        for (const auto& t : group.tiles) {
            ASSERT_EQ(t->group, &group);
            const int i = index.at(t.get());
            EXPECT_EQ(t->kind, patch[i].kind);
            EXPECT_EQ(t->rotation, patch[i].rotation);
            EXPECT_NEAR(t->x, trueX(i), 1e-9);
            EXPECT_NEAR(t->y, trueY(i), 1e-9);
        }
        int joinedEdges = 0;
        int exact = 0;
        for (const auto& t : group.tiles) {
            const int i = index.at(t.get());
            std::vector<int> linked;
            for (const TileEdge& e : t->outline.edges) {
                if (e.neighbour == nullptr) {
                    continue;
                }
                ++joinedEdges;
                linked.push_back(index.at(e.neighbour));
                // The neighbour holds the same edge reversed, linked back. Where two
                // group tiles that meet only at a corner carried that corner in values a
                // last bit apart, a tile joined to both takes one of them, so the far side
                // may differ from it by that bit.
                int matches = 0;
                for (const TileEdge& back : e.neighbour->outline.edges) {
                    if (back.neighbour != t.get()) {
                        continue;
                    }
                    ++matches;
                    const double tiny = 1e-12;
                    EXPECT_NEAR(back.x1, e.x2, tiny);
                    EXPECT_NEAR(back.y1, e.y2, tiny);
                    EXPECT_NEAR(back.x2, e.x1, tiny);
                    EXPECT_NEAR(back.y2, e.y1, tiny);
                    exact +=
                        back.x1 == e.x2 && back.y1 == e.y2 && back.x2 == e.x1 && back.y2 == e.y1;
                }
                EXPECT_EQ(matches, 1) << "tile " << i;
            }
            std::sort(linked.begin(), linked.end());
            EXPECT_EQ(linked, neighbours[i]) << "tile " << i;
        }
        if (requireExact) {
            EXPECT_EQ(exact, joinedEdges);
        }
        EXPECT_EQ(group.region, groupProximityRegion(group, f.doc.view));
    }
};

class PatchAssembly : public testing::TestWithParam<SetCase> {};

} // namespace

TEST_P(PatchAssembly, BreadthFirst) {
    Assembly a(GetParam());
    a.assemble(testsupport::breadthFirstOrder(a.neighbours, 0), 1);
    // Every tile meets the patch along edges only: all joined edges are exact copies.
    a.expectWholeTiling(true);
}

TEST_P(PatchAssembly, RandomOrders) {
    for (unsigned seed : {11u, 22u, 33u, 44u}) {
        SCOPED_TRACE(seed);
        Assembly a(GetParam());
        a.assemble(testsupport::randomConnectedOrder(a.neighbours, seed), seed);
        a.expectWholeTiling(false);
    }
}

TEST_P(PatchAssembly, DetachFromTheMiddleAndJoinAgain) {
    Assembly a(GetParam());
    a.assemble(testsupport::breadthFirstOrder(a.neighbours, 0), 3);
    TileGroup& group = *a.f.doc.board.groups[0];
    // Patch tile 0 lies at the centre, surrounded by others.
    Tile* middle = nullptr;
    for (const auto& t : group.tiles) {
        if (a.index.at(t.get()) == 0) {
            middle = t.get();
        }
    }
    ASSERT_NE(middle, nullptr);
    ASSERT_TRUE(detachTile(a.f.doc, a.f.sel, middle));
    a.index.erase(middle);
    Tile* alone = a.f.sel.currentTile;
    ASSERT_EQ(a.f.doc.board.count(), 2);
    EXPECT_EQ(group.count(), kPatchTiles - 1);
    // The hole's edges are free again.
    for (const auto& t : group.tiles) {
        for (const TileEdge& e : t->outline.edges) {
            EXPECT_NE(e.neighbour, alone);
            EXPECT_NE(e.neighbour, middle);
        }
    }
    // Lifted a few pixels and dropped back in.
    ASSERT_TRUE(moveCurrentTileByPixels(a.f.doc, a.f.sel, 2, -1));
    ASSERT_TRUE(joinCurrentTile(a.f.doc, a.f.sel));
    a.index[a.f.doc.board.groups.back()->tiles.back().get()] = 0;
    a.expectWholeTiling(true);
}

TEST_P(PatchAssembly, IllegalDropsLeaveTheBoardUnchanged) {
    const SetCase& c = GetParam();
    Assembly a(c);
    // Hold back the first tile of the order that has a neighbour of the wanted kind:
    // a dart (resp. a thick rhomb).
    const std::int32_t heldKind = c.set == setcode::PenroseNo1 ? kind::Dart : kind::WideDiamond;
    std::vector<int> order = testsupport::breadthFirstOrder(a.neighbours, 0);
    int held = -1;
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (a.patch[order[k]].kind == heldKind) {
            held = order[k];
            order.erase(order.begin() + static_cast<long>(k));
            break;
        }
    }
    ASSERT_GE(held, 0);
    // The rest must still be connected without it: keep only what reaches tile 0.
    std::vector<std::vector<int>> without = a.neighbours;
    without[held].clear();
    for (auto& n : without) {
        n.erase(std::remove(n.begin(), n.end(), held), n.end());
    }
    order = testsupport::breadthFirstOrder(without, order[0]);
    a.assemble(order, 5);
    const TileGroup& group = *a.f.doc.board.groups[0];
    const int before = group.count();

    // Turned half a circle in its own place: a rhomb covers the same ground, a dart
    // sticks out; either way the edges meet their partners with the wrong codes.
    const std::int32_t turned = (a.patch[held].rotation + 10) % 20;
    ASSERT_NE(a.f.drop(heldKind, turned, a.trueX(held), a.trueY(held)), nullptr);
    EXPECT_FALSE(joinCurrentTile(a.f.doc, a.f.sel));
    EXPECT_EQ(group.count(), before);
    removeTile(a.f.doc, a.f.sel.currentTile);
    a.f.sel.clear();

    // Right way round it fits.
    ASSERT_NE(a.f.drop(heldKind, a.patch[held].rotation, a.trueX(held), a.trueY(held), 1, 0),
              nullptr);
    EXPECT_TRUE(joinCurrentTile(a.f.doc, a.f.sel));
    EXPECT_EQ(group.count(), before + 1);
}

INSTANTIATE_TEST_SUITE_P(Sets, PatchAssembly, testing::ValuesIn(kSets),
                         [](const testing::TestParamInfo<SetCase>& info) {
                             return std::string(info.param.name);
                         });

// Small tiles on the screen: the enlarged polygons of neighbours overlap by less than a
// pixel, yet every join must still find its group. (At a tenth of the size a dart's short
// edge is under 4 pixels long at 96 dpi; smaller tiles are worked on zoomed in.)
TEST(SmallTiles, JoinAtEveryTileSize) {
    for (double ratio : {0.3, 0.2, 0.1}) {
        SCOPED_TRACE(ratio);
        BoardFixture f(setcode::PenroseNo1, 60002);
        f.doc.view.tileSizeRatio = ratio;
        const auto patch = testsupport::kiteDartPatch(120);
        const auto neighbours = testsupport::edgeNeighbours(patch, *f.doc.tileSet, f.doc.angles);
        const double ox = boardWidthCm(f.doc.view) / 2;
        const double oy = boardHeightCm(f.doc.view) / 2;
        for (int i : testsupport::breadthFirstOrder(neighbours, 0)) {
            Tile* t = f.putTile(patch[i].kind, patch[i].rotation, ox + patch[i].x * ratio,
                                oy + patch[i].y * ratio);
            t->selected = 1;
            f.sel.currentTile = t;
            f.sel.currentGroup = t->group;
            if (f.doc.board.count() > 1) {
                ASSERT_TRUE(joinCurrentTile(f.doc, f.sel)) << "patch tile " << i;
            }
        }
        EXPECT_EQ(f.doc.board.count(), 1);
    }
}
