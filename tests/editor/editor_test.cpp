#include "core/fixture.h"
#include "core/geometry/tilebuilder.h"
#include "document/documentio.h"
#include "fakeshell.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pavelora;
using pavelora::test::EditorHarness;
using pavelora::test::FakeShell;

namespace {

const QString kNewQuestion = QStringLiteral("新規データです。タイリングデータを保存しますか？");
const QString kChangedQuestion = QStringLiteral("更新されてます。タイリングデータを保存しますか？");

struct EditorFixture : EditorHarness {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(EditorFixture, StartsWithoutADocumentAndACancelledNewChangesNothing) {
    EXPECT_FALSE(editor.documentOpen());
    EXPECT_EQ(editor.title(), QStringLiteral("Pavelora"));
    // Disabled items do nothing from the menu or the keyboard.
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::TileColour));
    EXPECT_TRUE(shell.settingsDialogs.empty());

    shell.newChoices.push_back(std::nullopt);
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::New));
    EXPECT_FALSE(editor.documentOpen());
    EXPECT_FALSE(shell.paletteOpen);
    EXPECT_TRUE(editor.menu().enabled(cmd::New));
    EXPECT_FALSE(editor.menu().enabled(cmd::Close));
}

TEST_F(EditorFixture, NewDocumentWithTheDefaults) {
    newDocument();
    const Document& doc = *editor.document();
    EXPECT_EQ(doc.tileSet->code, setcode::PenroseNo1);
    EXPECT_EQ(doc.view.boardCode, 60004); // "Ａ４横"
    EXPECT_EQ(doc.printSettings.printForm, 1);
    EXPECT_TRUE(doc.printSettings.title.isEmpty());
    EXPECT_EQ(doc.jpegSettings.quality, 100);
    EXPECT_EQ(doc.jpegSettings.density, 200);
    EXPECT_EQ(doc.patternOn, 1);
    EXPECT_EQ(doc.kindCounts, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(editor.title(), QStringLiteral("無題‐Pavelora"));
    EXPECT_EQ(shell.title, editor.title());
    EXPECT_TRUE(shell.timerRunning);
    EXPECT_TRUE(shell.paletteOpen);
    EXPECT_EQ(shell.paletteTitle, QStringLiteral("Penrose No.1"));
    ASSERT_NE(editor.palette().cells(), nullptr);
    EXPECT_EQ(editor.palette().cells()->count(), 2);
    EXPECT_EQ(shell.status[0], QStringLiteral("Ａ４横"));
    EXPECT_EQ(editor.buffers().backBuffer.size(),
              QSize(doc.view.boardPixelWidth, doc.view.boardPixelHeight));
    EXPECT_FALSE(editor.menu().enabled(cmd::New));
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));
    EXPECT_FALSE(editor.menu().enabled(cmd::Save));
    EXPECT_TRUE(editor.menu().checked(cmd::TileMode));
    EXPECT_TRUE(editor.menu().checked(cmd::PatternOn));

    // A second "新規" is refused while a document is open.
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::New));
}

TEST_F(EditorFixture, SetsWithoutPairPatternGreyOutItsItems) {
    newDocument(setcode::Kepler, 60007);
    EXPECT_FALSE(editor.menu().enabled(cmd::PairColour));
    EXPECT_FALSE(editor.menu().enabled(cmd::PatternOn));
    EXPECT_FALSE(editor.menu().checked(cmd::PatternOn));
    EXPECT_FALSE(editor.menu().enabled(cmd::PatternOff));
    EXPECT_EQ(shell.status[1], QStringLiteral("対原理：無"));
    EXPECT_EQ(editor.document()->patternOn, 0);
}

TEST_F(EditorFixture, ClosingAsksAboutSavingOnlyAChangedNewDocument) {
    newDocument();
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_FALSE(editor.documentOpen());
    EXPECT_FALSE(shell.paletteOpen);
    EXPECT_FALSE(shell.timerRunning);
    EXPECT_EQ(shell.title, QStringLiteral("Pavelora"));
    for (const QString& text : shell.status) {
        EXPECT_TRUE(text.isEmpty());
    }
    EXPECT_FALSE(editor.menu().enabled(cmd::Close));

    // Changed, it asks; No discards it.
    newDocument();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode)); // a change
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
    shell.answers.push_back(false);
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, kNewQuestion);
    EXPECT_EQ(shell.questions[0].caption, QStringLiteral("Pavelora"));
    EXPECT_FALSE(editor.documentOpen());
}

