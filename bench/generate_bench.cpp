// Patch generation: 100,000 and 1,000,000 tiles generated and laid as one joined group
// (targets 1 s and 10 s; darts and kites, and 100,000 of the pentagon set), the memory each laid
// tile keeps (target under 4 KB), and the save and open of the generated 100,000-tile document
// (targets 0.5 s and 1 s).
#include "bench/opening.h"
#include "core/board/board.h"
#include "core/tiling/generator.h"
#include "document/documentio.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>

using namespace pavelora;
using bench::AbortOnError;
using bench::screen;

namespace {

// An empty "Ａ３横" document of the set at a tile size that lets `tiles` tiles round the
// middle of the board fit on it (a disc of 14 cm holds them with room to spare).
std::unique_ptr<Document> emptyDocument(std::int32_t set, int tiles) {
    auto doc = std::make_unique<Document>();
    doc->tileSet = createTileSet(set, &doc->patternOn);
    doc->angles = createAngleTable(*doc->tileSet);
    doc->view.pxPerMmX = doc->view.pxPerMmY = pixelsPerMillimetre(96);
    openView(doc->view, 1600, 1000, 60002);
    doc->view.tileSizeRatio = 14.0 / std::sqrt(tiles * 1.31 * 1.3 / 3.14159);
    doc->kindCounts.assign(static_cast<std::size_t>(doc->tileSet->kindCount()), 0);
    return doc;
}

std::optional<Generated> generateMiddle(Document& doc, int tiles) {
    return generateOnBoard(
        doc, {PatchSeed::Sun, tiles, boardWidthCm(doc.view) / 2, boardHeightCm(doc.view) / 2});
}

// Arguments: tiles, tile set.
void BM_GenerateAndLay(benchmark::State& state) {
    const int tiles = static_cast<int>(state.range(0));
    const auto set = static_cast<std::int32_t>(state.range(1));
    int laid = 0;
    double bytesPerTile = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = emptyDocument(set, tiles);
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        const auto made = generateMiddle(*doc, tiles);
        state.PauseTiming();
        if (!made) {
            state.SkipWithError("nothing generated");
            break;
        }
        laid = made->group->count();
        // What the laid group keeps: the heap in use once the generator's scratch is gone.
        bytesPerTile = static_cast<double>(mallinfo2().uordblks - before) / laid;
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["tiles"] = laid;
    state.counters["bytes/tile"] = bytesPerTile;
}
BENCHMARK(BM_GenerateAndLay)
    ->Args({100'000, setcode::PenroseNo1})
    ->Args({1'000'000, setcode::PenroseNo1})
    ->Args({100'000, setcode::PenroseNo3})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

const Document& generated100k() {
    static const std::unique_ptr<Document> doc = [] {
        auto d = emptyDocument(setcode::PenroseNo1, 100'000);
        generateMiddle(*d, 100'000);
        return d;
    }();
    return *doc;
}

void BM_SaveGenerated(benchmark::State& state) {
    const Document& doc = generated100k();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("generated.pvd"));
    SilentProgress progress;
    for (auto _ : state) {
        if (saveDocument(path, doc, false, progress) != SaveStatus::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["tiles"] = doc.board.tileCount();
}
BENCHMARK(BM_SaveGenerated)->Unit(benchmark::kMillisecond);

void BM_OpenGenerated(benchmark::State& state) {
    const Document& doc = generated100k();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("generated.pvd"));
    SilentProgress progress;
    AbortOnError errors;
    if (saveDocument(path, doc, false, progress) != SaveStatus::Saved) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        OpenResult result = openDocument(path, screen(), progress, errors);
        if (!result.opened()) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(result.document.get());
    }
    state.counters["tiles"] = doc.board.tileCount();
}
BENCHMARK(BM_OpenGenerated)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
