// `render_pictures OUTPUT_FOLDER` writes the README's pictures: penrose1.png (darts and kites),
// penrose2.png (rhombs), penrose3.png (a pentagon rosette, the other kinds of "Penrose No.3"),
// rules.png (darts and kites with a dead end marked and the legal tiles of an edge as ghosts).
#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/forcing.h"
#include "core/tiling/generator.h"
#include "core/tiling/vertexrules.h"
#include "render/rulesoverlay.h"
#include "render/tiledrawing.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

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

    // The drawn board, with the overlay, cut to the tiles' corners and a margin of 12 pixels.
    bool save(const QString& path, const RulesOverlay& overlay = {}) {
        BoardBuffers buffers;
        (void)createBoardBuffers(buffers, doc.view);
        (void)redrawAllTiles(buffers, doc);
        const View& v = doc.view;
        {
            QPainter painter(&buffers.backBuffer);
            painter.translate(-v.boardOriginX, -v.boardOriginY);
            drawRulesOverlay(painter, overlay);
        }
        QRect bounds;
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
        for (const QPolygon& ghost : overlay.ghosts) {
            bounds |= ghost.boundingRect().translated(-v.boardOriginX, -v.boardOriginY);
        }
        return buffers.backBuffer.copy(bounds.adjusted(-12, -12, 12, 12)).save(path);
    }
};

// Whether the tile overlaps another tile of its group.
bool overlapsGroupOtherThan(const Document& doc, const TileGroup& group, const Tile& tile) {
    for (const auto& other : group.tiles) {
        if (other.get() != &tile && tilesOverlap(doc, tile, *other)) {
            return true;
        }
    }
    return false;
}

// A patch of darts and kites with one tile more that obeys the codes along its edges but
// leaves a vertex no star completes, its mark, and the legal tiles of a rim edge as ghosts.
bool saveRules(const QString& path) {
    Picture rules(setcode::PenroseNo1, 1.2);
    TileGroup* group =
        layPatch(rules.doc, generatePatch(setcode::PenroseNo1, PatchSeed::Sun, 40), 14.85, 10.5);
    const auto atlas = VertexAtlas::create(*rules.doc.tileSet, rules.doc.angles);
    if (group == nullptr || !atlas) {
        return false;
    }
    RulesOverlay overlay;
    // The first rim edge, from the last tile on, with a choice of tiles.
    std::vector<TilePlacement> choice;
    for (int k = group->count() - 1; k >= 0 && choice.size() < 2; --k) {
        for (const TileEdge& edge : group->tiles[k]->outline.edges) {
            if (edge.neighbour == nullptr && choice.size() < 2) {
                choice = legalTilesAt(rules.doc, *group, edge, *atlas);
            }
        }
    }
    bool deadEnd = false;
    const int n = rules.doc.directionCount();
    for (int k = 0; k < group->count() && !deadEnd; ++k) {
        for (int i = 0; i < group->tiles[k]->outline.count() && !deadEnd; ++i) {
            const TileEdge edge = group->tiles[k]->outline.edges[i];
            if (edge.neighbour != nullptr) {
                continue;
            }
            for (std::int32_t kind : rules.doc.tileSet->kindCodes) {
                for (int r = 0; r < n && !deadEnd; ++r) {
                    const Tile* unit = atlas->unitTile(kind, r);
                    for (const TileEdge& u : unit->outline.edges) {
                        if (u.direction != (edge.direction + n / 2) % n ||
                            u.length != edge.length || u.matchCode + edge.matchCode != 0) {
                            continue;
                        }
                        const double ratio = rules.doc.view.tileSizeRatio;
                        Tile* t = addJoinedTile(
                            rules.doc, *group,
                            {kind, r, edge.x2 - u.x1 * ratio, edge.y2 - u.y1 * ratio});
                        if (t != nullptr && !overlapsGroupOtherThan(rules.doc, *group, *t) &&
                            !deadEnds(rules.doc, *atlas).empty()) {
                            deadEnd = true;
                            break;
                        }
                        removeTileFromGroup(rules.doc, *group, t);
                    }
                }
            }
        }
    }
    for (const TilePlacement& p : choice) {
        overlay.ghosts.push_back(ghostPolygon(rules.doc, p));
    }
    for (const DeadEnd& d : deadEnds(rules.doc, *atlas)) {
        overlay.deadEnds.push_back(clientPixel(rules.doc.view, d.x, d.y));
    }
    return rules.save(path, overlay);
}

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
                    pentagons.save(out.filePath(QStringLiteral("penrose3.png"))) &
                    saveRules(out.filePath(QStringLiteral("rules.png")));
    return ok ? 0 : 1;
}
