#pragma once

#include <QDialog>

namespace pavelora {

// "Paveloraヘルプ": the program's help page, shipped inside the program, in a viewer
// window of its own. One viewer serves the whole session.
class HelpViewer : public QDialog {
public:
    explicit HelpViewer(QWidget* owner);
};

} // namespace pavelora
