#include "widgets/application.h"

#include "editor/recovery.h"
#include "widgets/mainwindow.h"
#include "widgets/testcontrol.h"

#include <QApplication>

namespace pavelora {

int runEditor(int& argc, char** argv, const QString& document) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavelora"));
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
