#pragma once

#include "editor/colourlogic.h"

#include <QDialog>

#include <array>

class QPushButton;
class QTabWidget;

namespace pavelora {

class SettingsTarget;

// The colour sheets "タイルの色指定", "対模様の色指定" and "ボードの色指定": an RGB page and an
// HLS page over one working colour, and the buttons OK (30001), ｷｬﾝｾﾙ (30002) and 適用
// (30003). Each page has the number fields 30004 to 30006, the scroll bars 30040 to 30042,
// the swatch 30032 and, on the tile and pair-pattern sheets, the entry list 30012; the HLS
// page adds the hue wheel 30033 and the lightness-saturation square 30034. Needs an open
// document.
class ColourSheet : public QDialog {
public:
    ColourSheet(SettingsTarget& target, ColourSheetKind kind, QWidget* owner);
    ~ColourSheet() override;

    const ColourSheetLogic& logic() const { return logic_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    class Page;

    void pageChanged(int index);
    void edited();
    void applyPressed();
    void okPressed();

    SettingsTarget& target_;
    ColourSheetLogic logic_;
    QTabWidget* tabs_;
    std::array<Page*, 2> pages_{};
    int currentPage_ = 0;
    QPushButton* apply_;
};

} // namespace pavelora
