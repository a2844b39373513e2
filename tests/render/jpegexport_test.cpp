#include "jpegdecode.h"
#include "patternprobes.h"
#include "render/devicetiles.h"
#include "render/jpegexport.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

using namespace pavelora;
using pavelora::test::blackAround;
using pavelora::test::coloursOf;
using pavelora::test::DecodedJpeg;
using pavelora::test::decodeJpeg;
using pavelora::test::frameMarkers;
using pavelora::test::key;
using pavelora::test::RenderFixture;
using pavelora::test::rgbAt;

namespace {

class RecordingProgress : public Progress {
public:
    std::vector<QString> texts;
    std::vector<int> starts;
    int steps = 0;
    int stepsBeforeStart = 0;

    void setText(const QString& text) override { texts.push_back(text); }
    void start(int total) override { starts.push_back(total); }
    void step(int amount) override {
        steps += amount;
        if (starts.empty()) {
            stepsBeforeStart += amount;
        }
    }
};

// The image pixel of a board point at the density.
QPoint imagePixel(double ppc, int imageHeight, double x, double y) {
    return {static_cast<int>(ppc * x), imageHeight - static_cast<int>(ppc * y)};
}

bool closeTo(const DecodedJpeg& image, QPoint p, Rgb colour, int tolerance) {
    return std::abs(image.channel(p.x(), p.y(), 0) - colour.red) <= tolerance &&
           std::abs(image.channel(p.x(), p.y(), 1) - colour.green) <= tolerance &&
           std::abs(image.channel(p.x(), p.y(), 2) - colour.blue) <= tolerance;
}

// A board of every kind of the set, each tile twice, with a coloured board.
void layKinds(RenderFixture& f, double ratio) {
    f.doc.view.tileSizeRatio = ratio;
    f.doc.view.boardColour = {230, 220, 180};
    double y = 4.0;
    for (std::int32_t kind : f.doc.tileSet->kindCodes) {
        f.putTile(kind, 0, 5.0, y);
        f.putTile(kind, 7, 14.0, y);
        y += 4.5;
    }
}

} // namespace

// The export copies tile bodies and pattern circles from pictures drawn once; drawing every
// element in place, as printing does, must give the very same pixels.
TEST(JpegExport, CopiedTilesAreTheDrawnTilesPixelForPixel) {
    struct Case {
        std::int32_t set;
        double ratio;
        std::int32_t density;
    };
    const Case cases[] = {
        {setcode::PenroseNo1, 0.6, 200}, {setcode::PenroseNo1, 1.7, 133},
        {setcode::PenroseNo2, 0.9, 200}, {setcode::PenroseNo2, 2.3, 71},
        {setcode::PenroseNo3, 1.1, 200}, {setcode::PenroseNo3, 0.45, 300},
        {setcode::Kepler, 1.3, 150},     {setcode::Durer, 0.8, 200},
    };
    for (const Case& c : cases) {
        RenderFixture f(c.set, 60004); // "Ａ４横"
        f.doc.view.tileSizeRatio = c.ratio;
        f.doc.view.boardColour = {20, 40, 60};
        f.distinctPairColours();
        if (c.set == setcode::PenroseNo1 || c.set == setcode::PenroseNo2) {
            const auto patch = c.set == setcode::PenroseNo1 ? testsupport::kiteDartPatch(300)
                                                            : testsupport::rhombPatch(300);
            f.layPatch(patch, 14.85, 10.5);
        } else {
            // Every kind at every rotation, some of them over the board's edges and some
            // lying on top of others.
            int i = 0;
            for (std::int32_t kind : f.doc.tileSet->kindCodes) {
                for (int rotation = 0; rotation < 20; ++rotation, ++i) {
                    f.putTile(kind, rotation, -0.5 + 1.6 * (i % 20), -0.4 + 2.1 * (i / 20));
                }
            }
        }
        // A few odd ones: over the right and top edges, and one on top of another.
        f.putTile(f.doc.tileSet->kindCodes[0], 3, 29.6, 20.9);
        f.putTile(f.doc.tileSet->kindCodes[1], 11, 14.9, 10.6);

        const JpegSettings settings{100, c.density, 1};
        const QImage copied = renderJpegImage(f.doc, settings);
        ASSERT_FALSE(copied.isNull());
        QImage drawn(copied.size(), QImage::Format_RGB32);
        drawn.fill(QColor(20, 40, 60));
        {
            DevicePlacement placement;
            placement.imageHeight = drawn.height();
            placement.ppcX = placement.ppcY = c.density * 0.39370078740157477;
            QPainter painter(&drawn);
            paintDeviceTiles(painter, f.doc, placement, drawn.rect(),
                             f.doc.tileSet->hasPairPattern != 0);
        }
        EXPECT_EQ(copied, drawn) << "set " << c.set << " ratio " << c.ratio << " density "
                                 << c.density;
    }
}

