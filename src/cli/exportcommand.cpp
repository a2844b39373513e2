#include "cli/exportcommand.h"

#include "cli/opening.h"
#include "core/progress.h"
#include "render/boardexport.h"

#include <cstdio>

namespace pavelora::cli {

namespace {

int runExport(const CommandLine& line, ExportFormat format) {
    OpenResult opened = openForCommand(line.document);
    if (!opened.opened()) {
        return 1;
    }
    SilentProgress progress;
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
