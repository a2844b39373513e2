// Tiles whose edge codes cancel but which would lie over a tile of the group: every kind at
// every rotation laid with each of its edges on each free edge of small legal groups. The
// overlap is measured here by sampling points, independently of the editor's geometry.
#include "fixture.h"
#include "support/patchboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace pavelora;
using pavelora::test::BoardFixture;

namespace {

struct P {
    double x;
    double y;
};

std::vector<P> corners(const Tile& t) {
    std::vector<P> out;
    for (const TileEdge& e : t.outline.edges) {
        out.push_back({e.x1, e.y1});
    }
    return out;
}

// Even-odd test, and the distance to the nearest edge.
bool inside(const std::vector<P>& poly, P p) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x <
                (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x) {
            in = !in;
        }
    }
    return in;
}

double edgeDistance(const std::vector<P>& poly, P p) {
    double best = 1e300;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const double dx = poly[i].x - poly[j].x;
        const double dy = poly[i].y - poly[j].y;
        const double t = std::clamp(
            ((p.x - poly[j].x) * dx + (p.y - poly[j].y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(poly[j].x + t * dx - p.x, poly[j].y + t * dy - p.y));
    }
    return best;
}

// Sampled points that lie inside both polygons, clear of both outlines.
int sharedSamples(const std::vector<P>& a, const std::vector<P>& b, double step) {
    double x0 = -1e300, x1 = 1e300, y0 = -1e300, y1 = 1e300;
    for (const auto* poly : {&a, &b}) {
        const auto [lowX, highX] =
            std::minmax_element(poly->begin(), poly->end(), [](P p, P q) { return p.x < q.x; });
        const auto [lowY, highY] =
            std::minmax_element(poly->begin(), poly->end(), [](P p, P q) { return p.y < q.y; });
        x0 = std::max(x0, lowX->x);
        x1 = std::min(x1, highX->x);
        y0 = std::max(y0, lowY->y);
        y1 = std::min(y1, highY->y);
    }
    int count = 0;
    for (double x = x0 + step / 3; x < x1; x += step) {
        for (double y = y0 + step / 7; y < y1; y += step) {
            const P p{x, y};
            if (inside(a, p) && inside(b, p) && edgeDistance(a, p) > step / 20 &&
                edgeDistance(b, p) > step / 20) {
                ++count;
            }
        }
    }
    return count;
}

struct Tally {
    int overlapping = 0;
    int joined = 0;
};

// Lays every kind of the set at every rotation with every edge reversed on every free edge
// of the group (lengths equal, codes cancelling), dropped through placeTile, and joins it.
// The overlapping ones must be refused with the board as it was; `grow` collects the
// joined ones that overlap nothing as two-tile groups to try next.
void tryAll(BoardFixture& f, Tally& tally, std::vector<std::pair<int, int>>* grow = nullptr) {
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
            auto unit = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind, rotation);
            for (int e = 0; e < unit->outline.count(); ++e) {
                const TileEdge& mine = unit->outline.edges[e];
                for (const auto& [owner, g] : freeEdges) {
                    const TileEdge& theirs = owner->outline.edges[g];
                    if ((theirs.direction + 10) % 20 != mine.direction ||
                        theirs.length != mine.length ||
                        (codes && theirs.matchCode + mine.matchCode != 0)) {
                        continue;
                    }
                    const auto [x, y] = f.aligned(kind, rotation, e, *owner, g);
                    auto probe = buildTile(f.doc.tileSet.get(), &f.doc.angles, kind, rotation);
                    placeOutline(f.doc, *probe, x, y);
                    int shared = 0;
                    for (const auto& t : group->tiles) {
                        shared += sharedSamples(corners(*probe), corners(*t), 0.04);
                    }
                    ASSERT_NE(f.drop(kind, rotation, x, y), nullptr);
                    const bool joined = joinCurrentTile(f.doc, f.sel);
                    if (shared > 0) {
                        ++tally.overlapping;
                        EXPECT_FALSE(joined) << kind << " turned " << rotation << ", edge " << e
                                             << " on edge " << g << " of " << owner->kind;
                    }
                    if (joined) {
                        ++tally.joined;
                        if (grow != nullptr && shared == 0) {
                            grow->push_back({kind, rotation * 100 + e * 10 + g});
                        }
                        removeTile(f.doc, group->tiles.back().get());
                    } else {
                        EXPECT_EQ(group->count(), tiles);
                        removeTile(f.doc, f.sel.currentTile);
                    }
                    f.sel.clear();
                    ASSERT_EQ(f.doc.board.count(), 1);
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

// One tile of each kind; for the sets with codes every other two-tile group that a join onto
// it makes, and for the generated sets the leading pieces of a patch.
TEST(Overlap, CancellingCodesNeverLetATileOverlapTheGroup) {
    for (const TileSetEntry& set : TileSetCatalogue) {
        SCOPED_TRACE(set.code);
        BoardFixture base(set.code);
        Tally tally;
        for (const std::int32_t kind : base.doc.tileSet->kindCodes) {
            BoardFixture f(set.code);
            Tile* first = f.putTile(kind, 0, 10.0, 14.0);
            std::vector<std::pair<int, int>> pairs;
            tryAll(f, tally, &pairs);
            // Without codes nearly every tile fits every edge: one tile is enough there.
            const std::size_t every = base.doc.tileSet->hasPairPattern != 0 ? 2 : pairs.size();
            for (std::size_t k = 0; k < pairs.size(); k += every) {
                const auto [other, code] = pairs[k];
                const auto [x, y] = f.aligned(other, code / 100, code / 10 % 10, *first, code % 10);
                f.drop(other, code / 100, x, y);
                ASSERT_TRUE(joinCurrentTile(f.doc, f.sel));
                tryAll(f, tally);
                removeTile(f.doc, first->group->tiles.back().get());
            }
        }
        using Generator = std::vector<testsupport::PlacedTile> (*)(int);
        const Generator generator = set.code == setcode::PenroseNo1   ? &testsupport::kiteDartPatch
                                    : set.code == setcode::PenroseNo2 ? &testsupport::rhombPatch
                                                                      : nullptr;
        for (int size : {2, 5, 9}) {
            if (generator != nullptr) {
                BoardFixture f(set.code);
                testsupport::layJoinedPatch(f.doc, generator(size), 10.0, 14.0);
                tryAll(f, tally);
            }
        }
        EXPECT_GT(tally.overlapping, 0);
        EXPECT_GT(tally.joined, 0);
    }
}
