#include "widgets/dialogs/progressdialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>

namespace pavelora {

ProgressDialog::ProgressDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ProgressDB"));
    setWindowTitle(QStringLiteral("ファイル入出力中"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    bar_ = new QProgressBar(this);
    bar_->setGeometry(10, 10, 200, 30);
    bar_->setTextVisible(false);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    setFixedSize(220, 50);
}

void ProgressDialog::appear() {
    if (!isVisible()) {
        show();
    }
    // The work runs on this thread: let the window show what it has.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressDialog::setText(const QString& text) {
    setWindowTitle(text);
    appear();
}

void ProgressDialog::start(int total) {
    bar_->setRange(0, total);
    bar_->setValue(0);
    appear();
}

void ProgressDialog::step(int amount) {
    bar_->setValue(std::min(bar_->maximum(), bar_->value() + amount));
    appear();
}

int ProgressDialog::value() const {
    return bar_->value();
}

int ProgressDialog::maximum() const {
    return bar_->maximum();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ProgressDialog::keyPressEvent(QKeyEvent* event) {
    event->ignore(); // no Escape either
}

} // namespace pavelora
