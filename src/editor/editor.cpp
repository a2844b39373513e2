#include "editor/editor.h"

#include "core/geometry/tilebuilder.h"
#include "document/documentio.h"
#include "editor/commands.h"
#include "editor/statusbar.h"
#include "render/jpegexport.h"
#include "render/shading.h"

#include <QPainter>

namespace pavelora {

namespace {

const QString kAppName = QStringLiteral("Pavelora");
// Titles join the file name and the program name with a Japanese hyphen.
const QString kTitleSeparator = QStringLiteral("‐");

} // namespace

FileFilter documentFileFilter() {
    return {QStringLiteral("Paveloraﾌｧｲﾙ{*.pvd}"), QStringLiteral("*.pvd"), QStringLiteral("pvd")};
}

FileFilter jpegFileFilter() {
    return {QStringLiteral("PaveloraJPEGﾌｧｲﾙ{*.jpg}"), QStringLiteral("*.jpg"),
            QStringLiteral("jpg")};
}

Editor::Editor(Shell& shell, double pxPerMmX, double pxPerMmY)
    : shell_(shell), pxPerMmX_(pxPerMmX), pxPerMmY_(pxPerMmY) {}

Editor::~Editor() = default;

void Editor::setStartupDocument(const QString& path) {
    filePath_ = path;
    openPending_ = !path.isEmpty();
}

QString Editor::title() const {
    if (!doc_) {
        return kAppName;
    }
    if (!hasFileName_) {
        return QStringLiteral("無題") + kTitleSeparator + kAppName;
    }
    return filePath_ + kTitleSeparator + kAppName;
}

void Editor::repaintChanged() {
    if (!changed_.isEmpty()) {
        shell_.repaint(changed_);
        changed_ = QRegion();
    }
}

void Editor::repaintAll() {
    changed_ = QRegion();
    shell_.scrollBarsChanged();
    shell_.repaintAll();
}

void Editor::updateTitle() {
    shell_.setTitle(title());
}

void Editor::menuChanged() {
    shell_.menuChanged(menu_);
}

void Editor::markChanged() {
    menu_.markChanged();
    menuChanged();
}

void Editor::updateStatusBar() {
    if (doc_) {
        shell_.setStatusTexts(statusTexts(*doc_));
    } else {
        shell_.setStatusTexts({});
    }
}

void Editor::resized(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    if (doc_ && resizeView(doc_->view, clientWidth, clientHeight)) {
        repaintAll();
    }
    if (openPending_) {
        executeCommand(cmd::Open);
        shell_.repaintAll();
    }
}

bool Editor::invokeMenuCommand(int command) {
    if (!menu_.enabled(command)) {
        return false;
    }
    executeCommand(command);
    return true;
}

void Editor::executeCommand(int command) {
    const RepaintBatch batch(*this);
    switch (command) {
    case cmd::New:
        newDocument();
        break;
    case cmd::Close:
        closeDocument();
        break;
    case cmd::Open:
        openCommand();
        break;
    case cmd::SaveAs:
        saveAs();
        break;
    case cmd::Save:
        save();
        break;
    case cmd::Print:
        if (doc_) {
            shell_.runPrint();
        }
        break;
    case cmd::JpegExport:
        exportJpeg();
        break;
    case cmd::Exit:
        exitCommand();
        break;
    case cmd::PrintSetup:
    case cmd::JpegSetup:
    case cmd::TileSize:
    case cmd::OutlineWidth:
    case cmd::TileColour:
    case cmd::PairColour:
    case cmd::BoardColour:
    case cmd::Zoom:
        if (doc_) {
            shell_.runSettingsDialog(command);
        }
        break;
    case cmd::TileMode:
        setTileMode();
        break;
    case cmd::GroupMode:
        setGroupMode();
        break;
    case cmd::PatternOn:
        setPattern(true);
        break;
    case cmd::PatternOff:
        setPattern(false);
        break;
    case cmd::TidyOrder:
        tidyDisplayOrder();
        break;
    case cmd::Help:
        shell_.showHelp();
        break;
    case cmd::About:
        shell_.showAbout();
        break;
    case cmd::PaletteRedraw:
        drawPalette();
        break;
    default:
        break;
    }
}

bool Editor::closeRequested() {
    if (doc_ && !closeDocument()) {
        return false;
    }
    return true;
}

void Editor::reportError(const char* code) {
    shell_.showMessage(
        QStringLiteral("Applicatione Error! CODE: %1").arg(QString::fromLatin1(code)),
        QStringLiteral("ZIRUZ"), Shell::Icon::None);
    // The failed operation goes no further: the application ends, offering to save an open
    // document first. Nothing can go on after an error, so the exit is not abandoned.
    ending_ = true;
    executeCommand(cmd::Exit);
}

void Editor::exitCommand() {
    if (doc_ && !closeDocument() && !ending_) {
        return; // the user chose to save and the save did not happen
    }
    doc_.reset();
    shell_.quit();
}

// --- New, open, close ---

void Editor::newDocument() {
    if (doc_) {
        return;
    }
    const std::optional<NewDocumentChoice> choice = shell_.runNewDocumentDialog();
    if (!choice || choice->boardCode < 1 || choice->tileSetCode < 1) {
        return;
    }
    auto doc = std::make_unique<Document>();
    doc->view.pxPerMmX = pxPerMmX_;
    doc->view.pxPerMmY = pxPerMmY_;
    openView(doc->view, clientWidth_, clientHeight_, choice->boardCode);
    doc->tileSet = createTileSet(choice->tileSetCode, &doc->patternOn);
    if (!doc->tileSet) {
        return;
    }
    try {
        doc->angles = createAngleTable(*doc->tileSet);
    } catch (const std::bad_alloc&) {
        reportError("EM001");
        return;
    }
    doc->kindCounts.assign(doc->tileSet->kindCount(), 0);
    startDocument(std::move(doc), false, false);
}

// Shows a document that was created or opened: board pictures, palette, menus, title,
// blink timer.
bool Editor::startDocument(std::unique_ptr<Document> doc, bool groupMode, bool hasFile) {
    sel_ = Selection{};
    sel_.groupMode = groupMode;
    dragging_ = false;
    spaceRotated_ = false;
    arrowMoved_ = false;
    doc_ = std::move(doc);
    (void)createBoardBuffers(buffers_, doc_->view);
    (void)redrawAllTiles(buffers_, *doc_);
    repaintAll();
    if (!openPaletteWindow()) {
        return false;
    }
    const TileSet& set = *doc_->tileSet;
    menu_.documentReady(set.hasPairPattern != 0, groupMode, doc_->patternOn != 0, hasFile,
                        doc_->board.count());
    menuChanged();
    hasFileName_ = hasFile;
    updateTitle();
    shell_.setBlinkTimer(true);
    return true;
}

bool Editor::openPaletteWindow() {
    const TileSet& set = *doc_->tileSet;
    const QFontMetrics metrics(shell_.paletteFont());
    const PaletteFont font{metrics.height() + metrics.leading(), metrics.averageCharWidth()};
    const PaletteSize size = paletteWindowSize(set, pxPerMmX_, pxPerMmY_, font);
    const QSize client =
        shell_.openPalette(QString::fromStdString(set.name), QSize(size.width, size.height));
    palette_ = buildPalette(set, pxPerMmX_, pxPerMmY_, client.width(), client.height(), font);
    if (!palette_) {
        reportError("EP001");
        return false;
    }
    paletteTiles_ = newGroup();
    for (std::int32_t kind : set.kindCodes) {
        auto sample = buildTile(&set, &doc_->angles, kind, 0);
        if (!sample) {
            paletteTiles_.reset();
            reportError("EP002");
            return false;
        }
        appendTileRaw(*paletteTiles_, std::move(sample));
    }
    paletteBuffer_ = QImage(client, QImage::Format_RGB32);
    paletteBuffer_.fill(Qt::white);
    drawPalette();
    updateStatusBar();
    shell_.focusMainWindow();
    return true;
}

bool Editor::closeDocument() {
    if (!doc_) {
        return true;
    }
    if (menu_.enabled(cmd::Save)) {
        if (shell_.askYesNo(QStringLiteral("更新されてます。タイリングデータを保存しますか？"),
                            kAppName) &&
            !save()) {
            return false;
        }
    } else if (menu_.enabled(cmd::SaveAs)) {
        if (shell_.askYesNo(QStringLiteral("新規データです。タイリングデータを保存しますか？"),
                            kAppName) &&
            !saveAs()) {
            return false;
        }
    }
    shell_.setBlinkTimer(false);
    shell_.closePalette();
    shell_.setTileCursor(false);
    shell_.focusMainWindow();
    palette_.reset();
    paletteTiles_.reset();
    paletteBuffer_ = QImage();

    menu_.noDocument();
    menuChanged();
    doc_.reset();
    updateStatusBar();
    sel_ = Selection{};
    releaseBoardBuffers(buffers_);
    hasFileName_ = false;
    updateTitle();
    repaintAll();
    return true;
}

void Editor::openCommand() {
    if (doc_) {
        return;
    }
    if (!openPending_) {
        const QString path = shell_.chooseOpenFile(documentFileFilter());
        if (path.isEmpty()) {
            return;
        }
        filePath_ = path;
    }
    openPending_ = false;
    const ScreenGeometry screen{pxPerMmX_, pxPerMmY_, clientWidth_, clientHeight_};
    OpenResult result = openDocument(filePath_, screen, shell_.progress(), *this);
    if (result.status == OpenStatus::ErrorReported) {
        return; // the error report ends the application
    }
    if (!result.opened()) {
        shell_.closeProgress();
        shell_.showMessage(QString::fromUtf8(OpenFailedMessage), QStringLiteral("ファイルを開く"),
                           Shell::Icon::None);
        return;
    }
    if (startDocument(std::move(result.document), result.groupMode, true)) {
        shell_.closeProgress();
    }
}

bool Editor::saveAs() {
    if (!doc_) {
        return false;
    }
    const QString path = shell_.chooseSaveFile(documentFileFilter(), filePath_);
    if (path.isEmpty()) {
        return false;
    }
    filePath_ = path;
    const SaveStatus status = saveDocument(filePath_, *doc_, sel_.groupMode, shell_.progress());
    shell_.closeProgress();
    if (status != SaveStatus::Saved) {
        shell_.showMessage(QString::fromUtf8(SaveFailedMessage), QStringLiteral("名前を付けて保存"),
                           Shell::Icon::None);
    }
    // The document takes the name even when the save failed, so that "上書保存" can try again.
    hasFileName_ = true;
    updateTitle();
    menu_.setEnabled(cmd::Save, true);
    menuChanged();
    return status == SaveStatus::Saved;
}

bool Editor::save() {
    if (!doc_ || !hasFileName_) {
        return false;
    }
    const SaveStatus status = saveDocument(filePath_, *doc_, sel_.groupMode, shell_.progress());
    shell_.closeProgress();
    if (status != SaveStatus::Saved) {
        shell_.showMessage(QString::fromUtf8(SaveFailedMessage), QStringLiteral("上書き保存"),
                           Shell::Icon::None);
    }
    updateTitle();
    return status == SaveStatus::Saved;
}

void Editor::exportJpeg() {
    if (!doc_) {
        return;
    }
    const QString path = shell_.chooseSaveFile(jpegFileFilter(), jpegPath_);
    if (path.isEmpty()) {
        return;
    }
    jpegPath_ = path;
    const int result =
        pavelora::exportJpeg(*doc_, doc_->jpegSettings, jpegPath_, &shell_.progress());
    shell_.closeProgress();
    if (result != 1) {
        shell_.showMessage(jpegResultMessage(result), jpegMessageCaption(), Shell::Icon::None);
    }
}

// --- Modes and display ---

void Editor::setTileMode() {
    if (!doc_) {
        return;
    }
    menu_.showMode(false);
    menu_.markChanged();
    menuChanged();
    sel_.groupMode = false;
    TileGroup* group = sel_.currentGroup;
    if (group == nullptr) {
        return;
    }
    if (group->count() == 1) {
        sel_.currentTile = group->tiles.front().get();
        sel_.currentTile->selected = group->selected;
    } else {
        if (sel_.currentTile != nullptr) {
            sel_.currentTile->selected = 0;
        }
        sel_.currentTile = nullptr;
    }
    group->selected = 0;
    changed(redrawAroundGroup(buffers_, *doc_, group, true));
}

void Editor::setGroupMode() {
    if (!doc_) {
        return;
    }
    menu_.showMode(true);
    menu_.markChanged();
    menuChanged();
    sel_.groupMode = true;
    Tile* tile = sel_.currentTile;
    if (tile == nullptr) {
        if (sel_.currentGroup != nullptr) {
            sel_.currentGroup->selected = 0;
        }
        sel_.currentGroup = nullptr;
        return;
    }
    sel_.currentGroup = tile->group;
    sel_.currentGroup->selected = tile->selected;
    if (sel_.currentGroup->count() >= 2) {
        tile->selected = 0;
    }
    changed(redrawAroundTile(buffers_, *doc_, tile, true));
}

void Editor::redrawBoard() {
    rebuildView(doc_->view, doc_->view.zoom);
    (void)createBoardBuffers(buffers_, doc_->view);
    (void)redrawAllTiles(buffers_, *doc_);
    repaintAll();
}

void Editor::setPattern(bool on) {
    if (!doc_) {
        return;
    }
    menu_.showPattern(on);
    menu_.markChanged();
    menuChanged();
    doc_->patternOn = on ? 1 : 0;
    redrawBoard();
}

void Editor::tidyDisplayOrder() {
    if (!doc_ || doc_->board.count() < 2) {
        return;
    }
    if (!sortGroupsBySize(doc_->board)) {
        return;
    }
    if (sel_.currentTile != nullptr) {
        sel_.currentTile->selected = 0;
    }
    if (sel_.currentGroup != nullptr) {
        sel_.currentGroup->selected = 0;
    }
    redrawBoard();
    markChanged();
}

// --- Palette ---

void Editor::paletteClicked(int x, int y) {
    if (!palette_) {
        return;
    }
    paletteClick(*palette_, x, y);
    drawPalette();
    shell_.setTileCursor(selectedPaletteKind(&*palette_) >= 1);
}

void Editor::dropPalettePick() {
    if (palette_) {
        clearPaletteSelection(*palette_);
    }
    shell_.setTileCursor(false);
    drawPalette();
}

void Editor::countTiles(std::int32_t kind, int delta) {
    const int index = doc_->tileSet->kindIndex(kind);
    if (index >= 0 && index < static_cast<int>(doc_->kindCounts.size())) {
        doc_->kindCounts[index] += delta;
    }
}

void Editor::drawPalette() {
    if (!doc_) {
        return;
    }
    if (!palette_) {
        reportError("EP013");
        return;
    }
    const TileSet& set = *doc_->tileSet;
    QPainter painter(&paletteBuffer_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = shell_.paletteFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height() + metrics.leading();
    const int charWidth = metrics.averageCharWidth();
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);

    auto fillPolygon = [&painter](const QPolygon& polygon, QColor colour) {
        painter.setPen(QPen(colour, 1));
        painter.setBrush(colour);
        painter.drawPolygon(polygon);
    };

    for (const PaletteCell& cell : palette_->cells) {
        const Tile* sample = nullptr;
        for (const auto& t : paletteTiles_->tiles) {
            if (t->kind == cell.kind && t->rotation == 0) {
                sample = t.get();
                break;
            }
        }
        if (sample == nullptr) {
            reportError("EP011");
            return;
        }
        const int L = cell.left;
        const int T = cell.top;
        const int R = cell.right;
        const int B = cell.bottom;
        const int w = R - L;
        const int h = B - T;
        const int cx = (L + R) / 2;
        const int cy = (T + B) / 2;
        const int index = set.kindIndex(cell.kind);
        const int count = index >= 0 && index < static_cast<int>(doc_->kindCounts.size())
                              ? doc_->kindCounts[index]
                              : 0;

        painter.setPen(Qt::black);
        const QString name = index >= 0 ? QString::fromStdString(set.kindNames[index]) : QString();
        const int firstLine = T - h / 10 - 2 * lineHeight;
        painter.drawText(QRect(0, firstLine, paletteBuffer_.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("%1 (F%2)").arg(name).arg(index + 1));
        painter.drawText(
            QRect(charWidth, firstLine + lineHeight, paletteBuffer_.width(), lineHeight),
            Qt::AlignLeft | Qt::AlignTop, QString::asprintf("%4d tiles", count));

        painter.fillRect(QRect(L, T, w, h), QColor(210, 210, 210));
        const int dx = w / 40;
        const int dy = h / 40;
        const QColor light(240, 240, 240);
        const QColor dark(160, 160, 160);
        const bool pressed = cell.selected == 1;
        const QPolygon left(
            {QPoint(L - dx, T - dy), QPoint(L - dx, B + dy), QPoint(L, B), QPoint(L, T)});
        const QPolygon top(
            {QPoint(L - dx, T - dy), QPoint(R + dx, T - dy), QPoint(R, T), QPoint(L, T)});
        const QPolygon right(
            {QPoint(R + dx, T - dy), QPoint(R + dx, B + dy), QPoint(R, B), QPoint(R, T)});
        const QPolygon bottom(
            {QPoint(R + dx, B + dy), QPoint(L - dx, B + dy), QPoint(L, B), QPoint(R, B)});
        fillPolygon(left, pressed ? dark : light);
        fillPolygon(top, pressed ? dark : light);
        fillPolygon(right, pressed ? light : dark);
        fillPolygon(bottom, pressed ? light : dark);

        const Rgb* fill = kindColour(set, cell.kind);
        for (int i = 0; i < sample->decorationCount() && fill != nullptr; ++i) {
            const auto polygon =
                buildPixelPolygon(&sample->decorations[i], cx, cy, 0.5, doc_->view, set);
            if (!polygon) {
                continue;
            }
            const Rgb c = i == 0 ? *fill : shadeColour(*polygon, *fill);
            fillPolygon(polygon->points, QColor(c.red, c.green, c.blue));
        }
    }
    painter.end();
    shell_.paletteChanged();
}

} // namespace pavelora
