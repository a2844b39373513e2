#include "core/fixture.h"
#include "document/documentio.h"
#include "render/jpegdecode.h"
#include "runprogram.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace pavelora;
using pavelora::test::CommandResult;
using pavelora::test::run;

namespace {

struct NoErrors : ErrorReporter {
    void reportError(const char* code) override { ADD_FAILURE() << code; }
};

// A saved "Ａ４縦" document of the darts-and-kites set holding one dart and one kite, far
// apart, at 2 cm per tile unit.
QString saveDocumentWithTwoTiles(const QTemporaryDir& dir) {
    test::BoardFixture f(setcode::PenroseNo1);
    f.doc.patternOn = 1;
    f.doc.kindCounts = {1, 1};
    f.doc.view.tileSizeRatio = 2.0;
    f.putTile(kind::Dart, 0, 5.0, 20.0);
    f.putTile(kind::Kaite, 0, 15.0, 8.0);
    const QString path = dir.filePath(QStringLiteral("two.pvd"));
    SilentProgress silent;
    EXPECT_EQ(saveDocument(path, f.doc, false, silent), SaveStatus::Saved);
    return path;
}

} // namespace

TEST(ExportCommand, WritesTheBoardAtItsTrueSize) {
    QTemporaryDir dir;
    const QString document = saveDocumentWithTwoTiles(dir);
    const QString jpeg = dir.filePath(QStringLiteral("two.jpg"));

    // Without the pair pattern, so that tile bodies are plain.
    const CommandResult result = run({QStringLiteral("--export-jpeg"), document, jpeg,
                                      QStringLiteral("--form"), QStringLiteral("2")});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
    const auto image = test::decodeJpeg(jpeg);
    ASSERT_TRUE(image);
    // 210 × 297 mm at 200 dpi.
    EXPECT_EQ((std::array{image->width, image->height, image->densityUnit, image->xDensity}),
              (std::array{1653, 2338, 1, 200}));
    // The dart's body (200, 0, 0) between its tip and its position, at (5, 20.9) cm; the
    // kite's (0, 200, 200) at its position (15, 8) cm. Pixels per cm: 200 / 2.54.
    const double ppc = 200 / 2.54;
    auto colourAt = [&](double x, double y) {
        const int px = static_cast<int>(x * ppc);
        const int py = image->height - static_cast<int>(y * ppc);
        return std::array<int, 3>{image->channel(px, py, 0), image->channel(px, py, 1),
                                  image->channel(px, py, 2)};
    };
    const auto dart = colourAt(5.0, 20.9);
    EXPECT_NEAR(dart[0], 200, 8);
    EXPECT_NEAR(dart[1], 0, 8);
    const auto kite = colourAt(15.0, 8.0);
    EXPECT_NEAR(kite[1], 200, 8);
    EXPECT_NEAR(kite[2], 200, 8);
    const auto board = colourAt(10.0, 14.0);
    EXPECT_GE(board[0], 247);

    // Outlines only, at 72 dpi.
    const CommandResult outlines =
        run({QStringLiteral("--export-jpeg"), document, jpeg, QStringLiteral("--density"),
             QStringLiteral("72"), QStringLiteral("--form"), QStringLiteral("3")});
    ASSERT_EQ(outlines.exitCode, 0) << outlines.errors.toStdString();
    const auto small = test::decodeJpeg(jpeg);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width, static_cast<int>(210 * 0.1 * (72 * 0.39370078740157477)));
    EXPECT_EQ(small->xDensity, 72);
    int coloured = 0;
    for (std::size_t i = 0; i + 2 < small->rgb.size(); i += 3) {
        const int r = small->rgb[i];
        const int g = small->rgb[i + 1];
        const int b = small->rgb[i + 2];
        coloured += std::max({r, g, b}) - std::min({r, g, b}) > 40;
    }
    EXPECT_EQ(coloured, 0);
}

TEST(ExportCommand, FailuresAreReportedWithAnExitCode) {
    QTemporaryDir dir;
    const QString document = saveDocumentWithTwoTiles(dir);

    const CommandResult missing =
        run({QStringLiteral("--export-jpeg"), dir.filePath(QStringLiteral("none.pvd")),
             dir.filePath(QStringLiteral("x.jpg"))});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(
        missing.errors.contains(QStringLiteral("ファイルからの読み込みができませんでした")));

    const CommandResult folder =
        run({QStringLiteral("--export-jpeg"), document, dir.filePath(QStringLiteral("no/x.jpg"))});
    EXPECT_NE(folder.exitCode, 0);
    EXPECT_TRUE(folder.errors.contains(QStringLiteral("JPEG出力ファイルのオープンに失敗しました")));

    // A wrong command line neither starts the editor (which would wait for a window that
    // never comes) nor writes anything.
    const CommandResult unknown =
        run({QStringLiteral("--frobnicate"), document, dir.filePath(QStringLiteral("x.jpg"))});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.errors.contains(QStringLiteral("Usage: pavelora")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.jpg"))));

    // --export writes the format of the output's extension; any other is refused unwritten.
    const std::tuple<const char*, int, const char*> outputs[] = {
        {"x.SVG", 0, "<?xml"}, {"x.pdf", 0, "%PDF"}, {"x.png", 0, "\x89PNG"}, {"x.gif", 2, ""}};
    for (const auto& [name, code, magic] : outputs) {
        const QString out = dir.filePath(QString::fromUtf8(name));
        EXPECT_EQ(run({QStringLiteral("--export"), document, out}).exitCode, code) << name;
        QFile file(out);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) && file.read(5).startsWith(magic), code == 0)
            << name;
    }

    const CommandResult version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.startsWith(QStringLiteral("pavelora ")));
}

