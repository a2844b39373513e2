#include "editor/colourlogic.h"

#include "core/board/board.h"
#include "editor/boardinput.h"
#include "editor/settingslogic.h"
#include "editor/settingstarget.h"
#include "render/colourpictures.h"

#include <algorithm>

namespace pavelora {

namespace {

// A number in full-width digits, as the pair-pattern entries are numbered.
QString fullWidthNumber(int n) {
    QString text;
    for (const QChar c : QString::number(n)) {
        text += QChar(0xFF10 + (c.unicode() - '0'));
    }
    return text;
}

} // namespace

Rgb WorkingColour::rgb() const {
    return {static_cast<std::uint8_t>(std::clamp(red, 0, 255)),
            static_cast<std::uint8_t>(std::clamp(green, 0, 255)),
            static_cast<std::uint8_t>(std::clamp(blue, 0, 255))};
}

ColourSheetLogic::ColourSheetLogic(ColourSheetKind kind, const Document& doc) : kind_(kind) {
    if (kind == ColourSheetKind::BoardColour) {
        const Rgb board = doc.view.boardColour;
        working_.red = board.red;
        working_.green = board.green;
        working_.blue = board.blue;
        const Hls hls = rgbToHls(board.red, board.green, board.blue);
        working_.hue = hls.hue;
        working_.lightness = hls.lightness;
        working_.saturation = hls.saturation;
        return;
    }
    if (!doc.tileSet) {
        return;
    }
    const TileSet& set = *doc.tileSet;
    const std::vector<Rgb>& colours =
        kind == ColourSheetKind::TileColours ? set.kindColours : set.pairColours;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const Rgb c = colours[i];
        colourSlots_.push_back({c, rgbToHls(c.red, c.green, c.blue)});
        if (kind == ColourSheetKind::TileColours) {
            entryNames_ << (i < set.kindNames.size() ? QString::fromStdString(set.kindNames[i])
                                                     : QString());
        } else {
            entryNames_ << QStringLiteral("対模様その") + fullWidthNumber(static_cast<int>(i) + 1);
        }
    }
}

ColourSheetTexts ColourSheetLogic::texts(ColourSheetKind kind) {
    switch (kind) {
    case ColourSheetKind::TileColours:
        return {QStringLiteral("タイルの色指定"),
                {QStringLiteral("TileColorRGB"), QStringLiteral("TileColorHLS")},
                QStringLiteral("タイルの指定")};
    case ColourSheetKind::PairColours:
        return {QStringLiteral("対模様の色指定"),
                {QStringLiteral("TilePMColorRGB"), QStringLiteral("TilePMColorHLS")},
                QStringLiteral("対模様の指定")};
    case ColourSheetKind::BoardColour:
        break;
    }
    return {QStringLiteral("ボードの色指定"),
            {QStringLiteral("BDColorRGB"), QStringLiteral("BDColorHLS")},
            QString()};
}

QString ColourSheetLogic::pageTitle(ColourPage page) {
    return page == ColourPage::Rgb ? QStringLiteral("ＲＧＢ") : QStringLiteral("ＨＬＳ");
}

std::array<QString, 3> ColourSheetLogic::channelLabels(ColourPage page) {
    if (page == ColourPage::Rgb) {
        return {QStringLiteral("赤（Ｒ）"), QStringLiteral("緑（Ｇ）"), QStringLiteral("青（Ｂ）")};
    }
    return {QStringLiteral("色相（Ｈ）"), QStringLiteral("輝度（Ｌ）"),
            QStringLiteral("彩度（Ｓ）")};
}

int ColourSheetLogic::channelMaximum(ColourPage page, int channel) {
    if (page == ColourPage::Rgb) {
        return 255;
    }
    return channel == 0 ? 359 : 100;
}

int ColourSheetLogic::lineStep(ColourPage, int) {
    return 1;
}

int ColourSheetLogic::pageStep(ColourPage page, int channel) {
    return page == ColourPage::Hls && channel == 0 ? 10 : 5;
}

std::array<int, 3> ColourSheetLogic::values(ColourPage page) const {
    if (page == ColourPage::Rgb) {
        return {working_.red, working_.green, working_.blue};
    }
    return {working_.hue, working_.lightness, working_.saturation};
}

void ColourSheetLogic::loadSlot() {
    if (currentSlot_ < 0 || currentSlot_ >= static_cast<int>(colourSlots_.size())) {
        return;
    }
    const ColourSlot& slot = colourSlots_[currentSlot_];
    working_.red = slot.rgb.red;
    working_.green = slot.rgb.green;
    working_.blue = slot.rgb.blue;
    working_.hue = slot.hls.hue;
    working_.lightness = slot.hls.lightness;
    working_.saturation = slot.hls.saturation;
}

