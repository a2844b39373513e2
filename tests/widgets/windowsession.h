#pragma once

#include "editor/commands.h"
#include "widgets/mainwindow.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace pavelora::test {

// Runs `answer` on the next modal dialog that opens. Whatever the answer does (a failed
// check returns from it early), the dialog is closed afterwards so that the test goes on.
// The watch can be called off by deleting the returned timer.
inline QPointer<QTimer> whenModalOpens(std::function<void(QDialog*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        QPointer<QDialog> dialog(modal);
        answer(modal);
        if (dialog && dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer->start();
    return timer;
}

// Accepts the new-document dialog, as it opens, with the given tile set and board rows.
inline void acceptNewDocument(int setRow, int boardRow) {
    whenModalOpens([setRow, boardRow](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("NewFileDB"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("新規作成"));
        dialog->findChild<QListWidget*>(QStringLiteral("30012"))->setCurrentRow(setRow);
        dialog->findChild<QListWidget*>(QStringLiteral("30013"))->setCurrentRow(boardRow);
        dialog->findChild<QPushButton*>(QStringLiteral("30001"))->click();
    });
}

// Closes the document, answering No to a save question if one comes.
inline void closeDiscarding(MainWindow& window) {
    QPointer<QTimer> watch = whenModalOpens([](QDialog* box) {
        if (auto* message = qobject_cast<QMessageBox*>(box)) {
            message->button(QMessageBox::No)->click();
        }
    });
    window.editor().executeCommand(cmd::Close);
    delete watch.data();
}

// A shown main window with a new document of the given tile set and board rows; the
// document is closed without saving at the end.
struct Session {
    MainWindow window;

    Session(int setRow, int boardRow, QSize size = {}) {
        if (size.isValid()) {
            window.resize(size);
        }
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            qWarning("main window not exposed");
        }
        acceptNewDocument(setRow, boardRow);
        window.action(cmd::New)->trigger();
    }
    ~Session() { closeDiscarding(window); }
    bool open() { return window.editor().documentOpen(); }
    Document& doc() { return *window.editor().document(); }
    QString status(int part) { return window.statusParts()[part]->text(); }
    // Runs a command of the menu with `answer` acting on its dialog.
    void run(int command, std::function<void(QDialog*)> answer) {
        whenModalOpens(std::move(answer));
        window.action(command)->trigger();
    }
};

} // namespace pavelora::test
