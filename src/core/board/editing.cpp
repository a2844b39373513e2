#include "core/board/editing.h"

#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <cmath>

namespace pavelora {

double snapTolerance(const Document& doc) {
    return doc.view.tileSizeRatio * doc.tileSet->extent * 0.05;
}

bool moveGroup(const Document& doc, TileGroup& group, double dx, double dy) {
    for (const auto& tile : group.tiles) {
        tile->x += dx;
        tile->y += dy;
        for (TileEdge& edge : tile->outline.edges) {
            edge.x1 += dx;
            edge.y1 += dy;
            edge.x2 += dx;
            edge.y2 += dy;
        }
        tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
    }
    group.boundary = buildGroupBoundary(group, doc.directionCount());
    group.region = groupProximityRegion(group, doc.view);
    group.minX += dx;
    group.maxX += dx;
    group.minY += dy;
    group.maxY += dy;
    return true;
}

bool groupMoveAllowed(const Document& doc, const Selection& sel, std::int32_t dxPixels,
                      std::int32_t dyPixels) {
    const TileGroup* group = sel.currentGroup;
    if (!sel.groupMode || group == nullptr || group->selected == 0) {
        return false;
    }
    const View& view = doc.view;
    const double dx = dxPixels * view.cmPerPixelX;
    const double dy = -dyPixels * view.cmPerPixelY;
    const double minX = group->minX + dx;
    const double maxX = group->maxX + dx;
    const double minY = group->minY + dy;
    const double maxY = group->maxY + dy;
    if (!boardToPixel(view, minX, minY).onBoard || !boardToPixel(view, maxX, maxY).onBoard) {
        return false;
    }
    return !(minX < 0 || maxX > boardWidthCm(view) || minY < 0 || maxY > boardHeightCm(view));
}

bool moveCurrentGroupByPixels(Document& doc, Selection& sel, std::int32_t dxPixels,
                              std::int32_t dyPixels) {
    if (!groupMoveAllowed(doc, sel, dxPixels, dyPixels)) {
        return false;
    }
    return moveGroup(doc, *sel.currentGroup, dxPixels * doc.view.cmPerPixelX,
                     -dyPixels * doc.view.cmPerPixelY);
}

namespace {

// Puts a replacement for `old` at a pixel and makes it current; the old tile goes.
bool replaceCurrentTile(Document& doc, Selection& sel, Tile* old, std::int32_t rotation,
                        std::int32_t pixelX, std::int32_t pixelY,
                        const BeforeRemoving& beforeRemoving) {
    Tile* placed = placeTile(doc, old->kind, rotation, pixelX, pixelY);
    if (placed == nullptr) {
        return false;
    }
    if (beforeRemoving) {
        beforeRemoving(*old);
    }
    if (old->group != nullptr) {
        old->group->selected = 0;
    }
    removeTile(doc, old);
    placed->selected = 1;
    placed->group->selected = 1;
    sel.currentTile = placed;
    sel.currentGroup = placed->group;
    return true;
}

} // namespace

bool moveCurrentTileByPixels(Document& doc, Selection& sel, std::int32_t dxPixels,
                             std::int32_t dyPixels, const BeforeRemoving& beforeRemoving) {
    Tile* tile = sel.currentTile;
    if (tile == nullptr || !doc.tileSet) {
        return false;
    }
    const BoardPixel from = boardToPixel(doc.view, tile->x, tile->y);
    if (!from.onBoard) {
        return false;
    }
    const std::int32_t pixelX = from.x + dxPixels;
    const std::int32_t pixelY = from.y + dyPixels;
    double x = 0;
    double y = 0;
    if (!pixelToBoard(doc.view, pixelX, pixelY, x, y)) {
        return false;
    }
    return replaceCurrentTile(doc, sel, tile, tile->rotation, pixelX, pixelY, beforeRemoving);
}

bool rotateCurrentTile(Document& doc, Selection& sel, bool anticlockwise,
                       const BeforeRemoving& beforeRemoving) {
    Tile* tile = sel.currentTile;
    if (!doc.tileSet || tile == nullptr || tile->selected == 0) {
        return false;
    }
    if (sel.groupMode && sel.currentGroup != nullptr && sel.currentGroup->count() >= 2) {
        return false;
    }
    const std::int32_t count = doc.tileSet->directionCount;
    std::int32_t rotation = tile->rotation + (anticlockwise ? 1 : -1);
    if (rotation < 0) {
        rotation += count;
    } else if (rotation >= count) {
        rotation -= count;
    }
    const BoardPixel at = boardToPixel(doc.view, tile->x, tile->y);
    if (!at.onBoard) {
        return false;
    }
    return replaceCurrentTile(doc, sel, tile, rotation, at.x, at.y, beforeRemoving);
}

MatchRecord matchEdge(const Document& doc, const TileGroup& group, TileEdge& edge, double tau) {
    MatchRecord record;
    record.edge = &edge;
    const std::int32_t count = doc.directionCount();
    for (const EdgeRow& row : group.boundary.rows) {
        for (const SortedEdge& sorted : row.edges) {
            const TileEdge& g = *sorted.source;
            if ((g.direction + count / 2) % count != edge.direction) {
                continue;
            }
            const bool endNearStart =
                std::fabs(g.x2 - edge.x1) < tau && std::fabs(g.y2 - edge.y1) < tau;
            const bool startNearEnd =
                std::fabs(g.x1 - edge.x2) < tau && std::fabs(g.y1 - edge.y2) < tau;
            if (!endNearStart && !startNearEnd) {
                continue;
            }
            const bool codesFit =
                doc.tileSet->hasPairPattern == 0 || g.matchCode + edge.matchCode == 0;
            if (g.length == edge.length && codesFit) {
                record.partner = sorted.source;
                record.dx = g.x2 - edge.x1;
                record.dy = g.y2 - edge.y1;
            } else {
                record.conflict = true;
            }
            return record;
        }
    }
    return record;
}

std::unique_ptr<Tile> buildSnappedTile(const Document& doc, const Tile& tile,
                                       const std::vector<MatchRecord>& records) {
    const int n = static_cast<int>(records.size());
    if (n == 0 || n != tile.outline.count()) {
        return nullptr;
    }
    int k = 0;
    while (k < n && records[k].partner == nullptr) {
        ++k;
    }
    if (k == n) {
        return nullptr;
    }
    std::unique_ptr<Tile> snapped =
        buildTile(doc.tileSet.get(), &doc.angles, tile.kind, tile.rotation);
    if (!snapped || snapped->outline.count() != n) {
        return nullptr;
    }
    // The edge index is built by the caller once the matched vertices are in place.
    const double ratio = doc.view.tileSizeRatio;
    const double x = tile.x + records[k].dx;
    const double y = tile.y + records[k].dy;
    snapped->x = x;
    snapped->y = y;
    for (TileEdge& e : snapped->outline.edges) {
        e.x1 = e.x1 * ratio + x;
        e.y1 = e.y1 * ratio + y;
        e.x2 = e.x2 * ratio + x;
        e.y2 = e.y2 * ratio + y;
    }

    for (int step = 0; step < n; ++step) {
        const int i = (k + step) % n;
        TileEdge& e = snapped->outline.edges[i];
        if (const TileEdge* p = records[i].partner) {
            e.x1 = p->x2;
            e.y1 = p->y2;
            e.x2 = p->x1;
            e.y2 = p->y1;
            e.neighbour = p->owner;
        }
        if (const TileEdge* q = records[(i + n - 1) % n].partner) {
            e.x1 = q->x1;
            e.y1 = q->y1;
        }
        if (const TileEdge* s = records[(i + 1) % n].partner) {
            e.x2 = s->x2;
            e.y2 = s->y2;
        }
    }
    return snapped;
}

namespace {

// Orientation of c relative to the line from a to b: twice the signed area of (a, b, c),
// i.e. |b − a| times the signed distance of c from the line.
double orientation(double ax, double ay, double bx, double by, double cx, double cy) {
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Which side of the segment's line a point lies on: −1, +1, or 0 when it lies within a
// hair (1e-9 of the segment's length) of the line. Vertices shared by a group and a
// snapped tile may differ in their last bits when only one side computed them; such a
// vertex is on the line, not across it.
int sideOf(double ax, double ay, double bx, double by, double cx, double cy) {
    const double lengthSquared = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
    const double o = orientation(ax, ay, bx, by, cx, cy);
    if (std::fabs(o) <= 1e-9 * lengthSquared) {
        return 0;
    }
    return o > 0 ? 1 : -1;
}

// Two segments cross properly when each one's ends lie strictly on opposite sides of the
// other's line: the crossing point is then strictly inside both.
bool crossProperly(const SortedEdge& g, const TileEdge& t) {
    const int t1 = sideOf(g.x1, g.y1, g.x2, g.y2, t.x1, t.y1);
    const int t2 = sideOf(g.x1, g.y1, g.x2, g.y2, t.x2, t.y2);
    if (t1 == 0 || t2 == 0 || t1 == t2) {
        return false;
    }
    const int g1 = sideOf(t.x1, t.y1, t.x2, t.y2, g.x1, g.y1);
    const int g2 = sideOf(t.x1, t.y1, t.x2, t.y2, g.x2, g.y2);
    return g1 != 0 && g2 != 0 && g1 != g2;
}

} // namespace

bool crossesBoundary(const Document& doc, const TileGroup& group, const Tile& tile) {
    const std::int32_t count = doc.directionCount();
    for (const EdgeRow& row : group.boundary.rows) {
        for (const SortedEdge& g : row.edges) {
            for (const TileEdge& t : tile.outline.edges) {
                // Parallel edges never cross; directions are compared, not slopes.
                if (t.direction == g.direction ||
                    t.direction == (g.direction + count / 2) % count) {
                    continue;
                }
                if (crossProperly(g, t)) {
                    return true;
                }
            }
        }
    }
    return false;
}

Tile* joinTile(Document& doc, Tile* tile) {
    if (tile == nullptr || tile->group == nullptr || !doc.tileSet) {
        return nullptr;
    }
    const double tau = snapTolerance(doc);

    // The largest group near the tile that does not hold the tile's position; the later
    // one in display order on a tie.
    TileGroup* target = nullptr;
    for (const auto& group : doc.board.groups) {
        if (group.get() == tile->group || !groupsNearForJoining(*group, *tile) ||
            pointInIndex(group->boundary, tile->x, tile->y, doc.angles)) {
            continue;
        }
        if (target == nullptr || group->count() >= target->count()) {
            target = group.get();
        }
    }
    if (target == nullptr) {
        return nullptr;
    }

    std::vector<MatchRecord> records;
    records.reserve(tile->outline.edges.size());
    bool anyPartner = false;
    for (TileEdge& edge : tile->outline.edges) {
        records.push_back(matchEdge(doc, *target, edge, tau));
        if (records.back().conflict) {
            return nullptr;
        }
        anyPartner = anyPartner || records.back().partner != nullptr;
    }
    if (!anyPartner) {
        return nullptr;
    }

    std::unique_ptr<Tile> snapped = buildSnappedTile(doc, *tile, records);
    if (!snapped || crossesBoundary(doc, *target, *snapped)) {
        return nullptr;
    }
    snapped->edgeIndex = buildEdgeIndex(snapped->outline, doc.directionCount());
    Tile* joined = snapped.get();
    for (const MatchRecord& record : records) {
        if (record.partner != nullptr) {
            record.partner->neighbour = joined;
        }
    }
    addTileToGroup(doc, *target, std::move(snapped));
    bringGroupToTop(doc.board, target);
    return joined;
}

bool joinCurrentTile(Document& doc, Selection& sel) {
    Tile* tile = sel.currentTile;
    if (joinTile(doc, tile) == nullptr) {
        return false;
    }
    removeTile(doc, tile);
    sel.clear();
    return true;
}

bool detachTile(Document& doc, Selection& sel, Tile* tile) {
    if (tile == nullptr || tile->group == nullptr || tile->group->count() < 2) {
        return false;
    }
    TileGroup* oldGroup = tile->group;
    auto dropSelection = [&] {
        tile->selected = 0;
        if (sel.currentGroup != nullptr) {
            sel.currentGroup->selected = 0;
        }
        return false;
    };
    const BoardPixel at = boardToPixel(doc.view, tile->x, tile->y);
    if (!at.onBoard) {
        return dropSelection();
    }
    Tile* placed = placeTile(doc, tile->kind, tile->rotation, at.x, at.y);
    if (placed == nullptr) {
        return dropSelection();
    }
    // removeTileFromGroup frees the links that the old group's tiles hold to the tile.
    oldGroup->selected = 0;
    removeTileFromGroup(doc, *oldGroup, tile);
    placed->selected = 1;
    placed->group->selected = 1;
    sel.currentTile = placed;
    sel.currentGroup = placed->group;
    return true;
}

} // namespace pavelora
