#include "core/board/editing.h"

#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace pavelora {

double snapTolerance(const Document& doc) {
    return doc.view.tileSizeRatio * doc.tileSet->extent * 0.05;
}

void moveGroupInSteps(const Document& doc, TileGroup& group,
                      const std::vector<std::pair<double, double>>& moves) {
    if (moves.empty()) {
        return;
    }
    for (const auto& tile : group.tiles) {
        for (const auto& [dx, dy] : moves) {
            tile->x += dx;
            tile->y += dy;
            for (TileEdge& edge : tile->outline.edges) {
                edge.x1 += dx;
                edge.y1 += dy;
                edge.x2 += dx;
                edge.y2 += dy;
            }
        }
        tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
    }
    for (const auto& [dx, dy] : moves) {
        group.grid.shift(dx, dy);
        group.minX += dx;
        group.maxX += dx;
        group.minY += dy;
        group.maxY += dy;
    }
    group.boundary = buildGroupBoundary(group, doc.directionCount());
    group.region = groupProximityRegion(group, doc.view);
}

bool moveGroup(const Document& doc, TileGroup& group, double dx, double dy) {
    moveGroupInSteps(doc, group, {{dx, dy}});
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
    return positionOnBoard(view, minX, minY) && positionOnBoard(view, maxX, maxY);
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

namespace {

struct Box {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;

    bool meets(const Box& o, double margin) const {
        return minX <= o.maxX + margin && o.minX <= maxX + margin && minY <= o.maxY + margin &&
               o.minY <= maxY + margin;
    }
};

Box outlineBox(const Tile& tile) {
    Box box{tile.x, tile.y, tile.x, tile.y};
    for (const TileEdge& e : tile.outline.edges) {
        box.minX = std::min(box.minX, e.x1);
        box.maxX = std::max(box.maxX, e.x1);
        box.minY = std::min(box.minY, e.y1);
        box.maxY = std::max(box.maxY, e.y1);
    }
    return box;
}

// The tiles of the group whose outlines may reach into the box: a tile's outline lies
// within `reach` of its position.
std::vector<const Tile*> tilesNear(const Document& doc, const TileGroup& group, const Box& box,
                                   double reach) {
    std::vector<Tile*> candidates;
    tilesInBox(doc, group, box.minX - reach, box.minY - reach, box.maxX + reach, box.maxY + reach,
               candidates);
    std::vector<const Tile*> near;
    for (const Tile* t : candidates) {
        if (t->x >= box.minX - reach && t->x <= box.maxX + reach && t->y >= box.minY - reach &&
            t->y <= box.maxY + reach) {
            near.push_back(t);
        }
    }
    return near;
}

struct Point {
    double x;
    double y;
};

using Triangle = std::array<Point, 3>;

// A tile as triangles from its position to each outline edge. Every tile shape is
// star-shaped about its reference point (the dart's reflex corner, the notches of the
// pentagrams and of the waned decagon included), so the triangles cover the tile's
// interior exactly once.
std::vector<Triangle> fan(const Tile& tile) {
    std::vector<Triangle> triangles;
    triangles.reserve(tile.outline.edges.size());
    for (const TileEdge& e : tile.outline.edges) {
        triangles.push_back({Point{tile.x, tile.y}, Point{e.x1, e.y1}, Point{e.x2, e.y2}});
    }
    return triangles;
}

double cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Area of the intersection of two anticlockwise triangles: the first clipped by each
// side of the second in turn.
double overlapArea(const Triangle& subject, const Triangle& clip) {
    std::array<Point, 9> bufferA{};
    std::array<Point, 9> bufferB{};
    Point* in = bufferA.data();
    Point* out = bufferB.data();
    int n = 3;
    std::copy(subject.begin(), subject.end(), in);
    for (int side = 0; side < 3 && n > 0; ++side) {
        const Point a = clip[side];
        const Point b = clip[(side + 1) % 3];
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const Point p = in[i];
            const Point q = in[(i + 1) % n];
            const double sp = cross(a, b, p);
            const double sq = cross(a, b, q);
            if (sp >= 0) {
                out[m++] = p;
            }
            if ((sp >= 0) != (sq >= 0)) {
                const double t = sp / (sp - sq);
                out[m++] = Point{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
            }
        }
        std::swap(in, out);
        n = m;
    }
    double twice = 0.0;
    for (int i = 0; i < n; ++i) {
        twice += in[i].x * in[(i + 1) % n].y - in[(i + 1) % n].x * in[i].y;
    }
    return twice / 2;
}

Box triangleBox(const Triangle& t) {
    return {std::min({t[0].x, t[1].x, t[2].x}), std::min({t[0].y, t[1].y, t[2].y}),
            std::max({t[0].x, t[1].x, t[2].x}), std::max({t[0].y, t[1].y, t[2].y})};
}

double squaredDistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

// True when the two segments come closer than `reach` to each other.
bool segmentsWithin(Point a1, Point a2, Point b1, Point b2, double reach) {
    const double o1 = cross(a1, a2, b1);
    const double o2 = cross(a1, a2, b2);
    const double o3 = cross(b1, b2, a1);
    const double o4 = cross(b1, b2, a2);
    if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) {
        return true;
    }
    const double r2 = reach * reach;
    return squaredDistanceToSegment(b1, a1, a2) < r2 || squaredDistanceToSegment(b2, a1, a2) < r2 ||
           squaredDistanceToSegment(a1, b1, b2) < r2 || squaredDistanceToSegment(a2, b1, b2) < r2;
}

// Reach of a tile's outline from its position, with room for rounding.
double tileReach(const Document& doc) {
    return doc.view.tileSizeRatio * doc.tileSet->extent * 1.001;
}

// The groups that the tile may join, in the order in which they are tried: those with a
// free edge within `reach` of an edge of the tile, the largest first, of equal ones the
// later in display order.
std::vector<TileGroup*> joinCandidates(const Document& doc, const Tile& tile, double reach) {
    const Box box = outlineBox(tile);
    const double tileSpan = tileReach(doc);
    std::vector<TileGroup*> candidates;
    const auto& groups = doc.board.groups;
    for (auto g = groups.rbegin(); g != groups.rend(); ++g) {
        TileGroup* group = g->get();
        if (group == tile.group || group->tiles.empty() ||
            !box.meets(Box{group->minX, group->minY, group->maxX, group->maxY}, tileSpan + reach)) {
            continue;
        }
        bool near = false;
        for (const EdgeRow& row : group->boundary.rows) {
            if (near || row.y > box.maxY + reach) {
                break; // rows ascend by their lower ends
            }
            for (const SortedEdge& free : row.edges) {
                const Box edgeBox{std::min(free.x1, free.x2), free.y1, std::max(free.x1, free.x2),
                                  free.y2};
                if (!edgeBox.meets(box, reach)) {
                    continue;
                }
                for (const TileEdge& e : tile.outline.edges) {
                    if (segmentsWithin({free.x1, free.y1}, {free.x2, free.y2}, {e.x1, e.y1},
                                       {e.x2, e.y2}, reach)) {
                        near = true;
                        break;
                    }
                }
                if (near) {
                    break;
                }
            }
        }
        if (near) {
            candidates.push_back(group);
        }
    }
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const TileGroup* a, const TileGroup* b) { return a->count() > b->count(); });
    return candidates;
}

} // namespace

