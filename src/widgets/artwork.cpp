#include "widgets/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace pavelora {

namespace {

// The kite and the dart of the darts-and-kites set around (cx, cy), y downwards.
QPolygonF kite(double cx, double cy, double size) {
    const double q = std::sin(72 * M_PI / 180);
    const double c = std::sin(18 * M_PI / 180);
    const double h = (std::sqrt(5.0) - 1) / 2;
    return QPolygonF({QPointF(cx, cy - size), QPointF(cx - q * size, cy + c * size),
                      QPointF(cx, cy + h * size), QPointF(cx + q * size, cy + c * size)});
}

QPolygonF dart(double cx, double cy, double size) {
    const double q = std::sin(72 * M_PI / 180);
    const double h = (std::sqrt(5.0) - 1) / 2;
    const double m = (5 - std::sqrt(5.0)) / 4;
    const double r = h * h;
    return QPolygonF({QPointF(cx, cy - h * size), QPointF(cx - q * size, cy + m * size),
                      QPointF(cx, cy + r * size), QPointF(cx + q * size, cy + m * size)});
}

QPixmap iconPixmap(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(40, 40, 40), side / 32.0));
    p.setBrush(QColor(0, 200, 200));
    p.drawPolygon(kite(side * 0.5, side * 0.52, side * 0.46));
    p.setBrush(QColor(200, 0, 0));
    p.drawPolygon(dart(side * 0.5, side * 0.80, side * 0.30));
    return pixmap;
}

} // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int side : {16, 32, 48, 64}) {
        icon.addPixmap(iconPixmap(side));
    }
    return icon;
}

QCursor tileCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 16);
    arrow.lineTo(4, 12);
    arrow.lineTo(7, 19);
    arrow.lineTo(9, 18);
    arrow.lineTo(6, 11);
    arrow.lineTo(11, 11);
    arrow.closeSubpath();
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPath(arrow);
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 200, 200));
    p.drawPolygon(kite(21, 22, 9));
    return QCursor(pixmap, 0, 0);
}

} // namespace pavelora
