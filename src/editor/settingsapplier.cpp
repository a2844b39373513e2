#include "editor/settingsapplier.h"

#include "core/board/rescale.h"
#include "editor/boardinteraction.h"
#include "editor/documentsession.h"
#include "editor/editorscreen.h"
#include "editor/palettecontroller.h"
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

const Document* SettingsApplier::document() const {
    return session_.document();
}

bool SettingsApplier::applyTileSize(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    const double newRatio = percent * 0.01;
    if (doc->board.count() > 0 && !resizeAllTiles(*doc, newRatio)) {
        screen_.showMessage(QString::fromUtf8(kResizeRefused), QString::fromUtf8(kTileSizeCaption));
        return false;
    }
    doc->view.tileSizeRatio = newRatio;
    dropSelection(board_.selection());
    screen_.redrawBoard(*doc);
    screen_.markChanged();
    screen_.showStatus(doc);
    return true;
}

bool SettingsApplier::applyOutlineWidth(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || percent < MinOutlinePercent ||
        percent > MaxOutlinePercent) {
        return false;
    }
    const double inset = percent * 0.01;
    doc->tileSet->outlineInset = inset;
    doc->tileSet->outlineRatio2 = inset;
    rebuildBoardDecorations(*doc);
    palette_.rebuildSamples();
    palette_.dropPick();
    screen_.redrawBoard(*doc);
    screen_.markChanged();
    screen_.showStatus(doc);
    return true;
}

bool SettingsApplier::applyZoom(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    doc->view.zoom = percent * 0.01;
    screen_.redrawBoard(*doc);
    screen_.markChanged();
    screen_.showStatus(doc);
    return true;
}

bool SettingsApplier::applyKindColours(const std::vector<Rgb>& colours) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || colours.size() != doc->tileSet->kindColours.size()) {
        return false;
    }
    doc->tileSet->kindColours = colours;
    screen_.redrawBoard(*doc);
    palette_.dropPick();
    screen_.markChanged();
    return true;
}

bool SettingsApplier::applyPairColours(const std::vector<Rgb>& colours) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || colours.size() != doc->tileSet->pairColours.size()) {
        return false;
    }
    doc->tileSet->pairColours = colours;
    screen_.redrawBoard(*doc);
    palette_.dropPick();
    screen_.markChanged();
    return true;
}

bool SettingsApplier::applyBoardColour(Rgb colour) {
    Document* doc = session_.document();
    if (doc == nullptr) {
        return false;
    }
    doc->view.boardColour = colour;
    screen_.redrawBoard(*doc);
    screen_.markChanged();
    return true;
}

bool SettingsApplier::applyPrintSettings(const PrintSettings& settings) {
    Document* doc = session_.document();
    if (doc == nullptr) {
        return false;
    }
    doc->printSettings = settings;
    doc->printSettings.title = storedPrintTitle(settings.title);
    screen_.markChanged();
    return true;
}

bool SettingsApplier::applyJpegSettings(const JpegSettings& settings) {
    // The export image grows with the density: only the ranges the setup offers are taken.
    const auto& quality = JpegSetupLogic::fields()[JpegSetupLogic::Quality];
    const auto& density = JpegSetupLogic::fields()[JpegSetupLogic::Density];
    Document* doc = session_.document();
    if (doc == nullptr || settings.quality < quality.lower || settings.quality > quality.upper ||
        settings.density < density.lower || settings.density > density.upper) {
        return false;
    }
    doc->jpegSettings = settings;
    return true;
}

} // namespace pavelora
