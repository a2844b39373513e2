#pragma once

#include "core/board/board.h"
#include "core/progress.h"
#include "editor/recovery.h"
#include "editor/shell.h"

#include <QString>

#include <memory>

namespace pavelora {

class BoardInteraction;
class EditHistory;
class EditorScreen;
class PaletteController;

// The file dialogs' filters.
FileFilter documentFileFilter();
FileFilter jpegFileFilter();
// The export's types: JPEG first, then PNG, SVG and PDF.
FileFilter exportFileFilter();

// The one open document (or none) and its file: creating, opening, saving and closing it
// with their dialogs, questions and messages, the window title, the end of the
// application, and the JPEG export. A document that starts is handed to the board and the
// palette; one that closes is taken from them first. Each document has its own undo stack;
// it counts as changed while the stack is away from the state it was saved or opened in.
class DocumentSession {
public:
    DocumentSession(EditorScreen& screen, ErrorReporter& errors, BoardInteraction& board,
                    PaletteController& palette, EditHistory& history);
    ~DocumentSession();
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    Document* document() { return doc_.get(); }
    const Document* document() const { return doc_.get(); }
    const QString& filePath() const { return filePath_; }
    bool hasFileName() const { return hasFileName_; }
    // "Pavelora" without a document, else the file name (or "無題") and the program's name.
    QString title() const;

    // A document named on the command line, opened by the next open().
    void setStartupDocument(const QString& path);
    bool openPending() const { return openPending_; }

    // "新規": the new-document dialog, then a document of the chosen tile set and board.
    void newDocument();
    // "開く": the document named on the command line, else one chosen in the file dialog.
    void open();
    // "名前を付けて保存" and "上書保存". False when nothing was saved.
    bool saveAs();
    bool save();
    // "閉じる": a changed document is offered to be saved first. False when the
    // user chose to save and the save did not happen: the document stays open.
    bool close();
    // "終了": the close, then the application ends; abandoned like the close, except
    // after an error has been reported.
    void exit();
    void exitAfterError();
    // Recovery copies: while the document differs from its file, a copy is written into
    // `folder` every RecoveryInterval and after every RecoveryChanges changes (pushed,
    // undone or redone) since the last copy. The copy goes when the document is saved,
    // returns to its saved state or is closed; it stays when the program ends without
    // closing it. An empty folder keeps no copies (the default).
    static constexpr int RecoveryInterval = 60 * 1000; // milliseconds
    static constexpr int RecoveryChanges = 50;
    void keepRecoveryCopies(const QString& folder);
    void recoveryTimerElapsed();
    const RecoveryStore& recovery() const { return *recovery_; }
    // With no document open: offers the most recent copy left by a program that ended
    // without closing its document. Restored, it is a changed document with the name of
    // its file (or none); declined, the copy is deleted. True when a document was restored.
    bool offerRecovery();

    // "JPEG保存": the export of the board with the document's JPEG settings, in the format
    // of the chosen name's extension (PNG, SVG, PDF; JPEG for any other name).
    void exportJpeg();

private:
    bool start(std::unique_ptr<Document> doc, bool groupMode, bool hasFile);
    void showTitle();
    void documentChanged();
    void writeRecoveryCopy();
    void forgetRecoveryCopy();
    void dropRecoveryCopy(); // and stops the timer

    EditorScreen& screen_;
    ErrorReporter& errors_;
    BoardInteraction& board_;
    PaletteController& palette_;
    EditHistory& history_;
    std::unique_ptr<Document> doc_;
    QString filePath_;
    QString jpegPath_;
    bool hasFileName_ = false;
    bool openPending_ = false;
    bool ending_ = false;
    std::unique_ptr<RecoveryStore> recovery_;
    bool recoveryOn_ = false;
    int changesSinceCopy_ = 0;
    bool copyBehind_ = false; // changes since the last copy
};

} // namespace pavelora
