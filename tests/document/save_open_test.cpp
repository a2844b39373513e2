// saveDocument and openDocument: files, progress and the restored document.
#include "docfixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <tuple>

using namespace pavelora;
using namespace pavelora::doctest;

namespace {

std::vector<std::string> calls(std::vector<std::string> first, const std::string& call, int times,
                               const std::vector<std::string>& last = {}) {
    first.insert(first.end(), static_cast<std::size_t>(times), call);
    first.insert(first.end(), last.begin(), last.end());
    return first;
}

class Files : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QByteArray bytes(const char* name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const char* name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
};

} // namespace

TEST_F(Files, SaveOpenSaveGivesIdenticalBytesInEverySet) {
    for (const auto& [set, name] : TileSetCatalogue) {
        const RichDocument rich(set);
        const Document& saved = rich.f.doc;
        RecordingProgress saving;
        ASSERT_EQ(saveDocument(path("1.pvd"), saved, true, saving), SaveStatus::Saved);
        // Ten steps of 5 and one of 50, whatever the document holds.
        EXPECT_EQ(saving.calls,
                  calls({"text:ファイル書き込み中", "start:100"}, "step:5", 10, {"step:50"}));
        RecordingProgress opening;
        RecordingErrors errors;
        const OpenResult opened = openDocument(path("1.pvd"), testScreen(), opening, errors);
        ASSERT_TRUE(opened.opened()) << set;
        EXPECT_TRUE(errors.codes.empty() && opened.groupMode);
        ASSERT_EQ(saveDocument(path("2.pvd"), *opened.document, true, saving), SaveStatus::Saved);
        ASSERT_EQ(bytes("2.pvd"), bytes("1.pvd")) << set;

        // Twice the tiles the kind records count (3 + 4 + ...): one step per tile built and
        // one per tile linked.
        const int kinds = static_cast<int>(saved.kindCounts.size());
        EXPECT_EQ(opening.calls,
                  calls({"text:ファイル読み込み中", "start:" + std::to_string(kinds * (kinds + 5))},
                        "step:1", 2 * saved.board.tileCount(), {"text:入力データ表示準備中"}));
        // What the file does not hold is rebuilt as it was, or starts afresh.
        const Document& doc = *opened.document;
        EXPECT_EQ(std::tuple(doc.jpegSettings.quality, doc.jpegSettings.density,
                             doc.jpegSettings.form, doc.view.boardPixelWidth),
                  std::tuple(100, 200, outputform::WithPairPattern, saved.view.boardPixelWidth));
        for (int g = 0; g < saved.board.count(); ++g) {
            const TileGroup& was = *saved.board.groups[g];
            const TileGroup& is = *doc.board.groups[g];
            EXPECT_EQ(
                std::tuple(is.minX, is.maxX, is.minY, is.maxY, is.region, is.boundary.count()),
                std::tuple(was.minX, was.maxX, was.minY, was.maxY, was.region,
                           was.boundary.count()));
            for (int t = 0; t < was.count(); ++t) {
                EXPECT_EQ(is.tiles[t]->edgeIndex.count(), was.tiles[t]->edgeIndex.count());
                EXPECT_EQ(is.tiles[t]->decorationCount(), was.tiles[t]->decorationCount());
            }
        }
    }
}

TEST_F(Files, FilesThatCannotBeOpenedOrReadAreRefusedWithoutAnErrorCode) {
    write("text.pvd", "PVD");
    // No progress at all when the file cannot be opened, only its text when it is not read.
    const std::pair<QString, OpenStatus> cases[] = {{QString(), OpenStatus::CannotOpen},
                                                    {path("missing.pvd"), OpenStatus::CannotOpen},
                                                    {dir.path(), OpenStatus::CannotOpen},
                                                    {path("text.pvd"), OpenStatus::Unreadable}};
    RecordingProgress progress;
    for (const auto& [name, status] : cases) {
        RecordingErrors errors;
        const OpenResult result = openDocument(name, testScreen(), progress, errors);
        EXPECT_EQ(std::tuple(result.status, result.showFailureMessage(), result.document.get()),
                  std::tuple(status, true, nullptr))
            << name.toStdString();
        EXPECT_TRUE(errors.codes.empty());
    }
    EXPECT_EQ(progress.calls, std::vector<std::string>{"text:ファイル読み込み中"});
}

TEST_F(Files, AFailedSaveLeavesEveryFileAsItWas) {
    const RichDocument rich(setcode::PenroseNo1, 20);
    RecordingProgress progress;
    EXPECT_EQ(saveDocument(QString(), rich.f.doc, false, progress), SaveStatus::EmptyPath);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_EQ(saveDocument(path("no such folder/doc.pvd"), rich.f.doc, false, progress),
              SaveStatus::CannotCreate);
    // The image was built before the file was tried.
    EXPECT_EQ(progress.calls, calls({"text:ファイル書き込み中", "start:100"}, "step:5", 4));
    EXPECT_TRUE(entries().isEmpty());

    // A save over an existing file replaces it entirely (a failed write keeps it: see the
    // file-size limit in tests/cli).
    write("old.pvd", QByteArray(1000, 'o'));
    ASSERT_EQ(saveDocument(path("old.pvd"), rich.f.doc, false, progress), SaveStatus::Saved);
    EXPECT_EQ(bytes("old.pvd"), saveToBytes(rich.f.doc));
}

// A board filled by the generator (thousands of tiles, one group) comes back with every join
// and saves to the same bytes again.
TEST_F(Files, AGeneratedBoardSavesOpensAndSavesToTheSameBytes) {
    for (const std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3}) {
        test::BoardFixture f(set, 60010);
        f.doc.view.tileSizeRatio = 0.4;
        f.doc.kindCounts.assign(static_cast<std::size_t>(f.doc.tileSet->kindCount()), 0);
        const auto made = generateOnBoard(f.doc, {PatchSeed::Sun, 0, 0, 0});
        ASSERT_TRUE(made.has_value());
        RecordingProgress progress;
        RecordingErrors errors;
        ASSERT_EQ(saveDocument(path("g1.pvd"), f.doc, false, progress), SaveStatus::Saved);
        const OpenResult opened = openDocument(path("g1.pvd"), testScreen(), progress, errors);
        ASSERT_TRUE(opened.opened()) << set;
        ASSERT_EQ(saveDocument(path("g2.pvd"), *opened.document, false, progress),
                  SaveStatus::Saved);
        EXPECT_EQ(bytes("g2.pvd"), bytes("g1.pvd")) << set;
        const TileGroup& group = *opened.document->board.groups.at(0);
        EXPECT_EQ(group.count(), made->group->count());
        EXPECT_EQ(group.boundary.count(), made->group->boundary.count());
        EXPECT_EQ(opened.document->kindCounts, f.doc.kindCounts);
    }
}
