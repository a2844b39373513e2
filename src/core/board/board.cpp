#include "core/board/board.h"

#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <algorithm>

namespace pavelora {

bool TileGroup::contains(const Tile* tile) const {
    return std::any_of(tiles.begin(), tiles.end(),
                       [tile](const std::unique_ptr<Tile>& t) { return t.get() == tile; });
}

bool Board::contains(const TileGroup* group) const {
    return std::any_of(groups.begin(), groups.end(),
                       [group](const std::unique_ptr<TileGroup>& g) { return g.get() == group; });
}

int Board::tileCount() const {
    int total = 0;
    for (const auto& group : groups) {
        total += group->count();
    }
    return total;
}

namespace {

template <typename T> auto findOwned(std::vector<std::unique_ptr<T>>& list, const T* item) {
    return std::find_if(list.begin(), list.end(),
                        [item](const std::unique_ptr<T>& p) { return p.get() == item; });
}

// Moves the item to the end of its list; nothing happens when it is not in it.
template <typename T> void moveToEnd(std::vector<std::unique_ptr<T>>& list, const T* item) {
    auto it = findOwned(list, item);
    if (it != list.end()) {
        std::rotate(it, it + 1, list.end());
    }
}

} // namespace

TileGroup* appendGroup(Board& board, std::unique_ptr<TileGroup> group) {
    if (!group) {
        return nullptr;
    }
    board.groups.push_back(std::move(group));
    return board.groups.back().get();
}

std::unique_ptr<TileGroup> unlinkGroup(Board& board, TileGroup* group) {
    auto it = findOwned(board.groups, group);
    if (it == board.groups.end()) {
        return nullptr;
    }
    std::unique_ptr<TileGroup> owned = std::move(*it);
    board.groups.erase(it);
    return owned;
}

void removeGroup(Board& board, TileGroup* group) {
    unlinkGroup(board, group);
}

void bringGroupToTop(Board& board, TileGroup* group) {
    moveToEnd(board.groups, group);
}

bool sortGroupsBySize(Board& board) {
    if (board.count() < 2) {
        return false;
    }
    // Repeatedly taking the first group with the largest count is a stable sort.
    std::stable_sort(board.groups.begin(), board.groups.end(),
                     [](const std::unique_ptr<TileGroup>& a, const std::unique_ptr<TileGroup>& b) {
                         return a->count() > b->count();
                     });
    return true;
}

std::unique_ptr<TileGroup> newGroup() {
    return std::make_unique<TileGroup>();
}

void recomputeBoundingBox(TileGroup& group) {
    if (group.tiles.empty()) {
        return;
    }
    const Tile& first = *group.tiles.front();
    group.minX = group.maxX = first.x;
    group.minY = group.maxY = first.y;
    for (const auto& tile : group.tiles) {
        group.minX = std::min(group.minX, tile->x);
        group.maxX = std::max(group.maxX, tile->x);
        group.minY = std::min(group.minY, tile->y);
        group.maxY = std::max(group.maxY, tile->y);
    }
}

int placeInGroup(const TileGroup& group, const Tile* tile) {
    if (tile == nullptr) {
        return -1;
    }
    const auto fits = [&group, tile] {
        const std::int32_t p = tile->listPlace;
        return p >= 0 && p < group.count() &&
               group.tiles[static_cast<std::size_t>(p)].get() == tile;
    };
    if (!fits()) {
        for (std::size_t i = 0; i < group.tiles.size(); ++i) {
            group.tiles[i]->listPlace = static_cast<std::int32_t>(i);
        }
        if (!fits()) {
            return -1;
        }
    }
    return tile->listPlace;
}

namespace {

// Below this many tiles a group is simply walked.
constexpr int SmallGroup = 48;

bool gridsInUse = true;

} // namespace

void useTileGrids(bool on) {
    gridsInUse = on;
}

void tilesInBox(const Document& doc, const TileGroup& group, double minX, double minY, double maxX,
                double maxY, std::vector<Tile*>& out) {
    if (group.count() < SmallGroup || !doc.tileSet || !gridsInUse) {
        for (const auto& tile : group.tiles) {
            out.push_back(tile.get());
        }
        return;
    }
    const double cell = doc.view.tileSizeRatio * doc.tileSet->extent;
    if (!group.grid.built() || group.grid.cellSize() != cell) {
        group.grid.build(group.tiles, cell);
    }
    const std::size_t first = out.size();
    group.grid.collect(minX, minY, maxX, maxY, out);
    const auto begin = out.begin() + static_cast<std::ptrdiff_t>(first);
    for (auto it = begin; it != out.end(); ++it) {
        placeInGroup(group, *it);
    }
    std::sort(begin, out.end(),
              [](const Tile* a, const Tile* b) { return a->listPlace < b->listPlace; });
}

namespace {

// Boundary, region and box; the grid is left as it is.
void rebuildOutlines(const Document& doc, TileGroup& group) {
    group.boundary = buildGroupBoundary(group, doc.directionCount());
    group.region = groupProximityRegion(group, doc.view);
    recomputeBoundingBox(group);
}

// The group's region and bounding box grown by a tile just added to it. A union does not
// depend on the order it is built in, so adding the new tile's polygon to the region gives
// the same pixels as building it from all tiles again.
TileGroup* extendRegionAndBox(const Document& doc, TileGroup& group, const Tile& added) {
    group.region = group.region.united(tileProximityRegion(added, doc.view));
    if (group.count() == 1) {
        group.minX = group.maxX = added.x;
        group.minY = group.maxY = added.y;
    } else {
        group.minX = std::min(group.minX, added.x);
        group.maxX = std::max(group.maxX, added.x);
        group.minY = std::min(group.minY, added.y);
        group.maxY = std::max(group.maxY, added.y);
    }
    return &group;
}

} // namespace

bool hasOneWayLinks(const TileGroup& group) {
    for (const auto& tile : group.tiles) {
        for (const TileEdge& edge : tile->outline.edges) {
            const Tile* other = edge.neighbour;
            if (other != nullptr && other != tile.get() &&
                std::none_of(other->outline.edges.begin(), other->outline.edges.end(),
                             [&](const TileEdge& back) { return back.neighbour == tile.get(); })) {
                return true;
            }
        }
    }
    return false;
}

void rebuildGroup(const Document& doc, TileGroup& group) {
    group.grid.reset();
    rebuildOutlines(doc, group);
}

TileGroup* appendTileRaw(TileGroup& group, std::unique_ptr<Tile> tile) {
    if (!tile) {
        return nullptr;
    }
    tile->group = &group;
    tile->listPlace = group.count();
    group.grid.insert(tile.get());
    group.tiles.push_back(std::move(tile));
    return &group;
}

TileGroup* addTileToGroup(const Document& doc, TileGroup& group, std::unique_ptr<Tile> tile) {
    if (!tile) {
        return nullptr;
    }
    Tile& added = *tile;
    appendTileRaw(group, std::move(tile));
    group.boundary = buildGroupBoundary(group, doc.directionCount());
    return extendRegionAndBox(doc, group, added);
}

TileGroup* addJoinedTile(const Document& doc, TileGroup& group, std::unique_ptr<Tile> tile,
                         const std::vector<const TileEdge*>& nowJoined) {
    if (!tile) {
        return nullptr;
    }
    Tile& added = *tile;
    appendTileRaw(group, std::move(tile));
    // The boundary as buildGroupBoundary would make it: an index is ordered by its edges'
    // ends, ties by the order they went in, later first. Taking edges out leaves the others
    // in their order; the new tile's free edges go in last, as the last tile's would.
    const std::int32_t directions = doc.directionCount();
    auto& rows = group.boundary.rows;
    bool allFound = true;
    for (const TileEdge* joined : nowJoined) {
        const double y = std::min(joined->y1, joined->y2);
        auto row = std::lower_bound(rows.begin(), rows.end(), y,
                                    [](const EdgeRow& r, double v) { return r.y < v; });
        if (row == rows.end() || row->y != y) {
            allFound = false;
            continue;
        }
        auto& edges = row->edges;
        const auto gone = std::remove_if(edges.begin(), edges.end(), [joined](const SortedEdge& e) {
            return e.source == joined;
        });
        allFound = allFound && gone != edges.end();
        edges.erase(gone, edges.end());
        if (edges.empty()) {
            rows.erase(row);
        }
    }
    if (allFound) {
        for (TileEdge& edge : added.outline.edges) {
            if (edge.neighbour == nullptr) {
                insertIntoIndex(group.boundary, makeSortedEdge(edge, directions));
            }
        }
    } else {
        // An edge said to be joined was not free: rather than guess, build it anew.
        group.boundary = buildGroupBoundary(group, directions);
    }
    return extendRegionAndBox(doc, group, added);
}

void removeTileFromGroup(const Document& doc, TileGroup& group, Tile* tile) {
    auto it = findOwned(group.tiles, tile);
    if (it != group.tiles.end()) {
        std::unique_ptr<Tile> removed = std::move(*it);
        group.grid.remove(removed.get());
        group.tiles.erase(it);
        // Joined edges hold links both ways; the other side must not point at a freed tile.
        for (const auto& other : group.tiles) {
            for (TileEdge& edge : other->outline.edges) {
                if (edge.neighbour == removed.get()) {
                    edge.neighbour = nullptr;
                }
            }
        }
    }
    rebuildOutlines(doc, group); // the grid has followed the removal
}

void bringTileToTop(TileGroup& group, Tile* tile) {
    moveToEnd(group.tiles, tile);
}

void placeOutline(const Document& doc, Tile& tile, double x, double y) {
    const double ratio = doc.view.tileSizeRatio;
    tile.x = x;
    tile.y = y;
    for (TileEdge& edge : tile.outline.edges) {
        edge.x1 = edge.x1 * ratio + x;
        edge.y1 = edge.y1 * ratio + y;
        edge.x2 = edge.x2 * ratio + x;
        edge.y2 = edge.y2 * ratio + y;
    }
    tile.edgeIndex = buildEdgeIndex(tile.outline, doc.directionCount());
}

Tile* placeTile(Document& doc, std::int32_t kind, std::int32_t rotation, std::int32_t pixelX,
                std::int32_t pixelY) {
    if (!doc.tileSet || rotation < 0 || rotation >= doc.tileSet->directionCount) {
        return nullptr;
    }
    double x = 0;
    double y = 0;
    if (!pixelToBoard(doc.view, pixelX, pixelY, x, y)) {
        return nullptr;
    }
    std::unique_ptr<Tile> tile = buildTile(doc.tileSet.get(), &doc.angles, kind, rotation);
    if (!tile) {
        return nullptr;
    }
    placeOutline(doc, *tile, x, y);
    Tile* placed = tile.get();
    auto group = newGroup();
    addTileToGroup(doc, *group, std::move(tile));
    appendGroup(doc.board, std::move(group));
    return placed;
}

void removeTile(Document& doc, Tile* tile) {
    if (tile == nullptr || tile->group == nullptr) {
        return;
    }
    TileGroup* group = tile->group;
    if (group->count() == 1) {
        removeGroup(doc.board, group);
    } else {
        removeTileFromGroup(doc, *group, tile);
    }
}

EdgeIndex buildGroupBoundary(TileGroup& group, std::int32_t directionCount) {
    EdgeIndex index;
    for (const auto& tile : group.tiles) {
        for (TileEdge& edge : tile->outline.edges) {
            if (edge.neighbour == nullptr) {
                insertIntoIndex(index, makeSortedEdge(edge, directionCount));
            }
        }
    }
    return index;
}

} // namespace pavelora
