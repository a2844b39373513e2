#pragma once

#include <QWidget>

namespace pavelora {

class Editor;

// The tile palette ("PTILEPTN"): shows the editor's palette picture, turns clicks into
// picks, and hands the keys F1 to F6 on to the main window.
class PaletteWindow : public QWidget {
public:
    PaletteWindow(Editor& editor, QWidget* mainWindow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    Editor& editor_;
    QWidget* mainWindow_;
};

} // namespace pavelora
