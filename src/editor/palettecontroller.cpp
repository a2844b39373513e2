#include "editor/palettecontroller.h"

#include "core/board/rescale.h"
#include "core/geometry/tilebuilder.h"
#include "editor/editorscreen.h"

#include <QFontMetrics>

namespace pavelora {

bool PaletteController::open(Document& doc) {
    doc_ = &doc;
    Shell& shell = screen_.shell();
    const TileSet& set = *doc.tileSet;
    const QFont paletteFont = shell.paletteFont();
    const QFontMetrics metrics(paletteFont);
    const PaletteFont font{metrics.height() + metrics.leading(), metrics.averageCharWidth(),
                           paletteTextWidth(set, paletteFont)};
    const double pxX = screen_.pxPerMmX();
    const double pxY = screen_.pxPerMmY();
    const PaletteSize size = paletteWindowSize(set, pxX, pxY, font);
    const QSize client =
        shell.openPalette(QString::fromStdString(set.name), QSize(size.width, size.height));
    palette_ = buildPalette(set, pxX, pxY, client.width(), client.height(), font);
    if (!palette_) {
        errors_.reportError("EP001");
        return false;
    }
    samples_ = newGroup();
    for (std::int32_t kind : set.kindCodes) {
        auto sample = buildTile(&set, &doc.angles, kind, 0);
        if (!sample) {
            samples_.reset();
            errors_.reportError("EP002");
            return false;
        }
        appendTileRaw(*samples_, std::move(sample));
    }
    picture_ = QImage(client, QImage::Format_RGB32);
    picture_.fill(Qt::white);
    draw();
    return true;
}

void PaletteController::close() {
    screen_.shell().closePalette();
    screen_.shell().setTileCursor(false);
    doc_ = nullptr;
    palette_.reset();
    samples_.reset();
    picture_ = QImage();
}

void PaletteController::paletteClicked(int x, int y) {
    if (!palette_) {
        return;
    }
    paletteClick(*palette_, x, y);
    draw();
    screen_.shell().setTileCursor(pickedKind() >= 1);
}

void PaletteController::dropPick() {
    if (palette_) {
        clearPaletteSelection(*palette_);
    }
    screen_.shell().setTileCursor(false);
    draw();
}

void PaletteController::countTiles(std::int32_t kind, int delta) {
    const int index = doc_->tileSet->kindIndex(kind);
    if (index >= 0 && index < static_cast<int>(doc_->kindCounts.size())) {
        doc_->kindCounts[index] += delta;
    }
}

void PaletteController::rebuildSamples() {
    rebuildListDecorations(*doc_, samples_.get());
}

void PaletteController::draw() {
    if (doc_ == nullptr) {
        return;
    }
    if (!palette_) {
        errors_.reportError("EP013");
        return;
    }
    if (!samples_ ||
        !paintPalette(picture_, palette_->cells, *samples_, *doc_, screen_.shell().paletteFont())) {
        errors_.reportError("EP011");
        return;
    }
    screen_.shell().paletteChanged();
}

} // namespace pavelora
