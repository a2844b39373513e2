#pragma once

#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace pavelora::test {

// An open document on an "Ａ４縦" board at 96 dpi in a 1200 × 900 client area, by default.
struct BoardFixture {
    Document doc;
    Selection sel;

    explicit BoardFixture(std::int32_t setCode, std::int32_t boardCode = 60003, double dpi = 96,
                          int clientWidth = 1200, int clientHeight = 900) {
        doc.tileSet = createTileSet(setCode);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = doc.view.pxPerMmY = pixelsPerMillimetre(dpi);
        openView(doc.view, clientWidth, clientHeight, boardCode);
    }

    // A tile at an exact board position (not from a pixel) in a group of its own on top.
    Tile* putTile(std::int32_t kind, std::int32_t rotation, double x, double y) {
        std::unique_ptr<Tile> tile = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation);
        if (!tile) {
            ADD_FAILURE() << "cannot build kind " << kind;
            return nullptr;
        }
        placeOutline(doc, *tile, x, y);
        Tile* raw = tile.get();
        auto group = newGroup();
        addTileToGroup(doc, *group, std::move(tile));
        appendGroup(doc.board, std::move(group));
        return raw;
    }

    // Where a tile of `kind` turned by `rotation` has its edge `edge` reversed on `target`'s.
    std::pair<double, double> aligned(std::int32_t kind, std::int32_t rotation, int edge,
                                      const Tile& target, int targetEdge) const {
        auto unit = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation);
        const TileEdge& e = unit->outline.edges[edge];
        const TileEdge& t = target.outline.edges[targetEdge];
        return {t.x2 - e.x1 * doc.view.tileSizeRatio, t.y2 - e.y1 * doc.view.tileSizeRatio};
    }

    BoardPixel pixelOf(double x, double y) const { return boardToPixel(doc.view, x, y); }

    // Drops a tile through placeTile at a board position's pixel, shifted by a few pixels, as
    // the current, selected tile.
    Tile* drop(std::int32_t kind, std::int32_t rotation, double x, double y, int dxPixels = 0,
               int dyPixels = 0) {
        const BoardPixel p = pixelOf(x, y);
        Tile* tile = placeTile(doc, kind, rotation, p.x + dxPixels, p.y + dyPixels);
        if (tile != nullptr) {
            tile->selected = tile->group->selected = 1;
            sel.currentTile = tile;
            sel.currentGroup = tile->group;
        }
        return tile;
    }

    // "Penrose No.1": a dart at (x, y) joined along its edge 0 to a Kaite. Returns the dart.
    Tile* dartWithKite(double x, double y) {
        Tile* dart = putTile(kind::Dart, 0, x, y);
        const auto [kx, ky] = aligned(kind::Kaite, 10, 0, *dart, 0);
        drop(kind::Kaite, 10, kx, ky, 1, -1);
        EXPECT_TRUE(joinCurrentTile(doc, sel));
        return dart;
    }
};

// A group of `n` unjoined tiles of `kind` one centimetre apart from (x, y) on.
inline TileGroup* looseGroup(Document& doc, std::int32_t kind, int n, double x, double y) {
    auto group = newGroup();
    for (int i = 0; i < n; ++i) {
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, kind, 0);
        placeOutline(doc, *tile, x + i, y);
        addTileToGroup(doc, *group, std::move(tile));
    }
    return appendGroup(doc.board, std::move(group));
}

// The groups in display order.
inline std::vector<TileGroup*> displayOrder(const Board& board) {
    std::vector<TileGroup*> out;
    for (const auto& g : board.groups) {
        out.push_back(g.get());
    }
    return out;
}

} // namespace pavelora::test
