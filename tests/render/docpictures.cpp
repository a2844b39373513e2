// `render_pictures OUTPUT_FOLDER` writes the README's pictures: penrose1.png (darts and kites),
// penrose2.png (rhombs), penrose3.png (a pentagon rosette, the other kinds of "Penrose No.3").
#include "core/board/board.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/generator.h"
#include "render/tiledrawing.h"

#include <QDir>
#include <QGuiApplication>

#include <cmath>
#include <cstdio>

using namespace pavelora;

namespace {

struct Picture {
    Document doc;

    Picture(std::int32_t setCode, double ratio) {
        doc.tileSet = createTileSet(setCode, &doc.patternOn);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(96);
        openViewFromDocument(doc.view, 2000, 2000, 60004, ratio, 2.0, Rgb{255, 255, 255});
    }

    void put(std::int32_t kind, std::int32_t rotation, double x, double y) {
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation % 20);
        if (tile) {
            placeOutline(doc, *tile, x, y);
            auto group = newGroup();
            addTileToGroup(doc, *group, std::move(tile));
            appendGroup(doc.board, std::move(group));
        }
    }

    // The drawn board cut to the tiles' corners and a margin of 12 pixels.
    bool save(const QString& path) {
        BoardBuffers buffers;
        (void)createBoardBuffers(buffers, doc.view);
        (void)redrawAllTiles(buffers, doc);
        const View& v = doc.view;
        QRect bounds;
        for (const auto& group : doc.board.groups) {
            for (const TileEdge& e : group->tiles[0]->outline.edges) {
                bounds |= QRect(
                    static_cast<int>(e.x1 * v.pxPerMmX * v.zoom * 10),
                    v.boardPixelHeight - static_cast<int>(e.y1 * v.pxPerMmY * v.zoom * 10), 1, 1);
            }
        }
        return buffers.backBuffer.copy(bounds.adjusted(-12, -12, 12, 12)).save(path);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    Picture kites(setcode::PenroseNo1, 0.9);
    for (const auto& t : generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 160).tiles) {
        kites.put(t.kind, t.rotation, 14.85 + 0.9 * t.x, 10.5 + 0.9 * t.y);
    }
    Picture rhombs(setcode::PenroseNo2, 1.1);
    for (const auto& t : generatePatch(setcode::PenroseNo2, PatchSeed::Star, 160).tiles) {
        rhombs.put(t.kind, t.rotation, 14.85 + 1.1 * t.x, 10.5 + 1.1 * t.y);
    }
    // A pentagon with pentagons on its edges (twice the inradius away) and narrow diamonds in
    // the gaps (its corner distance plus half their long diagonal), and the other kinds.
    Picture pentagons(setcode::PenroseNo3, 1.4);
    auto around = [&pentagons](std::int32_t kind, int rotation, double reach, int angle) {
        const double degree = 3.141592653589793 / 180;
        pentagons.put(kind, rotation, 12.0 + 1.4 * reach * std::cos(angle * degree),
                      10.5 + 1.4 * reach * std::sin(angle * degree));
    };
    around(kind::Pentagon1, 0, 0.0, 0);
    for (int k = 0; k < 5; ++k) {
        around(kind::Pentagon2, 2, 1.3763819204711736, 126 + 72 * k);
        around(kind::NarrowDiamond3, 4 * k, 0.85065080835204 + 0.9510565162951535, 90 + 72 * k);
    }
    pentagons.put(kind::Pentagram3, 0, 12.0 + 7.5, 10.5 + 2.2);
    pentagons.put(kind::WanedPentagram, 0, 12.0 + 7.5, 10.5 - 2.6);
    pentagons.put(kind::Pentagon3, 0, 12.0 + 11.0, 10.5);
    const bool ok = kites.save(out.filePath(QStringLiteral("penrose1.png"))) &
                    rhombs.save(out.filePath(QStringLiteral("penrose2.png"))) &
                    pentagons.save(out.filePath(QStringLiteral("penrose3.png")));
    return ok ? 0 : 1;
}
