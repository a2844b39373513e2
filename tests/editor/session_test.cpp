#include "fakeshell.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace pavelora;

namespace {

const QString kNewQuestion = QStringLiteral("新規データです。タイリングデータを保存しますか？");
const QString kChangedQuestion = QStringLiteral("更新されてます。タイリングデータを保存しますか？");

struct Session : test::EditorHarness {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(Session, CloseNeverDropsWorkThatWasNotSavedAndOpenRestoresIt) {
    shell.newChoices = {std::nullopt};
    editor.executeCommand(cmd::New); // cancelled: "新規" below still acts
    newDocument();
    EXPECT_EQ(shell.title, QStringLiteral("無題‐Pavelora"));
    EXPECT_TRUE(shell.timerRunning && shell.paletteOpen && !shell.status[0].isEmpty() &&
                !editor.invokeMenuCommand(cmd::New)); // disabled: not carried out
    // Unchanged and unnamed, it closes without a question.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_FALSE(!shell.questions.empty() || shell.timerRunning || shell.paletteOpen ||
                 !shell.status[0].isEmpty());
    EXPECT_EQ(shell.title, QStringLiteral("Pavelora"));

    newDocument();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode)); // a change
    // Yes, then the save dialog is cancelled: the tiling stays open.
    shell.answers = {true};
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_EQ(shell.questions.back().shown(), QStringLiteral("Pavelora|") + kNewQuestion);
    EXPECT_TRUE(editor.documentOpen() && shell.paletteOpen);
    // Yes, and the save fails (no such folder): still open, with the failure shown.
    shell.answers = {true};
    shell.savePaths = {path("missing/folder/tiling.pvd")};
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(editor.documentOpen());
    EXPECT_EQ(shell.messages.back().shown(),
              QStringLiteral("名前を付けて保存|ファイルへの保存ができませんでした"));
    // The exit that asked for the close is abandoned too.
    shell.answers = {true};
    editor.executeCommand(cmd::Exit);
    EXPECT_FALSE(shell.quitCalled);
    // The failed save named the document: the window's close offers to overwrite that
    // name, which fails again, so the window stays.
    shell.answers = {true};
    EXPECT_FALSE(editor.closeRequested());
    EXPECT_EQ(shell.questions.back().text, kChangedQuestion);
    EXPECT_EQ(shell.messages.back().caption, QStringLiteral("上書き保存"));
    EXPECT_TRUE(editor.documentOpen());
    // Saved under a good name, it is unchanged: the close goes through without a question.
    const QString file = path("tiling.pvd");
    shell.savePaths = {file};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    EXPECT_EQ(shell.title, file + QStringLiteral("‐Pavelora"));
    const std::size_t asked = shell.questions.size();
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_FALSE(editor.documentOpen());

    // Opened again, it shows its name and its mode; unchanged, it closes unasked.
    shell.openPaths = {file};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Open));
    EXPECT_TRUE(sel().groupMode && editor.menu().checked(cmd::GroupMode));
    EXPECT_EQ(shell.title, file + QStringLiteral("‐Pavelora"));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_EQ(shell.questions.size(), asked);
    // A file that cannot be opened: the message, no document, no progress window.
    shell.openPaths = {path("missing.pvd")};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Open));
    EXPECT_FALSE(editor.documentOpen());
    EXPECT_EQ(shell.messages.back().shown(),
              QStringLiteral("ファイルを開く|ファイルからの読み込みができませんでした"));
    EXPECT_EQ(shell.progressClosed, 6); // after each of four saves and two opens
}

TEST_F(Session, ErrorCodesEndTheApplicationAfterTheSaveQuestion) {
    newDocument(setcode::Durer);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    // The exit goes on though the save is cancelled: nothing can continue after an error.
    shell.answers = {true};
    editor.reportError("EP013");
    EXPECT_EQ(shell.messages.back().shown(),
              QStringLiteral("ZIRUZ|Applicatione Error! CODE: EP013"));
    EXPECT_EQ(shell.questions.back().text, kNewQuestion);
    EXPECT_TRUE(shell.quitCalled && !editor.documentOpen());
}

TEST_F(Session, TheImageExportWritesTheTypeItsNameAsksFor) {
    newDocument();
    editor.board().keyUp(BoardKey::F1);
    ASSERT_TRUE(editor.settings().applyJpegSettings(JpegSettings{100, 72, outputform::Cut}));
    shell.savePaths = {path("board.svg"), path("board.PNG"), path("missing/board.pdf")};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::JpegExport));
    }
    QFile svg(path("board.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    EXPECT_TRUE(drawing.contains("<svg") && drawing.contains("<line") &&
                !drawing.contains("<polygon"));                   // the cut form: lines only
    EXPECT_EQ(QImage(path("board.PNG")).size(), QSize(841, 595)); // 297 x 210 mm at 72 dpi
    EXPECT_EQ(shell.messages.size(), 1u);                         // the PDF in a missing folder
}
