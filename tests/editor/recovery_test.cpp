// When recovery copies are written, deleted and offered; an editor destroyed without closing
// its document stands for a killed program (tests/cli kills the real one).
#include "fakeshell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace pavelora;

namespace {

struct Recovery : test::EditorHarness {
    QTemporaryDir cache, files;

    Recovery() { editor.keepRecoveryCopies(cache.path()); }
    QStringList copies() const {
        return QDir(cache.path()).entryList({QStringLiteral("*.pvd")}, QDir::Files);
    }
    // Changes of the operating mode, each one step of the undo stack.
    void change(int times, Editor* on = nullptr) {
        Editor& e = on != nullptr ? *on : editor;
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(
                e.invokeMenuCommand(e.board().groupMode() ? cmd::TileMode : cmd::GroupMode));
        }
    }
    void tick() { editor.session().recoveryTimerElapsed(); }
};

} // namespace

TEST_F(Recovery, ACopyIsWrittenEveryMinuteAndFiftyChangesWhileTheDocumentIsChanged) {
    newDocument();
    EXPECT_EQ(shell.recoveryInterval, 60 * 1000);
    tick(); // unchanged: nothing to keep
    change(49);
    EXPECT_TRUE(copies().isEmpty());
    tick();
    ASSERT_EQ(copies().size(), 1);
    QFile::remove(cache.filePath(copies()[0]));
    tick(); // nothing changed since the copy
    EXPECT_TRUE(copies().isEmpty());

    change(49);
    EXPECT_TRUE(copies().isEmpty());
    change(1);
    ASSERT_EQ(copies().size(), 1);

    // Saved, the copy goes; later copies are named after the file.
    const QString saved = files.filePath(QStringLiteral("tiling.pvd"));
    shell.savePaths = {saved};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    EXPECT_TRUE(copies().isEmpty());
    change(50);
    ASSERT_EQ(copies().size(), 1);
    EXPECT_TRUE(copies()[0].startsWith(QStringLiteral("tiling-")));
    // Back to the saved state by undo, the copy goes too.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    }
    EXPECT_TRUE(copies().isEmpty());
    // Closed without saving, the copy goes and the timer stops.
    change(50);
    shell.answers = {false};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_EQ(shell.recoveryInterval, 0);
}

// Restoring an offered copy: tests/cli/process_test.cpp.
TEST_F(Recovery, OnlyCopiesNoProgramHoldsAreOfferedAndADeclinedOneIsDeleted) {
    const QString saved = files.filePath(QStringLiteral("tiling.pvd"));
    auto killed = std::make_unique<Editor>(shell, PxPerMm, PxPerMm);
    killed->keepRecoveryCopies(cache.path());
    killed->resized(1000, 700);
    shell.newChoices.push_back(NewDocumentChoice{setcode::PenroseNo1, 60004});
    ASSERT_TRUE(killed->invokeMenuCommand(cmd::New));
    ASSERT_TRUE(killed->invokeMenuCommand(cmd::PatternOff));
    shell.savePaths = {saved};
    ASSERT_TRUE(killed->invokeMenuCommand(cmd::SaveAs)); // pattern off, tile mode
    change(50, killed.get());
    ASSERT_EQ(copies().size(), 1);
    editor.resized(1000, 700); // the copy's program is still running
    EXPECT_TRUE(shell.questions.empty());
    killed.reset();

    test::FakeShell again;
    Editor next(again, PxPerMm, PxPerMm);
    next.keepRecoveryCopies(cache.path());
    next.setStartupDocument(saved);
    next.resized(1000, 700);
    ASSERT_EQ(again.questions.size(), 1u);
    EXPECT_TRUE(again.questions[0].text.contains(saved));
    EXPECT_TRUE(copies().isEmpty());
    // The file named on the command line opens instead.
    EXPECT_TRUE(next.documentOpen() && next.document()->patternOn == 0 &&
                !next.menu().enabled(cmd::SaveAs));
}
