#include "cli/commandline.h"

#include "core/tiling/generator.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <array>
#include <optional>

namespace pavelora::cli {

namespace {

// Qt's options of every graphical program, taken by QGuiApplication and QApplication
// before the program sees its arguments.
constexpr std::array kQtOptionsWithValue{
    "style",         "stylesheet", "qmljsdebugger",   "platform",    "platformpluginpath",
    "platformtheme", "plugin",     "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session",       "display",    "geometry",        "dialogs",     "fontengine"};
constexpr std::array kQtFlags{"widgetcount", "reverse"};

// A whole-number option of the export within its range.
bool readNumber(const QCommandLineParser& parser, const QString& name, int lower, int upper,
                std::int32_t& value, QString& problem) {
    if (!parser.isSet(name)) {
        return true;
    }
    const QString text = parser.value(name);
    bool ok = false;
    const int number = text.toInt(&ok);
    const QString option = QStringLiteral("--") + name;
    if (!ok) {
        problem = QStringLiteral("%1 needs a whole number").arg(option);
        return false;
    }
    if (number < lower || number > upper) {
        problem = QStringLiteral("unknown option or value out of range: %1 %2").arg(option, text);
        return false;
    }
    value = number;
    return true;
}

// The rest of a --generate line: one output document, a Penrose set, a board, and the
// optional tile count and size.
CommandLine parseGenerate(const QCommandLineParser& parser, const QStringList& positional,
                          bool exportOption, CommandLine line) {
    auto refuse = [&line](const QString& problem) {
        line.action = Action::Refuse;
        line.problem = problem;
        return line;
    };
    if (exportOption || parser.isSet(QStringLiteral("export")) ||
        parser.isSet(QStringLiteral("export-jpeg"))) {
        return refuse(QStringLiteral("--generate goes with neither --export nor its options"));
    }
    if (positional.size() != 1) {
        return refuse(QStringLiteral("--generate needs one output document"));
    }
    if (!parser.isSet(QStringLiteral("set")) || !parser.isSet(QStringLiteral("board"))) {
        return refuse(QStringLiteral("--generate needs --set and --board"));
    }
    QString problem;
    if (!readNumber(parser, QStringLiteral("set"), 0, 0x7fffffff, line.setCode, problem) ||
        !readNumber(parser, QStringLiteral("board"), 60001, 60010, line.boardCode, problem) ||
        !readNumber(parser, QStringLiteral("tiles"), 1, kMostGeneratedTiles, line.tiles, problem) ||
        !readNumber(parser, QStringLiteral("tile-size"), 1, 1000, line.tileSizePercent, problem)) {
        return refuse(problem);
    }
    if (!generationSupported(line.setCode)) {
        return refuse(QStringLiteral("--set %1: patches are generated for the sets Penrose No.1, "
                                     "No.2 and No.3 only (50010, 50020, 50030)")
                          .arg(line.setCode));
    }
    line.action = Action::Generate;
    line.output = positional.front();
    return line;
}

} // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: pavelora [DOCUMENT.pvd]\n"
        "       pavelora --export DOCUMENT.pvd OUTPUT.svg|.pdf|.png|.jpg [--density DPI]\n"
        "                [--quality Q] [--form 1|2|3|cut]\n"
        "       pavelora --export-jpeg DOCUMENT.pvd OUTPUT.jpg [--density DPI] [--quality Q]\n"
        "                [--form 1|2|3]\n"
        "       pavelora --generate OUTPUT.pvd --set 50010|50020|50030 --board 60001..60010\n"
        "                [--tiles N] [--tile-size PERCENT]\n"
        "       pavelora --check DOCUMENT.pvd\n"
        "       pavelora --complete-forced DOCUMENT.pvd OUTPUT.pvd\n"
        "       pavelora --help | --version\n"
        "\n"
        "Without options, starts the tiling editor and opens DOCUMENT.pvd when given.\n"
        "--export writes the document's board at its true size, without opening a window, in\n"
        "the format of OUTPUT's extension (any letter case): SVG or PDF drawings in millimetres,\n"
        "a PNG or JPEG image at the density. --export-jpeg always writes JPEG. Density in dots\n"
        "per inch (default 200; also the width of a pixel of the drawings' lines), quality\n"
        "1..100 (JPEG only, default 100), form 1 with the pair pattern (default), 2 without it,\n"
        "3 tile outlines only, cut every edge of the tiling once as a thin line for a cutter or\n"
        "plotter (SVG and PDF; the images show the outlines).\n"
        "--generate writes a new document of the tile set (Penrose No.1, No.2 or No.3) on the\n"
        "board whose tiles form one joined, legal Penrose patch centred on the board: every\n"
        "tile that fits on the board, or at least N tiles. Tile size in percent of the set's\n"
        "size (default 100, or smaller when N tiles would not fit).\n"
        "--check prints \"x y\" (board centimetres) for every vertex of a group that no\n"
        "vertex star of the tile set can complete and exits with 1 when there is one, 0 when\n"
        "every vertex can still be completed (Penrose No.1, No.2 and No.3; 2 for other sets or a\n"
        "document that cannot be read). --complete-forced adds every tile that the vertex\n"
        "stars force and saves the result as OUTPUT.pvd.\n");
}

