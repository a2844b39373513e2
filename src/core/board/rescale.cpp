#include "core/board/rescale.h"

#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

namespace pavelora {

bool resizeAllTiles(Document& doc, double newRatio) {
    Board& board = doc.board;
    if (board.count() == 0) {
        return true;
    }
    double sumX = 0;
    double sumY = 0;
    int tiles = 0;
    for (const auto& group : board.groups) {
        for (const auto& tile : group->tiles) {
            sumX += tile->x;
            sumY += tile->y;
            ++tiles;
        }
    }
    if (tiles == 0) {
        return true;
    }
    const double cx = sumX / tiles;
    const double cy = sumY / tiles;
    const double k = newRatio / doc.view.tileSizeRatio;
    const double width = doc.view.boardPixelWidth * doc.view.cmPerPixelX;
    const double height = doc.view.boardPixelHeight * doc.view.cmPerPixelY;
    auto mapX = [&](double x) { return (x - cx) * k + cx; };
    auto mapY = [&](double y) { return (y - cy) * k + cy; };

    for (const auto& group : board.groups) {
        for (const auto& tile : group->tiles) {
            const double x = mapX(tile->x);
            const double y = mapY(tile->y);
            if (!(0 <= x && x <= width && 0 <= y && y <= height)) {
                return false;
            }
        }
    }

    for (const auto& group : board.groups) {
        for (const auto& tile : group->tiles) {
            tile->x = mapX(tile->x);
            tile->y = mapY(tile->y);
            for (TileEdge& e : tile->outline.edges) {
                e.x1 = mapX(e.x1);
                e.y1 = mapY(e.y1);
                e.x2 = mapX(e.x2);
                e.y2 = mapY(e.y2);
            }
            tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
        }
        rebuildGroup(doc, *group);
    }
    return true;
}

bool rebuildDecorations(const Document& doc, Tile* tile) {
    if (tile == nullptr || !doc.tileSet) {
        return false;
    }
    return buildDecorations(*tile, doc.tileSet->outlineInset, doc.angles);
}

bool rebuildBoardDecorations(Document& doc) {
    for (const auto& group : doc.board.groups) {
        rebuildListDecorations(doc, group.get());
    }
    return true;
}

bool rebuildListDecorations(const Document& doc, TileGroup* group) {
    if (group == nullptr) {
        return false;
    }
    for (const auto& tile : group->tiles) {
        rebuildDecorations(doc, tile.get());
    }
    return true;
}

} // namespace pavelora
