// Writes the pictures of rendered Penrose patches shown in the README:
//   render_pictures OUTPUT_FOLDER
// gives penrose1.png (darts and kites), penrose2.png (rhombs) and penrose3.png (a pentagon
// rosette and the other kinds of "Penrose No.3").
#include "core/board/board.h"
#include "core/geometry/tilebuilder.h"
#include "render/tiledrawing.h"
#include "support/penrosepatch.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>

using namespace pavelora;

namespace {

struct Picture {
    Document doc;
    BoardBuffers buffers;
    QRect used;

    explicit Picture(std::int32_t setCode) {
        doc.tileSet = createTileSet(setCode, &doc.patternOn);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(96);
        openViewFromDocument(doc.view, 2000, 2000, 60004, 1.0, 2.0, Rgb{255, 255, 255});
    }

    void put(std::int32_t kind, std::int32_t rotation, double x, double y) {
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation % 20);
        if (!tile) {
            std::fprintf(stderr, "cannot build kind %d\n", kind);
            return;
        }
        placeOutline(doc, *tile, x, y);
        auto group = newGroup();
        addTileToGroup(doc, *group, std::move(tile));
        appendGroup(doc.board, std::move(group));
    }

    bool save(const QString& path) {
        (void)createBoardBuffers(buffers, doc.view);
        (void)redrawAllTiles(buffers, doc);
        QRect bounds;
        const View& v = doc.view;
        for (const auto& group : doc.board.groups) {
            for (const auto& tile : group->tiles) {
                for (const TileEdge& e : tile->outline.edges) {
                    bounds |= QRect(static_cast<int>(e.x1 * v.pxPerMmX * v.zoom * 10),
                                    v.boardPixelHeight -
                                        static_cast<int>(e.y1 * v.pxPerMmY * v.zoom * 10),
                                    1, 1);
                }
            }
        }
        return buffers.backBuffer.copy(bounds.adjusted(-12, -12, 12, 12)).save(path);
    }
};

void layPatch(Picture& p, const std::vector<testsupport::PlacedTile>& patch, double ratio) {
    p.doc.view.tileSizeRatio = ratio;
    for (const auto& t : patch) {
        p.put(t.kind, t.rotation, 14.85 + ratio * t.x, 10.5 + ratio * t.y);
    }
}

// A pentagon with five pentagons on its edges and narrow diamonds in the gaps between
// them, and beside it the other kinds of the set.
void layRosette(Picture& p) {
    const double ratio = 1.4;
    p.doc.view.tileSizeRatio = ratio;
    const double cx = 12.0;
    const double cy = 10.5;
    const double inradius2 = 1.3763819204711736;  // twice the pentagon's inradius
    const double circumradius = 0.85065080835204; // the pentagon's corner distance
    const double rhombHalf = 0.9510565162951535;  // half the narrow diamond's long diagonal
    const double degree = 3.141592653589793 / 180;
    p.put(kind::Pentagon1, 0, cx, cy);
    for (int k = 0; k < 5; ++k) {
        const double edge = (126 + 72 * k) * degree;
        p.put(kind::Pentagon2, 2, cx + ratio * inradius2 * std::cos(edge),
              cy + ratio * inradius2 * std::sin(edge));
        const double corner = (90 + 72 * k) * degree;
        const double d = circumradius + rhombHalf;
        p.put(kind::NarrowDiamond3, 4 * k, cx + ratio * d * std::cos(corner),
              cy + ratio * d * std::sin(corner));
    }
    p.put(kind::Pentagram3, 0, cx + 7.5, cy + 2.2);
    p.put(kind::WanedPentagram, 0, cx + 7.5, cy - 2.6);
    p.put(kind::Pentagon3, 0, cx + 11.0, cy);
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    Picture kites(setcode::PenroseNo1);
    layPatch(kites, testsupport::kiteDartPatch(160), 0.9);
    ok = kites.save(out.filePath(QStringLiteral("penrose1.png"))) && ok;

    Picture rhombs(setcode::PenroseNo2);
    layPatch(rhombs, testsupport::rhombPatch(160), 1.1);
    ok = rhombs.save(out.filePath(QStringLiteral("penrose2.png"))) && ok;

    Picture pentagons(setcode::PenroseNo3);
    layRosette(pentagons);
    ok = pentagons.save(out.filePath(QStringLiteral("penrose3.png"))) && ok;
    return ok ? 0 : 1;
}
