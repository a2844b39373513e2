// Speed of drawing and output on a board of 10,000 tiles: a full redraw, one drag step's
// partial redraws, and the JPEG export of an "Ａ３縦" board at 200 dpi set against the
// library compressing the same picture alone; the same board as SVG and PDF (each under a
// second) and as PNG (within twice the JPEG export's time).
#include "core/board/board.h"
#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/generator.h"
#include "render/boardexport.h"
#include "render/jpegexport.h"
#include "render/tiledrawing.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

using namespace pavelora;

namespace {

constexpr int PatchTiles = 10000;

// An "Ａ３縦" board at 96 dpi with the pair pattern on, holding a kite-and-dart patch of
// 10,000 tiles (or as many as asked) at a size that fits the board, either as one group or
// one group per tile.
struct BigBoard {
    Document doc;
    BoardBuffers buffers;
    std::vector<Tile*> tiles;

    explicit BigBoard(bool oneGroup, int patchTiles = PatchTiles) {
        doc.tileSet = createTileSet(setcode::PenroseNo1, &doc.patternOn);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(96);
        openView(doc.view, 1600, 1000, 60001);
        const auto patch = generatePatch(setcode::PenroseNo1, PatchSeed::Sun, patchTiles).tiles;
        double reach = 0;
        for (const auto& t : patch) {
            reach = std::max(reach, std::hypot(t.x, t.y));
        }
        const double ratio = 14.0 / (reach + 2);
        doc.view.tileSizeRatio = ratio;
        const double ox = boardWidthCm(doc.view) / 2;
        const double oy = boardHeightCm(doc.view) / 2;
        auto group = newGroup();
        for (const auto& p : patch) {
            auto tile = buildTile(doc.tileSet.get(), &doc.angles, p.kind, p.rotation);
            placeOutline(doc, *tile, ox + ratio * p.x, oy + ratio * p.y);
            tiles.push_back(tile.get());
            appendTileRaw(*group, std::move(tile));
            if (!oneGroup) {
                rebuildGroup(doc, *group);
                appendGroup(doc.board, std::move(group));
                group = newGroup();
            }
        }
        if (oneGroup) {
            rebuildGroup(doc, *appendGroup(doc.board, std::move(group)));
        }
        (void)createBoardBuffers(buffers, doc.view);
        (void)redrawAllTiles(buffers, doc);
    }
};

// Arguments: one group or one per tile; tiles; plain drawing (each tile on its own, the
// regions made tile by tile) or the usual one.
void BM_RedrawAllTiles(benchmark::State& state) {
    BigBoard board(state.range(0) == 1, static_cast<int>(state.range(1)));
    const bool plain = state.range(2) == 1;
    usePlainTileDrawing(plain);
    usePlainRegions(plain);
    for (auto _ : state) {
        (void)redrawAllTiles(board.buffers, board.doc);
        benchmark::DoNotOptimize(board.buffers.backBuffer.constBits());
    }
    usePlainTileDrawing(false);
    usePlainRegions(false);
    state.counters["tiles"] = board.doc.board.tileCount();
    state.counters["groups"] = board.doc.board.count();
}
BENCHMARK(BM_RedrawAllTiles)
    ->ArgNames({"oneGroup", "tiles", "plain"})
    ->Args({0, 10000, 0})
    ->Args({1, 10000, 0})
    ->Args({1, 10000, 1})
    ->Args({0, 100000, 0})
    ->Args({1, 100000, 0})
    ->Args({1, 100000, 1})
    ->Unit(benchmark::kMillisecond);

// The part of a full redraw that builds the group's proximity region.
void BM_GroupProximityRegion(benchmark::State& state) {
    BigBoard board(true, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QRegion r = groupProximityRegion(*board.doc.board.groups.front(), board.doc.view);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_GroupProximityRegion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One step of dragging a tile across the big joined patch: the tile is rebuilt one pixel
// further on, the old one's surroundings are redrawn without it, the old tile goes, and
// the new one's surroundings are redrawn with it. Only the two redraws are timed.
void BM_DragStepRedraw(benchmark::State& state) {
    BigBoard board(true);
    Document& doc = board.doc;
    const Tile* centre = board.tiles.front();
    double x = centre->x;
    const double y = centre->y;
    Tile* moving = nullptr;
    {
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, kind::Kaite, 3);
        placeOutline(doc, *tile, x, y);
        moving = tile.get();
        auto group = newGroup();
        addTileToGroup(doc, *group, std::move(tile));
        appendGroup(doc.board, std::move(group));
    }
    double dx = doc.view.cmPerPixelX;
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++steps % 200 == 0) {
            dx = -dx; // back and forth over the patch
        }
        x += dx;
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, kind::Kaite, 3);
        placeOutline(doc, *tile, x, y);
        Tile* next = tile.get();
        auto group = newGroup();
        addTileToGroup(doc, *group, std::move(tile));
        appendGroup(doc.board, std::move(group));
        state.ResumeTiming();

        (void)redrawAroundTile(board.buffers, doc, moving, false);
        state.PauseTiming();
        removeTile(doc, moving);
        state.ResumeTiming();
        (void)redrawAroundTile(board.buffers, doc, next, true);
        moving = next;
    }
}
BENCHMARK(BM_DragStepRedraw)->Unit(benchmark::kMillisecond);

