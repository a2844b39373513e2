#include "document/documentio.h"
#include "widgets/palettewindow.h"
#include "windowsession.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>

using namespace pavelora;
using namespace pavelora::test;

namespace {

QColor paletteColour(MainWindow& window, int x, int y) {
    return window.editor().palette().paletteImage().pixelColor(x, y);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuTextsIdsAndSeparators();
    void acceleratorsFollowTheMenuState();
    void newDocumentShowsBoardPaletteAndStatus();
    void paletteClicksPressTheBevel();
    void commandLineDocumentOpensAtStart();
    void statusBarPartsAreEqual();
    void helpAndAboutShowTheirTexts();
};

void MainWindowTest::menuTextsIdsAndSeparators() {
    MainWindow window;
    const QList<QAction*> menus = window.menuBar()->actions();
    QCOMPARE(menus.size(), 4);
    QCOMPARE(menus[0]->text(), QStringLiteral("ファイル(&F)"));
    QCOMPARE(menus[3]->text(), QStringLiteral("ヘルプ(&H)"));
    // The file menu, separators as empty entries.
    QStringList file;
    for (QAction* a : menus[0]->menu()->actions()) {
        file << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    const QStringList expected = {
        QStringLiteral("新規(&N)...\tCtrl+N"),
        QStringLiteral("閉じる(&C)\tCtrl+C"),
        QStringLiteral("-"),
        QStringLiteral("開く(&O)...\tCtrl+O"),
        QStringLiteral("名前を付けて保存...\tCtrl+A"),
        QStringLiteral("上書保存\tCtrl+S"),
        QStringLiteral("-"),
        QStringLiteral("印刷設定(&U)...\tCtrl+U"),
        QStringLiteral("印刷(&P)...\tCtrl+P"),
        QStringLiteral("-"),
        QStringLiteral("JPEG設定(&V)...\tCtrl+V"),
        QStringLiteral("JPEG保存(&J)...\tCtrl+J"),
        QStringLiteral("-"),
        QStringLiteral("終了(&X)\tCtrl+X"),
    };
    QCOMPARE(file, expected);
    QStringList options;
    for (QAction* a : menus[2]->menu()->actions()) {
        options << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    QCOMPARE(options,
             (QStringList{QStringLiteral("40031"), QStringLiteral("40032"), QStringLiteral("-"),
                          QStringLiteral("40033"), QStringLiteral("40034"), QStringLiteral("-"),
                          QStringLiteral("40035")}));
    QCOMPARE(window.action(cmd::TileColour)->text(), QStringLiteral("タイルの色(&C)...\tCtrl+C"));
    QCOMPARE(window.action(cmd::TileColour)->data().toInt(), cmd::TileColour);
    // Only the first item of a key carries the shortcut.
    QCOMPARE(window.action(cmd::Close)->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QVERIFY(window.action(cmd::TileColour)->shortcut().isEmpty());
    QVERIFY(window.action(cmd::PatternOn)->shortcut().isEmpty());
    QCOMPARE(window.action(cmd::SaveAs)->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
}

void MainWindowTest::acceleratorsFollowTheMenuState() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // Without a document Ctrl+C, Ctrl+S, Ctrl+L do nothing.
    for (int key : {Qt::Key_C, Qt::Key_S, Qt::Key_L, Qt::Key_T}) {
        QTest::keyClick(&window, static_cast<Qt::Key>(key), Qt::ControlModifier);
    }
    QVERIFY(!window.editor().documentOpen());
    QCOMPARE(window.windowTitle(), QStringLiteral("Pavelora"));

    // Ctrl+N opens the new-document dialog.
    acceptNewDocument(0, 3);
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(window.editor().documentOpen());
    QCOMPARE(window.windowTitle(), QStringLiteral("無題‐Pavelora"));
    QVERIFY(!window.action(cmd::New)->isEnabled());
    QVERIFY(window.action(cmd::TileMode)->isChecked());

    // Ctrl+G, typed while the palette has the focus: group mode, a change.
    QVERIFY(window.paletteWindow() != nullptr);
    window.paletteWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.paletteWindow()));
    QTest::keyClick(window.paletteWindow(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(window.editor().board().selection().groupMode);
    QVERIFY(window.action(cmd::GroupMode)->isChecked());
    QVERIFY(window.action(cmd::SaveAs)->isEnabled());

    // Ctrl+C closes (not the tile colours), with the save question: No.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    whenModalOpens([](QDialog* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        QVERIFY(message != nullptr);
        QCOMPARE(message->text(),
                 QStringLiteral("新規データです。タイリングデータを保存しますか？"));
        QCOMPARE(message->windowTitle(), QStringLiteral("Pavelora"));
        message->button(QMessageBox::No)->click();
    });
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(!window.editor().documentOpen());
    QCOMPARE(window.windowTitle(), QStringLiteral("Pavelora"));
    QVERIFY(window.paletteWindow() == nullptr);
}

void MainWindowTest::newDocumentShowsBoardPaletteAndStatus() {
    Session s(2, 6); // Penrose No.3 on Ｂ５縦
    MainWindow& window = s.window;
    QVERIFY(s.open());
    PaletteWindow* palette = window.paletteWindow();
    QVERIFY(palette != nullptr);
    QCOMPARE(palette->objectName(), QStringLiteral("PTILEPTN"));
    QCOMPARE(palette->windowTitle(), QStringLiteral("Penrose No.3"));
    QCOMPARE(window.editor().palette().cells()->count(), 6);
    const auto parts = window.statusParts();
    QCOMPARE(parts[0]->text(), QStringLiteral("Ｂ５縦"));
    QCOMPARE(parts[1]->text(), QStringLiteral("対原理：有"));
    QCOMPARE(parts[2]->text(), QStringLiteral("ｽﾞｰﾑ:100%"));
    QCOMPARE(parts[3]->text(), QStringLiteral("ﾀｲﾙ寸法:100%"));
    QCOMPARE(parts[4]->text(), QStringLiteral("ﾀｲﾙ輪郭幅:1%"));
    QVERIFY(window.action(cmd::PairColour)->isEnabled());

    // The board is painted white at its origin on the dark background.
    QWidget* view = window.boardView();
    const QImage shot = view->grab().toImage();
    const View& v = window.editor().document()->view;
    QCOMPARE(shot.pixelColor(v.boardOriginX + 5, v.boardOriginY + 5), QColor(Qt::white));
    if (v.boardOriginX > 2) {
        QCOMPARE(shot.pixelColor(v.boardOriginX - 2, v.boardOriginY + 5), QColor(64, 64, 64));
    }
    QVERIFY(window.verticalBar()->isVisible() || window.horizontalBar()->isVisible() ||
            (v.boardPixelWidth <= v.clientWidth && v.boardPixelHeight <= v.clientHeight));
}

void MainWindowTest::paletteClicksPressTheBevel() {
    Session s(0, 3);
    MainWindow& window = s.window;
    PaletteWindow* palette = window.paletteWindow();
    QVERIFY(palette != nullptr);
    const PaletteCell kite = window.editor().palette().cells()->cells[1];
    // Raised: the left bevel is light, the right one dark.
    QCOMPARE(paletteColour(window, kite.left - 1, (kite.top + kite.bottom) / 2),
             QColor(240, 240, 240));
    QCOMPARE(paletteColour(window, kite.right + 1, (kite.top + kite.bottom) / 2),
             QColor(160, 160, 160));
    QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier,
                      QPoint((kite.left + kite.right) / 2, kite.top + 2));
    QCOMPARE(selectedPaletteKind(window.editor().palette().cells()), kind::Kaite);
    // Pressed: the colours change sides; both windows show the tile cursor.
    QCOMPARE(paletteColour(window, kite.left - 1, (kite.top + kite.bottom) / 2),
             QColor(160, 160, 160));
    QCOMPARE(paletteColour(window, kite.right + 1, (kite.top + kite.bottom) / 2),
             QColor(240, 240, 240));
    QVERIFY(window.boardView()->cursor().shape() == Qt::BitmapCursor);
    QVERIFY(palette->cursor().shape() == Qt::BitmapCursor);
    // The palette shows its picture.
    const QImage shown = palette->grab().toImage();
    QCOMPARE(shown.pixelColor(kite.left - 1, (kite.top + kite.bottom) / 2), QColor(160, 160, 160));

    QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier,
                      QPoint((kite.left + kite.right) / 2, kite.top + 2));
    QCOMPARE(selectedPaletteKind(window.editor().palette().cells()), -1);
    QCOMPARE(paletteColour(window, kite.left - 1, (kite.top + kite.bottom) / 2),
             QColor(240, 240, 240));
    QVERIFY(window.boardView()->cursor().shape() == Qt::ArrowCursor);
}

