// --check and --complete-forced run as the program itself, on saved documents.
#include "core/fixture.h"
#include "core/tiling/forcing.h"
#include "core/tiling/vertexatlas.h"
#include "document/documentio.h"
#include "runprogram.h"
#include "support/roundvertex.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pavelora;
using pavelora::test::CommandResult;
using pavelora::test::run;

namespace {

// Tiles round the point (10, 14) with the given corners there, anticlockwise from direction
// `turn`, as one joined group of a "Penrose No.1" document.
QString saveRound(const QTemporaryDir& dir, const QString& name, int turn,
                  const std::vector<StarCorner>& corners) {
    test::BoardFixture f(setcode::PenroseNo1);
    f.doc.kindCounts = {0, 0};
    const auto atlas = VertexAtlas::create(*f.doc.tileSet, f.doc.angles);
    TileGroup* group = appendGroup(f.doc.board, newGroup());
    for (const TilePlacement& p :
         testsupport::roundVertex(*atlas, 1.0, 10.0, 14.0, turn, corners)) {
        EXPECT_NE(addJoinedTile(f.doc, *group, p), nullptr);
    }
    const QString path = dir.filePath(name);
    SilentProgress silent;
    EXPECT_EQ(saveDocument(path, f.doc, false, silent), SaveStatus::Saved);
    return path;
}

int tilesIn(const QString& path) {
    SilentProgress silent;
    struct : ErrorReporter {
        void reportError(const char*) override {}
    } quiet;
    const OpenResult opened = openDocument(path, {96 / 25.4, 96 / 25.4, 1024, 768}, silent, quiet);
    return opened.opened() ? opened.document->board.tileCount() : -1;
}

} // namespace

TEST(RulesCommand, CheckPrintsEachDeadEndAndExitsWithOne) {
    QTemporaryDir dir;
    // A dart's wing and three kites' apexes: no star has them together.
    const QString bad =
        saveRound(dir, QStringLiteral("bad.pvd"), 3,
                  {{kind::Dart, 1}, {kind::Kaite, 0}, {kind::Kaite, 0}, {kind::Kaite, 0}});
    const CommandResult r = run({QStringLiteral("--check"), bad});
    EXPECT_EQ(r.exitCode, 1) << qPrintable(r.errors);
    const QStringList lines = r.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    const QStringList xy = lines[0].split(QLatin1Char(' '));
    ASSERT_EQ(xy.size(), 2);
    // The corner is the point plus a tile unit's vertex minus itself: rounding only.
    EXPECT_NEAR(xy[0].toDouble(), 10.0, 1e-12);
    EXPECT_NEAR(xy[1].toDouble(), 14.0, 1e-12);

    // A part of a sun is no dead end.
    const StarCorner apex{kind::Kaite, 0};
    const QString good = saveRound(dir, QStringLiteral("good.pvd"), 1, {apex, apex, apex});
    const CommandResult ok = run({QStringLiteral("--check"), good});
    EXPECT_EQ(ok.exitCode, 0) << qPrintable(ok.errors);
    EXPECT_TRUE(ok.output.isEmpty());
}

TEST(RulesCommand, CompleteForcedWritesTheDocumentWithTheForcedTiles) {
    QTemporaryDir dir;
    const StarCorner apex{kind::Kaite, 0};
    const QString four = saveRound(dir, QStringLiteral("four.pvd"), 1, {apex, apex, apex, apex});
    const QString out = dir.filePath(QStringLiteral("out.pvd"));
    const CommandResult r = run({QStringLiteral("--complete-forced"), four, out});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.errors);
    EXPECT_EQ(tilesIn(four), 4);
    EXPECT_GE(tilesIn(out), 5); // the sun's fifth kite at least
    EXPECT_EQ(run({QStringLiteral("--check"), out}).exitCode, 0);

    // Unreadable input and an output that cannot be written.
    EXPECT_EQ(
        run({QStringLiteral("--complete-forced"), dir.filePath(QStringLiteral("no.pvd")), out})
            .exitCode,
        2);
    EXPECT_EQ(run({QStringLiteral("--complete-forced"), four,
                   dir.filePath(QStringLiteral("missing/out.pvd"))})
                  .exitCode,
              2);
}

TEST(RulesCommand, SetsWithoutVertexStarsAreRefused) {
    QTemporaryDir dir;
    test::BoardFixture f(setcode::Kepler);
    f.doc.kindCounts = {0, 0, 0, 0};
    f.putTile(kind::Decagon, 0, 10.0, 10.0);
    const QString path = dir.filePath(QStringLiteral("kepler.pvd"));
    SilentProgress silent;
    ASSERT_EQ(saveDocument(path, f.doc, false, silent), SaveStatus::Saved);
    const CommandResult r = run({QStringLiteral("--check"), path});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("Kepler")));
}
