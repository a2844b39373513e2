#include "cli/opening.h"

#include "core/progress.h"

#include <cstdio>

namespace pavelora::cli {

namespace {

struct PrintedErrors : ErrorReporter {
    bool reported = false;
    void reportError(const char* code) override {
        std::fprintf(stderr, "Applicatione Error! CODE: %s\n", code);
        reported = true;
    }
};

} // namespace

OpenResult openForCommand(const QString& path) {
    SilentProgress progress;
    PrintedErrors errors;
    const ScreenGeometry screen{96 / 25.4, 96 / 25.4, 1024, 768};
    OpenResult opened = openDocument(path, screen, progress, errors);
    if (!opened.opened() && !errors.reported) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), OpenFailedMessage);
    }
    return opened;
}

} // namespace pavelora::cli