// --generate writes a document that opens with one joined group of the asked tiles, counted in
// the palette, on the board; codes without generation and tiles that cannot fit are refused.
TEST(GenerateCommand, WritesAJoinedPatchAndRefusesWhatItCannotMake) {
    QTemporaryDir dir;
    const ScreenGeometry screen{96 / 25.4, 96 / 25.4, 1024, 768};
    struct Case {
        const char* set;
        const char* board;
        QStringList more;
        int leastTiles;
    };
    const Case cases[] = {
        {"50010", "60004", {QStringLiteral("--tiles"), QStringLiteral("300")}, 300},
        {"50020", "60009", {}, 100}, // every tile of a postcard
        {"50030", "60003", {QStringLiteral("--tile-size"), QStringLiteral("150")}, 60}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("g%1.pvd").arg(QLatin1String(c.set)));
        const CommandResult made = run(
            QStringList{QStringLiteral("--generate"), path, QStringLiteral("--set"),
                        QLatin1String(c.set), QStringLiteral("--board"), QLatin1String(c.board)} +
            c.more);
        ASSERT_EQ(made.exitCode, 0) << made.errors.toStdString();
        SilentProgress silent;
        NoErrors errors;
        const OpenResult opened = openDocument(path, screen, silent, errors);
        ASSERT_TRUE(opened.opened()) << c.set;
        const Document& doc = *opened.document;
        EXPECT_EQ(doc.tileSet->code, QByteArray(c.set).toInt());
        EXPECT_EQ(doc.view.boardCode, QByteArray(c.board).toInt());
        // 100 % unless given, or smaller where 300 tiles do not fit the "Ａ４横" board.
        if (c.more.contains(QStringLiteral("--tiles"))) {
            EXPECT_TRUE(doc.view.tileSizeRatio < 1.0 && doc.view.tileSizeRatio > 0.5);
        } else {
            EXPECT_EQ(doc.view.tileSizeRatio, c.more.isEmpty() ? 1.0 : 1.5);
        }
        ASSERT_EQ(doc.board.count(), 1);
        const TileGroup& group = *doc.board.groups[0];
        EXPECT_GE(group.count(), c.leastTiles);
        int counted = 0;
        for (const std::int32_t n : doc.kindCounts) {
            counted += n;
        }
        EXPECT_EQ(counted, group.count());
        int linked = 0;
        for (const auto& t : group.tiles) {
            EXPECT_TRUE(positionOnBoard(doc.view, t->x, t->y));
            for (const TileEdge& e : t->outline.edges) {
                linked += e.neighbour != nullptr;
            }
        }
        EXPECT_GT(linked, group.count()); // joined, not merely gathered
    }

    const QString out = dir.filePath(QStringLiteral("no.pvd"));
    for (const QStringList& refused :
         {QStringList{QStringLiteral("--set"), QStringLiteral("50040"), QStringLiteral("--board"),
                      QStringLiteral("60001")},
          {QStringLiteral("--set"), QStringLiteral("50050"), QStringLiteral("--board"),
           QStringLiteral("60001")},
          {QStringLiteral("--set"), QStringLiteral("50010"), QStringLiteral("--board"),
           QStringLiteral("60011")},
          {QStringLiteral("--set"), QStringLiteral("50010")}}) {
        const CommandResult r = run(QStringList{QStringLiteral("--generate"), out} + refused);
        EXPECT_EQ(r.exitCode, 2) << refused.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(r.errors.isEmpty());
    }
    const CommandResult tooMany =
        run({QStringLiteral("--generate"), out, QStringLiteral("--set"), QStringLiteral("50010"),
             QStringLiteral("--board"), QStringLiteral("60009"), QStringLiteral("--tiles"),
             QStringLiteral("5000"), QStringLiteral("--tile-size"), QStringLiteral("100")});
    EXPECT_EQ(tooMany.exitCode, 1);
    EXPECT_TRUE(tooMany.errors.contains(QStringLiteral("do not fit")));
    EXPECT_FALSE(QFile::exists(out));
}
