#pragma once

#include <QDialog>

#include <functional>

class QHBoxLayout;
class QPushButton;

namespace pavelora {

// The button row of the program's dialogs, at the right: OK (30001, the default button),
// ｷｬﾝｾﾙ (30002, which rejects the dialog) and, when an apply action is given, 適用 (30003).
struct DialogButtons {
    QHBoxLayout* row = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* apply = nullptr; // null without an apply action
};

DialogButtons addDialogButtons(QDialog* dialog, const std::function<void()>& onOk,
                               const std::function<void()>& onApply = {});

} // namespace pavelora
