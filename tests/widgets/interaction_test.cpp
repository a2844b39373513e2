#include "windowsession.h"

#include <QScrollBar>

using namespace pavelora;

class InteractionTest : public QObject {
    Q_OBJECT

private slots:
    void mouseKeysAndScrollBarsReachTheBoardAndItsPicture();
};

// The board view hands mouse, keys, wheel and scroll bars on and shows what they changed.
void InteractionTest::mouseKeysAndScrollBarsReachTheBoardAndItsPicture() {
    test::Session s(0, 0); // Penrose No.1 on Ａ３縦, taller than the window
    QWidget* view = s.window.boardView();
    const Selection& sel = s.window.editor().board().selection();
    auto at = [&s](const Tile* t) {
        const BoardPixel p = boardToPixel(s.doc().view, t->x, t->y);
        return QPoint(p.x, p.y);
    };
    s.window.action(cmd::PatternOff)->trigger(); // plain tile bodies
    QTRY_VERIFY(s.doc().view.clientWidth > 0);
    QTest::keyClick(view, Qt::Key_F2); // a Kaite
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(sel.currentTile->rotation, 1);
    const QPoint from = at(sel.currentTile);
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, from + QPoint(150, 40));
    QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(150, 40));
    QCOMPARE(at(sel.currentTile), from + QPoint(150, 40));
    const QImage shot = view->grab().toImage();
    QCOMPARE(shot.pixelColor(from + QPoint(150, 40)), QColor(0, 200, 200));
    QCOMPARE(shot.pixelColor(from), QColor(Qt::white));
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(s.doc().board.count(), 0);

    // Wheel towards the user: a page down; the bar follows the board, not its own step.
    View& v = s.doc().view;
    QScrollBar* bar = s.window.verticalBar();
    QWheelEvent down(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const int origin = v.boardOriginY;
    QApplication::sendEvent(view, &down);
    QCOMPARE((std::array{v.boardOriginY, bar->value()}),
             (std::array{origin - 5 * v.lineStepY, v.vertical.position}));
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE((std::array{v.boardOriginY, bar->value()}), (std::array{v.maxOriginY, 0}));
    QCOMPARE(view->grab().toImage().pixelColor(v.boardOriginX + 10, v.boardOriginY - 2),
             QColor(64, 64, 64));
}

QTEST_MAIN(InteractionTest)
#include "interaction_test.moc"
