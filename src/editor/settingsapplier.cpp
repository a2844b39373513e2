#include "editor/settingsapplier.h"

#include "core/board/rescale.h"
#include "core/board/restore.h"
#include "document/documentimage.h"
#include "editor/boardinteraction.h"
#include "editor/documentsession.h"
#include "editor/edithistory.h"
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

void SettingsApplier::change(const QString& name, std::function<void(bool)> set) {
    set(true);
    history_.pushSetting(name, std::move(set));
}

bool SettingsApplier::applyTileSize(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    const double oldRatio = doc->view.tileSizeRatio;
    const double newRatio = percent * 0.01;
    if (newRatio == oldRatio) {
        return true; // nothing to change, nothing to undo
    }
    // Scaling back would not give the same bits: the old coordinates are kept instead.
    std::vector<double> coordinates = recordCoordinates(doc->board, -1);
    if (doc->board.count() > 0 && !resizeAllTiles(*doc, newRatio)) {
        screen_.showMessage(QString::fromUtf8(kResizeRefused), QString::fromUtf8(kTileSizeCaption));
        return false;
    }
    bool resized = true;
    change(QStringLiteral("タイルの寸法"),
           [this, oldRatio, newRatio, resized,
            coordinates = std::move(coordinates)](bool forward) mutable {
               Document& d = *session_.document();
               if (!resized) {
                   exchangeCoordinates(d, -1, coordinates);
               }
               resized = false;
               d.view.tileSizeRatio = forward ? newRatio : oldRatio;
               dropSelection(board_.selection());
               screen_.redrawBoard(d);
               screen_.showStatus(&d);
           });
    return true;
}

bool SettingsApplier::applyOutlineWidth(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || percent < MinOutlinePercent ||
        percent > MaxOutlinePercent) {
        return false;
    }
    const double oldInset = doc->tileSet->outlineInset;
    const double oldRatio2 = doc->tileSet->outlineRatio2;
    const double inset = percent * 0.01;
    if (inset == oldInset && inset == oldRatio2) {
        return true;
    }
    change(QStringLiteral("タイル輪郭幅"), [this, oldInset, oldRatio2, inset](bool forward) {
        Document& d = *session_.document();
        d.tileSet->outlineInset = forward ? inset : oldInset;
        d.tileSet->outlineRatio2 = forward ? inset : oldRatio2;
        rebuildBoardDecorations(d);
        palette_.rebuildSamples();
        palette_.dropPick();
        screen_.redrawBoard(d);
        screen_.showStatus(&d);
    });
    return true;
}

bool SettingsApplier::applyZoom(int percent) {
    Document* doc = session_.document();
    if (doc == nullptr || percent < MinScalePercent || percent > MaxScalePercent) {
        return false;
    }
    const double oldZoom = doc->view.zoom;
    const double zoom = percent * 0.01;
    if (zoom == oldZoom) {
        return true;
    }
    change(QStringLiteral("ズーム"), [this, oldZoom, zoom](bool forward) {
        Document& d = *session_.document();
        d.view.zoom = forward ? zoom : oldZoom;
        screen_.redrawBoard(d);
        screen_.showStatus(&d);
    });
    return true;
}

bool SettingsApplier::applyKindColours(const std::vector<Rgb>& colours) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || colours.size() != doc->tileSet->kindColours.size()) {
        return false;
    }
    if (colours == doc->tileSet->kindColours) {
        return true;
    }
    change(QStringLiteral("タイルの色"),
           [this, old = doc->tileSet->kindColours, colours](bool forward) {
               Document& d = *session_.document();
               d.tileSet->kindColours = forward ? colours : old;
               screen_.redrawBoard(d);
               palette_.dropPick();
           });
    return true;
}

bool SettingsApplier::applyPairColours(const std::vector<Rgb>& colours) {
    Document* doc = session_.document();
    if (doc == nullptr || !doc->tileSet || colours.size() != doc->tileSet->pairColours.size()) {
        return false;
    }
    if (colours == doc->tileSet->pairColours) {
        return true;
    }
    change(QStringLiteral("対模様の色"),
           [this, old = doc->tileSet->pairColours, colours](bool forward) {
               Document& d = *session_.document();
               d.tileSet->pairColours = forward ? colours : old;
               screen_.redrawBoard(d);
               palette_.dropPick();
           });
    return true;
}

bool SettingsApplier::applyBoardColour(Rgb colour) {
    Document* doc = session_.document();
    if (doc == nullptr) {
        return false;
    }
    if (colour == doc->view.boardColour) {
        return true;
    }
    change(QStringLiteral("ボードの色"), [this, old = doc->view.boardColour, colour](bool forward) {
        Document& d = *session_.document();
        d.view.boardColour = forward ? colour : old;
        screen_.redrawBoard(d);
    });
    return true;
}

bool SettingsApplier::applyPrintSettings(const PrintSettings& settings) {
    Document* doc = session_.document();
    if (doc == nullptr) {
        return false;
    }
    PrintSettings stored = settings;
    if (!keepsTitleBytes(settings)) {
        stored.title = storedPrintTitle(settings.title);
    }
    if (stored == doc->printSettings) {
        return true;
    }
    change(QStringLiteral("印刷設定"), [this, old = doc->printSettings, stored](bool forward) {
        session_.document()->printSettings = forward ? stored : old;
    });
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
