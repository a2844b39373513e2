#pragma once

#include "core/progress.h"
#include "editor/boardinteraction.h"
#include "editor/documentsession.h"
#include "editor/edithistory.h"
#include "editor/editorscreen.h"
#include "editor/palettecontroller.h"
#include "editor/rulescontroller.h"
#include "editor/settingsapplier.h"
#include "editor/shell.h"

#include <QString>

namespace pavelora {

// The application: the document session, the board under the mouse and the keys, the
// palette and the settings, sharing the screen and the menu state. It carries out the
// commands of the menu and reaches the screen only through its Shell.
class Editor : public ErrorReporter {
public:
    Editor(Shell& shell, double pxPerMmX, double pxPerMmY);
    ~Editor() override;
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // A document named on the command line, opened at the first size change.
    void setStartupDocument(const QString& path) { session_.setStartupDocument(path); }

    // Keeps recovery copies of the changed document in `folder` (see DocumentSession) and
    // offers one left behind by an earlier run at the first size change, before a document
    // named on the command line is opened.
    void keepRecoveryCopies(const QString& folder);

    // The client area (without the status bar) changed size.
    void resized(int clientWidth, int clientHeight);

    // A command from the menu or an accelerator: carried out only while its item is
    // enabled. Returns whether it was.
    bool invokeMenuCommand(int command);
    // Any command, as the application itself sends it.
    void executeCommand(int command);
    // The main window is asked to close. False when the user chose to save and the save
    // did not happen: the window stays.
    bool closeRequested();

    // Shows the application error box for a five-character code and ends the application.
    void reportError(const char* code) override;

    const MenuState& menu() const { return screen_.menu(); }
    const BoardBuffers& buffers() const { return screen_.buffers(); }
    bool documentOpen() const { return session_.document() != nullptr; }
    Document* document() { return session_.document(); }
    const Document* document() const { return session_.document(); }
    QString title() const { return session_.title(); }

    DocumentSession& session() { return session_; }
    BoardInteraction& board() { return board_; }
    PaletteController& palette() { return palette_; }
    SettingsApplier& settings() { return settings_; }
    RulesController& rules() { return rules_; }
    const EditHistory& history() const { return history_; }

private:
    EditorScreen screen_;
    EditHistory history_;
    PaletteController palette_;
    BoardInteraction board_;
    DocumentSession session_;
    SettingsApplier settings_;
    RulesController rules_;
    bool offerRecovery_ = false;
};

} // namespace pavelora
