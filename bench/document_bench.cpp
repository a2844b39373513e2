// Saving and opening a document of 10,000 joined tiles. Target: under 100 ms each.
#include "bench/opening.h"
#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/generator.h"
#include "document/documentio.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace pavelora;
using bench::AbortOnError;
using bench::screen;

namespace {

constexpr int TileCount = 10000;

// A patch of darts and kites at 20 % tile size on an "Ａ３横" board, laid tile by tile and
// joined with joinTile as the editor joins them: one group of 10,000 tiles. The tiles are
// joined at 400 % zoom (at 100 % tiles this small lie too few pixels apart for the nearness
// test), then the view goes back to 100 % to show the whole tiling, as before a save.
std::unique_ptr<Document> makeDocument() {
    auto doc = std::make_unique<Document>();
    doc->tileSet = createTileSet(setcode::PenroseNo1, &doc->patternOn);
    doc->angles = createAngleTable(*doc->tileSet);
    const ScreenGeometry s = screen();
    doc->view.pxPerMmX = s.pxPerMmX;
    doc->view.pxPerMmY = s.pxPerMmY;
    openViewFromDocument(doc->view, s.clientWidth, s.clientHeight, 60002, 0.2, 4.0,
                         Rgb{255, 255, 255});
    doc->kindCounts.assign(doc->tileSet->kindCodes.size(), 0);
    const double ratio = doc->view.tileSizeRatio;
    const double cx = boardWidthCm(doc->view) / 2;
    const double cy = boardHeightCm(doc->view) / 2;
    for (const PatchTile& p : generatePatch(setcode::PenroseNo1, PatchSeed::Sun, TileCount).tiles) {
        auto tile = buildTile(doc->tileSet.get(), &doc->angles, p.kind, p.rotation);
        placeOutline(*doc, *tile, cx + ratio * p.x, cy + ratio * p.y);
        Tile* loose = tile.get();
        auto group = newGroup();
        addTileToGroup(*doc, *group, std::move(tile));
        appendGroup(doc->board, std::move(group));
        ++doc->kindCounts[static_cast<std::size_t>(doc->tileSet->kindIndex(p.kind))];
        if (doc->board.count() > 1) {
            if (joinTile(*doc, loose) == nullptr) {
                std::fprintf(stderr, "patch tile %d did not join\n", doc->board.tileCount());
                std::abort();
            }
            removeTile(*doc, loose);
        }
    }
    rebuildView(doc->view, 1.0);
    return doc;
}

const Document& document() {
    static const std::unique_ptr<Document> doc = makeDocument();
    return *doc;
}

void BM_SaveDocument(benchmark::State& state) {
    const Document& doc = document();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pvd"));
    SilentProgress progress;
    for (auto _ : state) {
        if (saveDocument(path, doc, true, progress) != SaveStatus::Saved) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["tiles"] = doc.board.tileCount();
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

// Opening at the zoom the document was saved with: the group regions are built in pixels,
// so their cost grows with the zoom. Argument: zoom in percent.
void BM_OpenDocument(benchmark::State& state) {
    Document& doc = const_cast<Document&>(document());
    rebuildView(doc.view, static_cast<double>(state.range(0)) / 100.0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pvd"));
    SilentProgress progress;
    AbortOnError errors;
    const bool saved = saveDocument(path, doc, true, progress) == SaveStatus::Saved;
    rebuildView(doc.view, 1.0);
    if (!saved) {
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
BENCHMARK(BM_OpenDocument)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
