#pragma once

#include "core/board/settings.h"
#include "render/boardexport.h"

#include <QString>
#include <QStringList>

namespace pavelora::cli {

// What the program was asked to do.
enum class Action {
    StartEditor, // open the main window, with `document` when one was named
    ShowHelp,    // the usage on standard output
    ShowVersion, // the name and version on standard output
    ExportJpeg,  // `document` as a JPEG image in `output`, without a window
    Export,      // `document` in `output` as the `format` its extension names, without a window
    Generate,    // a new document in `output` filled with a generated patch, without a window
    Refuse,      // `problem` and the usage on standard error, exit code 2
};

struct CommandLine {
    Action action = Action::StartEditor;
    QString document;
    QString output;
    JpegSettings jpeg;
    ExportFormat format = ExportFormat::Jpeg;
    QString problem;
    // --generate: tile set and board codes, tiles wanted (0: the whole board) and tile size in
    // percent (0: 100 %, or smaller when the tiles would not fit).
    std::int32_t setCode = 0;
    std::int32_t boardCode = 0;
    std::int32_t tiles = 0;
    std::int32_t tileSizePercent = 0;
};

// Reads the program's arguments (the first is the program itself). Qt's own options for
// graphical programs (-platform, -style, -display, ...) are accepted and left to Qt; any
// other option is refused. Without an option the first argument is the document to open
// when it ends in ".pvd" in any letter case; other arguments are ignored.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace pavelora::cli
