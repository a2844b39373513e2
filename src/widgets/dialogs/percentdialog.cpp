#include "widgets/dialogs/percentdialog.h"

#include "editor/settingstarget.h"
#include "widgets/dialogs/dialogbuttons.h"
#include "widgets/dialogs/numberfield.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavelora {

PercentDialog::PercentDialog(SettingsTarget& target, PercentSetting setting, QWidget* owner)
    : QDialog(owner), target_(target), logic_(setting, *target.document()) {
    const PercentDialogTexts texts = PercentDialogLogic::texts(setting);
    setObjectName(texts.objectName);
    setWindowTitle(texts.title);

    field_ = new NumberEdit(QStringLiteral("30004"), this);
    field_->setText(logic_.field().text());
    field_->setAlignment(Qt::AlignRight);
    field_->setFixedWidth(field_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    spin_ =
        new SpinControl(texts.spinId, logic_.lower(), logic_.upper(), logic_.value(), field_, this);
    connect(field_, &NumberEdit::left, this, [this] { fieldLeft(); });
    connect(spin_, &SpinControl::moved, this, [this](int position) { spinMoved(position); });

    const DialogButtons buttons = addDialogButtons(
        this, [this] { okPressed(); }, [this] { applyPressed(); });
    apply_ = buttons.apply;

    auto* value = new QHBoxLayout;
    value->addWidget(new QLabel(texts.label, this));
    value->addStretch();
    value->addWidget(field_);
    value->addWidget(spin_);
    value->addWidget(new QLabel(QStringLiteral("％"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(value);
    layout->addLayout(buttons.row);
    showState();
}

void PercentDialog::showState() {
    apply_->setEnabled(logic_.applyEnabled());
}

void PercentDialog::fieldLeft() {
    field_->setText(logic_.leaveField(field_->text()));
    spin_->setPosition(logic_.value());
    showState();
}

void PercentDialog::spinMoved(int position) {
    logic_.spinMoved(position);
    field_->setText(logic_.field().text());
    showState();
}

void PercentDialog::checkPendingText() {
    if (field_->text() != logic_.field().text()) {
        fieldLeft();
    }
}

void PercentDialog::applyPressed() {
    checkPendingText();
    logic_.apply(target_);
    showState();
}

void PercentDialog::okPressed() {
    checkPendingText();
    // The dialog closes first; then the value takes effect.
    done(QDialog::Accepted);
    logic_.apply(target_);
}

} // namespace pavelora
