#include "cli/exportcommand.h"

#include "core/progress.h"
#include "document/documentio.h"
#include "render/boardexport.h"

#include <cstdio>

namespace pavelora::cli {

namespace {

struct SilentProgress : Progress {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

struct PrintedErrors : ErrorReporter {
    bool reported = false;
    void reportError(const char* code) override {
        std::fprintf(stderr, "Applicatione Error! CODE: %s\n", code);
        reported = true;
    }
};

} // namespace

namespace {

int runExport(const CommandLine& line, ExportFormat format) {
    SilentProgress progress;
    PrintedErrors errors;
    // Opening sets up a view; any screen will do, the image has its own scale.
    const ScreenGeometry screen{96 / 25.4, 96 / 25.4, 1024, 768};
    OpenResult opened = openDocument(line.document, screen, progress, errors);
    if (!opened.opened()) {
        if (!errors.reported) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(line.document), OpenFailedMessage);
        }
        return 1;
    }
    const int result = exportBoard(*opened.document, line.jpeg, line.output, format, &progress);
    if (result != 1) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(line.output),
                     qPrintable(exportResultMessage(format, result)));
        return 1;
    }
    return 0;
}

} // namespace

int exportJpegCommand(const CommandLine& line) {
    return runExport(line, ExportFormat::Jpeg);
}

int exportCommand(const CommandLine& line) {
    return runExport(line, line.format);
}

} // namespace pavelora::cli
