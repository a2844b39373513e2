#include "cli/generatecommand.h"

#include "core/progress.h"
#include "core/tiling/generator.h"
#include "document/documentio.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace pavelora::cli {

namespace {

// A new, empty document as the editor makes one, seen on a 96 dpi screen.
std::unique_ptr<Document> newDocument(std::int32_t setCode, std::int32_t boardCode,
                                      double tileSizeRatio) {
    auto doc = std::make_unique<Document>();
    doc->view.pxPerMmX = doc->view.pxPerMmY = pixelsPerMillimetre(96);
    openView(doc->view, 1024, 768, boardCode);
    doc->view.tileSizeRatio = tileSizeRatio;
    doc->tileSet = createTileSet(setCode, &doc->patternOn);
    if (!doc->tileSet) {
        return nullptr;
    }
    doc->angles = createAngleTable(*doc->tileSet);
    doc->kindCounts.assign(static_cast<std::size_t>(doc->tileSet->kindCount()), 0);
    return doc;
}

} // namespace

int generateCommand(const CommandLine& line) {
    const QByteArray outputName = line.output.toLocal8Bit();
    const char* output = outputName.constData();
    const bool sizeGiven = line.tileSizePercent > 0;
    double ratio = sizeGiven ? line.tileSizePercent / 100.0 : 1.0;
    std::unique_ptr<Document> doc;
    // Without a size, N tiles that do not fit at 100 % are tried again smaller, a tenth at a time.
    for (int attempt = 0; attempt < 60; ++attempt, ratio *= 0.9) {
        doc = newDocument(line.setCode, line.boardCode, ratio);
        if (!doc) {
            std::fprintf(stderr, "%s: tile set %d cannot be made\n", output, line.setCode);
            return 1;
        }
        const double cx = boardWidthCm(doc->view) / 2;
        const double cy = boardHeightCm(doc->view) / 2;
        const std::optional<Generated> made =
            generateOnBoard(*doc, {PatchSeed::Sun, line.tiles, cx, cy});
        if (made && (line.tiles == 0 || made->group->count() >= line.tiles)) {
            break;
        }
        if (sizeGiven || line.tiles == 0) {
            const int percent = static_cast<int>(std::lround(ratio * 100));
            if (line.tiles == 0) {
                std::fprintf(stderr, "%s: the board at a tile size of %d %% needs too many tiles\n",
                             output, percent);
            } else {
                std::fprintf(stderr,
                             "%s: %d tiles do not fit on the board at a tile size of %d %%\n",
                             output, line.tiles, percent);
            }
            return 1;
        }
        doc.reset();
    }
    if (!doc) {
        std::fprintf(stderr, "%s: %d tiles do not fit on the board\n", output, line.tiles);
        return 1;
    }
    SilentProgress progress;
    if (saveDocument(line.output, *doc, false, progress) != SaveStatus::Saved) {
        std::fprintf(stderr, "%s: %s\n", output, SaveFailedMessage);
        return 1;
    }
    return 0;
}

} // namespace pavelora::cli