QString versionText() {
    return QStringLiteral("pavelora %1\n").arg(QStringLiteral(PAVELORA_VERSION));
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QString value = QStringLiteral("value");
    parser.addOption({QStringLiteral("export-jpeg"), QString()});
    parser.addOption({QStringLiteral("export"), QString()});
    parser.addOption({QStringLiteral("density"), QString(), value});
    parser.addOption({QStringLiteral("quality"), QString(), value});
    parser.addOption({QStringLiteral("form"), QString(), value});
    parser.addOption({QStringLiteral("generate"), QString()});
    for (const char* name : {"set", "board", "tiles", "tile-size"}) {
        parser.addOption({QString::fromLatin1(name), QString(), value});
    }
    parser.addOption({QStringLiteral("check"), QString()});
    parser.addOption({QStringLiteral("complete-forced"), QString()});
    parser.addOption({QStringLiteral("help"), QString()});
    parser.addOption({QStringLiteral("version"), QString()});
    for (const char* name : kQtOptionsWithValue) {
        parser.addOption({QString::fromLatin1(name), QString(), value});
    }
    for (const char* name : kQtFlags) {
        parser.addOption({QString::fromLatin1(name), QString()});
    }

    CommandLine line;
    auto refuse = [&line](const QString& problem) {
        line.action = Action::Refuse;
        line.problem = problem;
        return line;
    };
    if (!parser.parse(arguments)) {
        return refuse(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        line.action = Action::ShowHelp;
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.action = Action::ShowVersion;
        return line;
    }
    const QStringList positional = parser.positionalArguments();
    const bool check = parser.isSet(QStringLiteral("check"));
    const bool complete = parser.isSet(QStringLiteral("complete-forced"));
    if (check || complete) {
        if (check && complete) {
            return refuse(QStringLiteral("--check and --complete-forced exclude each other"));
        }
        bool other = false;
        for (const char* name : {"export", "export-jpeg", "density", "quality", "form", "generate",
                                 "set", "board", "tiles", "tile-size"}) {
            other = other || parser.isSet(QString::fromLatin1(name));
        }
        if (other) {
            return refuse(
                QStringLiteral("%1 takes no other command or option")
                    .arg(check ? QStringLiteral("--check") : QStringLiteral("--complete-forced")));
        }
        if (positional.size() != (check ? 1 : 2)) {
            return refuse(check ? QStringLiteral("--check needs one document")
                                : QStringLiteral("--complete-forced needs a document and an "
                                                 "output document"));
        }
        line.action = check ? Action::Check : Action::CompleteForced;
        line.document = positional[0];
        line.output = complete ? positional[1] : QString();
        return line;
    }
    const bool exportOption = parser.isSet(QStringLiteral("density")) ||
                              parser.isSet(QStringLiteral("quality")) ||
                              parser.isSet(QStringLiteral("form"));
    const bool generateOption =
        parser.isSet(QStringLiteral("set")) || parser.isSet(QStringLiteral("board")) ||
        parser.isSet(QStringLiteral("tiles")) || parser.isSet(QStringLiteral("tile-size"));
    if (parser.isSet(QStringLiteral("generate"))) {
        return parseGenerate(parser, positional, exportOption, line);
    }
    if (generateOption) {
        return refuse(QStringLiteral("--set, --board, --tiles and --tile-size go with --generate"));
    }
    const bool anyFormat = parser.isSet(QStringLiteral("export"));
    if (anyFormat && parser.isSet(QStringLiteral("export-jpeg"))) {
        return refuse(QStringLiteral("--export and --export-jpeg exclude each other"));
    }
    if (!parser.isSet(QStringLiteral("export-jpeg")) && !anyFormat) {
        if (exportOption) {
            return refuse(QStringLiteral(
                "--density, --quality and --form go with --export or --export-jpeg"));
        }
        if (!positional.isEmpty() &&
            positional.front().endsWith(QStringLiteral(".pvd"), Qt::CaseInsensitive)) {
            line.document = positional.front();
        }
        return line;
    }
    const QString command =
        anyFormat ? QStringLiteral("--export") : QStringLiteral("--export-jpeg");
    if (positional.size() != 2) {
        return refuse(command + QStringLiteral(" needs a document and an output file"));
    }
    line.action = anyFormat ? Action::Export : Action::ExportJpeg;
    line.document = positional[0];
    line.output = positional[1];
    if (anyFormat) {
        const std::optional<ExportFormat> format = exportFormatOf(line.output);
        if (!format) {
            return refuse(QStringLiteral("--export writes .svg, .pdf, .png or .jpg files, not %1")
                              .arg(line.output));
        }
        line.format = *format;
    }
    const bool cutForm = anyFormat && parser.isSet(QStringLiteral("form")) &&
                         parser.value(QStringLiteral("form")) == QLatin1String("cut");
    QString problem;
    if (!readNumber(parser, QStringLiteral("density"), 1, 65535, line.jpeg.density, problem) ||
        !readNumber(parser, QStringLiteral("quality"), 1, 100, line.jpeg.quality, problem) ||
        (!cutForm && !readNumber(parser, QStringLiteral("form"), 1, 3, line.jpeg.form, problem))) {
        return refuse(problem);
    }
    if (cutForm) {
        line.jpeg.form = outputform::Cut;
    }
    return line;
}

} // namespace pavelora::cli
