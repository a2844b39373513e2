#include "core/board/hittest.h"
#include "windowsession.h"

#include <QScrollBar>

using namespace pavelora;

class InteractionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dragMovesTheTileOnScreen();
    void keysTurnAndNudge();
    void wheelAndScrollBarsMoveTheBoard();

private:
    QPoint pixelOf(const Tile* t) const {
        const BoardPixel p = boardToPixel(window->editor().document()->view, t->x, t->y);
        return QPoint(p.x, p.y);
    }
    // The board's back buffer, where the window paints it.
    QColor shownAt(QPoint client) {
        const QImage shot = window->boardView()->grab().toImage();
        return shot.pixelColor(client);
    }

    std::unique_ptr<test::Session> session;
    MainWindow* window = nullptr;
};

void InteractionTest::init() {
    // Penrose No.1 on Ａ３縦, taller than the window.
    session = std::make_unique<test::Session>(0, 0, QSize(1100, 800));
    window = &session->window;
    QVERIFY(window->editor().documentOpen());
    QTRY_VERIFY(window->editor().document()->view.clientWidth > 0);
}

void InteractionTest::cleanup() {
    session.reset();
    window = nullptr;
}

void InteractionTest::dragMovesTheTileOnScreen() {
    QWidget* view = window->boardView();
    window->action(cmd::PatternOff)->trigger(); // plain tile bodies
    // F1 places a dart at the middle of the visible board.
    QTest::keyClick(view, Qt::Key_F1);
    Document& doc = *window->editor().document();
    QCOMPARE(doc.board.count(), 1);
    const Tile* dart = window->editor().board().selection().currentTile;
    QVERIFY(dart != nullptr);
    const QPoint from = pixelOf(dart);
    QCOMPARE(shownAt(from), QColor(200, 0, 0));

    // Press on it, drag 150 pixels to the right and 40 down, release.
    const QPoint to = from + QPoint(150, 40);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view, from + QPoint(75, 20));
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    const Tile* moved = window->editor().board().selection().currentTile;
    QVERIFY(moved != nullptr);
    QCOMPARE(pixelOf(moved), to);
    QCOMPARE(doc.board.count(), 1);
    // The window shows it at its new place and the board where it was.
    QCOMPARE(shownAt(to), QColor(200, 0, 0));
    QCOMPARE(shownAt(from), QColor(Qt::white));
    QVERIFY(!window->editor().board().dragging());
}

void InteractionTest::keysTurnAndNudge() {
    QWidget* view = window->boardView();
    QTest::keyClick(view, Qt::Key_F2);
    Editor& editor = window->editor();
    QCOMPARE(editor.board().selection().currentTile->kind, kind::Kaite);
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(editor.board().selection().currentTile->rotation, 1);
    QTest::keyClick(view, Qt::Key_Space);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(editor.board().selection().currentTile->rotation, 19);
    const QPoint before = pixelOf(editor.board().selection().currentTile);
    QTest::keyClick(view, Qt::Key_Left);
    const int step =
        static_cast<int>(editor.document()->tileSet->extent * editor.document()->view.pxPerMmX);
    QCOMPARE(pixelOf(editor.board().selection().currentTile), before - QPoint(step, 0));
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(editor.document()->board.count(), 0);
    QCOMPARE(editor.document()->kindCounts[1], 0);
}

void InteractionTest::wheelAndScrollBarsMoveTheBoard() {
    QWidget* view = window->boardView();
    View& v = window->editor().document()->view;
    QVERIFY(v.verticalScrollActive == 1);
    QScrollBar* bar = window->verticalBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), v.vertical.maximum);

    // Wheel towards the user: a page down, the board moves up.
    const int origin = v.boardOriginY;
    QWheelEvent down(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &down);
    QCOMPARE(v.boardOriginY, std::max(v.minOriginY, origin - 5 * v.lineStepY));
    QCOMPARE(bar->value(), v.vertical.position);

    // The bar's own steps go through the same rules and stay within the limits.
    for (int i = 0; i < 100; ++i) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    }
    QCOMPARE(v.boardOriginY, v.minOriginY);
    QCOMPARE(bar->value(), bar->maximum());
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(v.boardOriginY, v.minOriginY + v.lineStepY);
    QCOMPARE(bar->value(), bar->maximum() - v.lineStepY);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(v.boardOriginY, v.maxOriginY);
    QCOMPARE(bar->value(), 0);
    // The picture follows: the board's top edge is now maxOriginY below the view's top.
    const QImage shot = view->grab().toImage();
    QCOMPARE(shot.pixelColor(v.boardOriginX + 10, v.boardOriginY + 2), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(v.boardOriginX + 10, v.boardOriginY - 2), QColor(64, 64, 64));
}

QTEST_MAIN(InteractionTest)
#include "interaction_test.moc"
