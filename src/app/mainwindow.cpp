#include "mainwindow.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

namespace pavelora {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("ZIRUZ"));
    setWindowTitle(QStringLiteral("Pavelora"));

    // Without a document the client area is dark grey.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::darkGray);
    setPalette(pal);
    setAutoFillBackground(true);

    // Placed at a twentieth of the screen from its top-left corner, 18/20 of it in size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const int w = area.width() / 20;
        const int h = area.height() / 20;
        setGeometry(area.x() + w, area.y() + h, 18 * w, 18 * h);
    }
}

} // namespace pavelora
