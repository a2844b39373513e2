#pragma once

#include "board/board.h"
#include "board/editing.h"
#include "board/hittest.h"
#include "geometry/tilebuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

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
    void alignedPosition(std::int32_t kind, std::int32_t rotation, int edge, const Tile& target,
                         int targetEdge, double& x, double& y) const {
        auto unit = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation);
        const TileEdge& e = unit->outline.edges[edge];
        const TileEdge& t = target.outline.edges[targetEdge];
        x = t.x2 - e.x1 * doc.view.tileSizeRatio;
        y = t.y2 - e.y1 * doc.view.tileSizeRatio;
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
};

inline bool sameVertex(double ax, double ay, double bx, double by) {
    return ax == bx && ay == by;
}

} // namespace pavelora::test
