#pragma once

#include <QWidget>

namespace pavelora {

class PaletteInput;

// The tile palette ("PTILEPTN"): shows the palette picture, hands clicks on to the palette,
// and hands the keys F1 to F6 on to the main window.
class PaletteWindow : public QWidget {
public:
    PaletteWindow(PaletteInput& input, QWidget* mainWindow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    PaletteInput& input_;
    QWidget* mainWindow_;
};

} // namespace pavelora
