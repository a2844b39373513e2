// Speed of the vertex rules on large tilings of the three Penrose sets: building the atlas,
// checking every vertex, bringing the dead-end marks up to date after one edit, completing the
// forced tiles of a patch with holes.
#include "core/board/board.h"
#include "core/tiling/forcing.h"
#include "core/tiling/generator.h"
#include "core/tiling/vertexrules.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace pavelora;

namespace {

// A document on an "Ａ３横" board whose board holds one joined group made of a generated
// patch of `tiles` tiles of the set, except those listed in `skip`.
struct PatchBoard {
    Document doc;
    TileGroup* group = nullptr;
    std::unique_ptr<VertexAtlas> atlas;

    PatchBoard(std::int32_t set, int tiles, const std::vector<int>& skip = {}) {
        doc.tileSet = createTileSet(set);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(96);
        openView(doc.view, 1600, 1000, 60002);
        const Patch patch = generatePatch(set, PatchSeed::Sun, tiles);
        doc.view.tileSizeRatio = tileSizeToFit(patch, 13.0);
        group = layPatch(doc, patch, boardWidthCm(doc.view) / 2, boardHeightCm(doc.view) / 2, skip);
        atlas = VertexAtlas::create(*doc.tileSet, doc.angles);
    }
};

std::int32_t setOf(const benchmark::State& state) {
    const std::int32_t sets[] = {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3};
    return sets[state.range(1) - 1];
}

// The atlas a document builds when a rule is first used (the pentagon set's stars are read off
// its patches once in a run, before the first iteration).
void BM_BuildAtlas(benchmark::State& state) {
    const auto set = createTileSet(setOf(state));
    const AngleTable angles = createAngleTable(*set);
    for (auto _ : state) {
        benchmark::DoNotOptimize(VertexAtlas::create(*set, angles));
    }
}
BENCHMARK(BM_BuildAtlas)->Args({0, 1})->Args({0, 2})->Args({0, 3})->Unit(benchmark::kMillisecond);

void BM_CheckAllVertices(benchmark::State& state) {
    PatchBoard p(setOf(state), static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<DeadEnd> ends = deadEnds(p.doc, *p.atlas);
        benchmark::DoNotOptimize(ends);
    }
}
BENCHMARK(BM_CheckAllVertices)
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Args({10000, 3})
    ->Unit(benchmark::kMillisecond);

// The marks round one tile in the middle of the board, as after a tile was laid or taken.
void BM_RefreshMarksAfterOneEdit(benchmark::State& state) {
    PatchBoard p(setOf(state), static_cast<int>(state.range(0)));
    std::vector<DeadEnd> marks = deadEnds(p.doc, *p.atlas);
    const Tile& tile = *p.group->tiles[p.group->tiles.size() / 2];
    const double reach = p.doc.view.tileSizeRatio * p.doc.tileSet->extent;
    for (auto _ : state) {
        refreshDeadEnds(marks, p.doc, *p.atlas, tile.x - reach, tile.y - reach, tile.x + reach,
                        tile.y + reach);
        benchmark::DoNotOptimize(marks);
    }
}
BENCHMARK(BM_RefreshMarksAfterOneEdit)
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Args({10000, 3})
    ->Unit(benchmark::kMicrosecond);

// 1,000 tiles drawn at random out of a 10,000-tile patch, then everything forced laid again.
void BM_CompleteForced(benchmark::State& state) {
    const int tiles = static_cast<int>(state.range(0));
    std::vector<int> skip(static_cast<std::size_t>(tiles));
    for (int i = 0; i < tiles; ++i) {
        skip[static_cast<std::size_t>(i)] = i;
    }
    std::shuffle(skip.begin(), skip.end(), std::mt19937(5));
    skip.resize(static_cast<std::size_t>(tiles / 10));
    std::size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PatchBoard p(setOf(state), tiles, skip);
        state.ResumeTiming();
        added = completeForced(p.doc, *p.group, *p.atlas).size();
        state.PauseTiming();
        benchmark::DoNotOptimize(added);
        state.ResumeTiming();
    }
    state.counters["added"] = static_cast<double>(added);
}
BENCHMARK(BM_CompleteForced)
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Args({10000, 3})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
