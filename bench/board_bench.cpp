// Speed of the board operations on large tilings: hit testing, joining onto big groups,
// moving big groups.
#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/generator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

using namespace pavelora;

namespace {

// A document on an "Ａ３横" board at 96 dpi whose board holds one joined group made of the
// first `tiles` tiles of a generated kite-and-dart patch, except those listed in `skip`,
// at a tile size that fits the patch on the board.
struct BigGroup {
    Document doc;
    std::vector<PatchTile> patch;
    TileGroup* group = nullptr;
    double ratio = 1.0;
    double originX = 0;
    double originY = 0;

    BigGroup(int tiles, std::vector<int> skip = {}) {
        doc.tileSet = createTileSet(setcode::PenroseNo1);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(96);
        openView(doc.view, 1600, 1000, 60002);
        const Patch generated = generatePatch(setcode::PenroseNo1, PatchSeed::Sun, tiles);
        patch = generated.tiles;
        ratio = tileSizeToFit(generated, 13.0);
        doc.view.tileSizeRatio = ratio;
        originX = boardWidthCm(doc.view) / 2;
        originY = boardHeightCm(doc.view) / 2;
        group = layPatch(doc, generated, originX, originY, skip);
    }

    double x(std::size_t i) const { return originX + patch[i].x * ratio; }
    double y(std::size_t i) const { return originY + patch[i].y * ratio; }
};

void BM_TileAtPixel(benchmark::State& state) {
    BigGroup big(static_cast<int>(state.range(0)));
    const View& v = big.doc.view;
    std::mt19937 random(1);
    std::uniform_int_distribution<int> px(v.boardOriginX + v.boardPixelWidth / 4,
                                          v.boardOriginX + 3 * v.boardPixelWidth / 4);
    std::uniform_int_distribution<int> py(v.boardOriginY + v.boardPixelHeight / 4,
                                          v.boardOriginY + 3 * v.boardPixelHeight / 4);
    int hits = 0;
    for (auto _ : state) {
        Tile* t = tileAtPixel(big.doc, px(random), py(random));
        hits += t != nullptr;
        benchmark::DoNotOptimize(t);
    }
    state.counters["hit%"] = 100.0 * hits / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TileAtPixel)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same by walking every tile, as before the groups had grids.
void BM_TileAtPixelWalking(benchmark::State& state) {
    BigGroup big(static_cast<int>(state.range(0)));
    const View& v = big.doc.view;
    std::mt19937 random(1);
    std::uniform_int_distribution<int> px(v.boardOriginX + v.boardPixelWidth / 4,
                                          v.boardOriginX + 3 * v.boardPixelWidth / 4);
    std::uniform_int_distribution<int> py(v.boardOriginY + v.boardPixelHeight / 4,
                                          v.boardOriginY + 3 * v.boardPixelHeight / 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tileAtPixelWalking(big.doc, px(random), py(random)));
    }
}
BENCHMARK(BM_TileAtPixelWalking)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One join onto a group of n tiles: the last tile of the patch (on its rim) is held back,
// put down a third of the snap tolerance off its place (at 100,000 tiles a pixel is beyond
// it), and joined. Undoing it is not timed.
void BM_JoinTile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BigGroup big(n + 1, {n});
    const double off = snapTolerance(big.doc) / 3;
    for (auto _ : state) {
        state.PauseTiming();
        auto tile = buildTile(big.doc.tileSet.get(), &big.doc.angles, big.patch[n].kind,
                              big.patch[n].rotation);
        placeOutline(big.doc, *tile, big.x(n) + off, big.y(n) - off);
        Tile* dropped = tile.get();
        auto own = newGroup();
        addTileToGroup(big.doc, *own, std::move(tile));
        appendGroup(big.doc.board, std::move(own));
        state.ResumeTiming();
        Tile* joined = joinTile(big.doc, dropped);
        state.PauseTiming();
        if (joined == nullptr) {
            state.SkipWithError("join refused");
            break;
        }
        removeTile(big.doc, dropped);
        removeTileFromGroup(big.doc, *big.group, joined);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_JoinTile)->Arg(2000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MoveGroup(benchmark::State& state) {
    BigGroup big(static_cast<int>(state.range(0)));
    double dx = 0.05;
    for (auto _ : state) {
        moveGroup(big.doc, *big.group, dx, -dx / 2);
        dx = -dx;
    }
}
BENCHMARK(BM_MoveGroup)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
