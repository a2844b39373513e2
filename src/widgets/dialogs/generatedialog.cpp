#include "widgets/dialogs/generatedialog.h"

#include "core/tiling/generator.h"
#include "widgets/dialogs/dialogbuttons.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pavelora {

GenerateDialog::GenerateDialog(std::int32_t tileSetCode, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("GenerateDB"));
    setWindowTitle(QStringLiteral("パターン生成"));

    QString sunText = QStringLiteral("太陽（カイト５枚）");
    QString starText = QStringLiteral("星（ダート５枚）");
    if (tileSetCode == setcode::PenroseNo2) {
        sunText = QStringLiteral("太陽（太い菱形５枚）");
        starText = QStringLiteral("星（太い菱形５枚）");
    } else if (tileSetCode == setcode::PenroseNo3) {
        sunText = QStringLiteral("五角形");
        starText = QStringLiteral("五芒星");
    }
    auto* sun = new QRadioButton(sunText, this);
    sun->setObjectName(QStringLiteral("30060"));
    sun->setChecked(true);
    star_ = new QRadioButton(starText, this);
    star_->setObjectName(QStringLiteral("30061"));
    auto* seeds = new QGroupBox(QStringLiteral("中心の図形"), this);
    auto* seedLayout = new QVBoxLayout(seeds);
    seedLayout->addWidget(sun);
    seedLayout->addWidget(star_);

    wholeBoard_ = new QRadioButton(QStringLiteral("ボード全体"), this);
    wholeBoard_->setObjectName(QStringLiteral("30062"));
    wholeBoard_->setChecked(true);
    auto* counted = new QRadioButton(QStringLiteral("タイル数"), this);
    counted->setObjectName(QStringLiteral("30063"));
    tiles_ = new QSpinBox(this);
    tiles_->setObjectName(QStringLiteral("30004"));
    tiles_->setRange(1, kMostGeneratedTiles);
    tiles_->setValue(500);
    tiles_->setEnabled(false);
    connect(counted, &QRadioButton::toggled, tiles_, &QSpinBox::setEnabled);
    auto* ranges = new QButtonGroup(this);
    ranges->addButton(wholeBoard_);
    ranges->addButton(counted);
    auto* extent = new QGroupBox(QStringLiteral("生成する範囲"), this);
    auto* extentLayout = new QVBoxLayout(extent);
    extentLayout->addWidget(wholeBoard_);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(counted);
    countRow->addWidget(tiles_);
    countRow->addWidget(new QLabel(QStringLiteral("枚（表示中のボードの中央から）"), this));
    extentLayout->addLayout(countRow);

    const DialogButtons buttons = addDialogButtons(this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(seeds);
    layout->addWidget(extent);
    layout->addLayout(buttons.row);
}

GenerateChoice GenerateDialog::choice() const {
    return {star_->isChecked() ? PatchSeed::Star : PatchSeed::Sun,
            wholeBoard_->isChecked() ? 0 : tiles_->value()};
}

} // namespace pavelora