void MainWindowTest::commandLineDocumentOpensAtStart() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("start.PVD"));
    {
        Session s(1, 0);
        s.window.editor().executeCommand(cmd::GroupMode);
        struct : Progress {
            void setText(const QString&) override {}
            void start(int) override {}
            void step(int) override {}
        } silent;
        QCOMPARE(saveDocument(file, s.doc(), true, silent), SaveStatus::Saved);
    }
    MainWindow window;
    window.editor().setStartupDocument(file);
    QVERIFY(!window.editor().documentOpen());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.editor().documentOpen());
    QCOMPARE(window.windowTitle(), file + QStringLiteral("‐Pavelora"));
    QVERIFY(window.action(cmd::Save)->isEnabled());
    QVERIFY(window.action(cmd::GroupMode)->isChecked());
    closeDiscarding(window);
}

void MainWindowTest::statusBarPartsAreEqual() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(803, 500);
    QTRY_COMPARE(window.statusParts()[0]->parentWidget()->width(), 803);
    const auto parts = window.statusParts();
    const int edges[] = {160, 320, 480, 640, 800};
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(parts[k]->geometry().right() + 1, edges[k]);
    }
}

void MainWindowTest::helpAndAboutShowTheirTexts() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The help page ships inside the program.
    window.action(cmd::Help)->trigger();
    auto* help = window.findChild<QDialog*>(QStringLiteral("pavelorahelp"));
    QVERIFY(help != nullptr);
    QCOMPARE(help->windowTitle(), QStringLiteral("Paveloraヘルプ"));
    auto* text = help->findChild<QTextBrowser*>();
    QVERIFY(text != nullptr);
    QVERIFY(text->toPlainText().contains(QStringLiteral("タイルを結合します")));
    QVERIFY(text->toPlainText().contains(QStringLiteral("F1〜F6")));

    // The About box names the program and carries the JPEG library's credit.
    QStringList lines;
    whenModalOpens([&lines](QDialog* about) {
        QCOMPARE(about->objectName(), QStringLiteral("AboutDB"));
        QCOMPARE(about->windowTitle(), QStringLiteral("Paveloraについて"));
        for (QLabel* label : about->findChildren<QLabel*>()) {
            lines << label->text();
        }
        about->findChild<QPushButton*>(QStringLiteral("30001"))->click();
    });
    window.action(cmd::About)->trigger();
    QVERIFY(lines.contains(QStringLiteral("Pavelora")));
    QVERIFY(lines.contains(QStringLiteral("V1.00  (2004)")));
    QVERIFY(lines.contains(QStringLiteral("This software is based in part on the work")));
    QVERIFY(lines.contains(QStringLiteral("of the Independent JPEG Group.")));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