void ColourSheetLogic::activatePage(ColourPage page) {
    shown_[static_cast<int>(page)] = true;
    // The board sheet's two triples agree already: every edit sets the other triple from
    // the one edited. Converting again here would lose a little of the colour with every
    // opening of the sheet (HLS has fewer steps than red, green, blue): (200, 0, 0) would
    // come back as (198, 0, 0), then (193, 0, 0), and so on.
    if (hasList()) {
        loadSlot();
    }
}

void ColourSheetLogic::chooseEntry(int index) {
    if (index < 0 || index >= static_cast<int>(colourSlots_.size())) {
        return;
    }
    // Every edit is already in the slot it was made for; an entry that was only looked at
    // keeps its stored colour exactly.
    currentSlot_ = index;
    loadSlot();
}

void ColourSheetLogic::edited() {
    if (hasList() && currentSlot_ >= 0 && currentSlot_ < static_cast<int>(colourSlots_.size())) {
        colourSlots_[currentSlot_] = {working_.rgb(), working_.hls()};
    }
    changed_ = true;
}

void ColourSheetLogic::setRgb(int red, int green, int blue) {
    working_.red = red;
    working_.green = green;
    working_.blue = blue;
    const Hls h = rgbToHls(red, green, blue);
    working_.hue = h.hue;
    working_.lightness = h.lightness;
    working_.saturation = h.saturation;
    edited();
}

void ColourSheetLogic::setHls(int hue, int lightness, int saturation) {
    working_.hue = hue;
    working_.lightness = lightness;
    working_.saturation = saturation;
    const Rgb c = hlsToRgb(hue, lightness, saturation);
    working_.red = c.red;
    working_.green = c.green;
    working_.blue = c.blue;
    edited();
}

void ColourSheetLogic::scroll(ColourPage page, int channel, ScrollRequest request, int position) {
    if (channel < 0 || channel > 2) {
        return;
    }
    std::array<int, 3> v = values(page);
    const int maximum = channelMaximum(page, channel);
    int value = v[channel];
    switch (request) {
    case ScrollRequest::LineBack:
        value -= lineStep(page, channel);
        break;
    case ScrollRequest::LineForward:
        value += lineStep(page, channel);
        break;
    case ScrollRequest::PageBack:
        value -= pageStep(page, channel);
        break;
    case ScrollRequest::PageForward:
        value += pageStep(page, channel);
        break;
    case ScrollRequest::Thumb:
        value = std::clamp(position, 0, maximum);
        break;
    default:
        break;
    }
    if (page == ColourPage::Hls && channel == 0) {
        if (value < 0) {
            value += 360;
        } else if (value > maximum) {
            value -= 360;
        }
    } else {
        value = std::clamp(value, 0, maximum);
    }
    v[channel] = value;
    if (page == ColourPage::Rgb) {
        setRgb(v[0], v[1], v[2]);
    } else {
        setHls(v[0], v[1], v[2]);
    }
}

bool ColourSheetLogic::leaveField(ColourPage page, int channel, const QString& text) {
    if (channel < 0 || channel > 2) {
        return false;
    }
    const std::optional<int> number = readNumberField(text, 0, channelMaximum(page, channel));
    if (!number) {
        return false;
    }
    std::array<int, 3> v = values(page);
    v[channel] = *number;
    if (page == ColourPage::Rgb) {
        setRgb(v[0], v[1], v[2]);
    } else {
        setHls(v[0], v[1], v[2]);
    }
    return true;
}

void ColourSheetLogic::pressHueWheel(int side, int x, int y) {
    setHls(hueAtPoint(side, x, y), working_.lightness, working_.saturation);
}

bool ColourSheetLogic::pressLsSquare(int side, int x, int y) {
    const LsPress press = lsAtPoint(side, x, y);
    if (!press.lightness && !press.saturation) {
        return false;
    }
    setHls(working_.hue, press.lightness.value_or(working_.lightness),
           press.saturation.value_or(working_.saturation));
    return true;
}

bool ColourSheetLogic::apply(SettingsTarget& target) {
    changed_ = false;
    if (kind_ == ColourSheetKind::BoardColour) {
        // Red, green, blue follow every edit of the HLS page already.
        return target.applyBoardColour(working_.rgb());
    }
    std::vector<Rgb> colours;
    colours.reserve(colourSlots_.size());
    for (const ColourSlot& slot : colourSlots_) {
        colours.push_back(slot.rgb);
    }
    return kind_ == ColourSheetKind::TileColours ? target.applyKindColours(colours)
                                                 : target.applyPairColours(colours);
}

} // namespace pavelora
