#include "editor/documentsession.h"

#include "core/tiling/generator.h"
#include "document/documentio.h"
#include "editor/boardinteraction.h"
#include "editor/commands.h"
#include "editor/edithistory.h"
#include "editor/editorscreen.h"
#include "editor/palettecontroller.h"
#include "render/boardexport.h"
#include "render/jpegexport.h"

namespace pavelora {

namespace {

const QString kAppName = QStringLiteral("Pavelora");
// Titles join the file name and the program name with a Japanese hyphen.
const QString kTitleSeparator = QStringLiteral("‐");

} // namespace

FileFilter documentFileFilter() {
    return {
        QStringLiteral("Paveloraﾌｧｲﾙ{*.pvd}"), QStringLiteral("*.pvd"), QStringLiteral("pvd"), {}};
}

FileFilter jpegFileFilter() {
    return {QStringLiteral("PaveloraJPEGﾌｧｲﾙ{*.jpg}"),
            QStringLiteral("*.jpg"),
            QStringLiteral("jpg"),
            {}};
}

FileFilter exportFileFilter() {
    FileFilter filter = jpegFileFilter();
    filter.alternatives = {{QStringLiteral("PaveloraPNGﾌｧｲﾙ{*.png}"),
                            QStringLiteral("*.png"),
                            QStringLiteral("png"),
                            {}},
                           {QStringLiteral("PaveloraSVGﾌｧｲﾙ{*.svg}"),
                            QStringLiteral("*.svg"),
                            QStringLiteral("svg"),
                            {}},
                           {QStringLiteral("PaveloraPDFﾌｧｲﾙ{*.pdf}"),
                            QStringLiteral("*.pdf"),
                            QStringLiteral("pdf"),
                            {}}};
    return filter;
}

DocumentSession::DocumentSession(EditorScreen& screen, ErrorReporter& errors,
                                 BoardInteraction& board, PaletteController& palette,
                                 EditHistory& history)
    : screen_(screen), errors_(errors), board_(board), palette_(palette), history_(history),
      recovery_(std::make_unique<RecoveryStore>(QString())) {
    history_.setChangeListener([this] { documentChanged(); });
}

DocumentSession::~DocumentSession() {
    // Nothing may keep referring to the document as it goes.
    board_.detach();
    palette_.detach();
}

QString DocumentSession::title() const {
    if (!doc_) {
        return kAppName;
    }
    if (!hasFileName_) {
        return QStringLiteral("無題") + kTitleSeparator + kAppName;
    }
    return filePath_ + kTitleSeparator + kAppName;
}

void DocumentSession::showTitle() {
    screen_.shell().setTitle(title());
}

void DocumentSession::setStartupDocument(const QString& path) {
    filePath_ = path;
    openPending_ = !path.isEmpty();
}

void DocumentSession::newDocument() {
    if (doc_) {
        return;
    }
    const std::optional<NewDocumentChoice> choice = screen_.shell().runNewDocumentDialog();
    if (!choice || choice->boardCode < 1 || choice->tileSetCode < 1) {
        return;
    }
    auto doc = std::make_unique<Document>();
    doc->view.pxPerMmX = screen_.pxPerMmX();
    doc->view.pxPerMmY = screen_.pxPerMmY();
    openView(doc->view, screen_.clientWidth(), screen_.clientHeight(), choice->boardCode);
    doc->tileSet = createTileSet(choice->tileSetCode, &doc->patternOn);
    if (!doc->tileSet) {
        return;
    }
    try {
        doc->angles = createAngleTable(*doc->tileSet);
    } catch (const std::bad_alloc&) {
        errors_.reportError("EM001");
        return;
    }
    doc->kindCounts.assign(doc->tileSet->kindCount(), 0);
    start(std::move(doc), false, false);
}

// Shows a document that was created or opened: board pictures, palette, status bar, menus,
// title, blink timer.
bool DocumentSession::start(std::unique_ptr<Document> doc, bool groupMode, bool hasFile) {
    doc_ = std::move(doc);
    board_.attach(*doc_, groupMode);
    screen_.showBoard(*doc_);
    if (!palette_.open(*doc_)) {
        return false;
    }
    screen_.showStatus(doc_.get());
    screen_.shell().focusMainWindow();
    const TileSet& set = *doc_->tileSet;
    screen_.menu().documentReady(set.hasPairPattern != 0, groupMode, doc_->patternOn != 0, hasFile,
                                 doc_->board.count());
    screen_.menu().setEnabled(cmd::Generate, generationSupported(set.code));
    screen_.menuChanged();
    history_.start();
    hasFileName_ = hasFile;
    showTitle();
    screen_.shell().setBlinkTimer(true);
    changesSinceCopy_ = 0;
    copyBehind_ = false;
    if (recoveryOn_) {
        screen_.shell().setRecoveryTimer(RecoveryInterval);
    }
    return true;
}

bool DocumentSession::close() {
    if (!doc_) {
        return true;
    }
    // "名前を付けて保存" is enabled exactly while the document is changed.
    const MenuState& menu = screen_.menu();
    if (!menu.enabled(cmd::SaveAs)) {
        // unchanged since it was created, opened or saved: nothing to ask
    } else if (menu.enabled(cmd::Save)) {
        if (screen_.askYesNo(QStringLiteral("更新されてます。タイリングデータを保存しますか？"),
                             kAppName) &&
            !save()) {
            return false;
        }
    } else {
        if (screen_.askYesNo(QStringLiteral("新規データです。タイリングデータを保存しますか？"),
                             kAppName) &&
            !saveAs()) {
            return false;
        }
    }
    Shell& shell = screen_.shell();
    shell.setBlinkTimer(false);
    dropRecoveryCopy(); // saved, or given up by the user
    palette_.close();
    shell.focusMainWindow();

    screen_.menu().noDocument();
    history_.stop();
    board_.detach();
    doc_.reset();
    screen_.showStatus(nullptr);
    screen_.releaseBoard();
    hasFileName_ = false;
    showTitle();
    screen_.repaintAll();
    return true;
}

void DocumentSession::exit() {
    if (doc_ && !close() && !ending_) {
        return; // the user chose to save and the save did not happen
    }
    if (doc_) {
        history_.stop();
        board_.detach();
        palette_.detach();
        doc_.reset();
    }
    screen_.shell().quit();
}

void DocumentSession::exitAfterError() {
    // Nothing can go on after an error, so the exit is not abandoned.
    ending_ = true;
    exit();
}

void DocumentSession::open() {
    if (doc_) {
        return;
    }
    Shell& shell = screen_.shell();
    if (!openPending_) {
        const QString path = shell.chooseOpenFile(documentFileFilter());
        if (path.isEmpty()) {
            return;
        }
        filePath_ = path;
    }
    openPending_ = false;
    const ScreenGeometry geometry{screen_.pxPerMmX(), screen_.pxPerMmY(), screen_.clientWidth(),
                                  screen_.clientHeight()};
    OpenResult result = openDocument(filePath_, geometry, shell.progress(), errors_);
    if (result.status == OpenStatus::ErrorReported) {
        return; // the error report ends the application
    }
    if (!result.opened()) {
        shell.closeProgress();
        screen_.showMessage(QString::fromUtf8(OpenFailedMessage), QStringLiteral("ファイルを開く"));
        return;
    }
    if (start(std::move(result.document), result.groupMode, true)) {
        shell.closeProgress();
    }
}

bool DocumentSession::saveAs() {
    if (!doc_) {
        return false;
    }
    Shell& shell = screen_.shell();
    const QString path = shell.chooseSaveFile(documentFileFilter(), filePath_);
    if (path.isEmpty()) {
        return false;
    }
    filePath_ = path;
    const SaveStatus status = saveDocument(filePath_, *doc_, board_.groupMode(), shell.progress());
    shell.closeProgress();
    if (status != SaveStatus::Saved) {
        screen_.showMessage(QString::fromUtf8(SaveFailedMessage),
                            QStringLiteral("名前を付けて保存"));
    }
    // The document takes the name even when the save failed, so that "上書保存" can try again.
    hasFileName_ = true;
    showTitle();
    screen_.menu().setEnabled(cmd::Save, true);
    screen_.menuChanged();
    if (status == SaveStatus::Saved) {
        history_.setClean();
        forgetRecoveryCopy();
    }
    return status == SaveStatus::Saved;
}

bool DocumentSession::save() {
    if (!doc_ || !hasFileName_) {
        return false;
    }
    Shell& shell = screen_.shell();
    const SaveStatus status = saveDocument(filePath_, *doc_, board_.groupMode(), shell.progress());
    shell.closeProgress();
    if (status != SaveStatus::Saved) {
        screen_.showMessage(QString::fromUtf8(SaveFailedMessage), QStringLiteral("上書き保存"));
    } else {
        history_.setClean();
        forgetRecoveryCopy();
    }
    showTitle();
    return status == SaveStatus::Saved;
}

void DocumentSession::keepRecoveryCopies(const QString& folder) {
    recovery_ = std::make_unique<RecoveryStore>(folder);
    recoveryOn_ = !folder.isEmpty();
}

void DocumentSession::documentChanged() {
    if (!doc_) {
        return;
    }
    if (!history_.changed()) { // back to what the file holds
        forgetRecoveryCopy();
        return;
    }
    copyBehind_ = true;
    if (++changesSinceCopy_ >= RecoveryChanges) {
        writeRecoveryCopy();
    }
}

void DocumentSession::recoveryTimerElapsed() {
    if (doc_ && copyBehind_ && history_.changed()) {
        writeRecoveryCopy();
    }
}

void DocumentSession::writeRecoveryCopy() {
    if (!recoveryOn_) {
        return;
    }
    // A copy that cannot be written is tried again at the next occasion; the user is not
    // interrupted for it.
    if (recovery_->write(*doc_, board_.groupMode(), hasFileName_ ? filePath_ : QString())) {
        copyBehind_ = false;
        changesSinceCopy_ = 0;
    }
}

void DocumentSession::forgetRecoveryCopy() {
    recovery_->remove();
    copyBehind_ = false;
    changesSinceCopy_ = 0;
}

void DocumentSession::dropRecoveryCopy() {
    forgetRecoveryCopy();
    if (recoveryOn_) {
        screen_.shell().setRecoveryTimer(0);
    }
}

bool DocumentSession::offerRecovery() {
    if (doc_ || !recoveryOn_) {
        return false;
    }
    const std::vector<RecoveryStore::LeftCopy> left = recovery_->leftCopies();
    if (left.empty()) {
        return false;
    }
    const RecoveryStore::LeftCopy& copy = left.front();
    const QString name = copy.documentPath.isEmpty() ? QStringLiteral("無題") : copy.documentPath;
    if (!screen_.askYesNo(
            QStringLiteral(
                "前回保存されなかった変更があります（%1）。タイリングデータを復元しますか？")
                .arg(name),
            kAppName)) {
        recovery_->discard(copy);
        return false;
    }
    Shell& shell = screen_.shell();
    const ScreenGeometry geometry{screen_.pxPerMmX(), screen_.pxPerMmY(), screen_.clientWidth(),
                                  screen_.clientHeight()};
    OpenResult result = openDocument(copy.copyPath, geometry, shell.progress(), errors_);
    if (result.status == OpenStatus::ErrorReported) {
        return false; // the error report ends the application; the copy stays
    }
    if (!result.opened()) {
        shell.closeProgress();
        screen_.showMessage(QString::fromUtf8(OpenFailedMessage), QStringLiteral("ファイルを開く"));
        recovery_->discard(copy);
        return false;
    }
    recovery_->adopt(copy);
    openPending_ = false; // one document at a time: the restored one
    filePath_ = copy.documentPath;
    if (start(std::move(result.document), result.groupMode, !copy.documentPath.isEmpty())) {
        shell.closeProgress();
    }
    history_.setNeverClean();
    return true;
}

void DocumentSession::exportJpeg() {
    if (!doc_) {
        return;
    }
    Shell& shell = screen_.shell();
    const QString path = shell.chooseSaveFile(exportFileFilter(), jpegPath_);
    if (path.isEmpty()) {
        return;
    }
    jpegPath_ = path;
    const ExportFormat format = exportFormatOf(jpegPath_).value_or(ExportFormat::Jpeg);
    const int result = exportBoard(*doc_, doc_->jpegSettings, jpegPath_, format, &shell.progress());
    shell.closeProgress();
    if (result != 1) {
        screen_.showMessage(exportResultMessage(format, result), jpegMessageCaption());
    }
}

} // namespace pavelora
