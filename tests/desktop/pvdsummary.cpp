// Prints what a document file holds, read with the program's own reader, for the desktop
// session: its tile set, the number of tiles on the board, and the palette's count of each
// kind. Exits 1 when the file does not open.
#include "document/documentio.h"

#include <cstdio>

namespace {

struct NoProgress : pavelora::Progress {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

struct PrintedErrors : pavelora::ErrorReporter {
    void reportError(const char* code) override { std::fprintf(stderr, "error %s\n", code); }
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: pvdsummary DOCUMENT.pvd\n", stderr);
        return 2;
    }
    NoProgress progress;
    PrintedErrors errors;
    // Any screen will do: only the board's contents are printed.
    const pavelora::ScreenGeometry screen{96 / 25.4, 96 / 25.4, 1000, 800};
    const pavelora::OpenResult result =
        pavelora::openDocument(QString::fromLocal8Bit(argv[1]), screen, progress, errors);
    if (!result.opened()) {
        return 1;
    }
    const pavelora::Document& doc = *result.document;
    std::printf("%s tiles %d counts", doc.tileSet->name.c_str(), doc.board.tileCount());
    for (const std::int32_t count : doc.kindCounts) {
        std::printf(" %d", static_cast<int>(count));
    }
    std::printf("\n");
    return 0;
}