void adoptGroupVertices(const Document& doc, const TileGroup& group, Tile& tile) {
    const double hair = doc.view.tileSizeRatio * 1e-9;
    const std::vector<const Tile*> near = tilesNear(doc, group, outlineBox(tile), tileReach(doc));
    auto& edges = tile.outline.edges;
    const std::size_t n = edges.size();
    for (std::size_t i = 0; i < n; ++i) {
        TileEdge& e = edges[i];
        TileEdge& previous = edges[(i + n - 1) % n];
        if (e.neighbour != nullptr || previous.neighbour != nullptr) {
            continue; // already copied from the matched edge
        }
        bool found = false;
        for (const Tile* other : near) {
            for (const TileEdge& g : other->outline.edges) {
                if (std::fabs(g.x1 - e.x1) <= hair && std::fabs(g.y1 - e.y1) <= hair) {
                    e.x1 = g.x1;
                    e.y1 = g.y1;
                    found = true;
                    break;
                }
            }
            if (found) {
                break;
            }
        }
        previous.x2 = e.x1;
        previous.y2 = e.y1;
    }
}

bool overlapsGroup(const Document& doc, const TileGroup& group, const Tile& tile) {
    const double ratio = doc.view.tileSizeRatio;
    // Tiles that only touch overlap by rounding at most, some 1e-16 of their area;
    // tiles that overlap do so by a good part of a tile.
    const double least = 1e-9 * ratio * ratio;
    const std::vector<Triangle> mine = fan(tile);
    std::vector<Box> mineBoxes;
    for (const Triangle& t : mine) {
        mineBoxes.push_back(triangleBox(t));
    }
    for (const Tile* other : tilesNear(doc, group, outlineBox(tile), tileReach(doc))) {
        double area = 0.0;
        for (const Triangle& theirs : fan(*other)) {
            const Box theirBox = triangleBox(theirs);
            for (std::size_t i = 0; i < mine.size(); ++i) {
                if (mineBoxes[i].meets(theirBox, 0.0)) {
                    area += overlapArea(mine[i], theirs);
                }
            }
        }
        if (area > least) {
            return true;
        }
    }
    return false;
}

