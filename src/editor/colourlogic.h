#pragma once

#include "core/geometry/rgb.h"
#include "render/colour.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace pavelora {

class SettingsTarget;
struct Document;
enum class ScrollRequest;

// The three colour sheets of the edit menu.
enum class ColourSheetKind { TileColours, PairColours, BoardColour };

// The two pages of every sheet, in tab order.
enum class ColourPage { Rgb = 0, Hls = 1 };

// A colour being edited, in both models. Every edit sets one triple and recomputes the
// other, so both describe the same colour up to the rounding of the conversions.
struct WorkingColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    int hue = 0;
    int lightness = 0;
    int saturation = 0;

    Rgb rgb() const;
    Hls hls() const { return {hue, lightness, saturation}; }
};

// The working copy of one list entry.
struct ColourSlot {
    Rgb rgb;
    Hls hls;
};

// What a sheet is called: its caption, the object names of its two pages and the label
// of its list (empty for the board sheet, which has none).
struct ColourSheetTexts {
    QString caption;
    std::array<QString, 2> pageNames;
    QString listLabel;
};

// One colour sheet while it is open. The working colour and, on the tile and pair-pattern
// sheets, one slot per list entry are edited; the document changes only when the sheet
// applies (OK or "適用"), so closing it any other way drops every edit.
class ColourSheetLogic {
public:
    ColourSheetLogic(ColourSheetKind kind, const Document& doc);

    static ColourSheetTexts texts(ColourSheetKind kind);
    // "ＲＧＢ" or "ＨＬＳ".
    static QString pageTitle(ColourPage page);
    // The labels of the three number fields (30004, 30005, 30006) of a page.
    static std::array<QString, 3> channelLabels(ColourPage page);
    // The highest value of a channel: 255 for red, green, blue; 359 for hue; 100 for
    // lightness and saturation. The lowest is always 0.
    static int channelMaximum(ColourPage page, int channel);
    // The steps of a channel's scroll bar: one line, one page.
    static int lineStep(ColourPage page, int channel);
    static int pageStep(ColourPage page, int channel);

    ColourSheetKind kind() const { return kind_; }
    bool hasList() const { return kind_ != ColourSheetKind::BoardColour; }
    const QStringList& entryNames() const { return entryNames_; }
    const std::vector<ColourSlot>& colourSlots() const { return colourSlots_; }
    int currentSlot() const { return currentSlot_; }
    const WorkingColour& workingColour() const { return working_; }
    // A page's three values: red, green, blue or hue, lightness, saturation.
    std::array<int, 3> values(ColourPage page) const;
    // Whether a page has been shown since the sheet opened.
    bool pageShown(ColourPage page) const { return shown_[static_cast<int>(page)]; }
    // An edit was made since the sheet opened or last applied: "適用" may be pressed.
    bool applyEnabled() const { return changed_; }

    // A page comes to the front. The list sheets load the working colour from the current
    // entry; the board sheet's colour stays as it is.
    void activatePage(ColourPage page);
    // Another list entry is chosen: it becomes the one edited. Not a change by itself.
    void chooseEntry(int index);

    // Edits on a page; each one is written back to the current entry and counts as a
    // change.
    // A scroll bar request for a channel (`position` for the thumb). Red, green, blue,
    // lightness and saturation stop at their ends; the hue goes round.
    void scroll(ColourPage page, int channel, ScrollRequest request, int position = 0);
    // A number field was left with this text: true when it was accepted. A refused text
    // changes nothing; the field shows values(page)[channel] again either way.
    bool leaveField(ColourPage page, int channel, const QString& text);
    // A press in the hue wheel or the lightness-saturation square of the side given
    // (the smaller of the control's width and height), in the control's pixels. The
    // square ignores presses outside both its bands and then returns false.
    void pressHueWheel(int side, int x, int y);
    bool pressLsSquare(int side, int x, int y);

    // OK and "適用": the colours take effect in the document. Afterwards "適用" waits for
    // the next change.
    bool apply(SettingsTarget& target);

private:
    void setRgb(int red, int green, int blue);
    void setHls(int hue, int lightness, int saturation);
    void loadSlot();
    void edited();

    ColourSheetKind kind_;
    QStringList entryNames_;
    std::vector<ColourSlot> colourSlots_;
    int currentSlot_ = 0;
    WorkingColour working_;
    std::array<bool, 2> shown_{false, false};
    bool changed_ = false;
};

} // namespace pavelora
