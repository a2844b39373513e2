#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

namespace pavelora {

class MainWindow;

// Lets a test drive the running program through its standard input, one command a line,
// each answered by one line on standard output. Only created when the environment variable
// PAVELORA_TEST_CONTROL is 1; it reaches nothing a user could not reach from the menu and
// the message boxes.
//   command N      carries out menu command N as the menu would: "done N" or "refused N"
//   box            the open message box: "box CAPTION|TEXT", or "box none"
//   answer yes|no  presses that button of the open message box: "answered" or "box none"
//   state          "state TITLE|CHANGED|GROUPMODE": the window title, and whether
//                  "名前を付けて保存" is enabled and "結合グループ単位に操作する" checked (0 or 1)
class TestControl : public QObject {
public:
    explicit TestControl(MainWindow& window);
    static bool wanted();

private:
    void readInput();
    void run(const QByteArray& line);

    MainWindow& window_;
    QSocketNotifier* notifier_;
    QByteArray pending_;
};

} // namespace pavelora
