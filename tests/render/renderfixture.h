#pragma once

#include "core/fixture.h"
#include "core/geometry/tilebuilder.h"
#include "render/tiledrawing.h"
#include "support/penrosepatch.h"

#include <QGuiApplication>
#include <QImage>
#include <QPoint>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

namespace pavelora::test {

// Fonts, printers and PDF output need the application object; images alone do not.
inline void ensureGuiApplication() {
    if (QGuiApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "render_tests";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
}

inline Rgb rgbAt(const QImage& image, QPoint p) {
    const QRgb c = image.pixel(p);
    return Rgb{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
               static_cast<std::uint8_t>(qBlue(c))};
}

inline std::tuple<int, int, int> key(Rgb c) {
    return {c.red, c.green, c.blue};
}

// A board document with its buffers; tests collect the changed regions the drawing returns.
struct RenderFixture : BoardFixture {
    BoardBuffers buffers;
    std::vector<QRegion> reported;

    explicit RenderFixture(std::int32_t setCode, std::int32_t boardCode = 60003, double dpi = 96,
                           int clientWidth = 1200, int clientHeight = 900)
        : BoardFixture(setCode, boardCode, dpi, clientWidth, clientHeight) {
        doc.patternOn = doc.tileSet->hasPairPattern;
        reported.push_back(createBoardBuffers(buffers, doc.view));
    }

    // The buffer pixel of a board point, as the screen maps it.
    QPoint bufferPixel(double x, double y) const {
        const View& v = doc.view;
        return {static_cast<int>(x * v.pxPerMmX * v.zoom * 10),
                v.boardPixelHeight - static_cast<int>(y * v.pxPerMmY * v.zoom * 10)};
    }

    // The buffer pixel of a point given in the tile's unit frame (rotated, not scaled).
    QPoint unitPixel(const Tile& tile, double ux, double uy) const {
        const View& v = doc.view;
        const QPoint at = bufferPixel(tile.x, tile.y);
        const double s = v.tileSizeRatio * v.zoom;
        return {at.x() + static_cast<int>(ux * v.pxPerMmX * s * 10),
                at.y() - static_cast<int>(uy * v.pxPerMmY * s * 10)};
    }

    // Wide rim strips, so that each strip covers whole pixels that can be looked at.
    void widenRims(double inset) {
        doc.tileSet->outlineInset = inset;
        for (auto& group : doc.board.groups) {
            for (auto& tile : group->tiles) {
                buildDecorations(*tile, inset, doc.angles);
            }
        }
    }

    // Pair colours that no kind colour, shade, board or blink colour can equal.
    void distinctPairColours() {
        doc.tileSet->pairColours = {{255, 128, 0}, {128, 0, 255}, {0, 128, 64}, {255, 0, 160}};
    }

    // Lays a patch from the tests' generator, each tile a group of its own, with its
    // reference point at (ox, oy) + ratio * (x, y).
    std::vector<Tile*> layPatch(const std::vector<testsupport::PlacedTile>& patch, double ox,
                                double oy) {
        std::vector<Tile*> tiles;
        const double ratio = doc.view.tileSizeRatio;
        for (const auto& p : patch) {
            tiles.push_back(putTile(p.kind, p.rotation, ox + ratio * p.x, oy + ratio * p.y));
        }
        return tiles;
    }

    // A fresh picture of the whole board as redrawAllTiles makes it.
    QImage fullPicture() {
        BoardBuffers fresh;
        (void)createBoardBuffers(fresh, doc.view);
        (void)redrawAllTiles(fresh, doc);
        return fresh.backBuffer;
    }
};

// A rim strip's brightness worked out as lighting: the cosine between the facet's unit
// normal and the light, which falls from up the board at 45 degrees, (0, 1, 1) / sqrt(2);
// mapped so that a flat facet's cosine (1 / sqrt(2)) gives 1, full light 2 and full
// shadow 0. The facet is spanned by the strip's first edge and its second edge raised by
// `rise`.
inline double litFactor(const EdgeChain& chain, double rise) {
    const TileEdge& e0 = chain.edges[0];
    const TileEdge& e1 = chain.edges[1];
    const double a[3] = {e0.x2 - e0.x1, e0.y2 - e0.y1, 0.0};
    const double b[3] = {e1.x2 - e1.x1, e1.y2 - e1.y1, rise};
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                         a[0] * b[1] - a[1] * b[0]};
    const double length = std::hypot(n[0], n[1], n[2]);
    const double cosine = (n[1] + n[2]) / (length * std::sqrt(2.0));
    const double flat = 1 / std::sqrt(2.0);
    return cosine >= flat ? 1 + (cosine - flat) / (1 - flat) : 1 - (flat - cosine) / (1 + flat);
}

// Black pixels in the 5 × 5 window around p: a one-pixel line crosses it in at most 7.
inline int blackAround(const QImage& image, QPoint p) {
    int black = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            black += rgbAt(image, p + QPoint(dx, dy)) == Rgb{0, 0, 0} ? 1 : 0;
        }
    }
    return black;
}

// A blank A4 page at `dpi` dots per inch.
inline QImage blankA4(int dpi) {
    QImage page(dpi * 2480 / 300, dpi * 3508 / 300, QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    page.fill(Qt::white);
    return page;
}

// Every distinct colour of an image.
inline std::set<std::tuple<int, int, int>> coloursOf(const QImage& image) {
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            colours.insert({qRed(line[x]), qGreen(line[x]), qBlue(line[x])});
        }
    }
    return colours;
}

} // namespace pavelora::test
