#include "widgets/dialogs/coloursheet.h"

#include "editor/boardinput.h"
#include "editor/settingstarget.h"
#include "widgets/dialogs/colourcontrols.h"
#include "widgets/dialogs/dialogbuttons.h"
#include "widgets/dialogs/numberfield.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pavelora {

namespace {

ScrollRequest scrollRequest(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollRequest::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollRequest::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollRequest::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollRequest::PageForward;
    case QAbstractSlider::SliderMove:
        return ScrollRequest::Thumb;
    case QAbstractSlider::SliderToMinimum:
        return ScrollRequest::Start;
    case QAbstractSlider::SliderToMaximum:
        return ScrollRequest::End;
    default:
        return ScrollRequest::Done;
    }
}

// The tints of the RGB page's three bars.
const std::array<QColor, 3> kChannelTints = {QColor(255, 0, 0), QColor(0, 255, 0),
                                             QColor(0, 0, 255)};

} // namespace

// One page of the sheet. It shows the sheet's working values and hands every edit to the
// sheet's logic.
class ColourSheet::Page : public QWidget {
public:
    Page(ColourSheet& sheet, ColourPage page, QWidget* parent)
        : QWidget(parent), sheet_(sheet), page_(page) {
        ColourSheetLogic& logic = sheet.logic_;
        setObjectName(ColourSheetLogic::texts(logic.kind()).pageNames[static_cast<int>(page)]);

        auto* rows = new QGridLayout;
        const std::array<QString, 3> labels = ColourSheetLogic::channelLabels(page);
        for (int i = 0; i < 3; ++i) {
            fields_[i] = new NumberEdit(QString::number(30004 + i), this);
            fields_[i]->setAlignment(Qt::AlignRight);
            fields_[i]->setFixedWidth(
                fields_[i]->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
            bars_[i] =
                new TintedScrollBar(page == ColourPage::Rgb ? kChannelTints[i] : QColor(), this);
            bars_[i]->setObjectName(QString::number(30040 + i));
            bars_[i]->setRange(0, ColourSheetLogic::channelMaximum(page, i));
            bars_[i]->setSingleStep(ColourSheetLogic::lineStep(page, i));
            bars_[i]->setPageStep(ColourSheetLogic::pageStep(page, i));
            bars_[i]->setMinimumWidth(200);
            rows->addWidget(new QLabel(labels[i], this), i, 0);
            rows->addWidget(fields_[i], i, 1);
            rows->addWidget(bars_[i], i, 2);
            connect(fields_[i], &NumberEdit::left, this, [this, i] { fieldLeft(i); });
            QScrollBar* bar = bars_[i];
            connect(bar, &QScrollBar::actionTriggered, this,
                    [this, i](int action) { scrolled(i, action); });
        }

        swatch_ = new Swatch(this);
        auto* pictures = new QHBoxLayout;
        pictures->addWidget(swatch_, 0, Qt::AlignTop);
        if (page == ColourPage::Hls) {
            wheel_ = new HueControl(this);
            square_ = new LsControl(this);
            connect(wheel_, &HueControl::pressed, this, [this](int side, QPoint at) {
                sheet_.logic_.pressHueWheel(side, at.x(), at.y());
                edited();
            });
            connect(square_, &LsControl::pressed, this, [this](int side, QPoint at) {
                if (sheet_.logic_.pressLsSquare(side, at.x(), at.y())) {
                    edited();
                }
            });
            pictures->addStretch();
            pictures->addWidget(wheel_);
            pictures->addWidget(square_);
        } else {
            pictures->addStretch();
        }

        auto* edits = new QVBoxLayout;
        edits->addLayout(rows);
        edits->addLayout(pictures);
        edits->addStretch();
        auto* layout = new QHBoxLayout(this);
        if (logic.hasList()) {
            list_ = new QListWidget(this);
            list_->setObjectName(QStringLiteral("30012"));
            list_->addItems(logic.entryNames());
            list_->setFixedWidth(list_->fontMetrics().averageCharWidth() * 22);
            connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
                sheet_.logic_.chooseEntry(row);
                refresh();
            });
            auto* listColumn = new QVBoxLayout;
            listColumn->addWidget(
                new QLabel(ColourSheetLogic::texts(logic.kind()).listLabel, this));
            listColumn->addWidget(list_);
            layout->addLayout(listColumn);
        }
        layout->addLayout(edits);
    }

    // Bars, fields, swatch, pictures and list selection from the sheet's working values.
    void refresh() {
        const ColourSheetLogic& logic = sheet_.logic_;
        const std::array<int, 3> values = logic.values(page_);
        for (int i = 0; i < 3; ++i) {
            const QSignalBlocker block(bars_[i]);
            bars_[i]->setValue(values[i]);
            fields_[i]->setText(QString::number(values[i]));
        }
        const WorkingColour& c = logic.workingColour();
        swatch_->setColour(c.rgb());
        if (wheel_ != nullptr) {
            wheel_->setHue(c.hue);
            square_->setColour(c.hue, c.lightness, c.saturation);
        }
        if (list_ != nullptr) {
            const QSignalBlocker block(list_);
            list_->setCurrentRow(logic.currentSlot());
        }
    }

    // A field whose text was typed but not yet checked (a button pressed without the focus
    // passing through the field) is checked as if it had been left.
    void checkPendingText() {
        const std::array<int, 3> values = sheet_.logic_.values(page_);
        for (int i = 0; i < 3; ++i) {
            if (fields_[i]->text() != QString::number(values[i])) {
                fieldLeft(i);
                return;
            }
        }
    }

