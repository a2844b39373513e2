// Document files against the annotated files in tests/data: the layout of every field, the
// listed changes, every truncation and every single-byte change, and the seeds of the fuzz
// corpus. Files go through the fuzz target, which aborts unless an opened document saves,
// opens and saves again to the same bytes and "EM007" is the only code reported.
#include "docfixture.h"
#include "fuzz/document_fuzz.h"

#include <QDir>

#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <unistd.h>
#include <utility>

using namespace pavelora;
using namespace pavelora::doctest;

namespace {

// "opened", "em007", "refused" (read, but a value is refused before anything is built) or
// "unreadable" (not read as a document). With `saved`, an opened file's bytes saved again.
std::string outcome(const QByteArray& bytes, std::string* saved = nullptr) {
    const int opened = paveloraFuzzOpen(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()), saved);
    return opened == FuzzOpened          ? "opened"
           : opened == FuzzErrorReported ? "em007"
           : readFromBytes(bytes)        ? "refused"
                                         : "unreadable";
}

} // namespace

TEST(DocumentFormat, TheAnnotatedFileOpensWithItsValuesAndSavesToItsOwnBytes) {
    const QByteArray bytes = annotatedFile("document-penrose1.hex").bytes;
    const auto image = readFromBytes(bytes);
    ASSERT_NE(image, nullptr);
    RecordingProgress progress;
    RecordingErrors errors;
    const OpenResult opened = openDocumentImage(*image, testScreen(), progress, errors);
    ASSERT_TRUE(opened.opened());
    const Document& doc = *opened.document;
    const View& view = doc.view;
    EXPECT_EQ(std::tuple(view.boardCode, view.tileSizeRatio, view.zoom, view.boardColour),
              std::tuple(60002, 0.75, 1.5, Rgb{12, 34, 56}));
    EXPECT_EQ(std::tuple(doc.boardReserved, doc.patternOn, opened.groupMode),
              std::tuple(0xA1B2C3D4u, 0, true));
    const TileSet& set = *doc.tileSet;
    EXPECT_EQ(std::tuple(set.code, set.outlineInset, set.outlineRatio2),
              std::tuple(setcode::PenroseNo1, 0.05, 0.25));
    EXPECT_EQ(set.kindColours, (std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(set.pairColours, (std::vector<Rgb>{{7, 8, 9}, {10, 11, 12}}));
    EXPECT_EQ(doc.kindCounts, (std::vector<std::int32_t>{3, 5}));
    const PrintSettings& print = doc.printSettings;
    EXPECT_EQ(print.title, QStringLiteral("敷き詰め A"));
    EXPECT_EQ(std::tuple(print.paperMarginX, print.paperMarginY, print.cutMarginX, print.cutMarginY,
                         print.printForm, print.reserved),
              std::tuple(5, 6, 7, -8, 2, 0x55));

    ASSERT_EQ(doc.board.count(), 2);
    ASSERT_EQ(doc.board.groups[0]->count(), 2);
    const Tile& dart = *doc.board.groups[0]->tiles[0];
    const Tile& kaite = *doc.board.groups[0]->tiles[1];
    const Tile& loose = *doc.board.groups[1]->tiles[0];
    EXPECT_EQ(std::tuple(dart.kind, dart.rotation, dart.x, dart.y),
              std::tuple(kind::Dart, 7, 10.25, 8.5));
    EXPECT_EQ(std::tuple(kaite.kind, kaite.rotation), std::tuple(kind::Kaite, 17));
    EXPECT_EQ(std::tuple(loose.kind, loose.rotation, loose.x, loose.y),
              std::tuple(kind::Kaite, 5, 20.0, 14.0));
    const TileEdge& edge = dart.outline.edges[1]; // the stored, placed coordinates
    EXPECT_EQ(
        std::tuple(edge.x1, edge.y1, edge.x2, edge.y2),
        std::tuple(11.088525491562422, 8.227546551997989, 10.48176274578121, 8.668385491217345));
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(dart.outline.edges[e].neighbour, e == 0 ? &kaite : nullptr);
        EXPECT_EQ(kaite.outline.edges[e].neighbour, e == 0 ? &dart : nullptr);
    }
    EXPECT_EQ(saveToBytes(doc, opened.groupMode), bytes);
}

TEST(ChangedFiles, EveryListedChangeAndEverySeedOfTheFuzzCorpusHasItsOutcome) {
    struct Change {
        QByteArray line, bytes;          // the outcome line, the changed file
        std::optional<QByteArray> saved; // after "saves": the bytes it saves to
    };
    int changes = 0;
    for (const std::string name : {"document-penrose1", "document-kepler-empty"}) {
        const QByteArray original = annotatedFile(name + ".hex").bytes;
        QFile list(QString::fromStdString(PAVELORA_TEST_DATA "/" + name + "-changes.txt"));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly));
        std::vector<Change> cases;
        while (!list.atEnd()) {
            const QByteArray line = list.readLine().trimmed();
            const QList<QByteArray> words = line.split('#').front().simplified().split(' ');
            if (words[0] == "saves") {
                cases.back().saved = cases.back().bytes;
            } else if (words.size() == 1 && !words[0].isEmpty()) { // an outcome, then edits
                cases.push_back({line, original, std::nullopt});
            } else if (words.size() > 2) {
                QByteArray& bytes = cases.back().saved ? *cases.back().saved : cases.back().bytes;
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
        }
        for (const Change& change : cases) {
            std::string saved;
            EXPECT_TRUE(change.line.startsWith(outcome(change.bytes, &saved)))
                << change.line.toStdString();
            if (change.saved) {
                EXPECT_EQ(QByteArray::fromStdString(saved), *change.saved)
                    << change.line.toStdString();
            }
        }
        changes += static_cast<int>(cases.size());
    }
    EXPECT_GE(changes, 70);

    const QDir corpus(QStringLiteral(PAVELORA_FUZZ_CORPUS));
    const QStringList seeds = corpus.entryList(QDir::Files);
    EXPECT_GE(seeds.size(), 8);
    for (const QString& name : seeds) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(name.startsWith(QString::fromStdString(outcome(file.readAll()) + "-")))
            << name.toStdString();
    }
}

