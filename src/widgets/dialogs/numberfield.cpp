#include "widgets/dialogs/numberfield.h"

#include "editor/settingslogic.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pavelora {

NumberEdit::NumberEdit(const QString& id, QWidget* parent) : QLineEdit(parent) {
    setObjectName(id);
    setMaxLength(NumberFieldReadLength);
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit left();
        return;
    }
    const bool inserts = !event->text().isEmpty() && event->text().at(0).isPrint();
    const bool full = text().size() >= maxLength() && !hasSelectedText();
    QLineEdit::keyPressEvent(event);
    if (inserts && full) {
        emit left();
    }
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu opening over the field is not leaving it.
    if (event->reason() != Qt::PopupFocusReason) {
        emit left();
    }
}

SpinControl::SpinControl(const QString& id, int lower, int upper, int position,
                         const QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), lower_(lower), upper_(std::max(lower, upper)),
      position_(std::clamp(position, lower_, upper_)), buddy_(buddy) {
    setObjectName(id);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(18, 12);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
}

void SpinControl::setPosition(int position) {
    position_ = std::clamp(position, lower_, upper_);
}

void SpinControl::step(int direction) {
    const int before = position_;
    if (buddy_ != nullptr) {
        if (const std::optional<int> typed = readNumberField(buddy_->text(), lower_, upper_)) {
            position_ = *typed;
        }
    }
    const int next = std::clamp(position_ + direction, lower_, upper_);
    if (next == before) {
        position_ = before;
        return;
    }
    position_ = next;
    emit moved(position_);
}

} // namespace pavelora
