#include "widgets/dialogs/newfiledialog.h"

#include "core/geometry/tileset.h"
#include "widgets/dialogs/dialogbuttons.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavelora {

NewFileDialog::NewFileDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("NewFileDB"));
    setWindowTitle(QStringLiteral("新規作成"));

    tileSets_ = new QListWidget(this);
    tileSets_->setObjectName(QStringLiteral("30012"));
    for (const TileSetEntry& entry : TileSetCatalogue) {
        tileSets_->addItem(QString::fromUtf8(entry.name));
    }
    tileSets_->setCurrentRow(0);

    boards_ = new QListWidget(this);
    boards_->setObjectName(QStringLiteral("30013"));
    for (const BoardSize& board : BoardSizeTable) {
        boards_->addItem(QString::fromUtf8(board.name));
    }
    boards_->setCurrentRow(3);

    const DialogButtons buttons = addDialogButtons(this, [this] { accept(); });

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("タイルセットの指定"), this));
    left->addWidget(tileSets_);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("ボードサイズの指定"), this));
    right->addWidget(boards_);
    lists->addLayout(left);
    lists->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons.row);
}

NewDocumentChoice NewFileDialog::choice() const {
    NewDocumentChoice c;
    const int set = tileSets_->currentRow();
    const int board = boards_->currentRow();
    if (set >= 0 && set < static_cast<int>(TileSetCatalogue.size())) {
        c.tileSetCode = TileSetCatalogue[set].code;
    }
    if (board >= 0 && board < static_cast<int>(BoardSizeTable.size())) {
        c.boardCode = BoardSizeTable[board].code;
    }
    return c;
}

} // namespace pavelora