TEST_F(EditorFixture, CloseIsAbandonedWhenTheOfferedSaveDoesNotHappen) {
    newDocument();
    placeAt(kind::Dart, 5.0, 15.0);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));

    // Yes, then the save dialog is cancelled: the tiling stays open.
    shell.answers.push_back(true);
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(editor.documentOpen());
    EXPECT_TRUE(shell.paletteOpen);
    EXPECT_EQ(editor.document()->board.count(), 1);

    // Yes, and the save fails (no such folder): still open, with the failure shown.
    shell.answers.push_back(true);
    shell.savePaths.push_back(path("missing/folder/tiling.pvd"));
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(editor.documentOpen());
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages.back().text, QStringLiteral("ファイルへの保存ができませんでした"));
    EXPECT_EQ(shell.messages.back().caption, QStringLiteral("名前を付けて保存"));

    // The exit that asked for the close is abandoned too.
    shell.answers.push_back(true);
    editor.executeCommand(cmd::Exit);
    EXPECT_FALSE(shell.quitCalled);
    EXPECT_TRUE(editor.documentOpen());
    // The failed save still named the document: the window's close offers to overwrite
    // that name, which fails again, so the window stays.
    shell.answers.push_back(true);
    EXPECT_FALSE(editor.closeRequested());
    EXPECT_EQ(shell.questions.back().text, kChangedQuestion);
    EXPECT_EQ(shell.messages.back().caption, QStringLiteral("上書き保存"));

    // Saved under a good name, the close goes through.
    shell.savePaths.push_back(path("tiling.pvd"));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    shell.answers.push_back(true);
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_FALSE(editor.documentOpen());
    EXPECT_TRUE(QFile::exists(path("tiling.pvd")));
}

TEST_F(EditorFixture, SaveAsNamesTheDocumentAndOpenRestoresIt) {
    newDocument(setcode::PenroseNo2, 60003);
    placeAt(kind::WideDiamond, 5.0, 15.0);
    placeAt(kind::NarrowDiamond2, 8.2, 15.0);
    editor.document()->kindCounts = {1, 1};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::PatternOff));

    const QString file = path("rhombs.pvd");
    shell.savePaths.push_back(file);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(shell.title, file + QStringLiteral("‐Pavelora"));
    EXPECT_TRUE(editor.menu().enabled(cmd::Save));
    EXPECT_GE(shell.progressWindowsClosed, 1);
    EXPECT_EQ(shell.progressRecorder.calls.front(), "text ファイル書き込み中");

    // A named document is always asked about as changed.
    shell.answers.push_back(false);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_EQ(shell.questions.back().text, kChangedQuestion);

    shell.openPaths.push_back(file);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Open));
    ASSERT_TRUE(editor.documentOpen());
    const Document& doc = *editor.document();
    EXPECT_EQ(doc.board.count(), 2);
    EXPECT_EQ(doc.kindCounts, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(doc.patternOn, 0);
    EXPECT_TRUE(editor.board().selection().groupMode);
    EXPECT_EQ(editor.title(), file + QStringLiteral("‐Pavelora"));
    // The menu shows the stored modes, the name and the two groups.
    EXPECT_TRUE(editor.menu().enabled(cmd::Save));
    EXPECT_TRUE(editor.menu().checked(cmd::GroupMode));
    EXPECT_TRUE(editor.menu().checked(cmd::PatternOff));
    EXPECT_TRUE(editor.menu().enabled(cmd::TidyOrder));
    EXPECT_TRUE(shell.timerRunning);
    EXPECT_EQ(shell.status[0], QStringLiteral("Ａ４縦"));

    // Unchanged but named: "更新されてます…" all the same.
    shell.answers.push_back(false);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_EQ(shell.questions.back().text, kChangedQuestion);
}

TEST_F(EditorFixture, FailedOpenLeavesNoDocument) {
    const QString junk = path("junk.pvd");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a tiling");
    f.close();
    shell.openPaths.push_back(junk);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Open));
    EXPECT_FALSE(editor.documentOpen());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, QStringLiteral("ファイルからの読み込みができませんでした"));
    EXPECT_EQ(shell.messages[0].caption, QStringLiteral("ファイルを開く"));
    EXPECT_GE(shell.progressWindowsClosed, 1);
    EXPECT_TRUE(editor.menu().enabled(cmd::Open));

    // Cancelling the dialog does nothing at all.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Open));
    EXPECT_EQ(shell.messages.size(), 1u);
}

TEST_F(EditorFixture, CommandLineDocumentOpensAtTheFirstResize) {
    newDocument();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    const QString file = path("start.pvd");
    shell.savePaths.push_back(file);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));

    FakeShell other;
    Editor fresh(other, PxPerMm, PxPerMm);
    fresh.setStartupDocument(file);
    EXPECT_FALSE(fresh.documentOpen());
    fresh.resized(900, 600);
    ASSERT_TRUE(fresh.documentOpen());
    EXPECT_EQ(other.title, file + QStringLiteral("‐Pavelora"));
    fresh.resized(950, 600); // only the first resize opens
    EXPECT_TRUE(other.messages.empty());
}

