#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;

namespace pavelora {

// The number field of a settings dialog. It reports `left` when it loses the focus, when
// Enter is pressed in it (Enter goes no further, so it does not press the dialog's
// default button) and when typing meets its length limit; the dialog then checks the text.
class NumberEdit : public QLineEdit {
    Q_OBJECT

public:
    NumberEdit(const QString& id, QWidget* parent);

signals:
    void left();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// An up-down control beside its number field (its buddy): two arrow buttons that move a
// position one step within a range, stopping at its ends. A number typed in the field and
// not yet checked is where the step starts, when the field would take it. `moved` reports
// every step the user takes; setPosition does not.
class SpinControl : public QWidget {
    Q_OBJECT

public:
    SpinControl(const QString& id, int lower, int upper, int position, const QLineEdit* buddy,
                QWidget* parent);

    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int position() const { return position_; }
    void setPosition(int position);
    // The arrows: +1 for up, -1 for down.
    void step(int direction);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void moved(int position);

private:
    int lower_;
    int upper_;
    int position_;
    const QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace pavelora
