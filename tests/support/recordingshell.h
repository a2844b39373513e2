#pragma once

// The shell the editor tests and the editing fuzz target give the editor: it records what
// the editor does to the screen and answers from queues. Free of the test framework, so that
// the fuzz target can use it too.
#include "editor/commands.h"
#include "editor/editor.h"

#include <deque>
#include <vector>

namespace pavelora::test {

template <typename T> T take(std::deque<T>& queue) {
    T front = queue.empty() ? T{} : queue.front();
    if (!queue.empty()) {
        queue.pop_front();
    }
    return front;
}

// A shell that records what the editor does to the screen and answers from queues (an
// empty queue answers No or cancels). Its progress display shows nothing.
struct FakeShell : Shell, Progress {
    std::deque<bool> answers;
    std::deque<QString> openPaths, savePaths;
    std::deque<std::optional<NewDocumentChoice>> newChoices;
    std::deque<std::optional<GenerateChoice>> generateChoices;
    struct Message {
        QString text, caption;
        int repaintsBefore; // partial repaints before the box
        QString shown() const { return caption + QLatin1Char('|') + text; }
    };
    std::vector<Message> questions, messages;
    QString title;
    std::array<QString, 5> status;
    bool timerRunning = false, paletteOpen = false, tileCursor = false, quitCalled = false;
    int repaints = 0, progressClosed = 0, recoveryInterval = 0;
    std::vector<int> dialogs;

    bool askYesNo(const QString& text, const QString& caption) override {
        questions.push_back({text, caption, repaints});
        return take(answers);
    }
    void showMessage(const QString& text, const QString& caption, Icon) override {
        messages.push_back({text, caption, repaints});
    }
    QString chooseOpenFile(const FileFilter&) override { return take(openPaths); }
    QString chooseSaveFile(const FileFilter&, const QString&) override { return take(savePaths); }
    std::optional<NewDocumentChoice> runNewDocumentDialog() override { return take(newChoices); }
    void runSettingsDialog(int command) override { dialogs.push_back(command); }
    std::optional<GenerateChoice> runGenerateDialog(std::int32_t) override {
        dialogs.push_back(40029);
        return take(generateChoices);
    }
    void runPrint() override {}
    void showAbout() override {}
    void showHelp() override {}
    void setTitle(const QString& text) override { title = text; }
    void setStatusTexts(const std::array<QString, 5>& texts) override { status = texts; }
    void menuChanged(const MenuState&) override {}
    void setBlinkTimer(bool running) override { timerRunning = running; }
    void setRecoveryTimer(int intervalMs) override { recoveryInterval = intervalMs; }
    void repaint(const QRegion&) override { ++repaints; }
    void repaintAll() override {}
    void scrollBarsChanged() override {}
    void setTileCursor(bool on) override { tileCursor = on; }
    void focusMainWindow() override {}
    void quit() override { quitCalled = true; }
    QFont paletteFont() override { return QFont(); }
    QSize openPalette(const QString&, QSize size) override {
        paletteOpen = true;
        return size;
    }
    void paletteChanged() override {}
    void closePalette() override { paletteOpen = false; }
    Progress& progress() override { return *this; }
    void closeProgress() override { ++progressClosed; }
    void setText(const QString&) override {}
    void start(int) override {}
    void step(int) override {}
};

} // namespace pavelora::test
