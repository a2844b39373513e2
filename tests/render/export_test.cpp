#include "core/tiling/generator.h"
#include "render/boardexport.h"
#include "render/jpegexport.h"
#include "render/shading.h"
#include "renderfixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace pavelora;
using namespace pavelora::test;

namespace {

// What an SVG file draws, read back with an XML parser, in millimetres from the top left.
struct SvgDrawing {
    double widthMm = 0, heightMm = 0;
    struct Polygon {
        QString fill;
        std::vector<QPointF> points;
    };
    std::vector<Polygon> polygons;
    std::vector<bool> arcClipped; // hollow ellipses, and whether a clip holds each
    std::vector<QLineF> lines;
};

SvgDrawing readSvg(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    SvgDrawing d;
    double mmPerUnit = 0;
    std::vector<bool> clips{false};
    auto number = [&xml](const char* name) {
        return xml.attributes().value(QLatin1String(name)).toDouble();
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) {
            clips.pop_back();
        }
        if (!xml.isStartElement()) {
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("svg")) {
            d.widthMm = xml.attributes().value(QLatin1String("width")).chopped(2).toDouble();
            d.heightMm = xml.attributes().value(QLatin1String("height")).chopped(2).toDouble();
            const auto box = xml.attributes().value(QLatin1String("viewBox")).split(u' ');
            mmPerUnit = d.widthMm / box[2].toDouble();
            EXPECT_NEAR(d.heightMm / box[3].toDouble(), mmPerUnit, 1e-12);
        } else if (name == QLatin1String("g")) {
            clips.push_back(clips.back() ||
                            xml.attributes().hasAttribute(QLatin1String("clip-path")));
        } else if (name == QLatin1String("polygon")) {
            SvgDrawing::Polygon p{xml.attributes().value(QLatin1String("fill")).toString(), {}};
            for (const auto pair : xml.attributes().value(QLatin1String("points")).split(u' ')) {
                const auto xy = pair.split(u',');
                p.points.emplace_back(xy[0].toDouble() * mmPerUnit, xy[1].toDouble() * mmPerUnit);
            }
            d.polygons.push_back(std::move(p));
        } else if (name == QLatin1String("ellipse") &&
                   xml.attributes().value(QLatin1String("fill")) == QLatin1String("none")) {
            d.arcClipped.push_back(clips.back());
        } else if (name == QLatin1String("line")) {
            d.lines.emplace_back(number("x1") * mmPerUnit, number("y1") * mmPerUnit,
                                 number("x2") * mmPerUnit, number("y2") * mmPerUnit);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return d;
}

// The page of a PDF file in millimetres, from its MediaBox.
QSizeF pdfPageMm(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    const auto match =
        QRegularExpression(QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"))
            .match(text);
    EXPECT_TRUE(match.hasMatch());
    return {match.captured(1).toDouble() * 25.4 / 72, match.captured(2).toDouble() * 25.4 / 72};
}

// An "Ａ４横" board (297 × 210 mm) with a joined patch of darts and kites, and a kite over it
// that is not joined.
struct ExportFixture : RenderFixture {
    QTemporaryDir dir;
    ExportFixture() : RenderFixture(setcode::PenroseNo1, 60004) {
        doc.view.tileSizeRatio = 1.2;
        doc.view.boardColour = {230, 220, 180};
        doc.patternOn = 0; // the screen's switch plays no part
        pavelora::layPatch(doc, generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 12), 14.85,
                           10.5);
        const Tile& first = *doc.board.groups[0]->tiles[0];
        putTile(kind::Kaite, 3, first.x + 0.37, first.y + 0.21);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

} // namespace

// Forms 1 and 2 as SVG: the board's paper in millimetres, one face in the kind's colour per
// tile at its true place, the pattern circles (two per dart and kite) only in form 1, each cut
// by a clip. The PDF has the paper as its page, the PNG the JPEG image with its density.
TEST(BoardExport, SvgPdfAndPngAtTheBoardsTrueSize) {
    ExportFixture f;
    const double ratio = f.doc.view.tileSizeRatio;
    for (std::int32_t form : {1, 2}) {
        const QString svg = f.path("board.svg");
        ASSERT_EQ(exportSvg(f.doc, JpegSettings{100, 150, form}, svg), 1);
        const SvgDrawing d = readSvg(svg);
        EXPECT_EQ((std::array{d.widthMm, d.heightMm}), (std::array{297.0, 210.0}));
        int tiles = 0;
        for (const auto& group : f.doc.board.groups) {
            for (const auto& t : group->tiles) {
                ++tiles;
                const Rgb c = *kindColour(*f.doc.tileSet, t->kind);
                const QString fill = QColor(c.red, c.green, c.blue).name();
                const auto& face = t->decorations[0].edges;
                int found = 0;
                for (const auto& p : d.polygons) {
                    bool same = p.fill == fill && p.points.size() == face.size();
                    for (std::size_t i = 0; same && i < face.size(); ++i) {
                        same =
                            std::fabs(p.points[i].x() - 10 * (t->x + face[i].x1 * ratio)) <= 0.01 &&
                            std::fabs(p.points[i].y() - (210 - 10 * (t->y + face[i].y1 * ratio))) <=
                                0.01;
                    }
                    found += same ? 1 : 0;
                }
                EXPECT_EQ(found, 1) << "form " << form << " tile at " << t->x << ", " << t->y;
            }
        }
        EXPECT_EQ(d.arcClipped, std::vector<bool>(form == 1 ? 2 * tiles : 0, true));
    }
    ASSERT_EQ(exportPdf(f.doc, JpegSettings{100, 150, 1}, f.path("board.PDF")), 1);
    const QSizeF page = pdfPageMm(f.path("board.PDF"));
    EXPECT_NEAR(page.width(), 297, 0.18); // the page size is in whole points
    EXPECT_NEAR(page.height(), 210, 0.18);

    ASSERT_EQ(exportPng(f.doc, JpegSettings{100, 150, 1}, f.path("board.png")), 1);
    const QImage png(f.path("board.png"));
    EXPECT_EQ(png.size(), jpegImageSize(60004, 150));
    EXPECT_EQ(std::lround(png.dotsPerMeterX() * 0.0254), 150);
    EXPECT_EQ(std::lround(png.dotsPerMeterY() * 0.0254), 150);
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              renderJpegImage(f.doc, JpegSettings{100, 150, 1}));

    const QString nowhere = f.path("missing/board");
    EXPECT_EQ((std::array{exportSvg(f.doc, {}, nowhere + QStringLiteral(".svg")),
                          exportPdf(f.doc, {}, nowhere + QStringLiteral(".pdf")),
                          exportPng(f.doc, {}, nowhere + QStringLiteral(".png"))}),
              (std::array{-2, -2, -2}));
    EXPECT_EQ(exportResultMessage(ExportFormat::Svg, -2),
              QStringLiteral("SVG出力ファイルのオープンに失敗しました"));
}

// The cut form: a line per distinct edge of the tiling, none twice, nothing filled. Joined
// tiles share their edges; the kite laid over the patch keeps all of its own.
TEST(BoardExport, TheCutFormDrawsEveryEdgeOnce) {
    ExportFixture f;
    // The same edge either way round, within `mm`.
    auto same = [](const QLineF& a, const QLineF& b, double mm) {
        auto near = [mm](QPointF p, QPointF q) {
            return std::fabs(p.x() - q.x()) <= mm && std::fabs(p.y() - q.y()) <= mm;
        };
        return (near(a.p1(), b.p1()) && near(a.p2(), b.p2())) ||
               (near(a.p1(), b.p2()) && near(a.p2(), b.p1()));
    };
    std::vector<QLineF> edges; // distinct, in millimetres from the top left
    int all = 0;
    for (const auto& group : f.doc.board.groups) {
        for (const auto& t : group->tiles) {
            for (const TileEdge& e : t->outline.edges) {
                ++all;
                const QLineF l(10 * e.x1, 210 - 10 * e.y1, 10 * e.x2, 210 - 10 * e.y2);
                if (std::none_of(edges.begin(), edges.end(),
                                 [&](const QLineF& k) { return same(k, l, 1e-6); })) {
                    edges.push_back(l);
                }
            }
        }
    }
    ASSERT_GT(all - static_cast<int>(edges.size()), 10); // the patch is joined

    ASSERT_EQ(exportSvg(f.doc, JpegSettings{100, 200, outputform::Cut}, f.path("cut.svg")), 1);
    const SvgDrawing d = readSvg(f.path("cut.svg"));
    EXPECT_TRUE(d.polygons.empty());
    EXPECT_TRUE(d.arcClipped.empty());
    EXPECT_EQ(d.lines.size(), edges.size());
    for (const QLineF& e : edges) {
        EXPECT_EQ(std::count_if(d.lines.begin(), d.lines.end(),
                                [&](const QLineF& l) { return same(l, e, 0.005); }),
                  1);
    }
    ASSERT_EQ(exportPdf(f.doc, JpegSettings{100, 200, outputform::Cut}, f.path("cut.pdf")), 1);
    EXPECT_NEAR(pdfPageMm(f.path("cut.pdf")).width(), 297, 0.18);
}
