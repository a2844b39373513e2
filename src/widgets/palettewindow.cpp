#include "widgets/palettewindow.h"

#include "editor/paletteinput.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace pavelora {

// A tool window is transient for its owner: the window manager keeps it above the main
// window and hides it with it. It has no close box; where the window manager closes it
// anyway, it is only hidden. Showing it does not take the focus from the board.
PaletteWindow::PaletteWindow(PaletteInput& input, QWidget* mainWindow, QWidget* boardView)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), input_(input),
      mainWindow_(mainWindow), boardView_(boardView) {
    setObjectName(QStringLiteral("PTILEPTN"));
    setWindowTitle(QStringLiteral("タイルパターン"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
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

// F1 to F6 place tiles on the board: the key goes to the board view, which takes the
// keyboard focus in the main window. The release reaches whichever window has the focus
// by then: when that is still the palette, it is handed on too.
void PaletteWindow::keyPressEvent(QKeyEvent* event) {
    if (!isFunctionKey(event->key())) {
        return;
    }
    QKeyEvent forwarded(QEvent::KeyPress, event->key(), Qt::NoModifier);
    QCoreApplication::sendEvent(boardView_, &forwarded);
    mainWindow_->activateWindow();
    boardView_->setFocus(Qt::OtherFocusReason);
}

void PaletteWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!isFunctionKey(event->key()) || event->isAutoRepeat()) {
        return;
    }
    QKeyEvent forwarded(QEvent::KeyRelease, event->key(), Qt::NoModifier);
    QCoreApplication::sendEvent(boardView_, &forwarded);
}

// The main window deletes the palette with its document and never closes it: a close
// comes from the user.
void PaletteWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
    input_.paletteClosed();
}

} // namespace pavelora
