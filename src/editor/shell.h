#pragma once

#include "core/tiling/substitution.h"
#include "editor/palette.h"

#include <QFont>
#include <QRegion>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pavelora {

class Progress;
class MenuState;

// A file dialog's filter: the description shown, the pattern, and the suffix added to a
// name typed without one.
struct FileFilter {
    QString description;
    QString pattern;
    QString defaultSuffix;
    // Further file types a save dialog offers after this one; a name typed without a suffix
    // gets the suffix of the type chosen.
    std::vector<FileFilter> alternatives;
};

// The tile set and board size picked in the new-document dialog.
struct NewDocumentChoice {
    std::int32_t tileSetCode = -1;
    std::int32_t boardCode = -1;
};

// What the pattern dialog asks for: the seed figure, and the number of tiles nearest the
// middle of the visible board, or 0 for the whole board.
struct GenerateChoice {
    PatchSeed seed = PatchSeed::Sun;
    int tiles = 0;
};

// Everything the application does to the screen. The main window implements it with Qt
// widgets; tests implement it with a recorder.
class Shell {
public:
    enum class Icon { None, Stop };

    virtual ~Shell() = default;

    // Message boxes: a question with Yes and No (true for Yes), and a notice with OK.
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;
    virtual void showMessage(const QString& text, const QString& caption, Icon icon) = 0;

    // File dialogs; an empty result means the user cancelled. `current` pre-fills the name.
    virtual QString chooseOpenFile(const FileFilter& filter) = 0;
    virtual QString chooseSaveFile(const FileFilter& filter, const QString& current) = 0;

    // Modal dialogs.
    virtual std::optional<NewDocumentChoice> runNewDocumentDialog() = 0;
    // The settings dialogs and sheets of the edit menu, print setup and JPEG setup.
    virtual void runSettingsDialog(int command) = 0;
    // The pattern dialog "パターン生成" for a document of the set; empty when cancelled.
    virtual std::optional<GenerateChoice> runGenerateDialog(std::int32_t tileSetCode) = 0;
    virtual void runPrint() = 0;
    virtual void showAbout() = 0;
    virtual void showHelp() = 0;

    // The main window.
    virtual void setTitle(const QString& title) = 0;
    virtual void setStatusTexts(const std::array<QString, 5>& texts) = 0;
    virtual void menuChanged(const MenuState& menu) = 0;
    virtual void setBlinkTimer(bool running) = 0;
    // A repeating timer that calls DocumentSession::recoveryTimerElapsed every
    // `intervalMs` milliseconds; 0 stops it.
    virtual void setRecoveryTimer(int intervalMs) = 0;
    // Repaints part of the client area (client coordinates) from the back buffer, or all.
    virtual void repaint(const QRegion& region) = 0;
    virtual void repaintAll() = 0;
    virtual void scrollBarsChanged() = 0;
    virtual void setTileCursor(bool tileCursor) = 0;
    virtual void focusMainWindow() = 0;
    // Ends the application: the main window goes.
    virtual void quit() = 0;

    // The palette window: opened with a size for its client area (it reports the size it
    // got), repainted from the editor's palette picture, closed with the document.
    virtual QFont paletteFont() = 0;
    virtual QSize openPalette(const QString& title, QSize clientSize) = 0;
    virtual void paletteChanged() = 0;
    virtual void closePalette() = 0;

    // The progress window of long file operations. It appears with the first call on the
    // Progress and goes with closeProgress.
    virtual Progress& progress() = 0;
    virtual void closeProgress() = 0;
};

} // namespace pavelora
