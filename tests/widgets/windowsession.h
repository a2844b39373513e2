#pragma once

#include "editor/commands.h"
#include "widgets/mainwindow.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace pavelora::test {

// Runs `answer` on the next modal dialog other than `open` (one open already), then closes
// it if still open (after a failed check). Deleting the returned timer calls the watch off.
inline QPointer<QTimer> whenModalOpens(std::function<void(QDialog*)> answer,
                                       const QWidget* open = nullptr) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, open] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal != nullptr && modal != open) {
            timer->deleteLater();
            timer->stop();
            const QPointer<QDialog> dialog(modal);
            answer(modal);
            if (dialog && dialog->isVisible()) {
                dialog->reject();
            }
        }
    });
    timer->start(10);
    return timer;
}

// Accepts the new-document dialog, as it opens, with the given tile set and board rows.
inline void acceptNewDocument(int setRow, int boardRow) {
    whenModalOpens([setRow, boardRow](QDialog* dialog) {
        dialog->findChild<QListWidget*>(QStringLiteral("30012"))->setCurrentRow(setRow);
        dialog->findChild<QListWidget*>(QStringLiteral("30013"))->setCurrentRow(boardRow);
        dialog->findChild<QPushButton*>(QStringLiteral("30001"))->click();
    });
}

// Closes the document, answering No to a save question if one comes.
inline void closeDiscarding(MainWindow& window) {
    const QPointer<QTimer> watch = whenModalOpens(
        [](QDialog* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); });
    window.editor().executeCommand(cmd::Close);
    delete watch.data();
}

// A shown main window with a new document, closed without saving at the end.
struct Session {
    MainWindow window;

    Session(int setRow, int boardRow) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        acceptNewDocument(setRow, boardRow);
        window.action(cmd::New)->trigger();
    }
    ~Session() { closeDiscarding(window); }
    Document& doc() { return *window.editor().document(); }
};

} // namespace pavelora::test
