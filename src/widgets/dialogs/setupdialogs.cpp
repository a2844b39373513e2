#include "widgets/dialogs/setupdialogs.h"

#include "editor/settingstarget.h"
#include "widgets/dialogs/dialogbuttons.h"
#include "widgets/dialogs/numberfield.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace pavelora {

namespace {

// A number field with its spin control, placed in row `row` of a grid after its label.
template <typename Logic>
void addNumberRow(QDialog* dialog, QGridLayout* grid, int row, const SetupFieldInfo& info,
                  const Logic& logic, int index, NumberEdit*& field, SpinControl*& spin) {
    field = new NumberEdit(info.fieldId, dialog);
    field->setText(logic.field(index).text());
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    spin = new SpinControl(info.spinId, info.lower, info.upper, logic.field(index).value(), field,
                           dialog);
    grid->addWidget(new QLabel(info.label, dialog), row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(spin, row, 2);
}

// The form buttons 30050, 30051, 30052 (and 30053) in a frame, the one for `checked` checked.
template <std::size_t N>
QGroupBox* formButtons(QDialog* dialog, const std::array<QString, N>& texts, int checked,
                       std::array<QRadioButton*, N>& buttons) {
    auto* box = new QGroupBox(dialog);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < static_cast<int>(N); ++i) {
        buttons[i] = new QRadioButton(texts[i], box);
        buttons[i]->setObjectName(QString::number(30050 + i));
        group->addButton(buttons[i], i);
        layout->addWidget(buttons[i]);
    }
    buttons[checked]->setChecked(true);
    return box;
}

} // namespace

// --- Print setup ---

PrintSetupDialog::PrintSetupDialog(SettingsTarget& target, QWidget* owner)
    : QDialog(owner), target_(target), logic_(*target.document()) {
    setObjectName(QStringLiteral("PrintSetupDB"));
    setWindowTitle(QStringLiteral("印刷設定"));

    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("30007"));
    title_->setMaxLength(PrintTitleLength);
    title_->setText(logic_.initialTitle());
    title_->setMinimumWidth(title_->fontMetrics().averageCharWidth() * 40);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("タイトル文字列"), this));
    titleRow->addWidget(title_);

    // The margins, two frames of two fields each.
    auto* margins = new QHBoxLayout;
    const auto& info = PrintSetupLogic::fields();
    for (int frame = 0; frame < 2; ++frame) {
        auto* box = new QGroupBox(info[2 * frame].group, this);
        auto* grid = new QGridLayout(box);
        for (int row = 0; row < 2; ++row) {
            const int index = 2 * frame + row;
            addNumberRow(this, grid, row, info[index], logic_, index, fields_[index],
                         spins_[index]);
            connect(fields_[index], &NumberEdit::left, this, [this, index] { fieldLeft(index); });
            connect(spins_[index], &SpinControl::moved, this, [this, index](int position) {
                logic_.spinMoved(index, position);
                fields_[index]->setText(logic_.field(index).text());
            });
        }
        margins->addWidget(box);
    }

    auto* board = new QVBoxLayout;
    const std::array<QString, 3> texts = logic_.boardTexts();
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setObjectName(QString::number(30020 + i));
        board->addWidget(label);
    }
    board->addStretch();
    auto* lower = new QHBoxLayout;
    lower->addWidget(
        formButtons(this, PrintSetupLogic::formTexts(), logic_.initialFormButton(), forms_));
    lower->addLayout(board);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addLayout(margins);
    layout->addLayout(lower);
    layout->addLayout(addDialogButtons(this, [this] { okPressed(); }).row);
}

void PrintSetupDialog::fieldLeft(int index) {
    fields_[index]->setText(logic_.leaveField(index, fields_[index]->text()));
    spins_[index]->setPosition(logic_.field(index).value());
}

void PrintSetupDialog::okPressed() {
    for (int i = 0; i < PrintSetupLogic::FieldCount; ++i) {
        if (fields_[i]->text() != logic_.field(i).text()) {
            fieldLeft(i);
        }
    }
    done(QDialog::Accepted);
    logic_.accept(target_, title_->text(), forms_[0]->isChecked(), forms_[1]->isChecked());
}

// --- JPEG setup ---

JpegSetupDialog::JpegSetupDialog(SettingsTarget& target, QWidget* owner)
    : QDialog(owner), target_(target), logic_(*target.document()) {
    setObjectName(QStringLiteral("JpegSetupDB"));
    setWindowTitle(QStringLiteral("JPEG画像保存設定"));

    auto* grid = new QGridLayout;
    const auto& info = JpegSetupLogic::fields();
    for (int index = 0; index < JpegSetupLogic::FieldCount; ++index) {
        addNumberRow(this, grid, index, info[index], logic_, index, fields_[index], spins_[index]);
        connect(fields_[index], &NumberEdit::left, this, [this, index] { fieldLeft(index); });
        connect(spins_[index], &SpinControl::moved, this, [this, index](int position) {
            logic_.spinMoved(index, position);
            fields_[index]->setText(logic_.field(index).text());
        });
    }
    auto* upper = new QHBoxLayout;
    upper->addLayout(grid);
    upper->addWidget(
        formButtons(this, JpegSetupLogic::formTexts(), logic_.initialFormButton(), forms_));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addLayout(addDialogButtons(this, [this] { okPressed(); }).row);
}

void JpegSetupDialog::fieldLeft(int index) {
    fields_[index]->setText(logic_.leaveField(index, fields_[index]->text()));
    spins_[index]->setPosition(logic_.field(index).value());
}

void JpegSetupDialog::okPressed() {
    for (int i = 0; i < JpegSetupLogic::FieldCount; ++i) {
        if (fields_[i]->text() != logic_.field(i).text()) {
            fieldLeft(i);
        }
    }
    done(QDialog::Accepted);
    logic_.accept(target_, forms_[0]->isChecked(), forms_[1]->isChecked(), forms_[3]->isChecked());
}

} // namespace pavelora
