#include "widgets/palettewindow.h"

#include "editor/paletteinput.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pavelora {

PaletteWindow::PaletteWindow(PaletteInput& input, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), input_(input), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("PTILEPTN"));
    setWindowTitle(QStringLiteral("タイルパターン"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void PaletteWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, input_.paletteImage());
}

void PaletteWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        input_.paletteClicked(at.x(), at.y());
    }
}

namespace {
bool isFunctionKey(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F6;
}
} // namespace

// F1 to F6 place tiles; they act in the main window, which gets the focus. The release
// reaches whichever window has the focus by then: when that is still the palette, it is
// handed on too.
void PaletteWindow::keyPressEvent(QKeyEvent* event) {
    if (!isFunctionKey(event->key())) {
        return;
    }
    QKeyEvent forwarded(QEvent::KeyPress, event->key(), Qt::NoModifier);
    QCoreApplication::sendEvent(mainWindow_, &forwarded);
    mainWindow_->activateWindow();
    mainWindow_->setFocus();
}

void PaletteWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!isFunctionKey(event->key()) || event->isAutoRepeat()) {
        return;
    }
    QKeyEvent forwarded(QEvent::KeyRelease, event->key(), Qt::NoModifier);
    QCoreApplication::sendEvent(mainWindow_, &forwarded);
}

} // namespace pavelora
