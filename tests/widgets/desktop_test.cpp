#include "document/documentio.h"
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

// Clicks OK in the next message box, which may open above another modal dialog.
void okTheNextMessageBox() {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            box->button(QMessageBox::Ok)->click();
        }
    });
    timer->start(10);
}

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
    QVERIFY(palette->width() >= metrics.horizontalAdvance(QStringLiteral("Narrow Diamond (F6)")));

    // F3 typed in the palette places a Pentagon3; the board view has the keys afterwards.
    palette->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(palette));
    QTest::keyClick(palette, Qt::Key_F3);
    QCOMPARE(s.doc().board.count(), 1);
    QCOMPARE(s.doc().kindCounts[2], 1);
    QTRY_COMPARE(QApplication::focusWidget(), view);

    // Closing the palette hides it and drops its pick; a click on the board brings it back.
    const PaletteCell cell = s.window.editor().palette().cells()->cells[0];
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(cell.left + 2, cell.top + 2));
    QVERIFY(view->cursor().shape() == Qt::BitmapCursor);
    QCloseEvent close;
    QApplication::sendEvent(palette, &close);
    QVERIFY(!palette->isVisible() && s.window.paletteWindow() == palette);
    QVERIFY(view->cursor().shape() == Qt::ArrowCursor);
    QCOMPARE(s.window.editor().palette().pickedKind(), -1);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(palette->isVisible());
    QCOMPARE(s.doc().board.count(), 1); // the click placed nothing
}

void DesktopTest::theFocusAfterOpeningAndSavingOnlyIntoFoldersThatExist() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("open.pvd"));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    acceptNewDocument(0, 3);
    window.action(cmd::New)->trigger();
    QTest::keyClick(window.boardView(), Qt::Key_F1);

    // A name in a folder that does not exist is refused in the dialog, which stays open.
    const QString missing = dir.filePath(QStringLiteral("missing/open.pvd"));
    bool refused = false;
    whenModalOpens([&](QDialog* dialog) {
        okTheNextMessageBox();
        typePath(dialog, missing);
        refused = dialog->isVisible();
        typePath(dialog, file);
    });
    window.action(cmd::SaveAs)->trigger();
    QVERIFY(refused);
    QVERIFY(QFileInfo::exists(file) && !QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
    closeDiscarding(window);

    // Opened through the dialog, the document has the keys at once.
    whenModalOpens([&file](QDialog* dialog) { typePath(dialog, file); });
    window.action(cmd::Open)->trigger();
    QVERIFY(window.editor().documentOpen());
    QTRY_COMPARE(QApplication::focusWidget(), window.boardView());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(window.editor().document()->board.count(), 2);
    closeDiscarding(window);
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
    QCOMPARE((std::array{v.boardOriginY, bar->value()}),
             (std::array{origin - 5 * v.lineStepY, v.vertical.position}));
    QApplication::sendEvent(bar, &down);
    QCOMPARE(v.boardOriginY, origin - 10 * v.lineStepY);
    bar->setValue(bar->maximum() / 3);
    QCOMPARE((std::array{v.vertical.position, v.boardOriginY}),
             (std::array{bar->maximum() / 3, v.maxOriginY - bar->maximum() / 3}));
}

void DesktopTest::qtTextsInJapaneseAndTheIcon() {
    QTranslator texts;
    QVERIFY(loadQtTexts(texts));
    QApplication::installTranslator(&texts);
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")));
    QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
    QApplication::removeTranslator(&texts);

    // The window's icon is data/icons/org.pavelora.Pavelora.svg: on 64 pixels a cyan kite
    // above a red dart, nothing in the corners.
    const QImage icon = MainWindow().windowIcon().pixmap(64, 64).toImage();
    QCOMPARE(icon.size(), QSize(64, 64));
    QCOMPARE(icon.pixelColor(32, 30), QColor(0, 200, 200));
    QCOMPARE(icon.pixelColor(32, 47), QColor(200, 0, 0));
    QCOMPARE(icon.pixelColor(2, 2).alpha(), 0);
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
