#pragma once

#include <QString>

#include <map>

namespace pavelora {

// Enabled and checked state of every menu command. The menu's state is part of the
// model: accelerators obey it, and "名前を付けて保存" and "上書保存" being enabled are the
// document's change markers.
class MenuState {
public:
    MenuState(); // the state at start, with no document

    bool enabled(int command) const;
    bool checked(int command) const;
    void setEnabled(int command, bool on);
    void setChecked(int command, bool on);
    // The item's text when it changes with the state ("元に戻す: ..."), else empty.
    QString text(int command) const;
    void setText(int command, const QString& text);

    // No document: only New, Open, Exit and the help menu act.
    void noDocument();
    // A document was created or opened. `stored*` are the opened document's mode and
    // pair-pattern switch (tile mode and pattern on for a new document).
    void documentReady(bool hasPairPattern, bool groupMode, bool patternOn, bool hasFile,
                       int groupCount);
    // Checks one mode item (disabled) and enables the other.
    void showMode(bool groupMode);
    void showPattern(bool patternOn);

private:
    struct Item {
        bool enabled = false;
        bool checked = false;
        QString text;
    };
    std::map<int, Item> items_;
};

} // namespace pavelora
