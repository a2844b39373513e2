#pragma once

#include <QDialog>

namespace pavelora {

// "AboutDB" ("Paveloraについて"): the program's icon, name, version and credits, with OK.
class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget* owner);
};

} // namespace pavelora
