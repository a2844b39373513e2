#include "core/board/restore.h"

#include "core/board/hittest.h"
#include "core/geometry/tilebuilder.h"

#include <algorithm>

namespace pavelora {

namespace {

template <typename T> void moveWithin(std::vector<std::unique_ptr<T>>& list, int from, int to) {
    const auto first = list.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else if (from > to) {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

// The tile that will be at `place` once `inserted` is inserted at `at`.
Tile* tileAfterInsert(TileGroup& group, int place, int at, Tile* inserted) {
    if (place == at) {
        return inserted;
    }
    if (place < 0) {
        return nullptr;
    }
    const int index = place < at ? place : place - 1;
    return index < group.count() ? group.tiles[static_cast<std::size_t>(index)].get() : nullptr;
}

} // namespace

int groupIndexOf(const Board& board, const TileGroup* group) {
    for (std::size_t i = 0; i < board.groups.size(); ++i) {
        if (board.groups[i].get() == group) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int tileIndexOf(const TileGroup& group, const Tile* tile) {
    return placeInGroup(group, tile);
}

TileState recordTile(const TileGroup& group, int tile) {
    const Tile& t = *group.tiles[static_cast<std::size_t>(tile)];
    TileState record;
    record.kind = t.kind;
    record.rotation = t.rotation;
    record.x = t.x;
    record.y = t.y;
    std::vector<const Tile*> joined;
    for (const TileEdge& edge : t.outline.edges) {
        record.edges.push_back({edge.x1, edge.y1, edge.x2, edge.y2});
        record.neighbours.push_back(edge.neighbour != nullptr ? tileIndexOf(group, edge.neighbour)
                                                              : -1);
        if (edge.neighbour != nullptr &&
            std::find(joined.begin(), joined.end(), edge.neighbour) == joined.end()) {
            joined.push_back(edge.neighbour);
        }
    }
    // The edges that name the tile: with links both ways they belong to the tiles it names
    // (itself included); a group with links one way only is searched whole.
    const auto namedBy = [&](const Tile& other, int place) {
        for (std::size_t e = 0; e < other.outline.edges.size(); ++e) {
            if (other.outline.edges[e].neighbour == &t) {
                record.joinedBy.emplace_back(place, static_cast<int>(e));
            }
        }
    };
    if (group.oneWayLinks) {
        for (std::size_t place = 0; place < group.tiles.size(); ++place) {
            namedBy(*group.tiles[place], static_cast<int>(place));
        }
    } else {
        for (const Tile* other : joined) {
            const int place = tileIndexOf(group, other);
            if (place >= 0) {
                namedBy(*other, place);
            }
        }
        std::sort(record.joinedBy.begin(), record.joinedBy.end());
    }
    return record;
}

bool namedOneWay(const TileState& record) {
    return std::any_of(record.joinedBy.begin(), record.joinedBy.end(), [&](const auto& by) {
        return std::find(record.neighbours.begin(), record.neighbours.end(), by.first) ==
               record.neighbours.end();
    });
}

void removeTileAt(Document& doc, int group, int tile) {
    TileGroup& g = *doc.board.groups[static_cast<std::size_t>(group)];
    removeTile(doc, g.tiles[static_cast<std::size_t>(tile)].get());
}

std::unique_ptr<Tile> buildRecordedTile(const Document& doc, const TileState& record) {
    std::unique_ptr<Tile> built =
        buildTile(doc.tileSet.get(), &doc.angles, record.kind, record.rotation);
    if (!built || built->outline.edges.size() != record.edges.size()) {
        return nullptr;
    }
    built->x = record.x;
    built->y = record.y;
    for (std::size_t e = 0; e < record.edges.size(); ++e) {
        TileEdge& edge = built->outline.edges[e];
        edge.x1 = record.edges[e][0];
        edge.y1 = record.edges[e][1];
        edge.x2 = record.edges[e][2];
        edge.y2 = record.edges[e][3];
    }
    built->edgeIndex = buildEdgeIndex(built->outline, doc.directionCount());
    return built;
}

bool restoreTileAt(Document& doc, int group, int tile, bool ownGroup, const TileState& record) {
    std::unique_ptr<Tile> built = buildRecordedTile(doc, record);
    if (!built) {
        return false;
    }
    Board& board = doc.board;
    if (ownGroup) {
        // The only tile of its group can be joined to nothing but itself.
        for (std::size_t e = 0; e < record.neighbours.size(); ++e) {
            if (record.neighbours[e] == 0) {
                built->outline.edges[e].neighbour = built.get();
            }
        }
        auto own = newGroup();
        addTileToGroup(doc, *own, std::move(built));
        board.groups.insert(board.groups.begin() + group, std::move(own));
        return true;
    }
    TileGroup& g = *board.groups[static_cast<std::size_t>(group)];
    g.oneWayLinks = g.oneWayLinks || namedOneWay(record);
    Tile* restored = built.get();
    for (std::size_t e = 0; e < record.neighbours.size(); ++e) {
        restored->outline.edges[e].neighbour =
            tileAfterInsert(g, record.neighbours[e], tile, restored);
    }
    for (const auto& [place, edge] : record.joinedBy) {
        Tile* other = tileAfterInsert(g, place, tile, restored);
        if (other != nullptr && edge < static_cast<int>(other->outline.edges.size())) {
            other->outline.edges[static_cast<std::size_t>(edge)].neighbour = restored;
        }
    }
    if (tile >= g.count()) {
        addTileToGroup(doc, g, std::move(built)); // as a join adds it
    } else {
        built->group = &g;
        g.tiles.insert(g.tiles.begin() + tile, std::move(built));
        g.grid.reset();
        rebuildGroup(doc, g);
    }
    return true;
}

void moveGroupTo(Board& board, int from, int to) {
    moveWithin(board.groups, from, to);
}

void moveTileTo(TileGroup& group, int from, int to) {
    moveWithin(group.tiles, from, to);
}

std::vector<double> recordCoordinates(const Board& board, int group) {
    std::vector<double> values;
    for (std::size_t g = 0; g < board.groups.size(); ++g) {
        if (group >= 0 && static_cast<int>(g) != group) {
            continue;
        }
        const TileGroup& tg = *board.groups[g];
        for (const auto& tile : tg.tiles) {
            values.push_back(tile->x);
            values.push_back(tile->y);
            for (const TileEdge& edge : tile->outline.edges) {
                values.insert(values.end(), {edge.x1, edge.y1, edge.x2, edge.y2});
            }
        }
        values.insert(values.end(), {tg.minX, tg.minY, tg.maxX, tg.maxY});
    }
    return values;
}

void exchangeCoordinates(Document& doc, int group, std::vector<double>& values) {
    std::size_t i = 0;
    auto swapNext = [&](double& value) {
        if (i < values.size()) {
            std::swap(value, values[i++]);
        }
    };
    for (std::size_t g = 0; g < doc.board.groups.size(); ++g) {
        if (group >= 0 && static_cast<int>(g) != group) {
            continue;
        }
        TileGroup& tg = *doc.board.groups[g];
        for (const auto& tile : tg.tiles) {
            swapNext(tile->x);
            swapNext(tile->y);
            for (TileEdge& edge : tile->outline.edges) {
                swapNext(edge.x1);
                swapNext(edge.y1);
                swapNext(edge.x2);
                swapNext(edge.y2);
            }
            tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
        }
        swapNext(tg.minX);
        swapNext(tg.minY);
        swapNext(tg.maxX);
        swapNext(tg.maxY);
        tg.grid.reset();
        tg.boundary = buildGroupBoundary(tg, doc.directionCount());
        tg.region = groupProximityRegion(tg, doc.view);
    }
}

void applyOrder(Board& board, const std::vector<int>& order) {
    std::vector<std::unique_ptr<TileGroup>> reordered(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        reordered[i] = std::move(board.groups[static_cast<std::size_t>(order[i])]);
    }
    board.groups = std::move(reordered);
}

void reverseOrder(Board& board, const std::vector<int>& order) {
    std::vector<std::unique_ptr<TileGroup>> previous(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        previous[static_cast<std::size_t>(order[i])] = std::move(board.groups[i]);
    }
    board.groups = std::move(previous);
}

} // namespace pavelora