bool tilesOverlap(const Document& doc, const Tile& a, const Tile& b) {
    if (!outlineBox(a).meets(outlineBox(b), 0.0)) {
        return false;
    }
    const double ratio = doc.view.tileSizeRatio;
    const double least = 1e-9 * ratio * ratio; // as in overlapsGroup
    const std::vector<Triangle> theirs = fan(b);
    std::vector<Box> theirBoxes;
    theirBoxes.reserve(theirs.size());
    for (const Triangle& t : theirs) {
        theirBoxes.push_back(triangleBox(t));
    }
    double area = 0.0;
    for (const Triangle& mine : fan(a)) {
        const Box mineBox = triangleBox(mine);
        for (std::size_t i = 0; i < theirs.size(); ++i) {
            if (mineBox.meets(theirBoxes[i], 0.0)) {
                area += overlapArea(mine, theirs[i]);
            }
        }
    }
    return area > least;
}

Tile* joinTile(Document& doc, Tile* tile) {
    if (tile == nullptr || tile->group == nullptr || !doc.tileSet) {
        return nullptr;
    }
    const double tau = snapTolerance(doc);

    // matchEdge pairs vertices up to tau apart in x and in y: edges that close are near.
    for (TileGroup* target : joinCandidates(doc, *tile, tau * std::numbers::sqrt2)) {
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
            continue; // nothing of this group fits: the next one may
        }

        std::unique_ptr<Tile> snapped = buildSnappedTile(doc, *tile, records);
        if (!snapped) {
            return nullptr;
        }
        adoptGroupVertices(doc, *target, *snapped);
        if (crossesBoundary(doc, *target, *snapped) || overlapsGroup(doc, *target, *snapped)) {
            return nullptr;
        }
        snapped->edgeIndex = buildEdgeIndex(snapped->outline, doc.directionCount());
        Tile* joined = snapped.get();
        std::vector<const TileEdge*> nowJoined;
        for (const MatchRecord& record : records) {
            if (record.partner != nullptr) {
                record.partner->neighbour = joined;
                nowJoined.push_back(record.partner);
            }
        }
        addJoinedTile(doc, *target, std::move(snapped), nowJoined);
        bringGroupToTop(doc.board, target);
        return joined;
    }
    return nullptr;
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
