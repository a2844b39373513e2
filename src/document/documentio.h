#pragma once

#include "core/board/board.h"
#include "core/progress.h"
#include "document/documentimage.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace pavelora {

// Saving and opening whole documents. Both drivers report their progress to a Progress
// (the caller's progress window) and leave it to the caller to close it afterwards. The
// first call on the Progress is the moment to show the window: a save with an empty path
// and an open of a file that cannot be opened make no calls at all.

// The messages the callers show after a failed save or open.
inline constexpr char SaveFailedMessage[] = "ファイルへの保存ができませんでした";
inline constexpr char OpenFailedMessage[] = "ファイルからの読み込みができませんでした";

enum class SaveStatus {
    Saved,
    EmptyPath,    // nothing done
    NotBuilt,     // no tile set, or memory ran out building the image; no file touched
    CannotCreate, // the file could not be created (missing folder, no permission)
    WriteFailed,  // a write or the final rename failed; the old file, if any, is intact
};

// Writes the document to `path`: the image is built first, then written to a new file in
// the same folder that replaces `path` only once every byte has been written and the file
// closed, so a failed save never destroys the document that was there. `groupMode` is the
// editor's operating mode, which documents store. Progress: text "ファイル書き込み中", a
// total of 100, ten steps of 5 and one of 50. Changes nothing in the document.
SaveStatus saveDocument(const QString& path, const Document& doc, bool groupMode,
                        Progress& progress);

// What opening needs from the screen and the main window: the pixel density measured at
// start-up and the size of the client area (without the status bar).
struct ScreenGeometry {
    double pxPerMmX = 0.0;
    double pxPerMmY = 0.0;
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;

    static ScreenGeometry of(const View& view) {
        return {view.pxPerMmX, view.pxPerMmY, view.clientWidth, view.clientHeight};
    }
};

enum class OpenStatus {
    Opened,
    CannotOpen,    // empty path or the file cannot be opened; no progress calls were made
    Unreadable,    // not a readable document (see readDocumentImage, checkDocumentImage)
    ErrorReported, // a structural failure was reported with its code; the application ends
};

struct OpenResult {
    OpenStatus status = OpenStatus::Unreadable;
    std::unique_ptr<Document> document;  // only when opened
    bool groupMode = false;              // the stored operating mode, when opened
    ImageFault fault = ImageFault::None; // why an image that was read could not be opened

    bool opened() const { return status == OpenStatus::Opened; }
    // CannotOpen and Unreadable are shown with OpenFailedMessage; an error code has already
    // been reported for ErrorReported.
    bool showFailureMessage() const {
        return status == OpenStatus::CannotOpen || status == OpenStatus::Unreadable;
    }
};

// Reads the document file at `path` and builds a whole new document from it. Progress:
// text "ファイル読み込み中" once the file is open, then as openDocumentImage.
OpenResult openDocument(const QString& path, const ScreenGeometry& screen, Progress& progress,
                        ErrorReporter& errors);

// Builds a document from an image that has been read: checks its values, then sets up the
// view, the tile set with the stored colours and insets, the angle table ("EM003"), the
// board ("EM004") and, group by group in file order, the group ("EM005"), the slots of its
// tiles ("EM006"), each tile rebuilt from kind and rotation ("EM007") and appended
// ("EM008"), the stored edge coordinates and joined edges, each tile's edge index
// ("EM009"), the group's boundary ("EM010") and region, and appends the group ("EM011").
// A code is reported once and nothing more is done. Progress: a total of 2 × the tile
// counts of the kind records, one step per tile built and one per tile linked, then the
// text "入力データ表示準備中". The palette counts come back in the document's kindCounts,
// the operating mode in the result; the JPEG settings are fresh and nothing is selected.
OpenResult openDocumentImage(const DocumentImage& image, const ScreenGeometry& screen,
                             Progress& progress, ErrorReporter& errors);

} // namespace pavelora
