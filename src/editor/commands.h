#pragma once

#include <array>
#include <cstdint>

namespace pavelora {

// Menu command identifiers.
namespace cmd {
constexpr int New = 40001;
constexpr int Close = 40002;
constexpr int Open = 40003;
constexpr int SaveAs = 40004;
constexpr int Save = 40005;
constexpr int PrintSetup = 40006;
constexpr int Print = 40007;
constexpr int JpegSetup = 40008;
constexpr int JpegExport = 40009;
constexpr int Exit = 40010;
constexpr int TileSize = 40021;
constexpr int OutlineWidth = 40022;
constexpr int TileColour = 40023;
constexpr int PairColour = 40024;
constexpr int BoardColour = 40025;
constexpr int Zoom = 40026;
constexpr int Undo = 40027;
constexpr int Redo = 40028;
constexpr int Generate = 40029;
constexpr int TileMode = 40031;
constexpr int GroupMode = 40032;
constexpr int PatternOn = 40033;
constexpr int PatternOff = 40034;
constexpr int TidyOrder = 40035;
constexpr int Help = 40041;
constexpr int About = 40042;

// Requests between windows: redraw the palette, advance and reset the progress bar,
// and the colour controls' change notifications.
constexpr int PaletteRedraw = 40090;
constexpr int ProgressStep = 40091;
constexpr int ProgressReset = 40092;
constexpr int HueChanged = 30033;
constexpr int LightnessSaturationChanged = 30034;
} // namespace cmd

// One item of the main menu "ZIRUZ": a pull-down heading (id 0) or a command.
struct MenuItem {
    int id;
    const char* text;        // with its & mnemonic
    const char* accelerator; // shown after a tab; empty for none
    bool separatorAfter;
};

// The menu in display order: each pull-down heading followed by its commands.
extern const std::array<MenuItem, 30> MainMenu;

// Accelerator table "ZIRUZ": Ctrl + letter, searched in this order; the first entry for
// a letter wins, so of two entries for one key only the first acts. "元に戻す" has the one
// key that is not Ctrl + letter, Alt+Backspace.
struct Accelerator {
    char letter;
    int command;
};
extern const std::array<Accelerator, 25> AcceleratorTable;

// The command a Ctrl + letter acts on, or 0.
int acceleratorCommand(char letter);

// Every menu command id, in menu order.
extern const std::array<int, 26> MenuCommands;

} // namespace pavelora
