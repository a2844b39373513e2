#include "widgets/testcontrol.h"

#include "editor/commands.h"
#include "widgets/mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace pavelora {

namespace {

void reply(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QMessageBox* openBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

bool TestControl::wanted() {
    return qEnvironmentVariable("PAVELORA_TEST_CONTROL") == QStringLiteral("1");
}

TestControl::TestControl(MainWindow& window)
    : QObject(&window), window_(window),
      notifier_(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readInput(); });
}

void TestControl::readInput() {
    char buffer[512];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        notifier_->setEnabled(false); // the test closed its end
        return;
    }
    pending_.append(buffer, got);
    qsizetype end = 0;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end).trimmed();
        pending_.remove(0, end + 1);
        run(line);
    }
}

void TestControl::run(const QByteArray& line) {
    const QList<QByteArray> words = line.split(' ');
    if (words[0] == "command" && words.size() == 2) {
        const int command = words[1].toInt();
        const bool done = window_.editor().invokeMenuCommand(command);
        reply(QString::fromLatin1(done ? "done %1" : "refused %1").arg(command));
    } else if (words[0] == "box") {
        const QMessageBox* box = openBox();
        reply(box == nullptr
                  ? QStringLiteral("box none")
                  : QStringLiteral("box ") + box->windowTitle() + QLatin1Char('|') + box->text());
    } else if (words[0] == "answer" && words.size() == 2) {
        QMessageBox* box = openBox();
        QAbstractButton* button =
            box == nullptr ? nullptr
                           : box->button(words[1] == "yes" ? QMessageBox::Yes : QMessageBox::No);
        if (button == nullptr) {
            reply(QStringLiteral("box none"));
            return;
        }
        reply(QStringLiteral("answered"));
        button->click();
    } else if (words[0] == "state") {
        const QAction* saveAs = window_.action(cmd::SaveAs);
        const QAction* group = window_.action(cmd::GroupMode);
        reply(QStringLiteral("state ") + window_.windowTitle() + QLatin1Char('|') +
              flag(saveAs != nullptr && saveAs->isEnabled()) + QLatin1Char('|') +
              flag(group != nullptr && group->isChecked()));
    } else {
        reply(QStringLiteral("unknown"));
    }
}

} // namespace pavelora
