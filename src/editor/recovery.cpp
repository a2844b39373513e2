#include "editor/recovery.h"

#include "document/documentio.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace pavelora {

namespace {

const QString kCopySuffix = QStringLiteral(".pvd");
const QString kPathSuffix = QStringLiteral(".path");
const QString kLockSuffix = QStringLiteral(".lock");

// The document's name and a short hash of its whole path, so that documents of the same
// name in different folders keep apart; an unnamed document gets a name of its own.
QString stemFor(const QString& documentPath) {
    if (documentPath.isEmpty()) {
        return QStringLiteral("無題-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    }
    const QByteArray hash =
        QCryptographicHash::hash(documentPath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QFileInfo(documentPath).completeBaseName() + QLatin1Char('-') +
           QString::fromLatin1(hash.left(8));
}

QString stemOf(const QString& copyPath) {
    return copyPath.chopped(kCopySuffix.size());
}

void removeFiles(const QString& stem) {
    QFile::remove(stem + kCopySuffix);
    QFile::remove(stem + kPathSuffix);
}

} // namespace

QString RecoveryStore::defaultFolder() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/recovery");
}

RecoveryStore::RecoveryStore(QString folder) : folder_(std::move(folder)) {}

RecoveryStore::~RecoveryStore() = default; // the copy stays: only remove() deletes it

bool RecoveryStore::hold(const QString& stem) {
    auto lock = std::make_unique<QLockFile>(stem + kLockSuffix);
    lock->setStaleLockTime(0); // stale only when its program is gone
    if (!lock->tryLock(0)) {
        return false;
    }
    lock_ = std::move(lock);
    copyPath_ = stem + kCopySuffix;
    return true;
}

void RecoveryStore::release() {
    lock_.reset(); // unlocks and deletes the lock file
    copyPath_.clear();
    documentPath_.clear();
}

bool RecoveryStore::write(const Document& doc, bool groupMode, const QString& documentPath) {
    if (folder_.isEmpty()) {
        return false;
    }
    if (!copyPath_.isEmpty() && documentPath != documentPath_) {
        remove(); // the document took another name
    }
    if (copyPath_.isEmpty()) {
        if (!QDir().mkpath(folder_)) {
            return false;
        }
        const QString stem = QDir(folder_).filePath(stemFor(documentPath));
        // Another running program may be editing the same document.
        if (!hold(stem) &&
            !hold(stem + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(8))) {
            return false;
        }
        documentPath_ = documentPath;
        QSaveFile note(stemOf(copyPath_) + kPathSuffix);
        if (!note.open(QIODevice::WriteOnly) || note.write(documentPath.toUtf8()) < 0 ||
            !note.commit()) {
            remove();
            return false;
        }
    }
    SilentProgress progress;
    return saveDocument(copyPath_, doc, groupMode, progress) == SaveStatus::Saved;
}

void RecoveryStore::remove() {
    if (!copyPath_.isEmpty()) {
        removeFiles(stemOf(copyPath_));
    }
    release();
}

std::vector<RecoveryStore::LeftCopy> RecoveryStore::leftCopies() const {
    std::vector<std::pair<QDateTime, LeftCopy>> found;
    if (folder_.isEmpty()) {
        return {};
    }
    const QDir dir(folder_);
    const QFileInfoList copies =
        dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : copies) {
        const QString stem = stemOf(info.absoluteFilePath());
        if (stem + kCopySuffix == copyPath_) {
            continue; // this store's own
        }
        QLockFile lock(stem + kLockSuffix);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0)) {
            continue; // a running program's
        }
        QFile note(stem + kPathSuffix);
        const QString documentPath =
            note.open(QIODevice::ReadOnly) ? QString::fromUtf8(note.readAll()) : QString();
        found.emplace_back(info.lastModified(), LeftCopy{info.absoluteFilePath(), documentPath});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<LeftCopy> result;
    for (auto& entry : found) {
        result.push_back(std::move(entry.second));
    }
    return result;
}

void RecoveryStore::adopt(const LeftCopy& copy) {
    remove();
    if (hold(stemOf(copy.copyPath))) {
        documentPath_ = copy.documentPath;
    }
}

void RecoveryStore::discard(const LeftCopy& copy) {
    removeFiles(stemOf(copy.copyPath));
}

} // namespace pavelora
