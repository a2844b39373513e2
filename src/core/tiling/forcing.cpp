#include "core/tiling/forcing.h"

#include "core/board/editing.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/vertexrules.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace pavelora {

namespace {

// How far the corners of the set's tiles lie from their positions at most, in tile units.
double tileRadius(const Document& doc, const VertexAtlas* atlas) {
    if (atlas == nullptr) {
        return doc.tileSet->extent;
    }
    double radius = 0.0;
    for (std::int32_t kind : doc.tileSet->kindCodes) {
        if (const Tile* unit = atlas->unitTile(kind, 0)) {
            for (const TileEdge& e : unit->outline.edges) {
                radius = std::max(radius, std::hypot(e.x1, e.y1));
            }
        }
    }
    return radius > 0.0 ? radius : doc.tileSet->extent;
}

// A group's tiles seen through their vertices and their places: which tiles meet at a
// point, and which tiles lie near a tile that might be added.
class GroupRules {
public:
    GroupRules(const Document& doc, const TileGroup& group, const VertexAtlas* atlas)
        : doc_(doc), atlas_(atlas), map_(doc.view.tileSizeRatio),
          reach_(doc.view.tileSizeRatio * tileRadius(doc, atlas) * 1.001) {
        for (const auto& tile : group.tiles) {
            add(*tile);
        }
    }

    const VertexMap& map() const { return map_; }

    void add(Tile& tile) {
        map_.addTile(tile);
        grid_[key(cellOf(tile.x), cellOf(tile.y))].push_back(&tile);
    }

    // The tile at a placement as buildTile makes it, scaled and moved as tiles are placed,
    // every vertex that the group already has taking the group's value.
    std::unique_ptr<Tile> build(const TilePlacement& p) const {
        std::unique_ptr<Tile> tile =
            buildTile(doc_.tileSet.get(), &doc_.angles, p.kind, p.rotation);
        if (!tile) {
            return nullptr;
        }
        const double ratio = doc_.view.tileSizeRatio;
        tile->x = p.x;
        tile->y = p.y;
        for (TileEdge& e : tile->outline.edges) {
            e.x1 = e.x1 * ratio + p.x;
            e.y1 = e.y1 * ratio + p.y;
            e.x2 = e.x2 * ratio + p.x;
            e.y2 = e.y2 * ratio + p.y;
        }
        auto& edges = tile->outline.edges;
        const std::size_t n = edges.size();
        for (std::size_t i = 0; i < n; ++i) {
            const int v = map_.find(edges[i].x1, edges[i].y1);
            if (v >= 0) {
                TileEdge& previous = edges[(i + n - 1) % n];
                edges[i].x1 = previous.x2 = map_.vertices()[v].x;
                edges[i].y1 = previous.y2 = map_.vertices()[v].y;
            }
        }
        return tile;
    }

    // The placement that puts corner c at vertex v.
    TilePlacement placementAt(int v, const PlacedCorner& c) const {
        const TileEdge& u = atlas_->unitTile(c.kind, c.rotation)->outline.edges[c.corner];
        const double ratio = doc_.view.tileSizeRatio;
        const VertexMap::Vertex& vertex = map_.vertices()[v];
        return {c.kind, c.rotation, vertex.x - u.x1 * ratio, vertex.y - u.y1 * ratio};
    }

