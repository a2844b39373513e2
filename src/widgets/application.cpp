#include "widgets/application.h"

#include "editor/recovery.h"
#include "widgets/mainwindow.h"
#include "widgets/testcontrol.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace pavelora {

bool loadQtTexts(QTranslator& translator) {
    return translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

int runEditor(int& argc, char** argv, const QString& document) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavelora"));
    QTranslator qtTexts;
    if (loadQtTexts(qtTexts)) {
        QApplication::installTranslator(&qtTexts);
    }
    MainWindow window;
    window.editor().keepRecoveryCopies(RecoveryStore::defaultFolder());
    if (TestControl::wanted()) {
        new TestControl(window); // owned by the window
    }
    if (!document.isEmpty()) {
        window.editor().setStartupDocument(document);
    }
    window.show();
    return QApplication::exec();
}

} // namespace pavelora
