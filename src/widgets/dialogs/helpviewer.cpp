#include "widgets/dialogs/helpviewer.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace pavelora {

HelpViewer::HelpViewer(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("pavelorahelp"));
    setWindowTitle(QStringLiteral("Paveloraヘルプ"));
    setModal(false);
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("helpText"));
    browser->setSource(QUrl(QStringLiteral("qrc:/help/pavelorahelp.html")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    resize(640, 560);
}

} // namespace pavelora
