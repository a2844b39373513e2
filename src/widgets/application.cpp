#include "widgets/application.h"

#include "editor/recovery.h"
#include "widgets/mainwindow.h"

#include <QApplication>

namespace pavelora {

int runEditor(int& argc, char** argv, const QString& document) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavelora"));
    MainWindow window;
    window.editor().keepRecoveryCopies(RecoveryStore::defaultFolder());
    if (!document.isEmpty()) {
        window.editor().setStartupDocument(document);
    }
    window.show();
    return QApplication::exec();
}

} // namespace pavelora
