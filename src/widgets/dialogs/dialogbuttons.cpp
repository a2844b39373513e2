#include "widgets/dialogs/dialogbuttons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace pavelora {

DialogButtons addDialogButtons(QDialog* dialog, const std::function<void()>& onOk,
                               const std::function<void()>& onApply) {
    DialogButtons b;
    b.row = new QHBoxLayout;
    b.row->addStretch();
    b.ok = new QPushButton(QStringLiteral("OK"), dialog);
    b.ok->setObjectName(QStringLiteral("30001"));
    b.ok->setDefault(true);
    QObject::connect(b.ok, &QPushButton::clicked, dialog, onOk);
    b.row->addWidget(b.ok);
    b.cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), dialog);
    b.cancel->setObjectName(QStringLiteral("30002"));
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    b.row->addWidget(b.cancel);
    if (onApply) {
        b.apply = new QPushButton(QStringLiteral("適用"), dialog);
        b.apply->setObjectName(QStringLiteral("30003"));
        QObject::connect(b.apply, &QPushButton::clicked, dialog, onApply);
        b.row->addWidget(b.apply);
    }
    return b;
}

} // namespace pavelora
