#include "document/documentio.h"
#include "widgets/dialogs/printjob.h"
#include "widgets/palettewindow.h"
#include "windowsession.h"

#include <QMenuBar>
#include <QPrinter>
#include <QTemporaryDir>

using namespace pavelora;
using namespace pavelora::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuAndAccelerators();
    void printingAndAStartupDocumentWithItsPalette();
};

void MainWindowTest::menuAndAccelerators() {
    MainWindow window;
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions()) {
        menus << menu->text();
        for (QAction* a : menu->menu()->actions()) {
            menus.back() +=
                QLatin1Char(' ') + (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        }
    }
    QCOMPARE(
        menus,
        (QStringList{QStringLiteral("ファイル(&F) 40001 40002 - 40003 40004 40005 - "
                                    "40006 40007 - 40008 40009 - 40010"),
                     QStringLiteral(
                         "編集(&E) 40027 40028 - 40021 40022 - 40023 40024 40025 - 40026 - 40029"),
                     QStringLiteral("オプション(&O) 40031 40032 - 40033 40034 - 40035"),
                     QStringLiteral("ヘルプ(&H) 40041 40042")}));
    QCOMPARE(window.action(cmd::SaveAs)->text(), QStringLiteral("名前を付けて保存...\tCtrl+A"));
    QCOMPARE(window.action(cmd::TileColour)->text(), QStringLiteral("タイルの色(&C)...\tCtrl+C"));
    // Of two items showing one key only the first acts: Ctrl+C closes, after a question.
    QVERIFY(window.action(cmd::TileColour)->shortcut().isEmpty());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    acceptNewDocument(0, 3);
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    // Typed while the palette has the focus, Ctrl+G acts too: group mode, a change.
    window.paletteWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.paletteWindow()));
    QTest::keyClick(window.paletteWindow(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(window.action(cmd::GroupMode)->isChecked() && window.action(cmd::SaveAs)->isEnabled());
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    whenModalOpens(
        [](QDialog* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click(); });
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(!window.editor().documentOpen() && window.paletteWindow() == nullptr);
}

void MainWindowTest::printingAndAStartupDocumentWithItsPalette() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("start.PVD"));
    {
        // One page per copy in one job; told to stop after the second, no further page.
        Session s(2, 3);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("copies.pdf")));
        int asked = 0;
        QCOMPARE(printCopies(printer, s.doc(), 3, [&asked] { return ++asked < 4; }),
                 PrintOutcome::Finished);
        QCOMPARE(printer.docName(), QStringLiteral("pavelora document"));
        QFile pdf(printer.outputFileName());
        QVERIFY(pdf.open(QIODevice::ReadOnly)); // three page objects, besides the page tree
        QCOMPARE(pdf.readAll().count("/Type /Page\n"), 3);
        asked = 0;
        QCOMPARE(printCopies(printer, s.doc(), 5, [&asked] { return ++asked < 2; }),
                 PrintOutcome::Cancelled);
        QCOMPARE(asked, 2);
        QCOMPARE(saveDocument(file, s.doc(), false, s.window.progress()), SaveStatus::Saved);
        s.window.closeProgress();
    }
    // A document named at the start opens once the window shows, from the event loop.
    MainWindow window;
    window.editor().setStartupDocument(file);
    window.show();
    QTRY_VERIFY(window.editor().documentOpen());
    // Its palette shows a press in the cell and the tile cursor in both windows.
    PaletteWindow* palette = window.paletteWindow();
    QCOMPARE(palette->objectName() + palette->windowTitle(),
             QStringLiteral("PTILEPTNPenrose No.3"));
    const PaletteCell cell = window.editor().palette().cells()->cells[1];
    const QPoint bevel(cell.left - 1, (cell.top + cell.bottom) / 2);
    QCOMPARE(palette->grab().toImage().pixelColor(bevel), QColor(240, 240, 240)); // raised
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(cell.left + 2, cell.top + 2));
    QCOMPARE(palette->grab().toImage().pixelColor(bevel), QColor(160, 160, 160)); // pressed
    QVERIFY(window.boardView()->cursor().shape() == Qt::BitmapCursor &&
            palette->cursor().shape() == Qt::BitmapCursor);
    closeDiscarding(window);
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
