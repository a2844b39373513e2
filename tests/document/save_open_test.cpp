// saveDocument and openDocument: files, progress, error codes and the restored document.
#include "docfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using namespace pavelora;
using namespace pavelora::doctest;
using pavelora::test::BoardFixture;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::vector<std::string> repeated(std::vector<std::string> calls, const std::string& call,
                                  int times) {
    calls.insert(calls.end(), static_cast<std::size_t>(times), call);
    return calls;
}

int edgeCount(const EdgeIndex& index) {
    int n = 0;
    for (const EdgeRow& row : index.rows) {
        n += static_cast<int>(row.edges.size());
    }
    return n;
}

// What the file holds comes back bit for bit (the tests save the opened document again);
// this checks what it does not hold: the records rebuilt from it and the fixed settings.
void expectRebuiltAsSaved(const Document& saved, const Document& opened) {
    EXPECT_EQ(opened.angles.sines, saved.angles.sines);
    EXPECT_EQ(opened.view.boardPixelWidth, saved.view.boardPixelWidth);
    EXPECT_EQ(opened.view.viewOpen, 1);
    EXPECT_EQ(opened.jpegSettings.quality, 100);
    EXPECT_EQ(opened.jpegSettings.density, 200);
    EXPECT_EQ(opened.jpegSettings.form, outputform::WithPairPattern);
    ASSERT_EQ(opened.board.count(), saved.board.count());
    for (int g = 0; g < saved.board.count(); ++g) {
        const TileGroup& sg = *saved.board.groups[g];
        const TileGroup& og = *opened.board.groups[g];
        ASSERT_EQ(og.count(), sg.count());
        for (int t = 0; t < sg.count(); ++t) {
            const Tile& ot = *og.tiles[t];
            EXPECT_EQ(ot.group, &og);
            EXPECT_EQ(ot.decorationCount(), sg.tiles[t]->decorationCount());
            EXPECT_EQ(edgeCount(ot.edgeIndex), edgeCount(sg.tiles[t]->edgeIndex));
            ASSERT_EQ(ot.outline.count(), sg.tiles[t]->outline.count());
            for (int e = 0; e < ot.outline.count(); ++e) {
                const TileEdge& oe = ot.outline.edges[e];
                EXPECT_EQ(oe.direction, sg.tiles[t]->outline.edges[e].direction);
                EXPECT_EQ(oe.owner, &ot);
                EXPECT_TRUE(oe.neighbour == nullptr || oe.neighbour->group == &og);
            }
        }
        EXPECT_EQ(og.minX, sg.minX);
        EXPECT_EQ(og.maxX, sg.maxX);
        EXPECT_EQ(og.minY, sg.minY);
        EXPECT_EQ(og.maxY, sg.maxY);
        EXPECT_EQ(edgeCount(og.boundary), edgeCount(sg.boundary));
        EXPECT_EQ(og.region, sg.region);
    }
}

class Files : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(Files, SaveOpenSaveGivesIdenticalBytesInEverySet) {
    for (std::int32_t set : kAllSets) {
        RichDocument rich(set);
        const QString first = path("first.pvd");
        const QString second = path("second.pvd");
        RecordingProgress progress;
        ASSERT_EQ(saveDocument(first, rich.doc(), true, progress), SaveStatus::Saved) << set;

        RecordingErrors errors;
        OpenResult opened = openDocument(first, testScreen(), progress, errors);
        ASSERT_EQ(opened.status, OpenStatus::Opened) << set;
        EXPECT_TRUE(errors.codes.empty());
        EXPECT_TRUE(opened.groupMode);
        expectRebuiltAsSaved(rich.doc(), *opened.document);

        ASSERT_EQ(saveDocument(second, *opened.document, opened.groupMode, progress),
                  SaveStatus::Saved);
        const QByteArray bytes = fileBytes(first);
        EXPECT_EQ(bytes.size(),
                  static_cast<qsizetype>(documentFileSize(*buildDocumentImage(rich.doc(), true))));
        EXPECT_EQ(fileBytes(second), bytes) << set;
    }
}

TEST_F(Files, SavingStepsTheProgressToExactlyOneHundred) {
    BoardFixture empty(setcode::Durer);
    RecordingProgress progress;
    ASSERT_EQ(saveDocument(path("a.pvd"), empty.doc, false, progress), SaveStatus::Saved);
    const std::vector<std::string> expected =
        repeated(repeated({"text:ファイル書き込み中", "start:100"}, "step:5", 10), "step:50", 1);
    EXPECT_EQ(progress.calls, expected);

    RichDocument rich(setcode::PenroseNo3);
    RecordingProgress richProgress;
    ASSERT_EQ(saveDocument(path("b.pvd"), rich.doc(), false, richProgress), SaveStatus::Saved);
    EXPECT_EQ(richProgress.calls, expected);
}

