#pragma once

#include <QWidget>

namespace pavelora {

class PaletteInput;

// The tile palette ("PTILEPTN"): a tool window of the main window, kept above it by the
// window manager. It shows the palette picture, hands clicks on to the palette, and hands
// the keys F1 to F6 on to the board view, which then has the keyboard focus. Closing it
// only hides it.
class PaletteWindow : public QWidget {
public:
    PaletteWindow(PaletteInput& input, QWidget* mainWindow, QWidget* boardView);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PaletteInput& input_;
    QWidget* mainWindow_;
    QWidget* boardView_;
};

} // namespace pavelora
