// Changed and damaged files: the listed changes of the annotated files, every truncation and
// every single-byte change of a small valid file, and every seed of the fuzz corpus open or
// are refused. They go through the fuzz target, which aborts unless an opened document
// saves, opens and saves again to the same bytes and "EM007" is the only code reported.
#include "docfixture.h"
#include "fuzz/document_fuzz.h"

#include <QDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace pavelora::doctest;

namespace {

int openChecked(const QByteArray& bytes, std::string* saved = nullptr) {
    return paveloraFuzzOpen(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size()), saved);
}

} // namespace

TEST(ChangedFiles, EveryListedChangeHasItsOutcome) {
    int count = 0;
    for (const char* name : {"document-penrose1", "document-kepler-empty"}) {
        const QByteArray original = annotatedFile((std::string(name) + ".hex").c_str()).bytes;
        QFile list(dataFile(QString::fromUtf8(name) + QStringLiteral("-changes.txt")));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        std::vector<std::pair<QByteArray, QByteArray>> changes; // the outcome line, the bytes
        while (!list.atEnd()) {
            const QByteArray line = list.readLine().trimmed();
            const QList<QByteArray> words = line.split('#').front().simplified().split(' ');
            if (words[0].isEmpty()) {
                continue;
            }
            if (words.size() == 1) { // an outcome, then its edits
                changes.emplace_back(line, original);
                continue;
            }
            QByteArray& bytes = changes.back().second;
            const qsizetype at = words[0].toLongLong();
            const QByteArray hex = QByteArray::fromHex(words.mid(2).join());
            if (words[1] == "put") {
                bytes.replace(at, hex.size(), hex);
            } else if (words[1] == "insert") {
                bytes.insert(at, hex);
            } else {
                bytes.remove(at, words[2].toLongLong());
            }
        }
        for (const auto& [line, bytes] : changes) {
            const int outcome = openChecked(bytes);
            const char* seen = outcome == FuzzOpened          ? "opened"
                               : outcome == FuzzErrorReported ? "em007"
                               : readFromBytes(bytes)         ? "refused"
                                                              : "unreadable";
            EXPECT_TRUE(line.startsWith(seen)) << line.toStdString() << ": " << seen;
            ++count;
        }
    }
    EXPECT_GE(count, 70);
}

TEST(DamagedFiles, EveryTruncationOpensOrIsRefused) {
    const QByteArray whole = annotatedFile("document-penrose1.hex").bytes;
    const qsizetype printAt = whole.size() - 280;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        // Every record up to the print settings must be there; a part of those will do, and
        // what is missing of them reads as zero.
        const QByteArray cut = whole.left(length);
        ASSERT_EQ(openChecked(cut), length > printAt ? FuzzOpened : FuzzUnreadable) << length;
        if (length > printAt) {
            const QByteArray padded = cut + QByteArray(whole.size() - length, '\0');
            EXPECT_EQ(*readFromBytes(cut), *readFromBytes(padded)) << "length " << length;
        }
    }
    // Nothing after the print settings is looked at.
    EXPECT_EQ(*readFromBytes(whole + QByteArray(1000, '\x7F')), *readFromBytes(whole));
}

TEST(DamagedFiles, EverySingleByteChangeOpensOrIsRefused) {
    const AnnotatedFile file = annotatedFile("document-penrose1.hex");
    ASSERT_EQ(std::set<QByteArray>(file.roles.begin(), file.roles.end()),
              (std::set<QByteArray>{"index", "link", "print", "spare", "tag", "value", "zero"}));
    std::map<int, int> outcomes;
    for (qsizetype at = 0; at < file.bytes.size(); ++at) {
        const QByteArray& role = file.roles[static_cast<std::size_t>(at)];
        for (int value = 0; value < 256; ++value) {
            QByteArray bytes = file.bytes;
            if (static_cast<char>(value) == bytes.at(at)) {
                continue;
            }
            bytes[at] = static_cast<char>(value);
            std::string saved;
            const int outcome = openChecked(bytes, &saved);
            ++outcomes[outcome];
            if (role == "tag") {
                EXPECT_EQ(outcome, FuzzUnreadable) << "byte " << at;
            } else if (role == "print") {
                EXPECT_EQ(outcome, FuzzOpened) << "byte " << at;
            } else if (role != "value") { // bytes that carry nothing
                EXPECT_EQ(QByteArray::fromStdString(saved), file.bytes) << "byte " << at;
            }
        }
    }
    // Values out of range are refused; a tile that cannot be built reports "EM007".
    EXPECT_EQ(outcomes.size(), 3u);
}

TEST(DamagedFiles, EverySeedOfTheFuzzCorpusGivesTheOutcomeItsNameSays) {
    // "opened-", "unreadable-" or "em007-"; other seeds (kept from fuzzing runs) only must
    // not fail.
    const std::map<QString, int> expected = {{QStringLiteral("opened-"), FuzzOpened},
                                             {QStringLiteral("unreadable-"), FuzzUnreadable},
                                             {QStringLiteral("em007-"), FuzzErrorReported}};
    const QDir corpus(QStringLiteral(PAVELORA_FUZZ_CORPUS));
    int named = 0;
    for (const QString& name : corpus.entryList(QDir::Files)) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const int outcome = openChecked(file.readAll());
        for (const auto& [prefix, wanted] : expected) {
            if (name.startsWith(prefix)) {
                EXPECT_EQ(outcome, wanted) << name.toStdString();
                ++named;
            }
        }
    }
    EXPECT_GE(named, 8);
}