TEST_F(Files, OpeningStepsTwiceForEveryTileTheKindRecordsCount) {
    RichDocument rich(setcode::Kepler);
    // The palette counts say 3 + 4 + 5 + 6 tiles, the board holds 7 + 3 + 1.
    RecordingProgress ignored;
    ASSERT_EQ(saveDocument(path("k.pvd"), rich.doc(), false, ignored), SaveStatus::Saved);
    RecordingProgress progress;
    RecordingErrors errors;
    OpenResult opened = openDocument(path("k.pvd"), testScreen(), progress, errors);
    ASSERT_TRUE(opened.opened());
    EXPECT_FALSE(opened.groupMode);
    std::vector<std::string> expected =
        repeated({"text:ファイル読み込み中", "start:36"}, "step:1", 2 * 11);
    expected.push_back("text:入力データ表示準備中");
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(Files, EmptyPathsAndMissingFilesMakeNoProgressCalls) {
    BoardFixture f(setcode::PenroseNo1);
    RecordingProgress progress;
    RecordingErrors errors;
    EXPECT_EQ(saveDocument(QString(), f.doc, false, progress), SaveStatus::EmptyPath);
    OpenResult none = openDocument(QString(), testScreen(), progress, errors);
    EXPECT_EQ(none.status, OpenStatus::CannotOpen);
    OpenResult missing = openDocument(path("missing.pvd"), testScreen(), progress, errors);
    EXPECT_EQ(missing.status, OpenStatus::CannotOpen);
    EXPECT_TRUE(missing.showFailureMessage());
    EXPECT_EQ(missing.document, nullptr);
    OpenResult folder = openDocument(dir.path(), testScreen(), progress, errors);
    EXPECT_EQ(folder.status, OpenStatus::CannotOpen);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_TRUE(errors.codes.empty());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(Files, SavingIntoAMissingFolderFailsAtCreationAndLeavesNoFile) {
    BoardFixture f(setcode::PenroseNo1);
    f.putTile(kind::Dart, 0, 5.0, 5.0);
    RecordingProgress progress;
    const QString target = path("no such folder/doc.pvd");
    EXPECT_EQ(saveDocument(target, f.doc, false, progress), SaveStatus::CannotCreate);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(QDir(path("no such folder")).exists());
    // The image was built before the file was tried.
    EXPECT_EQ(progress.calls, repeated({"text:ファイル書き込み中", "start:100"}, "step:5", 4));
}

TEST_F(Files, ASaveThatCannotBuildItsImageLeavesTheOldFileUntouched) {
    const QString target = path("old.pvd");
    writeFile(target, "the document that was there");
    Document noTileSet;
    RecordingProgress progress;
    EXPECT_EQ(saveDocument(target, noTileSet, false, progress), SaveStatus::NotBuilt);
    EXPECT_EQ(fileBytes(target), QByteArray("the document that was there"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("old.pvd")});
}

TEST_F(Files, AWriteFailureIsAFailedSaveAndKeepsTheOldFile) {
    // Files may grow to 4 KiB only; a larger write fails with EFBIG instead of a signal.
    RichDocument rich(setcode::PenroseNo3, 14, 6);
    ASSERT_GT(saveToBytes(rich.doc()).size(), 4096);
    const QString target = path("old.pvd");
    const QByteArray old(1000, 'o');
    writeFile(target, old);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    RecordingProgress progress;
    const SaveStatus status = saveDocument(target, rich.doc(), false, progress);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(status, SaveStatus::WriteFailed);
    EXPECT_EQ(fileBytes(target), old);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("old.pvd")}); // no temporary file left behind

    // Without the limit the same save replaces the old file entirely.
    ASSERT_EQ(saveDocument(target, rich.doc(), false, progress), SaveStatus::Saved);
    EXPECT_EQ(fileBytes(target), saveToBytes(rich.doc()));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("old.pvd")});
}

TEST_F(Files, UnreadableFilesAreRefusedWithoutAnErrorCode) {
    BoardFixture f(setcode::PenroseNo1);
    f.putTile(kind::Dart, 0, 5.0, 5.0);
    QByteArray bytes = saveToBytes(f.doc);
    putF64(bytes, 14 + 24, 1e300); // zoom
    writeFile(path("zoom.pvd"), bytes);
    writeFile(path("text.pvd"), "PVD");
    for (const char* name : {"zoom.pvd", "text.pvd"}) {
        RecordingProgress progress;
        RecordingErrors errors;
        OpenResult result = openDocument(path(name), testScreen(), progress, errors);
        EXPECT_EQ(result.status, OpenStatus::Unreadable) << name;
        EXPECT_TRUE(result.showFailureMessage());
        EXPECT_EQ(result.document, nullptr);
        EXPECT_TRUE(errors.codes.empty());
        EXPECT_EQ(progress.calls, std::vector<std::string>{"text:ファイル読み込み中"});
    }
    EXPECT_STREQ(OpenFailedMessage, "ファイルからの読み込みができませんでした");
    EXPECT_STREQ(SaveFailedMessage, "ファイルへの保存ができませんでした");
}