TEST(JpegExport, A4At200DpiIsABaselineJfifFileOfTheTrueSize) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RenderFixture f(setcode::PenroseNo1);
    layKinds(f, 1.5);
    const QString path = dir.filePath(QStringLiteral("board.jpg"));
    RecordingProgress progress;
    ASSERT_EQ(exportJpeg(f.doc, JpegSettings{100, 200, 1}, path, &progress), 1);

    const auto decoded = decodeJpeg(path);
    ASSERT_TRUE(decoded.has_value());
    // 210 mm and 297 mm at 200 dots per inch, three components, JFIF with dots per inch.
    EXPECT_EQ((std::array{decoded->width, decoded->height, decoded->components,
                          decoded->densityUnit, decoded->xDensity, decoded->yDensity}),
              (std::array{1653, 2338, 3, 1, 200, 200}));
    EXPECT_TRUE(decoded->jfif);
    EXPECT_FALSE(decoded->progressive);
    EXPECT_EQ(frameMarkers(path), std::vector<int>{0xC0});
    // Quality 100 scales every quantiser down to 1.
    EXPECT_EQ(decoded->luminanceTable, std::vector<int>(64, 1));

    EXPECT_EQ(progress.texts, std::vector<QString>{QStringLiteral("JPEGファイル書き込み中")});
    EXPECT_EQ(progress.starts, std::vector<int>{2338});
    EXPECT_EQ(progress.steps, 2338);
    EXPECT_EQ(progress.stepsBeforeStart, 0);

    // Quality 50 keeps the standard luminance table, which starts 16, 11, 10, 16, and the
    // density reaches the file whatever it is.
    ASSERT_EQ(exportJpeg(f.doc, JpegSettings{50, 72, 2}, path, nullptr), 1);
    const auto q50 = decodeJpeg(path);
    ASSERT_TRUE(q50.has_value());
    // 210 mm at 72 dpi: 595.3.
    EXPECT_EQ((std::array{q50->width, q50->xDensity, q50->yDensity}), (std::array{595, 72, 72}));
    ASSERT_EQ(q50->luminanceTable.size(), 64u);
    EXPECT_EQ((std::array{q50->luminanceTable[0], q50->luminanceTable[1]}), (std::array{16, 11}));

    // The size depends on the board and the density alone.
    EXPECT_EQ(jpegImageSize(60001, 200), QSize(2338, 3307)); // "Ａ３縦"
    EXPECT_EQ(jpegImageSize(60010, 50), QSize(291, 196));    // "官製はがき横"
    EXPECT_EQ(jpegImageSize(12345, 200), QSize());
}

TEST(JpegExport, TileCentresShowTheirKindColours) {
    for (std::int32_t set : {setcode::PenroseNo3, setcode::Kepler}) {
        QTemporaryDir dir;
        RenderFixture f(set);
        layKinds(f, 1.2);
        const QString path = dir.filePath(QStringLiteral("kinds.jpg"));
        ASSERT_EQ(exportJpeg(f.doc, JpegSettings{100, 150, 2}, path, nullptr), 1);
        const auto decoded = decodeJpeg(path);
        ASSERT_TRUE(decoded.has_value());
        const double ppc = 150 * 0.39370078740157477;
        for (const auto& group : f.doc.board.groups) {
            for (const auto& tile : group->tiles) {
                const QPoint p = imagePixel(ppc, decoded->height, tile->x, tile->y);
                EXPECT_TRUE(closeTo(*decoded, p, *kindColour(*f.doc.tileSet, tile->kind), 6))
                    << set << " kind " << tile->kind;
            }
        }
        EXPECT_TRUE(closeTo(*decoded, {3, 3}, f.doc.view.boardColour, 6));
        EXPECT_TRUE(closeTo(*decoded, {decoded->width - 4, decoded->height - 4},
                            f.doc.view.boardColour, 6));
    }
}

TEST(JpegExport, PatternSitsOnItsTileWhateverTheScreenZoom) {
    RenderFixture f(setcode::PenroseNo3);
    f.distinctPairColours();
    layKinds(f, 1.5);
    f.doc.patternOn = 0; // the screen's switch plays no part
    const JpegSettings settings{100, 200, 1};
    const QImage atZoom1 = renderJpegImage(f.doc, settings);
    ASSERT_EQ(atZoom1.size(), QSize(1653, 2338));
    for (double zoom : {0.5, 1.3, 2.7}) {
        rebuildView(f.doc.view, zoom);
        EXPECT_EQ(renderJpegImage(f.doc, settings), atZoom1) << "zoom " << zoom;
    }

    const double ppc = 200 * 0.39370078740157477;
    int probes = 0;
    for (const auto& group : f.doc.board.groups) {
        for (const auto& tile : group->tiles) {
            for (const auto& probe : pavelora::test::patternProbes(*tile, 1.5)) {
                const QPoint p = imagePixel(ppc, atZoom1.height(), probe.x, probe.y);
                EXPECT_EQ(rgbAt(atZoom1, p),
                          f.doc.tileSet->pairColours[static_cast<std::size_t>(probe.colour)])
                    << "kind " << tile->kind;
                ++probes;
            }
        }
    }
    EXPECT_GT(probes, 40);
}

