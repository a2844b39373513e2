#include "cli/rulescommand.h"

#include "cli/opening.h"
#include "core/progress.h"
#include "core/tiling/forcing.h"
#include "core/tiling/vertexrules.h"
#include "document/documentio.h"

#include <QLocale>

#include <cstdio>

namespace pavelora::cli {

namespace {

struct Opened {
    OpenResult result;
    std::unique_ptr<VertexAtlas> atlas;
};

// Opens the document and builds its set's atlas; reports why not on standard error.
bool openWithRules(const QString& path, Opened& opened) {
    opened.result = openForCommand(path);
    if (!opened.result.opened()) {
        return false;
    }
    const Document& doc = *opened.result.document;
    opened.atlas = VertexAtlas::create(*doc.tileSet, doc.angles);
    if (!opened.atlas) {
        std::fprintf(stderr, "%s: %s has no vertex rules\n", qPrintable(path),
                     doc.tileSet->name.c_str());
        return false;
    }
    return true;
}

QString number(double v) {
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

} // namespace

int checkCommand(const CommandLine& line) {
    Opened opened;
    if (!openWithRules(line.document, opened)) {
        return 2;
    }
    const std::vector<DeadEnd> ends = deadEnds(*opened.result.document, *opened.atlas);
    for (const DeadEnd& end : ends) {
        std::fprintf(stdout, "%s %s\n", qPrintable(number(end.x)), qPrintable(number(end.y)));
    }
    return ends.empty() ? 0 : 1;
}

int completeForcedCommand(const CommandLine& line) {
    Opened opened;
    if (!openWithRules(line.document, opened)) {
        return 2;
    }
    Document& doc = *opened.result.document;
    for (const auto& group : doc.board.groups) {
        for (const Tile* tile : completeForced(doc, *group, *opened.atlas)) {
            // The palette counts the tiles of each kind on the board.
            const int index = doc.tileSet->kindIndex(tile->kind);
            if (index >= 0 && index < static_cast<int>(doc.kindCounts.size())) {
                ++doc.kindCounts[static_cast<std::size_t>(index)];
            }
        }
    }
    SilentProgress progress;
    if (saveDocument(line.output, doc, opened.result.groupMode, progress) != SaveStatus::Saved) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(line.output),
                     "ファイルへの保存ができませんでした");
        return 2;
    }
    return 0;
}

} // namespace pavelora::cli
