// Recovery copies of a changed document: when they are written and deleted, and how a copy
// left behind comes back. The copies go to a temporary folder; an editor destroyed without
// closing its document stands for a program that was killed (tests/cli kills the real one).
#include "document/documentio.h"
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
    QByteArray note() const { // the document path kept beside the only copy
        QFile file(cache.filePath(
            copies().value(0).replace(QStringLiteral(".pvd"), QStringLiteral(".path"))));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none");
    }
    // Changes of the operating mode, each one step of the undo stack.
    void change(int times) {
        for (int i = 0; i < times; ++i) {
            const bool group = editor.board().groupMode();
            ASSERT_TRUE(editor.invokeMenuCommand(group ? cmd::TileMode : cmd::GroupMode));
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
    EXPECT_TRUE(copies()[0].startsWith(QStringLiteral("無題-")));
    EXPECT_EQ(note(), QByteArray()); // no file yet
    QFile::remove(cache.filePath(copies()[0]));
    tick(); // nothing changed since the copy
    EXPECT_TRUE(copies().isEmpty());

    change(49);
    EXPECT_TRUE(copies().isEmpty());
    change(1);
    ASSERT_EQ(copies().size(), 1);
    // The copy is the document as it stands, written by the document writer.
    test::FakeShell progress;
    const OpenResult copy =
        openDocument(cache.filePath(copies()[0]), {PxPerMm, PxPerMm, 1000, 700}, progress, editor);
    ASSERT_TRUE(copy.opened());
    EXPECT_EQ(copy.groupMode, editor.board().groupMode());

    // Saved, the copy goes; later copies are named after the file and know its path.
    const QString saved = files.filePath(QStringLiteral("tiling.pvd"));
    shell.savePaths = {saved};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    EXPECT_TRUE(copies().isEmpty());
    change(50);
    ASSERT_EQ(copies().size(), 1);
    EXPECT_TRUE(copies()[0].startsWith(QStringLiteral("tiling-")));
    EXPECT_EQ(note(), saved.toUtf8());
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

TEST_F(Recovery, ACopyLeftBehindIsOfferedAndComesBackAsAChangedDocument) {
    const QString saved = files.filePath(QStringLiteral("tiling.pvd"));
    {
        test::FakeShell before;
        Editor killed(before, PxPerMm, PxPerMm);
        killed.keepRecoveryCopies(cache.path());
        killed.resized(1000, 700);
        before.newChoices.push_back(NewDocumentChoice{setcode::PenroseNo1, 60004});
        ASSERT_TRUE(killed.invokeMenuCommand(cmd::New));
        ASSERT_TRUE(killed.invokeMenuCommand(cmd::PatternOff));
        before.savePaths = {saved};
        ASSERT_TRUE(killed.invokeMenuCommand(cmd::SaveAs)); // pattern off, tile mode
        // The copy holds the next 50 changes: pattern on, group mode; not the 51st.
        ASSERT_TRUE(killed.invokeMenuCommand(cmd::PatternOn));
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(killed.invokeMenuCommand(i % 2 == 0 ? cmd::GroupMode : cmd::TileMode));
        }
        ASSERT_EQ(copies().size(), 1);
        // While its program runs, a copy is not offered to another.
        editor.resized(1000, 700);
        EXPECT_TRUE(shell.questions.empty());
    }
    // Declined, the copy is deleted.
    const auto restart = [&](test::FakeShell& again, bool answer) {
        again.answers = {answer};
        auto next = std::make_unique<Editor>(again, PxPerMm, PxPerMm);
        next->keepRecoveryCopies(cache.path());
        next->setStartupDocument(saved); // the restored document goes first
        next->resized(1000, 700);
        return next;
    };
    const QStringList left = copies();
    const QString kept = cache.filePath(left.value(0));
    const QByteArray keptBytes = [&] {
        QFile file(kept);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    {
        test::FakeShell again;
        const auto declined = restart(again, false);
        ASSERT_EQ(again.questions.size(), 1u);
        EXPECT_EQ(again.questions[0].shown(),
                  QStringLiteral("Pavelora|前回保存されなかった変更があります（%1）。"
                                 "タイリングデータを復元しますか？")
                      .arg(saved));
        EXPECT_TRUE(copies().isEmpty());
        // The file named on the command line opens instead.
        EXPECT_TRUE(declined->documentOpen() && !declined->board().groupMode() &&
                    declined->document()->patternOn == 0);
    }
    // Put back, and accepted: the document of the copy, named after its file, changed.
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(keptBytes) == keptBytes.size());
    file.close();
    QFile note(QString(kept).replace(QStringLiteral(".pvd"), QStringLiteral(".path")));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly) && note.write(saved.toUtf8()) > 0);
    note.close();
    test::FakeShell again;
    const auto restored = restart(again, true);
    ASSERT_TRUE(restored->documentOpen());
    EXPECT_EQ(restored->title(), saved + QStringLiteral("‐Pavelora"));
    EXPECT_TRUE(restored->menu().enabled(cmd::SaveAs) && restored->menu().enabled(cmd::Save));
    EXPECT_TRUE(restored->board().groupMode() && restored->document()->patternOn == 1);
    EXPECT_EQ(copies(), left); // kept until saved
    ASSERT_TRUE(restored->invokeMenuCommand(cmd::Save));
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_FALSE(restored->menu().enabled(cmd::SaveAs));
}
