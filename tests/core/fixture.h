#pragma once

#include "core/board/board.h"
#include "core/board/editing.h"
#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace pavelora::test {

// An open document on an "Ａ４縦" board, at 96 dpi in a 1200 × 900 client area unless
// told otherwise.
struct BoardFixture {
    Document doc;
    Selection sel;

    explicit BoardFixture(std::int32_t setCode, std::int32_t boardCode = 60003, double dpi = 96,
                          int clientWidth = 1200, int clientHeight = 900) {
        doc.tileSet = createTileSet(setCode);
        doc.angles = createAngleTable(*doc.tileSet);
        doc.view.pxPerMmX = pixelsPerMillimetre(dpi);
        doc.view.pxPerMmY = pixelsPerMillimetre(dpi);
        openView(doc.view, clientWidth, clientHeight, boardCode);
    }

    // A tile placed at an exact board position (not derived from a pixel), in a group of
    // its own on top of the board.
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

    // Board position at which a tile of `kind` turned by `rotation` has its outline edge
    // `edge` lying reversed on edge `targetEdge` of `target`.
    std::pair<double, double> aligned(std::int32_t kind, std::int32_t rotation, int edge,
                                      const Tile& target, int targetEdge) const {
        auto unit = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation);
        const TileEdge& e = unit->outline.edges[edge];
        const TileEdge& t = target.outline.edges[targetEdge];
        return {t.x2 - e.x1 * doc.view.tileSizeRatio, t.y2 - e.y1 * doc.view.tileSizeRatio};
    }

    BoardPixel pixelOf(double x, double y) const { return boardToPixel(doc.view, x, y); }

    // Drops a tile through placeTile at the pixel of a board position, shifted by a few
    // pixels, and makes it the current, selected tile.
    Tile* drop(std::int32_t kind, std::int32_t rotation, double x, double y, int dxPixels = 0,
               int dyPixels = 0) {
        const BoardPixel p = pixelOf(x, y);
        Tile* tile = placeTile(doc, kind, rotation, p.x + dxPixels, p.y + dyPixels);
        if (tile != nullptr) {
            tile->selected = 1;
            tile->group->selected = 1;
            sel.currentTile = tile;
            sel.currentGroup = tile->group;
        }
        return tile;
    }

    // "Penrose No.1": a dart at (x, y) and a Kaite turned half a circle, dropped along the
    // dart's edge 0 (length φ, codes 1 and −1) and joined to it. Returns the dart.
    Tile* dartWithKite(double x, double y) {
        Tile* dart = putTile(kind::Dart, 0, x, y);
        const auto [kx, ky] = aligned(kind::Kaite, 10, 0, *dart, 0);
        drop(kind::Kaite, 10, kx, ky, 1, -1);
        EXPECT_TRUE(joinCurrentTile(doc, sel));
        return dart;
    }
};

// A group of `n` tiles of `kind` one centimetre apart from (x, y) on, not joined (the list
// operations do not look at joins).
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

// The number of free edges of a group: those in its boundary index.
inline int freeEdges(const TileGroup& group) {
    int n = 0;
    for (const EdgeRow& row : group.boundary.rows) {
        n += static_cast<int>(row.edges.size());
    }
    return n;
}

} // namespace pavelora::test
