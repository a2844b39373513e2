// Tiles whose codes cancel but which would lie over a tile of the group: every kind at every
// rotation with each edge laid on each free edge of small legal groups, the overlap judged by
// the tests' own geometry.
#include "core/tiling/generator.h"
#include "fixture.h"
#include "support/penrosepatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

// Drops each such tile through placeTile and joins it: the overlapping ones are refused,
// board unchanged. Counts overlapping and joined candidates; `grow` gets the joined ones
// that overlap nothing.
void tryAll(BoardFixture& f, std::array<int, 2>& tally, std::vector<std::array<int, 4>>* grow) {
    TileGroup* group = f.doc.board.groups[0].get();
    const int tiles = group->count();
    const bool codes = f.doc.tileSet->hasPairPattern != 0;
    std::vector<std::pair<const Tile*, int>> freeEdges;
    for (const auto& t : group->tiles) {
        for (int i = 0; i < t->outline.count(); ++i) {
            if (t->outline.edges[i].neighbour == nullptr) {
                freeEdges.emplace_back(t.get(), i);
            }
        }
    }
    for (const std::int32_t kind : f.doc.tileSet->kindCodes) {
        for (std::int32_t rotation = 0; rotation < 20; ++rotation) {
            auto probe = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind, rotation);
            for (int e = 0; e < probe->outline.count(); ++e) {
                const TileEdge mine = probe->outline.edges[e];
                for (const auto& [owner, g] : freeEdges) {
                    const TileEdge& theirs = owner->outline.edges[g];
                    if ((theirs.direction + 10) % 20 != mine.direction ||
                        theirs.length != mine.length ||
                        (codes && theirs.matchCode + mine.matchCode != 0)) {
                        continue;
                    }
                    const auto [x, y] = f.aligned(kind, rotation, e, *owner, g);
                    probe = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind, rotation);
                    placeOutline(f.doc, *probe, x, y);
                    const bool overlap =
                        std::any_of(group->tiles.begin(), group->tiles.end(), [&](const auto& t) {
                            return testsupport::tilesOverlap(*probe, *t);
                        });
                    ASSERT_NE(f.drop(kind, rotation, x, y), nullptr);
                    const bool joined = joinCurrentTile(f.doc, f.sel);
                    EXPECT_FALSE(overlap && joined)
                        << kind << " turned " << rotation << ", edge " << e << " on edge " << g
                        << " of " << owner->kind;
                    EXPECT_EQ(group->count(), tiles + (joined ? 1 : 0));
                    tally[0] += overlap ? 1 : 0;
                    tally[1] += joined ? 1 : 0;
                    if (joined && !overlap && grow != nullptr) {
                        grow->push_back({kind, rotation, e, g});
                    }
                    removeTile(f.doc, joined ? group->tiles.back().get() : f.sel.currentTile);
                    f.sel.clear();
                }
            }
        }
    }
}

} // namespace

TEST(Overlap, KeplerPentagramInTheNotchOfAWanedDecagon) {
    // A third of the star would lie inside the decagon, yet no edge crosses another.
    BoardFixture f(setcode::Kepler);
    Tile* decagon = f.putTile(kind::WanedDecagon, 0, 10.0, 10.0);
    const auto [x, y] = f.aligned(kind::PentagramKepler, 0, 9, *decagon, 4);
    f.drop(kind::PentagramKepler, 0, x, y, 1, 0);
    EXPECT_FALSE(joinCurrentTile(f.doc, f.sel));
    EXPECT_EQ((std::array{f.doc.board.count(), decagon->group->count()}), (std::array{2, 1}));
    EXPECT_EQ(decagon->outline.edges[4].neighbour, nullptr);
}

// One tile of each kind; with codes also every other two-tile group a join onto it makes
// (without, nearly every tile fits every edge), and the leading pieces of generated patches.
TEST(Overlap, CancellingCodesNeverLetATileOverlapTheGroup) {
    for (const TileSetEntry& set : TileSetCatalogue) {
        SCOPED_TRACE(set.code);
        std::array<int, 2> tally{};
        const auto kinds = createTileSet(set.code)->kindCodes;
        for (const std::int32_t kind : kinds) {
            BoardFixture f(set.code);
            Tile* first = f.putTile(kind, 0, 10.0, 14.0);
            std::vector<std::array<int, 4>> pairs;
            tryAll(f, tally, &pairs);
            const std::size_t every = f.doc.tileSet->hasPairPattern != 0 ? 2 : pairs.size();
            for (std::size_t k = 0; k < pairs.size(); k += every) {
                const auto [other, rotation, e, g] = pairs[k];
                const auto [x, y] = f.aligned(other, rotation, e, *first, g);
                f.drop(other, rotation, x, y);
                ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
                tryAll(f, tally, nullptr);
                removeTile(f.doc, first->group->tiles.back().get());
            }
        }
        for (int size : {5, 9}) {
            if (set.code == setcode::PenroseNo1 || set.code == setcode::PenroseNo2) {
                BoardFixture p(set.code);
                layPatch(p.doc, generatePatch(set.code, PatchSeed::Sun, size), 10.0, 14.0);
                tryAll(p, tally, nullptr);
            }
        }
        EXPECT_GT(tally[0], 0);
        EXPECT_GT(tally[1], 0);
    }
}
