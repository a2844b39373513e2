#include "widgets/dialogs/colourcontrols.h"

#include "render/colourpictures.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace pavelora {

namespace {

// Both pictures are drawn on a square of this side: the lightness-saturation square then
// has an edge of 100 pixels, one per percent.
constexpr int kPictureSide = 125;

} // namespace

HueControl::HueControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("30033"));
    setProperty("windowClass", QStringLiteral("Huecntr"));
    setCursor(Qt::ArrowCursor);
    setFixedSize(kPictureSide, kPictureSide);
}

void HueControl::setHue(int hue) {
    hue_ = hue;
    update();
}

QSize HueControl::sizeHint() const {
    return QSize(kPictureSide, kPictureSide);
}

void HueControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawHueWheel(painter, pictureSide(width(), height()), hue_);
}

void HueControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit pressed(pictureSide(width(), height()), event->position().toPoint());
    }
}

LsControl::LsControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("30034"));
    setProperty("windowClass", QStringLiteral("LScntr"));
    setCursor(Qt::ArrowCursor);
    setFixedSize(kPictureSide, kPictureSide);
}

void LsControl::setColour(int hue, int lightness, int saturation) {
    hue_ = hue;
    lightness_ = lightness;
    saturation_ = saturation;
    update();
}

QSize LsControl::sizeHint() const {
    return QSize(kPictureSide, kPictureSide);
}

void LsControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawLsSquare(painter, pictureSide(width(), height()), hue_, lightness_, saturation_);
}

void LsControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit pressed(pictureSide(width(), height()), event->position().toPoint());
    }
}

Swatch::Swatch(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("30032"));
    setMinimumSize(60, 40);
}

void Swatch::setColour(Rgb colour) {
    colour_ = colour;
    update();
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSwatch(painter, rect(), colour_);
}

TintedScrollBar::TintedScrollBar(const QColor& tint, QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent), tint_(tint) {}

void TintedScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!tint_.isValid()) {
        return;
    }
    // The track, outside the thumb, in the tint; arrows and thumb as the style drew them.
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, this);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    QPainter painter(this);
    painter.setClipRegion(QRegion(groove).subtracted(QRegion(thumb)));
    painter.fillRect(groove, tint_);
}

} // namespace pavelora
