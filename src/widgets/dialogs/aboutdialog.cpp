#include "widgets/dialogs/aboutdialog.h"

#include "widgets/artwork.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavelora {

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("AboutDB"));
    setWindowTitle(QStringLiteral("Paveloraについて"));

    auto* icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    auto* text = new QVBoxLayout;
    const QString lines[] = {
        QStringLiteral("Pavelora"),
        QStringLiteral("V1.00  (2004)"),
        QStringLiteral("Penrose tiling editor, by the Pavelora developers."),
        QStringLiteral("This software is based in part on the work"),
        QStringLiteral("of the Independent JPEG Group."),
    };
    for (const QString& line : lines) {
        text->addWidget(new QLabel(line, this));
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("30001"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace pavelora