private:
    void fieldLeft(int channel) {
        if (sheet_.logic_.leaveField(page_, channel, fields_[channel]->text())) {
            edited();
        } else {
            fields_[channel]->setText(QString::number(sheet_.logic_.values(page_)[channel]));
        }
    }

    void scrolled(int channel, int action) {
        sheet_.logic_.scroll(page_, channel, scrollRequest(action),
                             bars_[channel]->sliderPosition());
        // The bar would otherwise keep the position it computed itself.
        bars_[channel]->setSliderPosition(sheet_.logic_.values(page_)[channel]);
        edited();
    }

    void edited() {
        refresh();
        sheet_.edited();
    }

    ColourSheet& sheet_;
    ColourPage page_;
    QListWidget* list_ = nullptr;
    std::array<NumberEdit*, 3> fields_{};
    std::array<QScrollBar*, 3> bars_{};
    Swatch* swatch_ = nullptr;
    HueControl* wheel_ = nullptr;
    LsControl* square_ = nullptr;
};

ColourSheet::ColourSheet(SettingsTarget& target, ColourSheetKind kind, QWidget* owner)
    : QDialog(owner), target_(target), logic_(kind, *target.document()) {
    const ColourSheetTexts texts = ColourSheetLogic::texts(kind);
    setObjectName(texts.caption);
    setWindowTitle(texts.caption);

    tabs_ = new QTabWidget(this);
    for (ColourPage page : {ColourPage::Rgb, ColourPage::Hls}) {
        auto* widget = new Page(*this, page, tabs_);
        pages_[static_cast<int>(page)] = widget;
        tabs_->addTab(widget, ColourSheetLogic::pageTitle(page));
    }

    const DialogButtons buttons = addDialogButtons(
        this, [this] { okPressed(); }, [this] { applyPressed(); });
    apply_ = buttons.apply;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons.row);

    // The RGB page opens first.
    tabs_->setCurrentIndex(0);
    logic_.activatePage(ColourPage::Rgb);
    pages_[0]->refresh();
    apply_->setEnabled(logic_.applyEnabled());
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { pageChanged(index); });
}

ColourSheet::~ColourSheet() = default;

void ColourSheet::pageChanged(int index) {
    if (index < 0 || index > 1) {
        return;
    }
    pages_[currentPage_]->checkPendingText();
    currentPage_ = index;
    logic_.activatePage(static_cast<ColourPage>(index));
    pages_[index]->refresh();
}

void ColourSheet::edited() {
    apply_->setEnabled(logic_.applyEnabled());
}

void ColourSheet::applyPressed() {
    pages_[currentPage_]->checkPendingText();
    logic_.apply(target_);
    pages_[currentPage_]->refresh();
    apply_->setEnabled(logic_.applyEnabled());
}

void ColourSheet::okPressed() {
    pages_[currentPage_]->checkPendingText();
    logic_.apply(target_);
    accept();
}

} // namespace pavelora
