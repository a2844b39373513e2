#pragma once

#include "editor/settingslogic.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QRadioButton;

namespace pavelora {

class SettingsTarget;
class NumberEdit;
class SpinControl;

// "PrintSetupDB" ("印刷設定"): the title line (30007), the paper and board-cut margins
// (30010, 30011, 30008, 30009 with spin controls 30015 to 30018), the print form (30050 to
// 30052) and the board's name and size (30020 to 30022). OK (30001) stores everything and
// marks the document changed; ｷｬﾝｾﾙ (30002) stores nothing. Needs an open document.
class PrintSetupDialog : public QDialog {
public:
    PrintSetupDialog(SettingsTarget& target, QWidget* owner);

    const PrintSetupLogic& logic() const { return logic_; }

private:
    void fieldLeft(int index);
    void okPressed();

    SettingsTarget& target_;
    PrintSetupLogic logic_;
    QLineEdit* title_;
    std::array<NumberEdit*, PrintSetupLogic::FieldCount> fields_{};
    std::array<SpinControl*, PrintSetupLogic::FieldCount> spins_{};
    std::array<QRadioButton*, 3> forms_{};
};

// "JpegSetupDB" ("JPEG画像保存設定"): quality (30060) and density (30061) with spin
// controls 30015 and 30016, and the form (30050 to 30053). OK stores them; the document
// does not count as changed. Needs an open document.
class JpegSetupDialog : public QDialog {
public:
    JpegSetupDialog(SettingsTarget& target, QWidget* owner);

    const JpegSetupLogic& logic() const { return logic_; }

private:
    void fieldLeft(int index);
    void okPressed();

    SettingsTarget& target_;
    JpegSetupLogic logic_;
    std::array<NumberEdit*, JpegSetupLogic::FieldCount> fields_{};
    std::array<SpinControl*, JpegSetupLogic::FieldCount> spins_{};
    std::array<QRadioButton*, 4> forms_{};
};

} // namespace pavelora
