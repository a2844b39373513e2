#pragma once

#include "editor/shell.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace pavelora {

// "GenerateDB" ("パターン生成"): the seed figure of the patch (buttons 30060 and 30061, named
// for the document's tile set) and how much to lay: "ボード全体" (30062) or a number of tiles
// (30063 with the field 30004) nearest the middle of the visible board.
class GenerateDialog : public QDialog {
public:
    GenerateDialog(std::int32_t tileSetCode, QWidget* owner);

    GenerateChoice choice() const;

private:
    QRadioButton* star_;
    QRadioButton* wholeBoard_;
    QSpinBox* tiles_;
};

} // namespace pavelora
