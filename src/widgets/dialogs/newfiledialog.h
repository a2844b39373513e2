#pragma once

#include "editor/shell.h"

#include <QDialog>

class QListWidget;

namespace pavelora {

// "NewFileDB" ("新規作成"): the tile set (list 30012) and the board size (list 30013) of a
// new document. Opens on "Penrose No.1" and "Ａ４横" every time.
class NewFileDialog : public QDialog {
public:
    explicit NewFileDialog(QWidget* owner);

    // The codes of the rows selected now.
    NewDocumentChoice choice() const;

private:
    QListWidget* tileSets_;
    QListWidget* boards_;
};

} // namespace pavelora
