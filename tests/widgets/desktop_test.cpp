#include "widgets/application.h"
#include "widgets/palettewindow.h"
#include "windowsession.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTranslator>

using namespace pavelora;
using namespace pavelora::test;

namespace {

// Types a path into a file dialog's name field, as a user does, and presses its button.
void typePath(QDialog* dialog, const QString& path) {
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    dialog->accept();
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void paletteLabelsKeysCloseAndTheFocus();
    void theFocusAfterOpeningAndSavingOnlyIntoFoldersThatExist();
    void wheelAndMenuOverTheScrollBars();
    void qtTextsInJapaneseAndTheIcon();
};

void DesktopTest::paletteLabelsKeysCloseAndTheFocus() {
    Session s(2, 3); // Penrose No.3 on Ａ４横
    QWidget* view = s.window.boardView();
    PaletteWindow* palette = s.window.paletteWindow();
    QTRY_COMPARE(QApplication::focusWidget(), view);
    // The longest labels, as they read on the screen, fit in the palette's font.
    const QFontMetrics metrics(s.window.font());
    QVERIFY(palette->width() >= metrics.horizontalAdvance(QStringLiteral("Waned Pentagram (F5)")));

    // F3 typed in the palette places a Pentagon3; the board view has the keys afterwards.
    palette->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(palette));
    QTest::keyClick(palette, Qt::Key_F3);
    QCOMPARE(s.doc().kindCounts[2], 1);
    QTRY_COMPARE(QApplication::focusWidget(), view);

    // Closing the palette hides it and drops its pick; a click on the board brings it back.
    const PaletteCell cell = s.window.editor().palette().cells()->cells[0];
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(cell.left + 2, cell.top + 2));
    QCloseEvent close;
    QApplication::sendEvent(palette, &close);
    QVERIFY(!palette->isVisible() && s.window.paletteWindow() == palette &&
            view->cursor().shape() == Qt::ArrowCursor);
    QCOMPARE(s.window.editor().palette().pickedKind(), -1);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(palette->isVisible() && s.doc().board.count() == 1); // and placed nothing
}

void DesktopTest::theFocusAfterOpeningAndSavingOnlyIntoFoldersThatExist() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("open.pvd"));
    Session s(0, 3);
    MainWindow& window = s.window;
    QTest::keyClick(window.boardView(), Qt::Key_F1); // a change, to be saved

    // A name in a folder that does not exist is refused in the dialog, which stays open.
    bool refused = false;
    whenModalOpens([&](QDialog* dialog) {
        whenModalOpens([](QDialog* box) { box->accept(); }, dialog);
        typePath(dialog, dir.filePath(QStringLiteral("missing/open.pvd")));
        refused = dialog->isVisible();
        typePath(dialog, file);
    });
    window.action(cmd::SaveAs)->trigger();
    QVERIFY(refused && QFileInfo::exists(file));
    closeDiscarding(window);

    // Opened through the dialog, the document has the keys at once.
    whenModalOpens([&file](QDialog* dialog) { typePath(dialog, file); });
    window.action(cmd::Open)->trigger();
    QVERIFY(window.editor().documentOpen());
    QTRY_COMPARE(QApplication::focusWidget(), window.boardView());
}

// The wheel over either scroll bar is the board's: one page per wheel message. The bar's
// menu item "ここにスクロール" moves the board with the thumb.
void DesktopTest::wheelAndMenuOverTheScrollBars() {
    Session s(0, 0); // Ａ３縦, taller than the window
    View& v = s.doc().view;
    QTRY_VERIFY(v.clientWidth > 0);
    QScrollBar* bar = s.window.verticalBar();
    const int origin = v.boardOriginY;
    QWheelEvent down(QPointF(2, 50), bar->mapToGlobal(QPointF(2, 50)), QPoint(), QPoint(0, -360),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(s.window.horizontalBar(), &down);
    QApplication::sendEvent(bar, &down);
    QCOMPARE((std::array{v.boardOriginY, bar->value()}),
             (std::array{origin - 10 * v.lineStepY, v.vertical.position}));
    bar->setValue(bar->maximum() / 3);
    QCOMPARE((std::array{v.vertical.position, v.boardOriginY}),
             (std::array{bar->maximum() / 3, v.maxOriginY - bar->maximum() / 3}));
}

void DesktopTest::qtTextsInJapaneseAndTheIcon() {
    QTranslator texts;
    QVERIFY(loadQtTexts(texts) && QApplication::installTranslator(&texts));
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
    QApplication::removeTranslator(&texts);

    // The window's icon is data/icons/org.pavelora.Pavelora.svg: a cyan kite above a red dart.
    const QImage icon = MainWindow().windowIcon().pixmap(64, 64).toImage();
    QCOMPARE(icon.pixelColor(32, 30), QColor(0, 200, 200));
    QCOMPARE(icon.pixelColor(32, 47), QColor(200, 0, 0));
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
