#pragma once

#include <QMainWindow>

namespace pavelora {

// The main window ("ZIRUZ"): menu, board view, scroll bars and status bar.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace pavelora
