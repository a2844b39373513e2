#include "document/documentio.h"
#include "render/jpegexport.h"
#include "widgets/mainwindow.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char kUsage[] =
    "Usage: pavelora [DOCUMENT.pvd]\n"
    "       pavelora --export-jpeg DOCUMENT.pvd OUTPUT.jpg [--density DPI] [--quality Q]\n"
    "                [--form 1|2|3]\n"
    "       pavelora --help\n"
    "\n"
    "Without options, starts the tiling editor and opens DOCUMENT.pvd when given.\n"
    "--export-jpeg writes the document's board as a JPEG image at its true size, without\n"
    "opening a window: density in dots per inch (default 200), quality 1..100 (default 100),\n"
    "form 1 with the pair pattern (default), 2 without it, 3 tile outlines only.\n";

bool endsWithPvd(const QString& path) {
    return path.endsWith(QStringLiteral(".pvd"), Qt::CaseInsensitive);
}

struct ExportRequest {
    QString document;
    QString output;
    pavelora::JpegSettings settings;
};

// Parses "--export-jpeg DOC OUT [options]"; prints the problem and returns nothing when
// the arguments do not make a request.
std::optional<ExportRequest> parseExport(const QStringList& args) {
    ExportRequest request;
    if (args.size() < 4) {
        std::fputs("pavelora: --export-jpeg needs a document and an output file\n", stderr);
        return std::nullopt;
    }
    request.document = args[2];
    request.output = args[3];
    for (int i = 4; i < args.size(); i += 2) {
        bool ok = false;
        const int value = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
        const QString& option = args[i];
        if (!ok) {
            std::fprintf(stderr, "pavelora: %s needs a whole number\n", qPrintable(option));
            return std::nullopt;
        }
        if (option == QStringLiteral("--density") && value >= 1 && value <= 65535) {
            request.settings.density = value;
        } else if (option == QStringLiteral("--quality") && value >= 1 && value <= 100) {
            request.settings.quality = value;
        } else if (option == QStringLiteral("--form") && value >= 1 && value <= 3) {
            request.settings.form = value;
        } else {
            std::fprintf(stderr, "pavelora: unknown option or value out of range: %s %s\n",
                         qPrintable(option), qPrintable(args[i + 1]));
            return std::nullopt;
        }
    }
    return request;
}

struct SilentProgress : pavelora::Progress {
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

struct PrintedErrors : pavelora::ErrorReporter {
    bool reported = false;
    void reportError(const char* code) override {
        std::fprintf(stderr, "Applicatione Error! CODE: %s\n", code);
        reported = true;
    }
};

int exportJpegCommand(const ExportRequest& request) {
    SilentProgress progress;
    PrintedErrors errors;
    // Opening sets up a view; any screen will do, the image has its own scale.
    const pavelora::ScreenGeometry screen{96 / 25.4, 96 / 25.4, 1024, 768};
    pavelora::OpenResult opened =
        pavelora::openDocument(request.document, screen, progress, errors);
    if (!opened.opened()) {
        if (!errors.reported) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(request.document),
                         pavelora::OpenFailedMessage);
        }
        return 1;
    }
    const int result =
        pavelora::exportJpeg(*opened.document, request.settings, request.output, &progress);
    if (result != 1) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.output),
                     qPrintable(pavelora::jpegResultMessage(result)));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const bool headless = argc >= 2 && (std::strcmp(argv[1], "--export-jpeg") == 0 ||
                                        std::strcmp(argv[1], "--help") == 0);
    if (headless) {
        // No window is opened: work without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        const QStringList args = QCoreApplication::arguments();
        if (args[1] == QStringLiteral("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const std::optional<ExportRequest> request = parseExport(args);
        if (!request) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return exportJpegCommand(*request);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavelora"));
    pavelora::MainWindow window;
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 2 && endsWithPvd(args[1])) {
        window.editor().setStartupDocument(args[1]);
    }
    window.show();
    return QApplication::exec();
}
