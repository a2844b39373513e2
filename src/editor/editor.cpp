#include "editor/editor.h"

#include "editor/commands.h"

#include <utility>

namespace pavelora {

Editor::Editor(Shell& shell, double pxPerMmX, double pxPerMmY)
    : screen_(shell, pxPerMmX, pxPerMmY), history_(screen_), palette_(screen_, *this),
      board_(screen_, palette_, history_), session_(screen_, *this, board_, palette_, history_),
      settings_(screen_, session_, board_, palette_, history_),
      rules_(screen_, board_, palette_, history_, [this] { return session_.document(); }) {
    screen_.setOverlay(&rules_);
    board_.setClickHook([this](int x, int y) { return rules_.click(x, y); });
    board_.setOverlay([this] { return rules_.overlay(); });
}

Editor::~Editor() = default;

void Editor::keepRecoveryCopies(const QString& folder) {
    session_.keepRecoveryCopies(folder);
    offerRecovery_ = !folder.isEmpty();
}

void Editor::resized(int clientWidth, int clientHeight) {
    screen_.setClientSize(clientWidth, clientHeight);
    Document* doc = session_.document();
    if (doc != nullptr && resizeView(doc->view, clientWidth, clientHeight)) {
        screen_.repaintAll();
    }
    if (std::exchange(offerRecovery_, false)) {
        const EditorScreen::RepaintBatch batch(screen_);
        session_.offerRecovery();
    }
    if (session_.openPending()) {
        executeCommand(cmd::Open);
        screen_.shell().repaintAll();
    }
}

bool Editor::invokeMenuCommand(int command) {
    if (!screen_.menu().enabled(command)) {
        return false;
    }
    executeCommand(command);
    return true;
}

void Editor::executeCommand(int command) {
    const EditorScreen::RepaintBatch batch(screen_);
    Shell& shell = screen_.shell();
    if (command != cmd::PaletteRedraw) {
        board_.finishEdit(); // a key still held: its change is complete as it stands
    }
    switch (command) {
    case cmd::Undo:
        history_.undo();
        break;
    case cmd::Redo:
        history_.redo();
        break;
    case cmd::New:
        session_.newDocument();
        break;
    case cmd::Close:
        session_.close();
        break;
    case cmd::Open:
        session_.open();
        break;
    case cmd::SaveAs:
        session_.saveAs();
        break;
    case cmd::Save:
        session_.save();
        break;
    case cmd::Print:
        if (documentOpen()) {
            shell.runPrint();
        }
        break;
    case cmd::JpegExport:
        session_.exportJpeg();
        break;
    case cmd::Exit:
        session_.exit();
        break;
    case cmd::PrintSetup:
    case cmd::JpegSetup:
    case cmd::TileSize:
    case cmd::OutlineWidth:
    case cmd::TileColour:
    case cmd::PairColour:
    case cmd::BoardColour:
    case cmd::Zoom:
        if (documentOpen()) {
            shell.runSettingsDialog(command);
        }
        break;
    case cmd::Generate:
        if (documentOpen() && !board_.dragging()) {
            if (const auto choice = shell.runGenerateDialog(document()->tileSet->code)) {
                board_.generate(*choice);
            }
        }
        break;
    case cmd::TileMode:
        board_.setTileMode();
        break;
    case cmd::GroupMode:
        board_.setGroupMode();
        break;
    case cmd::PatternOn:
        board_.setPattern(true);
        break;
    case cmd::PatternOff:
        board_.setPattern(false);
        break;
    case cmd::TidyOrder:
        board_.tidyDisplayOrder();
        break;
    case cmd::Help:
        shell.showHelp();
        break;
    case cmd::About:
        shell.showAbout();
        break;
    case cmd::PaletteRedraw:
        palette_.draw();
        break;
    case cmd::ShowDeadEnds:
        rules_.toggleDeadEnds();
        break;
    case cmd::AddForcedTiles:
        rules_.addForcedTiles();
        break;
    case cmd::ShowCandidates:
        rules_.toggleCandidates();
        break;
    default:
        break;
    }
    // A document that came or went: the rules follow it, its menu items included.
    if (command == cmd::New || command == cmd::Open || command == cmd::Close ||
        command == cmd::Exit) {
        rules_.attach(session_.document());
    }
}

bool Editor::closeRequested() {
    return session_.close();
}

void Editor::reportError(const char* code) {
    screen_.showMessage(
        QStringLiteral("Applicatione Error! CODE: %1").arg(QString::fromLatin1(code)),
        QStringLiteral("ZIRUZ"));
    // The failed operation goes no further: the application ends, offering to save an open
    // document first.
    const EditorScreen::RepaintBatch batch(screen_);
    session_.exitAfterError();
}

} // namespace pavelora
