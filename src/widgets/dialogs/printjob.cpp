#include "widgets/dialogs/printjob.h"

#include "render/printing.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pavelora {

PrintCancelWindow::PrintCancelWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("PrCancel"));
    setWindowTitle(QStringLiteral("印刷中"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* button = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    button->setObjectName(QStringLiteral("2"));
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this] { cancel(); });
}

void PrintCancelWindow::cancel() {
    keepPrinting_ = false;
    hide();
}

void PrintCancelWindow::reject() {
    cancel();
}

namespace {

// While pages are produced, events are processed so that the cancel window answers and
// every window repaints; but input to any other window is held back, so that nothing can
// change or close the document that is being printed.
class InputOnlyFor : public QObject {
public:
    explicit InputOnlyFor(QWidget* window) : window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::Close: {
            auto* widget = qobject_cast<QWidget*>(watched);
            const bool forCancelWindow =
                widget != nullptr && window_ != nullptr && widget->window() == window_;
            return !forCancelWindow && watched->isWidgetType();
        }
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

PrintOutcome printCopies(QPrinter& printer, const Document& doc, int copies,
                         const std::function<bool()>& keepGoing) {
    printer.setDocName(printDocumentName());
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrintOutcome::NotStarted;
    }
    const PageGeometry page =
        pageGeometry(printer, printer.paperRect(QPrinter::DevicePixel).toRect(),
                     printer.pageRect(QPrinter::DevicePixel).toRect());
    const int pages = std::max(copies, 1);
    for (int copy = 0; copy < pages; ++copy) {
        if (copy > 0 && !printer.newPage()) {
            painter.end();
            return PrintOutcome::Cancelled;
        }
        printPage(painter, doc, page);
        if (keepGoing && !keepGoing()) {
            printer.abort();
            painter.end();
            return PrintOutcome::Cancelled;
        }
    }
    painter.end();
    return PrintOutcome::Finished;
}

void printBoard(QWidget* mainWindow, const Document& doc) {
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Print"),
                        QStringLiteral("No defalt printer selected."), QMessageBox::Ok, mainWindow);
        box.exec();
        return;
    }

    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, mainWindow);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }

    // Every copy is a page of its own, so the printer itself makes one copy.
    const int copies = printer.copyCount();
    printer.setCopyCount(1);

    auto* cancelWindow = new PrintCancelWindow(mainWindow);
    cancelWindow->show();
    InputOnlyFor filter(cancelWindow);
    qApp->installEventFilter(&filter);
    const QPointer<PrintCancelWindow> window(cancelWindow);
    printCopies(printer, doc, copies, [&window] {
        QCoreApplication::processEvents();
        return window != nullptr && window->keepPrinting();
    });
    qApp->removeEventFilter(&filter);
    delete window.data();
}

} // namespace pavelora