TEST_F(EditorFixture, ErrorCodesEndTheApplication) {
    editor.reportError("EM003");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, QStringLiteral("Applicatione Error! CODE: EM003"));
    EXPECT_EQ(shell.messages[0].caption, QStringLiteral("ZIRUZ"));
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_TRUE(shell.quitCalled);

    // With a changed document open the save question comes first; the exit goes on even
    // when the user then cancels the save, since nothing can continue after an error.
    FakeShell other;
    Editor busy(other, PxPerMm, PxPerMm);
    busy.resized(1000, 700);
    other.newChoices.push_back(NewDocumentChoice{setcode::Durer, 60004});
    ASSERT_TRUE(busy.invokeMenuCommand(cmd::New));
    ASSERT_TRUE(busy.invokeMenuCommand(cmd::GroupMode));
    other.answers.push_back(true);
    busy.reportError("EP013");
    ASSERT_EQ(other.questions.size(), 1u);
    EXPECT_EQ(other.questions[0].text, kNewQuestion);
    EXPECT_TRUE(other.quitCalled);
}

TEST_F(EditorFixture, PatternSwitchAndModes) {
    newDocument();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::PatternOff));
    EXPECT_EQ(editor.document()->patternOn, 0);
    EXPECT_TRUE(editor.menu().checked(cmd::PatternOff));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::PatternOn));
    EXPECT_EQ(editor.document()->patternOn, 1);
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::PatternOn));

    // Group mode to tile mode with a one-tile group current: its tile becomes current and
    // keeps its highlight.
    Tile* t = placeAt(kind::Dart, 5.0, 15.0);
    Selection& sel = editor.board().selection();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    sel.currentGroup = t->group;
    t->group->selected = 1;
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::TileMode));
    EXPECT_EQ(sel.currentTile, t);
    EXPECT_EQ(t->selected, 1);
    EXPECT_EQ(t->group->selected, 0);
    EXPECT_FALSE(sel.groupMode);

    // Back to group mode: the tile's group takes over the highlight.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::GroupMode));
    EXPECT_EQ(sel.currentGroup, t->group);
    EXPECT_EQ(t->group->selected, 1);
    EXPECT_EQ(t->selected, 1); // a one-tile group keeps its tile's flag

    // With a two-tile group current, tile mode leaves no current tile.
    Document& doc = *editor.document();
    auto extra = buildTile(doc.tileSet.get(), &doc.angles, kind::Kaite, 0);
    placeOutline(doc, *extra, t->x + 5, t->y);
    addTileToGroup(doc, *t->group, std::move(extra));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::TileMode));
    EXPECT_EQ(sel.currentTile, nullptr);
    EXPECT_EQ(t->selected, 0);
}

TEST_F(EditorFixture, TidyingTheDisplayOrder) {
    newDocument(setcode::Durer, 60002);
    Document& doc = *editor.document();
    std::vector<TileGroup*> groups;
    for (int size : {1, 3, 3, 2}) {
        const double x = 3.0 + 5.0 * static_cast<double>(groups.size());
        groups.push_back(test::looseGroup(doc, kind::Pentagon, size, x, 3.0));
    }
    editor.board().selection().currentGroup = groups[0];
    groups[0]->selected = 1;
    editor.executeCommand(cmd::TidyOrder);
    EXPECT_EQ(test::displayOrder(doc.board),
              (std::vector<TileGroup*>{groups[1], groups[2], groups[3], groups[0]}));
    EXPECT_EQ(groups[0]->selected, 0);
    EXPECT_EQ(editor.board().selection().currentGroup, groups[0]); // the reference stays
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
}

TEST_F(EditorFixture, PaletteClicksSwitchTheCursor) {
    newDocument();
    const PaletteCell kite = editor.palette().cells()->cells[1];
    const int changes = shell.paletteChanges;
    editor.palette().paletteClicked(kite.left + 2, kite.top + 2);
    EXPECT_TRUE(shell.tileCursor);
    EXPECT_EQ(selectedPaletteKind(editor.palette().cells()), kind::Kaite);
    EXPECT_GT(shell.paletteChanges, changes);
    editor.palette().paletteClicked(kite.left + 2, kite.top + 2);
    EXPECT_FALSE(shell.tileCursor);
    EXPECT_EQ(selectedPaletteKind(editor.palette().cells()), -1);
}

TEST_F(EditorFixture, SettingsCommandsGoToTheirDialogs) {
    newDocument();
    for (int command : {cmd::PrintSetup, cmd::JpegSetup, cmd::TileSize, cmd::OutlineWidth,
                        cmd::TileColour, cmd::PairColour, cmd::BoardColour, cmd::Zoom}) {
        EXPECT_TRUE(editor.invokeMenuCommand(command));
    }
    EXPECT_EQ(shell.settingsDialogs.size(), 8u);
}
