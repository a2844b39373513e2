#pragma once

#include "core/progress.h"

#include <QDialog>

class QProgressBar;

namespace pavelora {

// "ProgressDB" ("ファイル入出力中"): a modeless window with one progress bar, shown while a
// document is saved or opened or an image exported. It has no buttons and cannot be
// closed by the user; the operation's caller closes it.
class ProgressDialog : public QDialog, public Progress {
public:
    explicit ProgressDialog(QWidget* owner);

    void setText(const QString& text) override;
    void start(int total) override;
    void step(int amount) override;

    int value() const;
    int maximum() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void appear();
    QProgressBar* bar_;
};

} // namespace pavelora
