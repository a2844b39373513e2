#pragma once

#include "core/board/settings.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace pavelora {

class SettingsTarget;
struct Document;

// --- Number fields ---

// The longest text a number field is read with; characters beyond it are not looked at.
constexpr int NumberFieldReadLength = 255;

// Reads the text of a whole-number field: the first NumberFieldReadLength characters
// must be the digits 0 to 9 only (no sign, no blanks), at least one of them, and their
// value must lie in lower..upper. Anything else gives nothing.
std::optional<int> readNumberField(const QString& text, int lower, int upper);

// A number field with its limits and the value last accepted. Typed text is checked when
// the field is left (or Enter is pressed in it): a valid number becomes the value, anything
// else is refused and the field shows the value again.
class NumberField {
public:
    NumberField(int lower, int upper, int value) : lower_(lower), upper_(upper), value_(value) {}

    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int value() const { return value_; }
    // What the field shows: the value as a decimal number.
    QString text() const { return QString::number(value_); }

    // The field was left with this text. True when it was accepted as the new value.
    bool leave(const QString& text);
    // The spin control beside the field moved: its position is the value.
    void setValue(int value) { value_ = value; }

private:
    int lower_;
    int upper_;
    int value_;
};

// --- Tile size, outline width and zoom ---

enum class PercentSetting { TileSize, OutlineWidth, Zoom };

// What a percentage dialog is called and shows.
struct PercentDialogTexts {
    QString objectName; // the dialog resource
    QString title;
    QString label;
    QString spinId; // the spin control; the number field is always "30004"
};

// The safe range of the tile size and the zoom, in percent: below it tiles collapse onto
// their positions, above it the board pictures grow beyond any sensible memory.
constexpr int MinScalePercent = 1;
constexpr int MaxScalePercent = 800;
// The outline width, in percent.
constexpr int MinOutlinePercent = 1;
constexpr int MaxOutlinePercent = 99;

// A whole percentage from a computed limit: truncated toward zero, and kept within int
// for limits that grow without bound (a tiny zoom).
int truncatedPercent(double value);

// One of the three percentage dialogs while it is open: the value and its limits, taken
// from the document when the dialog opens and kept until it closes, and whether "適用"
// may be pressed.
//
// The tile size may range so that tile size × zoom lies between 25 % and 200 % (and the
// zoom likewise for the tile size in force), each limit truncated to a whole percentage;
// on top of that both stay within MinScalePercent..MaxScalePercent.
class PercentDialogLogic {
public:
    PercentDialogLogic(PercentSetting setting, const Document& doc);

    static PercentDialogTexts texts(PercentSetting setting);

    PercentSetting setting() const { return setting_; }
    const NumberField& field() const { return field_; }
    int value() const { return field_.value(); }
    int lower() const { return field_.lower(); }
    int upper() const { return field_.upper(); }
    bool applyEnabled() const { return applyEnabled_; }

    // The number field was left with this text; returns the text it shows afterwards.
    QString leaveField(const QString& text);
    // The spin control moved to a position.
    void spinMoved(int position);

    // "適用" and "OK": the value takes effect in the document. False when the editor
    // refused it (the tile size would put a tile off the board).
    bool apply(SettingsTarget& target) const;

private:
    PercentSetting setting_;
    NumberField field_;
    bool applyEnabled_ = false;
};

// --- Print setup and JPEG setup ---

// A numeric field of the print or JPEG setup: its id, its spin control's id, its label
// and its range.
struct SetupFieldInfo {
    QString fieldId;
    QString spinId;
    QString group; // the frame the field stands in, or empty
    QString label;
    int lower;
    int upper;
};

// The radio button index (0 for 30050, 1 for 30051, 2 for 30052) that shows a form: 1 and 2
// have their own buttons, every other value shows as the third.
int formButton(std::int32_t form);
// The form the checked buttons stand for: 1 when the first is checked, else 2 when the
// second is, else 3.
std::int32_t formFromButtons(bool first, bool second);

// The longest title the print setup takes, in characters of the field and in bytes of the
// Shift-JIS text the document stores.
constexpr int PrintTitleLength = 254;
// The title as the document will keep it: cut to PrintTitleLength characters, then to as
// many whole characters as fit in PrintTitleLength bytes of Shift-JIS.
QString storedPrintTitle(const QString& text);

// "PrintSetupDB" while it is open: the margins being edited, the title, the form, and the
// texts about the board.
class PrintSetupLogic {
public:
    enum Field { PaperMarginX, PaperMarginY, CutMarginX, CutMarginY };
    static constexpr int FieldCount = 4;

    explicit PrintSetupLogic(const Document& doc);

    static const std::array<SetupFieldInfo, FieldCount>& fields();
    static std::array<QString, 3> formTexts();

    const NumberField& field(int index) const { return fields_[index]; }
    QString leaveField(int index, const QString& text);
    void spinMoved(int index, int position);

    // The settings the dialog opened with: its title, the button of its form.
    const QString& initialTitle() const { return initialTitle_; }
    int initialFormButton() const { return formButton(initialForm_); }

    // "ボードの大きさ：%s", "横幅： %d mm", "縦幅： %d mm" (30020, 30021, 30022).
    std::array<QString, 3> boardTexts() const { return boardTexts_; }

    // The settings OK stores, from the working values and the dialog's title and buttons. A
    // title left as it was keeps the bytes the document read it from.
    PrintSettings settings(const QString& title, bool firstForm, bool secondForm) const;
    // OK: stores them in the document and marks it changed.
    void accept(SettingsTarget& target, const QString& title, bool firstForm,
                bool secondForm) const;

private:
    std::array<NumberField, FieldCount> fields_;
    QString initialTitle_;
    QByteArray initialTitleBytes_;
    std::int32_t initialForm_;
    std::int32_t reserved_;
    std::array<QString, 3> boardTexts_;
};

// "JpegSetupDB" while it is open: quality and density being edited, and the form: the three
// of printing and the cut form (button 30053) of the vector files.
class JpegSetupLogic {
public:
    enum Field { Quality, Density };
    static constexpr int FieldCount = 2;

    explicit JpegSetupLogic(const Document& doc);

    static const std::array<SetupFieldInfo, FieldCount>& fields();
    static std::array<QString, 4> formTexts();

    const NumberField& field(int index) const { return fields_[index]; }
    QString leaveField(int index, const QString& text);
    void spinMoved(int index, int position);
    int initialFormButton() const {
        return initialForm_ == outputform::Cut ? 3 : formButton(initialForm_);
    }

    // The form of the checked button: the cut form when `cutForm`, else as for printing.
    JpegSettings settings(bool firstForm, bool secondForm, bool cutForm = false) const;
    // OK: stores them in the document (which does not count as a change of the document).
    void accept(SettingsTarget& target, bool firstForm, bool secondForm,
                bool cutForm = false) const;

private:
    std::array<NumberField, FieldCount> fields_;
    std::int32_t initialForm_;
};

} // namespace pavelora