TEST(DamagedFiles, EveryTruncationOpensOrIsUnreadable) {
    const QByteArray whole = annotatedFile("document-penrose1.hex").bytes;
    const qsizetype printAt = whole.size() - 280;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        // Every record up to the print settings must be there; a part of those will do, and
        // what is missing of them reads as zero.
        const QByteArray cut = whole.left(length);
        ASSERT_EQ(outcome(cut), length > printAt ? "opened" : "unreadable") << length;
        if (length > printAt) {
            const QByteArray padded = cut + QByteArray(whole.size() - length, '\0');
            EXPECT_EQ(*readFromBytes(cut), *readFromBytes(padded)) << length;
        }
    }
    // Nothing after the print settings is looked at.
    EXPECT_EQ(*readFromBytes(whole + QByteArray(1000, '\x7F')), *readFromBytes(whole));
}

TEST(DamagedFiles, EverySingleByteChangeOpensOrIsRefused) {
    const AnnotatedFile file = annotatedFile("document-penrose1.hex");
    ASSERT_EQ(std::set<QByteArray>(file.roles.begin(), file.roles.end()),
              (std::set<QByteArray>{"index", "link", "print", "tag", "value", "zero"}));
    std::map<std::string, int> outcomes;
    for (qsizetype at = 0; at < file.bytes.size(); ++at) {
        const QByteArray& role = file.roles[static_cast<std::size_t>(at)];
        for (int value = 0; value < 256; ++value) {
            QByteArray bytes = file.bytes;
            if (std::exchange(bytes[at], static_cast<char>(value)) == static_cast<char>(value)) {
                continue;
            }
            std::string saved;
            const std::string seen = outcome(bytes, &saved);
            ++outcomes[seen];
            if (role == "tag") {
                EXPECT_EQ(seen, "unreadable") << at;
            } else if (role == "print") { // saved back as read, whatever the title bytes
                EXPECT_EQ(seen, "opened") << at;
                EXPECT_EQ(QByteArray::fromStdString(saved), bytes) << at;
            } else if (role != "value") { // bytes that carry nothing
                EXPECT_EQ(QByteArray::fromStdString(saved), file.bytes) << at;
            }
        }
    }
    EXPECT_EQ(outcomes.size(), 4u);
}

TEST(DamagedFiles, APipeIsReadNoFurtherThanTheLargestPlausibleDocument) {
    const QByteArray whole = annotatedFile("document-penrose1.hex").bytes;
    // Reads from a pipe holding `bytes` with a limit; how many bytes were taken.
    const auto readPipe = [](const QByteArray& bytes, qsizetype limit) {
        int ends[2];
        EXPECT_TRUE(pipe(ends) == 0 &&
                    write(ends[1], bytes.constData(), bytes.size()) == bytes.size());
        close(ends[1]);
        QFile in;
        in.open(ends[0], QIODevice::ReadOnly | QIODevice::Unbuffered, QFile::AutoCloseHandle);
        const bool read = readDocumentImage(in, static_cast<std::size_t>(limit)) != nullptr;
        return std::pair(read, bytes.size() - in.readAll().size());
    };
    EXPECT_EQ(readPipe(whole, whole.size()), std::pair(true, whole.size()));
    // Within the limit the print settings may be cut short as in a file; one record less
    // is no document.
    const QByteArray more = whole + QByteArray(1000, '\0');
    EXPECT_EQ(readPipe(more, whole.size() - 279), std::pair(true, whole.size() - 279));
    EXPECT_FALSE(readPipe(more, whole.size() - 280).first);
    // A count beyond the limit is refused before its records are read.
    QByteArray huge = more;
    huge.replace(178, 4, QByteArray::fromHex("FFFFFF7F")); // tiles of the first group
    EXPECT_EQ(readPipe(huge, static_cast<qsizetype>(maxDocumentBytes())),
              std::pair(false, qsizetype{190}));

    // The limit is the size of a document of a million lone tiles with the most edges: one
    // decagon more adds a group, a tile and ten edges to the file.
    test::BoardFixture f(setcode::Kepler);
    f.putTile(kind::Decagon, 0, 10.0, 10.0);
    const qsizetype one = saveToBytes(f.doc).size();
    f.putTile(kind::Decagon, 0, 20.0, 10.0);
    const auto perTile = static_cast<std::size_t>(saveToBytes(f.doc).size() - one);
    EXPECT_EQ(perTile, 12u + 40u + 10u * 48u);
    const std::size_t million = static_cast<std::size_t>(one) + (MaxPlausibleTiles - 1) * perTile;
    EXPECT_GE(maxDocumentBytes(), million);
    EXPECT_LT(maxDocumentBytes(), million + 1024); // the kind records of a larger set at most
}
