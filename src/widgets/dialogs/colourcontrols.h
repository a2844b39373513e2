#pragma once

#include "core/geometry/rgb.h"

#include <QColor>
#include <QScrollBar>
#include <QWidget>

namespace pavelora {

// The hue wheel of the HLS pages (window class "Huecntr", control 30033). It shows the
// hue it is given and reports left-button presses; the page decides what they mean.
class HueControl : public QWidget {
    Q_OBJECT

public:
    explicit HueControl(QWidget* parent);

    void setHue(int hue);
    QSize sizeHint() const override;

signals:
    void pressed(int side, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int hue_ = 0;
};

// The lightness-saturation square of the HLS pages (window class "LScntr", control 30034).
class LsControl : public QWidget {
    Q_OBJECT

public:
    explicit LsControl(QWidget* parent);

    void setColour(int hue, int lightness, int saturation);
    QSize sizeHint() const override;

signals:
    void pressed(int side, QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int hue_ = 0;
    int lightness_ = 0;
    int saturation_ = 0;
};

// The colour swatch (control 30032).
class Swatch : public QWidget {
public:
    explicit Swatch(QWidget* parent);

    void setColour(Rgb colour);
    Rgb colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Rgb colour_;
};

// A horizontal scroll bar whose track is painted in a colour of its own.
class TintedScrollBar : public QScrollBar {
public:
    TintedScrollBar(const QColor& tint, QWidget* parent);

    const QColor& tint() const { return tint_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor tint_;
};

} // namespace pavelora
