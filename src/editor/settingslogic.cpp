#include "editor/settingslogic.h"

#include "core/board/board.h"
#include "document/shiftjis.h"
#include "editor/settingstarget.h"
#include "editor/statusbar.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pavelora {

// --- Number fields ---

std::optional<int> readNumberField(const QString& text, int lower, int upper) {
    const QString read = text.left(NumberFieldReadLength);
    if (read.isEmpty()) {
        return std::nullopt;
    }
    // Once the digits read exceed the upper limit the rest cannot bring them back into
    // range, so the value stops growing there and cannot overflow.
    long long value = 0;
    const long long ceiling = static_cast<long long>(std::max(upper, 0)) + 1;
    for (const QChar c : read) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c.unicode() - '0'), ceiling);
    }
    if (value < lower || value > upper) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

bool NumberField::leave(const QString& text) {
    const std::optional<int> number = readNumberField(text, lower_, upper_);
    if (!number) {
        return false;
    }
    value_ = *number;
    return true;
}

// --- Tile size, outline width and zoom ---

int truncatedPercent(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

namespace {

NumberField percentField(PercentSetting setting, const Document& doc) {
    const View& view = doc.view;
    switch (setting) {
    case PercentSetting::TileSize:
    case PercentSetting::Zoom: {
        const bool tileSize = setting == PercentSetting::TileSize;
        // Each limits the other: their product stays between a quarter and twice true size.
        const double other = tileSize ? view.zoom : view.tileSizeRatio;
        const int lower = truncatedPercent(0.25 / other * 100);
        const int upper = truncatedPercent(2.0 / other * 100);
        // The limits of the product never cross (a quarter lies below two), and kept
        // separately within the safe range they still do not.
        return NumberField(std::clamp(lower, MinScalePercent, MaxScalePercent),
                           std::clamp(upper, MinScalePercent, MaxScalePercent),
                           percentOf(tileSize ? view.tileSizeRatio : view.zoom));
    }
    case PercentSetting::OutlineWidth:
        break;
    }
    const double inset = doc.tileSet ? doc.tileSet->outlineInset : 0.0;
    return NumberField(MinOutlinePercent, MaxOutlinePercent, percentOf(inset));
}

} // namespace

PercentDialogLogic::PercentDialogLogic(PercentSetting setting, const Document& doc)
    : setting_(setting), field_(percentField(setting, doc)) {}

PercentDialogTexts PercentDialogLogic::texts(PercentSetting setting) {
    switch (setting) {
    case PercentSetting::TileSize:
        return {QStringLiteral("TileSizeDB"), QStringLiteral("タイル寸法指定操作"),
                QStringLiteral("タイル寸法倍率"), QStringLiteral("30015")};
    case PercentSetting::OutlineWidth:
        return {QStringLiteral("TileOutlineDB"), QStringLiteral("タイル輪郭幅操作"),
                QStringLiteral("タイル輪郭幅率"), QStringLiteral("30014")};
    case PercentSetting::Zoom:
        break;
    }
    return {QStringLiteral("ZoomDB"), QStringLiteral("ズーム操作"), QStringLiteral("表示倍率"),
            QStringLiteral("30014")};
}

QString PercentDialogLogic::leaveField(const QString& text) {
    if (field_.leave(text)) {
        applyEnabled_ = true;
    }
    return field_.text();
}

void PercentDialogLogic::spinMoved(int position) {
    field_.setValue(std::clamp(position, field_.lower(), field_.upper()));
    applyEnabled_ = true;
}

bool PercentDialogLogic::apply(SettingsTarget& target) const {
    switch (setting_) {
    case PercentSetting::TileSize:
        return target.applyTileSize(value());
    case PercentSetting::OutlineWidth:
        return target.applyOutlineWidth(value());
    case PercentSetting::Zoom:
        break;
    }
    return target.applyZoom(value());
}

// --- Print setup and JPEG setup ---

int formButton(std::int32_t form) {
    if (form == outputform::WithPairPattern) {
        return 0;
    }
    if (form == outputform::WithoutPairPattern) {
        return 1;
    }
    return 2;
}

std::int32_t formFromButtons(bool first, bool second) {
    if (first) {
        return outputform::WithPairPattern;
    }
    if (second) {
        return outputform::WithoutPairPattern;
    }
    return outputform::Outlines;
}

QString storedPrintTitle(const QString& text) {
    QString title = text.left(PrintTitleLength);
    // A character outside the basic plane is two code units: take it whole or not at all.
    if (!title.isEmpty() && title.back().isHighSurrogate()) {
        title.chop(1);
    }
    const std::string bytes = toShiftJis(title, PrintTitleLength);
    return fromShiftJis(bytes);
}

namespace {

const QString kPaperMargins = QStringLiteral("用紙マージン指定");
const QString kCutMargins = QStringLiteral("ボードカットマージン指定");
const QString kAcross = QStringLiteral("左右(mm)");
const QString kUpDown = QStringLiteral("上下(mm)");

} // namespace

const std::array<SetupFieldInfo, PrintSetupLogic::FieldCount>& PrintSetupLogic::fields() {
    static const std::array<SetupFieldInfo, FieldCount> info = {{
        {QStringLiteral("30010"), QStringLiteral("30015"), kPaperMargins, kAcross, 0, 45},
        {QStringLiteral("30011"), QStringLiteral("30016"), kPaperMargins, kUpDown, 0, 45},
        {QStringLiteral("30008"), QStringLiteral("30017"), kCutMargins, kAcross, 0, 45},
        {QStringLiteral("30009"), QStringLiteral("30018"), kCutMargins, kUpDown, 0, 45},
    }};
    return info;
}

std::array<QString, 3> PrintSetupLogic::formTexts() {
    return {QStringLiteral("対模様を含めて印刷"), QStringLiteral("対模様を除いて印刷"),
            QStringLiteral("タイルの輪郭線を印刷")};
}

namespace {

NumberField setupField(const SetupFieldInfo& info, std::int32_t value) {
    return NumberField(info.lower, info.upper, value);
}

} // namespace

PrintSetupLogic::PrintSetupLogic(const Document& doc)
    : fields_{setupField(fields()[PaperMarginX], doc.printSettings.paperMarginX),
              setupField(fields()[PaperMarginY], doc.printSettings.paperMarginY),
              setupField(fields()[CutMarginX], doc.printSettings.cutMarginX),
              setupField(fields()[CutMarginY], doc.printSettings.cutMarginY)},
      initialTitle_(doc.printSettings.title), initialTitleBytes_(doc.printSettings.titleBytes),
      initialForm_(doc.printSettings.printForm), reserved_(doc.printSettings.reserved) {
    const BoardSize* board = findBoardSize(doc.view.boardCode);
    const QString name = board != nullptr ? QString::fromUtf8(board->name) : QString();
    boardTexts_[0] = QStringLiteral("ボードの大きさ：%1").arg(name);
    boardTexts_[1] = QStringLiteral("横幅： %1 mm").arg(board != nullptr ? board->widthMm : 0);
    boardTexts_[2] = QStringLiteral("縦幅： %1 mm").arg(board != nullptr ? board->heightMm : 0);
}

QString PrintSetupLogic::leaveField(int index, const QString& text) {
    fields_[index].leave(text);
    return fields_[index].text();
}

void PrintSetupLogic::spinMoved(int index, int position) {
    fields_[index].setValue(std::clamp(position, fields_[index].lower(), fields_[index].upper()));
}

PrintSettings PrintSetupLogic::settings(const QString& title, bool firstForm,
                                        bool secondForm) const {
    PrintSettings s;
    if (title == initialTitle_) {
        s.title = initialTitle_;
        s.titleBytes = initialTitleBytes_;
    } else {
        s.title = storedPrintTitle(title);
    }
    s.paperMarginX = fields_[PaperMarginX].value();
    s.paperMarginY = fields_[PaperMarginY].value();
    s.cutMarginX = fields_[CutMarginX].value();
    s.cutMarginY = fields_[CutMarginY].value();
    s.printForm = formFromButtons(firstForm, secondForm);
    s.reserved = reserved_;
    return s;
}

void PrintSetupLogic::accept(SettingsTarget& target, const QString& title, bool firstForm,
                             bool secondForm) const {
    target.applyPrintSettings(settings(title, firstForm, secondForm));
}

const std::array<SetupFieldInfo, JpegSetupLogic::FieldCount>& JpegSetupLogic::fields() {
    static const std::array<SetupFieldInfo, FieldCount> info = {{
        {QStringLiteral("30060"), QStringLiteral("30015"), QString(), QStringLiteral("圧縮品質"), 0,
         100},
        {QStringLiteral("30061"), QStringLiteral("30016"), QString(), QStringLiteral("密度(dpi)"),
         50, 200},
    }};
    return info;
}

std::array<QString, 4> JpegSetupLogic::formTexts() {
    return {QStringLiteral("対模様を含めて保存"), QStringLiteral("対模様を除いて保存"),
            QStringLiteral("タイルの輪郭線を印刷"), QStringLiteral("カット用")};
}

JpegSetupLogic::JpegSetupLogic(const Document& doc)
    : fields_{setupField(fields()[Quality], doc.jpegSettings.quality),
              setupField(fields()[Density], doc.jpegSettings.density)},
      initialForm_(doc.jpegSettings.form) {}

QString JpegSetupLogic::leaveField(int index, const QString& text) {
    fields_[index].leave(text);
    return fields_[index].text();
}

void JpegSetupLogic::spinMoved(int index, int position) {
    fields_[index].setValue(std::clamp(position, fields_[index].lower(), fields_[index].upper()));
}

JpegSettings JpegSetupLogic::settings(bool firstForm, bool secondForm, bool cutForm) const {
    JpegSettings s;
    s.quality = fields_[Quality].value();
    s.density = fields_[Density].value();
    s.form = cutForm ? outputform::Cut : formFromButtons(firstForm, secondForm);
    return s;
}

void JpegSetupLogic::accept(SettingsTarget& target, bool firstForm, bool secondForm,
                            bool cutForm) const {
    target.applyJpegSettings(settings(firstForm, secondForm, cutForm));
}

} // namespace pavelora
