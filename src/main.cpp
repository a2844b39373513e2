#include "cli/commandline.h"
#include "cli/exportcommand.h"
#include "cli/generatecommand.h"
#include "cli/rulescommand.h"
#include "cli/startup.h"
#include "widgets/application.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

// The arguments as the program got them, before any application object exists: whether a
// window is needed at all is decided from them.
QStringList rawArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace

int main(int argc, char* argv[]) {
    pavelora::cli::prepareProcess();
    using pavelora::cli::Action;
    const pavelora::cli::CommandLine line =
        pavelora::cli::parseCommandLine(rawArguments(argc, argv));
    switch (line.action) {
    case Action::ShowHelp:
        std::fputs(qPrintable(pavelora::cli::usageText()), stdout);
        return 0;
    case Action::ShowVersion:
        std::fputs(qPrintable(pavelora::cli::versionText()), stdout);
        return 0;
    case Action::Refuse:
        std::fprintf(stderr, "pavelora: %s\n", qPrintable(line.problem));
        std::fputs(qPrintable(pavelora::cli::usageText()), stderr);
        return 2;
    case Action::ExportJpeg:
    case Action::Export: {
        // No window is opened: work without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return line.action == Action::Export ? pavelora::cli::exportCommand(line)
                                             : pavelora::cli::exportJpegCommand(line);
    }
    case Action::Generate:
        return pavelora::cli::generateCommand(line);
    case Action::Check:
    case Action::CompleteForced: {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return line.action == Action::Check ? pavelora::cli::checkCommand(line)
                                            : pavelora::cli::completeForcedCommand(line);
    }
    case Action::StartEditor:
        break;
    }

    return pavelora::runEditor(argc, argv, line.document);
}
