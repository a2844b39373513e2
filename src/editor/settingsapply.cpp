// The editor's side of the settings dialogs: what their OK and "適用" change in the
// document and on the screen.

#include "core/board/rescale.h"
#include "editor/editor.h"
#include "editor/settingslogic.h"

namespace pavelora {

namespace {

const char* const kResizeRefused =
    "寸法の調整が行えませんでした。ボードをはみだした可能性があります。";
const char* const kTileSizeCaption = "タイル寸法指定操作";

// Forgets the current tile and group, selection marks included.
void dropSelection(Selection& sel) {
    if (sel.currentTile != nullptr) {
        sel.currentTile->selected = 0;
    }
    if (sel.currentGroup != nullptr) {
        sel.currentGroup->selected = 0;
    }
    sel.clear();
}

} // namespace

bool Editor::applyTileSize(int percent) {
    if (!doc_ || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    const double newRatio = percent * 0.01;
    if (doc_->board.count() > 0 && !resizeAllTiles(*doc_, newRatio)) {
        shell_.showMessage(QString::fromUtf8(kResizeRefused), QString::fromUtf8(kTileSizeCaption),
                           Shell::Icon::None);
        return false;
    }
    doc_->view.tileSizeRatio = newRatio;
    dropSelection(sel_);
    redrawBoard();
    markChanged();
    updateStatusBar();
    return true;
}

bool Editor::applyOutlineWidth(int percent) {
    if (!doc_ || !doc_->tileSet || percent < MinOutlinePercent || percent > MaxOutlinePercent) {
        return false;
    }
    const double inset = percent * 0.01;
    doc_->tileSet->outlineInset = inset;
    doc_->tileSet->outlineRatio2 = inset;
    rebuildBoardDecorations(*doc_);
    rebuildListDecorations(*doc_, paletteTiles_.get());
    dropPalettePick();
    redrawBoard();
    markChanged();
    updateStatusBar();
    return true;
}

bool Editor::applyZoom(int percent) {
    if (!doc_ || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    doc_->view.zoom = percent * 0.01;
    redrawBoard();
    markChanged();
    updateStatusBar();
    return true;
}

bool Editor::applyKindColours(const std::vector<Rgb>& colours) {
    if (!doc_ || !doc_->tileSet || colours.size() != doc_->tileSet->kindColours.size()) {
        return false;
    }
    doc_->tileSet->kindColours = colours;
    redrawBoard();
    dropPalettePick();
    markChanged();
    return true;
}

bool Editor::applyPairColours(const std::vector<Rgb>& colours) {
    if (!doc_ || !doc_->tileSet || colours.size() != doc_->tileSet->pairColours.size()) {
        return false;
    }
    doc_->tileSet->pairColours = colours;
    redrawBoard();
    dropPalettePick();
    markChanged();
    return true;
}

bool Editor::applyBoardColour(Rgb colour) {
    if (!doc_) {
        return false;
    }
    doc_->view.boardColour = colour;
    redrawBoard();
    markChanged();
    return true;
}

bool Editor::applyPrintSettings(const PrintSettings& settings) {
    if (!doc_) {
        return false;
    }
    doc_->printSettings = settings;
    doc_->printSettings.title = storedPrintTitle(settings.title);
    markChanged();
    return true;
}

bool Editor::applyJpegSettings(const JpegSettings& settings) {
    // The export image grows with the density: only the ranges the setup offers are taken.
    const auto& quality = JpegSetupLogic::fields()[JpegSetupLogic::Quality];
    const auto& density = JpegSetupLogic::fields()[JpegSetupLogic::Density];
    if (!doc_ || settings.quality < quality.lower || settings.quality > quality.upper ||
        settings.density < density.lower || settings.density > density.upper) {
        return false;
    }
    doc_->jpegSettings = settings;
    return true;
}

} // namespace pavelora
