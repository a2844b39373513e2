#pragma once

#include "editor/settingslogic.h"

#include <QDialog>

class QPushButton;

namespace pavelora {

class SettingsTarget;
class NumberEdit;
class SpinControl;

// "TileSizeDB", "TileOutlineDB" and "ZoomDB": one percentage in the number field 30004 with
// its spin control, and "OK" (30001), "ｷｬﾝｾﾙ" (30002), "適用" (30003). Needs an open
// document.
class PercentDialog : public QDialog {
public:
    PercentDialog(SettingsTarget& target, PercentSetting setting, QWidget* owner);

    const PercentDialogLogic& logic() const { return logic_; }

private:
    void fieldLeft();
    void spinMoved(int position);
    // A field left with unchecked text (a button pressed without the focus passing through
    // the field first) is checked as if it had been left.
    void checkPendingText();
    void applyPressed();
    void okPressed();
    void showState();

    SettingsTarget& target_;
    PercentDialogLogic logic_;
    NumberEdit* field_;
    SpinControl* spin_;
    QPushButton* apply_;
};

} // namespace pavelora
