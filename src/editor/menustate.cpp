#include "editor/menustate.h"

#include "editor/commands.h"

namespace pavelora {

MenuState::MenuState() {
    for (int command : MenuCommands) {
        items_[command] = Item{};
    }
    noDocument();
}

bool MenuState::enabled(int command) const {
    auto it = items_.find(command);
    return it != items_.end() && it->second.enabled;
}

bool MenuState::checked(int command) const {
    auto it = items_.find(command);
    return it != items_.end() && it->second.checked;
}

void MenuState::setEnabled(int command, bool on) {
    items_[command].enabled = on;
}

void MenuState::setChecked(int command, bool on) {
    items_[command].checked = on;
}

QString MenuState::text(int command) const {
    auto it = items_.find(command);
    return it != items_.end() ? it->second.text : QString();
}

void MenuState::setText(int command, const QString& text) {
    items_[command].text = text;
}

void MenuState::noDocument() {
    for (auto& [command, item] : items_) {
        item.enabled = false;
        item.checked = false;
    }
    for (int command : {cmd::New, cmd::Open, cmd::Exit, cmd::Help, cmd::About}) {
        setEnabled(command, true);
    }
}

void MenuState::documentReady(bool hasPairPattern, bool groupMode, bool patternOn, bool hasFile,
                              int groupCount) {
    noDocument();
    setEnabled(cmd::New, false);
    setEnabled(cmd::Open, false);
    for (int command :
         {cmd::Close, cmd::PrintSetup, cmd::Print, cmd::JpegSetup, cmd::JpegExport, cmd::TileSize,
          cmd::OutlineWidth, cmd::TileColour, cmd::BoardColour, cmd::Zoom}) {
        setEnabled(command, true);
    }
    setEnabled(cmd::Save, hasFile);
    setEnabled(cmd::PairColour, hasPairPattern);
    showMode(groupMode);
    if (hasPairPattern) {
        showPattern(patternOn);
    }
    setEnabled(cmd::TidyOrder, groupCount >= 2);
}

void MenuState::showMode(bool groupMode) {
    setEnabled(cmd::TileMode, groupMode);
    setChecked(cmd::TileMode, !groupMode);
    setEnabled(cmd::GroupMode, !groupMode);
    setChecked(cmd::GroupMode, groupMode);
}

void MenuState::showPattern(bool patternOn) {
    setEnabled(cmd::PatternOn, !patternOn);
    setChecked(cmd::PatternOn, patternOn);
    setEnabled(cmd::PatternOff, patternOn);
    setChecked(cmd::PatternOff, !patternOn);
}

} // namespace pavelora
