#pragma once

#include "editor/commands.h"
#include "editor/editor.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace pavelora::test {

// Progress calls, recorded.
struct RecordingProgress : Progress {
    std::vector<std::string> calls;
    void setText(const QString& text) override { calls.push_back("text " + text.toStdString()); }
    void start(int total) override { calls.push_back("start " + std::to_string(total)); }
    void step(int amount) override { calls.push_back("step " + std::to_string(amount)); }
};

// A shell that records what the editor shows and answers its questions from queues.
struct FakeShell : Shell {
    // Answers, taken in order; when a queue is empty: No, cancel.
    std::deque<bool> answers;
    std::deque<QString> openPaths;
    std::deque<QString> savePaths;
    std::deque<std::optional<NewDocumentChoice>> newChoices;

    // What was shown.
    struct Message {
        QString text;
        QString caption;
        Icon icon;
    };
    std::vector<Message> questions;
    std::vector<Message> messages;
    QString title;
    std::array<QString, 5> status;
    bool timerRunning = false;
    bool paletteOpen = false;
    QString paletteTitle;
    int paletteChanges = 0;
    bool tileCursor = false;
    bool quitCalled = false;
    int progressWindowsClosed = 0;
    int repaints = 0;
    std::vector<int> settingsDialogs;
    RecordingProgress progressRecorder;

    bool askYesNo(const QString& text, const QString& caption) override {
        questions.push_back({text, caption, Icon::None});
        if (answers.empty()) {
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void showMessage(const QString& text, const QString& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    QString chooseOpenFile(const FileFilter&) override { return take(openPaths); }
    QString chooseSaveFile(const FileFilter&, const QString&) override { return take(savePaths); }
    std::optional<NewDocumentChoice> runNewDocumentDialog() override {
        if (newChoices.empty()) {
            return std::nullopt;
        }
        auto choice = newChoices.front();
        newChoices.pop_front();
        return choice;
    }
    void runSettingsDialog(int command) override { settingsDialogs.push_back(command); }
    void runPrint() override {}
    void showAbout() override {}
    void showHelp() override {}
    void setTitle(const QString& t) override { title = t; }
    void setStatusTexts(const std::array<QString, 5>& texts) override { status = texts; }
    void menuChanged(const MenuState&) override {}
    void setBlinkTimer(bool running) override { timerRunning = running; }
    void repaint(const QRegion&) override { ++repaints; }
    void repaintAll() override { ++repaints; }
    void scrollBarsChanged() override {}
    void setTileCursor(bool on) override { tileCursor = on; }
    void focusMainWindow() override {}
    void quit() override { quitCalled = true; }
    QFont paletteFont() override { return QFont(); }
    QSize openPalette(const QString& t, QSize size) override {
        paletteOpen = true;
        paletteTitle = t;
        return size;
    }
    void paletteChanged() override { ++paletteChanges; }
    void closePalette() override { paletteOpen = false; }
    Progress& progress() override { return progressRecorder; }
    void closeProgress() override { ++progressWindowsClosed; }

private:
    static QString take(std::deque<QString>& q) {
        if (q.empty()) {
            return {};
        }
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

// An editor on a 96 dpi screen, talking to a fake shell.
struct EditorHarness : testing::Test {
    static constexpr double PxPerMm = 96 / 25.4;
    FakeShell shell;
    Editor editor{shell, PxPerMm, PxPerMm};

    EditorHarness() { editor.resized(1000, 700); }

    void newDocument(std::int32_t set = setcode::PenroseNo1, std::int32_t board = 60004) {
        shell.newChoices.push_back(NewDocumentChoice{set, board});
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::New));
        ASSERT_TRUE(editor.documentOpen());
    }
    Document& doc() { return *editor.document(); }
    Selection& sel() { return editor.board().selection(); }
    // A tile dropped on the pixel of a board position in centimetres.
    Tile* placeAt(std::int32_t kind, double x, double y) {
        const BoardPixel p = boardToPixel(doc().view, x, y);
        return placeTile(doc(), kind, 0, p.x, p.y);
    }
};

} // namespace pavelora::test
