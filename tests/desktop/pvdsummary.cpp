// Prints what a document file holds, read with the program's own reader (on any screen):
// its tile set, the number of tiles on the board and the palette's count of each kind.
// Exits 1 when the file does not open.
#include "document/documentio.h"

#include <cstdio>

using namespace pavelora;

struct Quiet : Progress, ErrorReporter {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
    void reportError(const char* code) override { std::fprintf(stderr, "error %s\n", code); }
};

int main(int argc, char* argv[]) {
    Quiet quiet;
    const OpenResult result = argc == 2
                                  ? openDocument(QString::fromLocal8Bit(argv[1]),
                                                 {96 / 25.4, 96 / 25.4, 1000, 800}, quiet, quiet)
                                  : OpenResult{};
    if (!result.opened()) {
        return 1;
    }
    std::printf("%s tiles %d counts", result.document->tileSet->name.c_str(),
                result.document->board.tileCount());
    for (const std::int32_t count : result.document->kindCounts) {
        std::printf(" %d", static_cast<int>(count));
    }
    std::printf("\n");
}