TEST(OpenDocument, KindRecordsInAnotherOrderGiveColoursByPositionAndCountsByKind) {
    BoardFixture f(setcode::PenroseNo3);
    auto image = buildDocumentImage(f.doc, false);
    std::vector<KindRecord>& kinds = image->tileSet.kinds;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        kinds[i].colour = Rgb{static_cast<std::uint8_t>(100 + i), 0, 0};
        kinds[i].tileCount = static_cast<std::int32_t>(10 * (i + 1));
    }
    std::reverse(kinds.begin(), kinds.end());
    RecordingProgress progress;
    RecordingErrors errors;
    OpenResult opened = openDocumentImage(*image, testScreen(), progress, errors);
    ASSERT_TRUE(opened.opened());
    const TileSet& set = *opened.document->tileSet;
    const std::size_t n = set.kindCodes.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Colour of the record at the kind's position, which now names kind n - 1 - i.
        EXPECT_EQ(set.kindColours[i].red, 100 + (n - 1 - i));
        // Count of the record naming the kind, wherever it stands.
        EXPECT_EQ(opened.document->kindCounts[i], static_cast<std::int32_t>(10 * (i + 1)));
    }
    // A record whose kind the set does not have counts for no palette cell.
    kinds[0].kind = kind::Decagon;
    opened = openDocumentImage(*image, testScreen(), progress, errors);
    ASSERT_TRUE(opened.opened());
    EXPECT_EQ(opened.document->kindCounts[n - 1], 0);
    EXPECT_TRUE(errors.codes.empty());
}

TEST(OpenDocument, AKindTheSetLacksOrABadRotationEndsWithEM007) {
    RichDocument rich(setcode::PenroseNo1);
    const auto valid = buildDocumentImage(rich.doc(), false);
    for (int variant = 0; variant < 2; ++variant) {
        DocumentImage image = *valid;
        TileRecord& tile = image.groups[1].tiles[1];
        if (variant == 0) {
            tile.kind = kind::WideDiamond; // of "Penrose No.2", also four edges
        } else {
            tile.rotation = 20;
        }
        RecordingProgress progress;
        RecordingErrors errors;
        OpenResult result = openDocumentImage(image, testScreen(), progress, errors);
        EXPECT_EQ(result.status, OpenStatus::ErrorReported);
        EXPECT_FALSE(result.showFailureMessage());
        EXPECT_EQ(result.document, nullptr);
        EXPECT_EQ(errors.codes, std::vector<std::string>{"EM007"});
        // Group 0 built and linked, then the first tile of group 1 before the bad one.
        const int tilesBefore = rich.doc().board.groups[0]->count() * 2 + 1;
        EXPECT_EQ(std::count(progress.calls.begin(), progress.calls.end(), "step:1"), tilesBefore);
    }
}

TEST(OpenDocument, JoinedIndicesOutsideTheGroupLeaveTheEdgeFree) {
    RichDocument rich(setcode::Durer);
    auto image = buildDocumentImage(rich.doc(), false);
    TileRecord& tile = image->groups[0].tiles[0];
    const int count = static_cast<int>(image->groups[0].tiles.size());
    tile.edges[0].joinedTile = count;
    tile.edges[1].joinedTile = -7;
    tile.edges[2].joinedTile = count - 1;
    RecordingProgress progress;
    RecordingErrors errors;
    OpenResult opened = openDocumentImage(*image, testScreen(), progress, errors);
    ASSERT_TRUE(opened.opened());
    const TileGroup& group = *opened.document->board.groups[0];
    const Tile& first = *group.tiles[0];
    EXPECT_EQ(first.outline.edges[0].neighbour, nullptr);
    EXPECT_EQ(first.outline.edges[1].neighbour, nullptr);
    EXPECT_EQ(first.outline.edges[2].neighbour, group.tiles[count - 1].get());
}

TEST(OpenDocument, OpenedTilesCanBeFoundAndJoinedTo) {
    BoardFixture f(setcode::PenroseNo1);
    f.putTile(kind::Dart, 0, 10.0, 10.0);
    OpenResult opened = openFromBytes(saveToBytes(f.doc));
    ASSERT_TRUE(opened.opened());
    f.doc = std::move(*opened.document);
    Tile* dart = f.doc.board.groups[0]->tiles[0].get();
    const BoardPixel at = f.pixelOf(10.0, 10.0);
    EXPECT_EQ(tileAtPixel(f.doc, at.x, at.y), dart);
    // A Kaite laid against the opened dart joins it.
    const auto [x, y] = f.aligned(kind::Kaite, 10, 0, *dart, 0);
    EXPECT_NE(joinTile(f.doc, f.putTile(kind::Kaite, 10, x, y)), nullptr);
}
