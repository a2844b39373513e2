#include "widgets/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

#include <cmath>

namespace pavelora {

namespace {

// The kite of the darts-and-kites set around (cx, cy), y downwards.
QPolygonF kite(double cx, double cy, double size) {
    const double q = std::sin(72 * M_PI / 180);
    const double c = std::sin(18 * M_PI / 180);
    const double h = (std::sqrt(5.0) - 1) / 2;
    return QPolygonF({QPointF(cx, cy - size), QPointF(cx - q * size, cy + c * size),
                      QPointF(cx, cy + h * size), QPointF(cx + q * size, cy + c * size)});
}

} // namespace

QIcon applicationIcon() {
    QSvgRenderer picture(QStringLiteral(":/icons/org.pavelora.Pavelora.svg"));
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        picture.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
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