TEST(JpegExport, FormTwoAndSetsWithoutPatternLeaveThePatternOut) {
    RenderFixture penrose(setcode::PenroseNo1);
    penrose.distinctPairColours();
    layKinds(penrose, 2.0);
    const auto withPattern = coloursOf(renderJpegImage(penrose.doc, JpegSettings{100, 100, 1}));
    const auto without = coloursOf(renderJpegImage(penrose.doc, JpegSettings{100, 100, 2}));
    // Darts and kites use the first two pair colours.
    for (std::size_t j = 0; j < 2; ++j) {
        const Rgb c = penrose.doc.tileSet->pairColours[j];
        EXPECT_EQ(withPattern.count(key(c)), 1u);
        EXPECT_EQ(without.count(key(c)), 0u);
    }

    RenderFixture durer(setcode::Durer);
    durer.distinctPairColours();
    durer.doc.patternOn = 1;
    layKinds(durer, 2.0);
    const QImage form1 = renderJpegImage(durer.doc, JpegSettings{100, 100, 1});
    EXPECT_EQ(form1, renderJpegImage(durer.doc, JpegSettings{100, 100, 2}));
    for (const Rgb& c : durer.doc.tileSet->pairColours) {
        EXPECT_EQ(coloursOf(form1).count(key(c)), 0u);
    }
}

TEST(JpegExport, FormThreeIsBlackOutlinesOnWhite) {
    QTemporaryDir dir;
    RenderFixture f(setcode::PenroseNo2);
    layKinds(f, 2.0);
    const JpegSettings settings{100, 120, 3};
    const QImage image = renderJpegOutlines(f.doc, settings);
    EXPECT_EQ(coloursOf(image), (std::set<std::tuple<int, int, int>>{{0, 0, 0}, {255, 255, 255}}));

    const QString path = dir.filePath(QStringLiteral("outlines.jpg"));
    ASSERT_EQ(exportJpeg(f.doc, settings, path, nullptr), 1);
    const auto decoded = decodeJpeg(path);
    ASSERT_TRUE(decoded.has_value());
    const double ppc = 120 * 0.39370078740157477;
    for (const auto& group : f.doc.board.groups) {
        for (const auto& tile : group->tiles) {
            EXPECT_TRUE(closeTo(*decoded, imagePixel(ppc, decoded->height, tile->x, tile->y),
                                Rgb{255, 255, 255}, 8));
            for (const TileEdge& e : tile->outline.edges) {
                const QPoint mid =
                    imagePixel(ppc, decoded->height, (e.x1 + e.x2) / 2, (e.y1 + e.y2) / 2);
                EXPECT_TRUE(closeTo(*decoded, mid, Rgb{0, 0, 0}, 40));
                // Three pixels wide: more than a one-pixel line could blacken.
                EXPECT_GE(blackAround(image, mid), 11);
            }
        }
    }
}

TEST(JpegExport, FailuresAreReportedByTheirCodes) {
    QTemporaryDir dir;
    RenderFixture f(setcode::PenroseNo1);
    layKinds(f, 1.0);
    const QString missing = dir.filePath(QStringLiteral("no such folder/board.jpg"));
    EXPECT_EQ(exportJpeg(f.doc, JpegSettings{100, 50, 1}, missing, nullptr), -2);
    EXPECT_FALSE(QFile::exists(missing));

    // An image without pixels is refused by the library: compression failed, and the file
    // that was opened for it stays behind, empty.
    const QString empty = dir.filePath(QStringLiteral("empty.jpg"));
    RecordingProgress progress;
    EXPECT_EQ(writeJpeg(QImage(), 100, 200, empty, &progress), -1);
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(QFile(empty).size(), 0);
    EXPECT_TRUE(progress.starts.empty());
    // Density 0 makes an image of no pixels.
    EXPECT_EQ(exportJpeg(f.doc, JpegSettings{100, 0, 1}, empty, nullptr), -1);

    EXPECT_EQ(jpegResultMessage(-1), QStringLiteral("JPEG圧縮処理に失敗しました"));
    EXPECT_EQ(jpegResultMessage(-2), QStringLiteral("JPEG出力ファイルのオープンに失敗しました"));
    EXPECT_EQ(jpegResultMessage(-3),
              QStringLiteral("JPEGsキャンラインバッファの確保に失敗しました"));
    EXPECT_TRUE(jpegResultMessage(1).isEmpty());
    EXPECT_EQ(jpegMessageCaption(), QStringLiteral("JPEG保存"));
}
