#pragma once

#include "board/board.h"

#include <QDialog>

class QWidget;

namespace pavelora {

// The modeless "PrCancel" window shown while pages are printed: title "印刷中" and one
// button "ｷｬﾝｾﾙ". The button clears the continuation flag and closes the window.
class PrintCancelWindow : public QDialog {
public:
    explicit PrintCancelWindow(QWidget* owner);

    bool keepPrinting() const { return keepPrinting_; }
    void cancel();
    // Escape and the window's close box cancel like the button.
    void reject() override;

private:
    bool keepPrinting_ = true;
};

// The "印刷" command: the print dialog for the board, then one page per copy in one job
// named "pavelora document", with the cancel window open and kept responsive between
// pages. Without any printer on the system it shows "No defalt printer selected." and
// prints nothing.
void printBoard(QWidget* mainWindow, const Document& doc);

} // namespace pavelora