    // Whether a tile not yet in the group may join it: every vertex it shares with the
    // group still part of a star, overlapping none of the group's tiles. Where the board
    // ends is no rule of the tiling: a tile off the board may fit, it is only not laid.
    bool fits(const Tile& tile) const {
        std::vector<PlacedCorner> corners;
        for (int i = 0; i < tile.outline.count(); ++i) {
            const TileEdge& e = tile.outline.edges[i];
            const int v = map_.find(e.x1, e.y1);
            if (v < 0) {
                continue;
            }
            corners = map_.placedCorners(v);
            corners.push_back({tile.kind, tile.rotation, i});
            if (vertexState(*atlas_, corners) == VertexState::DeadEnd) {
                return false;
            }
        }
        const std::int64_t cx = cellOf(tile.x);
        const std::int64_t cy = cellOf(tile.y);
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto at = grid_.find(key(cx + dx, cy + dy));
                if (at == grid_.end()) {
                    continue;
                }
                for (const Tile* other : at->second) {
                    // Tiles further apart than two radii cannot meet.
                    if (std::fabs(other->x - tile.x) >= 2 * reach_ ||
                        std::fabs(other->y - tile.y) >= 2 * reach_) {
                        continue;
                    }
                    if (tilesOverlap(doc_, tile, *other)) {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    // Calls f once with every tile of the group whose position lies within `distance` of one
    // of the given tiles' (and with some a little further).
    template <typename F>
    void forEachNear(const std::vector<Tile*>& tiles, double distance, F&& f) const {
        const auto cells = static_cast<std::int64_t>(std::ceil(distance / (2 * reach_)));
        std::unordered_set<std::uint64_t> seen;
        for (const Tile* tile : tiles) {
            const std::int64_t cx = cellOf(tile->x);
            const std::int64_t cy = cellOf(tile->y);
            for (std::int64_t dx = -cells; dx <= cells; ++dx) {
                for (std::int64_t dy = -cells; dy <= cells; ++dy) {
                    const std::uint64_t k = key(cx + dx, cy + dy);
                    const auto at = grid_.find(k);
                    if (at != grid_.end() && seen.insert(k).second) {
                        for (const Tile* other : at->second) {
                            f(*other);
                        }
                    }
                }
            }
        }
    }

    double reach() const { return reach_; }

    // Joins a tile that is about to be added to every tile of the group with which it shares
    // an edge, both ways.
    void link(Tile& tile) const {
        auto& edges = tile.outline.edges;
        for (TileEdge& e : edges) {
            const int from = map_.find(e.x1, e.y1);
            const int to = map_.find(e.x2, e.y2);
            if (from < 0 || to < 0) {
                continue;
            }
            for (int c = map_.vertices()[to].first; c >= 0; c = map_.corners()[c].next) {
                Tile* other = map_.corners()[c].tile;
                TileEdge& back = other->outline.edges[map_.corners()[c].corner];
                if (map_.find(back.x2, back.y2) == from) {
                    e.neighbour = other;
                    back.neighbour = &tile;
                }
            }
        }
    }

private:
    // Tiles whose outlines can meet lie less than two radii apart: cells of that size.
    std::int64_t cellOf(double v) const {
        return static_cast<std::int64_t>(std::floor(v / (2 * reach_)));
    }
    static std::uint64_t key(std::int64_t cx, std::int64_t cy) {
        return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
    }

    const Document& doc_;
    const VertexAtlas* atlas_;
    VertexMap map_;
    double reach_;
    std::unordered_map<std::uint64_t, std::vector<Tile*>> grid_;
};

bool holds(const std::vector<PlacedCorner>& corners, const PlacedCorner& c) {
    return std::find(corners.begin(), corners.end(), c) != corners.end();
}

} // namespace

std::vector<Tile*> completeForced(Document& doc, TileGroup& group, const VertexAtlas& atlas) {
    std::vector<Tile*> added;
    if (!doc.tileSet || doc.tileSet->code != atlas.setCode()) {
        return added;
    }
    GroupRules rules(doc, group, &atlas);
    const int full = atlas.directionCount();
    std::vector<int> queue;
    std::vector<char> queued;
    for (int v = static_cast<int>(rules.map().vertices().size()) - 1; v >= 0; --v) {
        queue.push_back(v);
    }
    queued.assign(queue.size(), 1);

    std::vector<PlacedCorner> corners;
    std::vector<PlacedCorner> missing;
    std::vector<PlacedCorner> forced;
    std::vector<std::pair<PlacedCorner, bool>> fitting; // per vertex: corner -> its tile fits
    std::size_t swept = 0; // the added tiles whose surroundings were looked at again
    for (;;) {
        // What fits at a vertex depends on every tile that a tile at the vertex could meet:
        // a tile whose corner is at the vertex lies within one reach of it and meets tiles
        // within two reaches of its own position. So once the vertices the new tiles touch
        // are done, every vertex within three reaches of a tile added since is looked at
        // again (they are corners of the tiles within four), until none adds a tile.
        if (queue.empty() && swept < added.size()) {
            const std::vector<Tile*> since(added.begin() + static_cast<std::ptrdiff_t>(swept),
                                           added.end());
            rules.forEachNear(since, 4 * rules.reach(), [&](const Tile& near) {
                for (const TileEdge& e : near.outline.edges) {
                    const int w = rules.map().find(e.x1, e.y1);
                    if (w >= 0 && queued[w] == 0) {
                        queued[w] = 1;
                        queue.push_back(w);
                    }
                }
            });
            swept = added.size();
        }
        if (queue.empty()) {
            break;
        }
        const int v = queue.back();
        queue.pop_back();
        queued[v] = 0;
        corners = rules.map().placedCorners(v);
        // Named as the atlas's placements name them.
        for (PlacedCorner& c : corners) {
            c = atlas.canonical(c);
        }
        VertexAtlas::Mask possible;
        possible.set();
        int span = 0;
        for (const PlacedCorner& c : corners) {
            possible &= atlas.placementsWith(c);
            span += atlas.cornerSpan(c.kind, c.corner);
        }
        if (possible.none() || span >= full || vertexState(atlas, corners) != VertexState::Open) {
            continue;
        }
        fitting.clear();
        bool any = false;
        forced.clear();
        for (int p = 0; p < static_cast<int>(atlas.placements().size()); ++p) {
            if (!possible.test(p)) {
                continue;
            }
            missing.clear();
            bool ok = true;
            for (const PlacedCorner& c : atlas.placements()[p].corners) {
                if (holds(corners, c)) {
                    continue;
                }
                missing.push_back(c);
                auto known = std::find_if(fitting.begin(), fitting.end(),
                                          [&](const auto& f) { return f.first == c; });
                if (known == fitting.end()) {
                    std::unique_ptr<Tile> tile = rules.build(rules.placementAt(v, c));
                    fitting.emplace_back(c, tile && rules.fits(*tile));
                    known = fitting.end() - 1;
                }
                if (!known->second) {
                    ok = false;
                    break;
                }
            }
            if (!ok) {
                continue;
            }
            if (!any) {
                forced = missing;
                any = true;
            } else {
                std::erase_if(forced, [&](const PlacedCorner& c) { return !holds(missing, c); });
            }
            if (forced.empty()) {
                break;
            }
        }
        for (const PlacedCorner& c : forced) {
            std::unique_ptr<Tile> tile = rules.build(rules.placementAt(v, c));
            // An earlier tile of this vertex may have changed what fits.
            if (!tile || !positionOnBoard(doc.view, tile->x, tile->y) || !rules.fits(*tile)) {
                continue;
            }
            rules.link(*tile);
            tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
            Tile* raw = tile.get();
            appendTileRaw(group, std::move(tile));
            rules.add(*raw);
            added.push_back(raw);
            queued.resize(rules.map().vertices().size(), 0);
            for (const TileEdge& e : raw->outline.edges) {
                const int w = rules.map().find(e.x1, e.y1);
                if (w >= 0 && queued[w] == 0) {
                    queued[w] = 1;
                    queue.push_back(w);
                }
            }
        }
    }
    if (!added.empty()) {
        rebuildGroup(doc, group);
    }
    return added;
}

std::vector<TilePlacement> legalTilesAt(const Document& doc, const TileGroup& group,
                                        const TileEdge& edge, const VertexAtlas& atlas) {
    std::vector<TilePlacement> out;
    if (!doc.tileSet || doc.tileSet->code != atlas.setCode()) {
        return out;
    }
    const GroupRules rules(doc, group, &atlas);
    const int n = atlas.directionCount();
    const double ratio = doc.view.tileSizeRatio;
    const std::int32_t opposite = (edge.direction + n / 2) % n;
    for (std::int32_t kind : doc.tileSet->kindCodes) {
        for (int r = 0; r < n; ++r) {
            const Tile* unit = atlas.unitTile(kind, r);
            for (int k = 0; k < unit->outline.count(); ++k) {
                const TileEdge& u = unit->outline.edges[k];
                if (u.direction != opposite || u.length != edge.length ||
                    (doc.tileSet->hasPairPattern != 0 && u.matchCode + edge.matchCode != 0)) {
                    continue;
                }
                // A tile that a turn maps onto itself comes once, at the atlas's naming.
                const PlacedCorner start{kind, r, k};
                if (atlas.canonical(start) != start) {
                    continue;
                }
                // The tile's edge runs from the group edge's end to its start.
                const TilePlacement p{kind, r, edge.x2 - u.x1 * ratio, edge.y2 - u.y1 * ratio};
                const std::unique_ptr<Tile> tile = rules.build(p);
                if (tile && positionOnBoard(doc.view, p.x, p.y) && rules.fits(*tile)) {
                    out.push_back(p);
                }
            }
        }
    }
    return out;
}

Tile* addJoinedTile(Document& doc, TileGroup& group, const TilePlacement& placement) {
    if (!doc.tileSet) {
        return nullptr;
    }
    const GroupRules rules(doc, group, nullptr);
    std::unique_ptr<Tile> tile = rules.build(placement);
    if (!tile) {
        return nullptr;
    }
    rules.link(*tile);
    tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
    Tile* raw = tile.get();
    if (addTileToGroup(doc, group, std::move(tile)) == nullptr) {
        return nullptr;
    }
    return raw;
}

std::vector<TileState> recordTilesFrom(const TileGroup& group, int first) {
    std::vector<TileState> records;
    for (int i = std::max(first, 0); i < group.count(); ++i) {
        records.push_back(recordTile(group, i));
    }
    return records;
}

void removeTilesFrom(Document& doc, TileGroup& group, int first) {
    if (first < 0 || first >= group.count()) {
        return;
    }
    std::unordered_set<const Tile*> going;
    for (std::size_t i = static_cast<std::size_t>(first); i < group.tiles.size(); ++i) {
        going.insert(group.tiles[i].get());
    }
    for (int i = 0; i < first; ++i) {
        for (TileEdge& e : group.tiles[static_cast<std::size_t>(i)]->outline.edges) {
            if (e.neighbour != nullptr && going.contains(e.neighbour)) {
                e.neighbour = nullptr;
            }
        }
    }
    group.tiles.erase(group.tiles.begin() + first, group.tiles.end());
    rebuildGroup(doc, group);
}

void appendRecordedTiles(Document& doc, TileGroup& group, const std::vector<TileState>& records) {
    for (const TileState& record : records) {
        std::unique_ptr<Tile> built = buildRecordedTile(doc, record);
        if (!built) {
            continue;
        }
        const int place = group.count();
        const auto at = [&](int index) -> Tile* {
            return index >= 0 && index < place ? group.tiles[static_cast<std::size_t>(index)].get()
                                               : nullptr;
        };
        for (std::size_t e = 0; e < record.edges.size(); ++e) {
            built->outline.edges[e].neighbour = at(record.neighbours[e]);
        }
        group.oneWayLinks = group.oneWayLinks || namedOneWay(record);
        Tile* restored = built.get();
        for (const auto& [other, edge] : record.joinedBy) {
            Tile* t = at(other);
            if (t != nullptr && edge >= 0 && edge < t->outline.count()) {
                t->outline.edges[static_cast<std::size_t>(edge)].neighbour = restored;
            }
        }
        appendTileRaw(group, std::move(built));
    }
    rebuildGroup(doc, group);
}

} // namespace pavelora
