#pragma once

#include "core/board/board.h"

#include <QDialog>

#include <functional>

class QPrinter;
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

enum class PrintOutcome {
    Finished,   // every page was produced and the document ended
    NotStarted, // the device could not start the document
    Cancelled,  // the job was abandoned (a printer is aborted)
};

// Prints `copies` pages, one per copy, into one document named "pavelora document" on the
// printer. After each page `keepGoing` is asked (it may process pending events); when it
// says no, the job is aborted and no further page is produced.
PrintOutcome printCopies(QPrinter& printer, const Document& doc, int copies,
                         const std::function<bool()>& keepGoing);

// The "印刷" command: the print dialog for the board, then one page per copy in one job
// named "pavelora document", with the cancel window open and kept responsive between
// pages. Without any printer on the system it shows "No defalt printer selected." and
// prints nothing.
void printBoard(QWidget* mainWindow, const Document& doc);

} // namespace pavelora
