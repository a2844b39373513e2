#pragma once

#include "core/board/board.h"

#include <QString>

#include <memory>
#include <vector>

class QLockFile;

namespace pavelora {

// The recovery copy of a changed document: written with the document writer (atomically)
// into a folder of the user's cache, named after the document, beside a note of the
// document's path. A lock file beside it tells a running program's copy from one left
// behind by a program that ended without deleting it (a crash, a kill, a power cut).
class RecoveryStore {
public:
    // A copy left behind: the copy and the path of its document (empty: never saved).
    struct LeftCopy {
        QString copyPath;
        QString documentPath;
    };

    // The folder of the copies in the user's cache ("recovery" in the cache location).
    static QString defaultFolder();

    explicit RecoveryStore(QString folder);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // Writes the copy of the document whose file is `documentPath` (empty while it has
    // none). The copy of another path that this store wrote before is deleted.
    bool write(const Document& doc, bool groupMode, const QString& documentPath);
    // Deletes the copy this store holds, if any.
    void remove();
    const QString& copyPath() const { return copyPath_; }

    // The copies that no running program holds, the most recent first.
    std::vector<LeftCopy> leftCopies() const;
    // Makes a left copy this store's own (a restored document goes on with it), or deletes
    // it for good.
    void adopt(const LeftCopy& copy);
    void discard(const LeftCopy& copy);

private:
    bool hold(const QString& stem);
    void release();

    QString folder_;
    QString documentPath_; // of the copy held
    QString copyPath_;     // empty while none is held
    std::unique_ptr<QLockFile> lock_;
};

} // namespace pavelora
