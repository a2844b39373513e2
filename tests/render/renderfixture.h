#pragma once

#include "core/fixture.h"
#include "render/tiledrawing.h"
#include "support/penrosepatch.h"

#include <QImage>

#include <set>
#include <tuple>
#include <vector>

namespace pavelora::test {

inline QRgb rgb(Rgb c) {
    return qRgb(c.red, c.green, c.blue);
}

// The distinct colours of an image, or of the pixels within two of p.
inline std::set<QRgb> coloursOf(const QImage& image) {
    std::set<QRgb> colours;
    for (int p = 0; p < image.width() * image.height(); ++p) {
        colours.insert(image.pixel(p % image.width(), p / image.width()));
    }
    return colours;
}
inline std::set<QRgb> coloursNear(const QImage& image, QPoint p) {
    return coloursOf(image.copy(p.x() - 2, p.y() - 2, 5, 5));
}

// Both pattern circles of a dart or kite pass through its reference point, that of pair colour
// 0 centred on vertex 0, that of 1 on vertex 2: points of each ±30° from it (none for others).
inline std::vector<std::tuple<int, double, double>> arcPoints(const Tile& t) {
    std::vector<std::tuple<int, double, double>> points;
    for (int k = 0; k < 4 && (t.kind == kind::Dart || t.kind == kind::Kaite); ++k) {
        const TileEdge& centre = t.outline.edges[static_cast<std::size_t>(k / 2 * 2)];
        const double c = 0.8660254037844387, s = k % 2 == 0 ? 0.5 : -0.5; // ±30°
        const double dx = t.x - centre.x1, dy = t.y - centre.y1;
        points.emplace_back(k / 2, centre.x1 + c * dx - s * dy, centre.y1 + s * dx + c * dy);
    }
    return points;
}

// A board document, its buffers and the changed regions that drawing returned.
struct RenderFixture : BoardFixture {
    BoardBuffers buffers;
    std::vector<QRegion> reported;

    explicit RenderFixture(std::int32_t setCode, std::int32_t boardCode = 60003,
                           int clientWidth = 1200, int clientHeight = 900)
        : BoardFixture(setCode, boardCode, 96, clientWidth, clientHeight) {
        doc.patternOn = doc.tileSet->hasPairPattern;
        // Pair colours that no kind colour, shade, board or blink colour can equal.
        doc.tileSet->pairColours = {{255, 128, 0}, {128, 0, 255}, {0, 128, 64}, {255, 0, 160}};
        (void)createBoardBuffers(buffers, doc.view);
    }

    // The buffer pixel of a board point, as the screen maps it.
    QPoint bufferPixel(double x, double y) const {
        const View& v = doc.view;
        return {static_cast<int>(x * v.pxPerMmX * v.zoom * 10),
                v.boardPixelHeight - static_cast<int>(y * v.pxPerMmY * v.zoom * 10)};
    }

    // A generated patch, each tile a group of its own, at (ox, oy) + ratio * (x, y).
    std::vector<Tile*> layPatch(const std::vector<PatchTile>& patch, double ox, double oy) {
        std::vector<Tile*> tiles;
        const double s = doc.view.tileSizeRatio;
        for (const auto& p : patch) {
            tiles.push_back(putTile(p.kind, p.rotation, ox + s * p.x, oy + s * p.y));
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

} // namespace pavelora::test