// The export set up once: the big patch on an "Ａ３縦" board, and the rendered picture as
// the library alone gets it, rows of red, green, blue bytes.
struct ExportCase {
    BigBoard board{true};
    JpegSettings settings{100, 200, 1};
    QString path = QDir::temp().filePath(QStringLiteral("pavelora_render_bench.jpg"));
    std::vector<unsigned char> rgb;
    int width = 0;
    int height = 0;

    ExportCase() {
        const QImage image = renderJpegImage(board.doc, settings);
        width = image.width();
        height = image.height();
        const QImage packed = image.convertToFormat(QImage::Format_RGB888);
        rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        for (int y = 0; y < height; ++y) {
            std::copy_n(packed.constScanLine(y), static_cast<std::size_t>(width) * 3,
                        rgb.data() +
                            static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3);
        }
    }
    ~ExportCase() { QFile::remove(path); }

    static ExportCase& get() {
        static ExportCase instance;
        return instance;
    }
};

void BM_JpegExportA3At200Dpi(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    for (auto _ : state) {
        if (exportJpeg(c.board.doc, c.settings, c.path, nullptr) != 1) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.counters["width"] = c.width;
    state.counters["height"] = c.height;
}
BENCHMARK(BM_JpegExportA3At200Dpi)->Unit(benchmark::kMillisecond);

void BM_JpegRenderOnlyA3At200Dpi(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    for (auto _ : state) {
        const QImage image = renderJpegImage(c.board.doc, c.settings);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_JpegRenderOnlyA3At200Dpi)->Unit(benchmark::kMillisecond);

// The library alone: the same picture, already in rows, compressed with the same
// parameters into the same file.
void compressAlone(const ExportCase& c, const QByteArray& name) {
    std::FILE* file = std::fopen(name.constData(), "wb");
    if (file == nullptr) {
        return;
    }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(c.width);
    cinfo.image_height = static_cast<JDIMENSION>(c.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, c.settings.quality, TRUE);
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(c.settings.density);
    cinfo.Y_density = static_cast<UINT16>(c.settings.density);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<unsigned char*>(c.rgb.data()) +
            static_cast<std::size_t>(cinfo.next_scanline) * static_cast<std::size_t>(c.width) * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::fclose(file);
    jpeg_destroy_compress(&cinfo);
}

void BM_LibjpegAloneA3At200Dpi(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    const QByteArray name = QFile::encodeName(c.path);
    for (auto _ : state) {
        compressAlone(c, name);
    }
}
BENCHMARK(BM_LibjpegAloneA3At200Dpi)->Unit(benchmark::kMillisecond);

// Both in turn within one run; the counter `ratio` is the whole export's time over the
// library's alone (the target is at most 3).
void BM_JpegExportOverLibjpeg(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    const QByteArray name = QFile::encodeName(c.path);
    double exportSeconds = 0;
    double aloneSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        exportJpeg(c.board.doc, c.settings, c.path, nullptr);
        auto middle = std::chrono::steady_clock::now();
        compressAlone(c, name);
        auto end = std::chrono::steady_clock::now();
        exportSeconds += std::chrono::duration<double>(middle - start).count();
        aloneSeconds += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = aloneSeconds > 0 ? exportSeconds / aloneSeconds : 0;
}
BENCHMARK(BM_JpegExportOverLibjpeg)->Unit(benchmark::kMillisecond);

// The other formats of the same board, form 1; the cut form of the vector files too.
void BM_ExportA3(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    const auto format = static_cast<ExportFormat>(state.range(0));
    const char* suffixes[] = {".jpg", ".png", ".svg", ".pdf"};
    JpegSettings settings = c.settings;
    settings.form = static_cast<std::int32_t>(state.range(1));
    const QString path = QDir::temp().filePath(QStringLiteral("pavelora_render_bench") +
                                               QString::fromLatin1(suffixes[state.range(0)]));
    for (auto _ : state) {
        if (exportBoard(c.board.doc, settings, path, format, nullptr) != 1) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
    QFile::remove(path);
}
BENCHMARK(BM_ExportA3)
    ->ArgNames({"format", "form"})
    ->Args({static_cast<int>(ExportFormat::Svg), outputform::WithPairPattern})
    ->Args({static_cast<int>(ExportFormat::Pdf), outputform::WithPairPattern})
    ->Args({static_cast<int>(ExportFormat::Svg), outputform::Cut})
    ->Args({static_cast<int>(ExportFormat::Pdf), outputform::Cut})
    ->Args({static_cast<int>(ExportFormat::Png), outputform::WithPairPattern})
    ->Unit(benchmark::kMillisecond);

// PNG and JPEG in turn within one run; the counter `ratio` is the PNG export's time over the
// JPEG export's (the target is at most 2).
void BM_PngExportOverJpegExport(benchmark::State& state) {
    ExportCase& c = ExportCase::get();
    const QString png = QDir::temp().filePath(QStringLiteral("pavelora_render_bench.png"));
    double pngSeconds = 0;
    double jpegSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        exportPng(c.board.doc, c.settings, png);
        auto middle = std::chrono::steady_clock::now();
        exportJpeg(c.board.doc, c.settings, c.path, nullptr);
        auto end = std::chrono::steady_clock::now();
        pngSeconds += std::chrono::duration<double>(middle - start).count();
        jpegSeconds += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["ratio"] = jpegSeconds > 0 ? pngSeconds / jpegSeconds : 0;
    QFile::remove(png);
}
BENCHMARK(BM_PngExportOverJpegExport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
