#include "editor/editorscreen.h"

#include "editor/statusbar.h"

namespace pavelora {

void EditorScreen::showStatus(const Document* doc) {
    if (doc != nullptr) {
        shell_.setStatusTexts(statusTexts(*doc));
    } else {
        shell_.setStatusTexts({});
    }
}

void EditorScreen::showBoard(Document& doc) {
    (void)createBoardBuffers(buffers_, doc.view);
    (void)redrawAllTiles(buffers_, doc);
    repaintAll();
}

void EditorScreen::redrawBoard(Document& doc) {
    rebuildView(doc.view, doc.view.zoom);
    // Boards this big take a good fifth of a second to draw: the progress window shows it.
    constexpr int ProgressTiles = 50000;
    if (doc.board.tileCount() < ProgressTiles) {
        showBoard(doc);
        return;
    }
    (void)createBoardBuffers(buffers_, doc.view);
    (void)redrawAllTiles(buffers_, doc, &shell_.progress());
    shell_.closeProgress();
    repaintAll();
}

void EditorScreen::repaintChanged() {
    if (!changed_.isEmpty()) {
        if (overlay_ != nullptr) {
            overlay_->boardChanged(changed_);
        }
        shell_.repaint(changed_);
        changed_ = QRegion();
    }
}

void EditorScreen::repaintAll() {
    changed_ = QRegion();
    if (overlay_ != nullptr) {
        overlay_->boardReplaced();
    }
    shell_.scrollBarsChanged();
    shell_.repaintAll();
}

void EditorScreen::showMessage(const QString& text, const QString& caption) {
    repaintChanged();
    shell_.showMessage(text, caption, Shell::Icon::None);
}

bool EditorScreen::askYesNo(const QString& text, const QString& caption) {
    repaintChanged();
    return shell_.askYesNo(text, caption);
}

} // namespace pavelora
