#include "core/tiling/vertexrules.h"

#include <algorithm>
#include <cmath>

namespace pavelora {

VertexState vertexState(const VertexAtlas& atlas, const std::vector<PlacedCorner>& corners) {
    VertexAtlas::Mask possible;
    possible.set();
    int span = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (atlas.canonical(corners[i]) == atlas.canonical(corners[j])) {
                return VertexState::DeadEnd; // two tiles in one place
            }
        }
        possible &= atlas.placementsWith(corners[i]);
        span += atlas.cornerSpan(corners[i].kind, corners[i].corner);
    }
    if (possible.none()) {
        return VertexState::DeadEnd;
    }
    return span == atlas.directionCount() ? VertexState::Complete : VertexState::Open;
}

VertexMap::VertexMap(double tileSizeRatio)
    : hair_(tileSizeRatio * 1e-9), cell_(tileSizeRatio * 1e-3) {}

std::int64_t VertexMap::cellOf(double v) const {
    return static_cast<std::int64_t>(std::floor(v / cell_));
}

std::uint64_t VertexMap::key(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
}

int VertexMap::find(double x, double y) const {
    // A vertex within a hair lies in the cell of the point or, near a cell's border, next
    // to it.
    const std::int64_t x0 = cellOf(x - hair_);
    const std::int64_t x1 = cellOf(x + hair_);
    const std::int64_t y0 = cellOf(y - hair_);
    const std::int64_t y1 = cellOf(y + hair_);
    for (std::int64_t cx = x0; cx <= x1; ++cx) {
        for (std::int64_t cy = y0; cy <= y1; ++cy) {
            const auto at = cells_.find(key(cx, cy));
            if (at == cells_.end()) {
                continue;
            }
            for (int v = at->second; v >= 0; v = vertices_[v].nextInCell) {
                if (std::fabs(vertices_[v].x - x) <= hair_ &&
                    std::fabs(vertices_[v].y - y) <= hair_) {
                    return v;
                }
            }
        }
    }
    return -1;
}

int VertexMap::findOrAdd(double x, double y) {
    const int found = find(x, y);
    if (found >= 0) {
        return found;
    }
    const int v = static_cast<int>(vertices_.size());
    Vertex vertex;
    vertex.x = x;
    vertex.y = y;
    const auto [at, fresh] = cells_.try_emplace(key(cellOf(x), cellOf(y)), v);
    if (!fresh) {
        vertex.nextInCell = at->second;
        at->second = v;
    }
    vertices_.push_back(vertex);
    lastCorner_.push_back(-1);
    return v;
}

void VertexMap::addTile(Tile& tile) {
    const auto& edges = tile.outline.edges;
    for (int i = 0; i < static_cast<int>(edges.size()); ++i) {
        const int v = findOrAdd(edges[i].x1, edges[i].y1);
        const int c = static_cast<int>(corners_.size());
        corners_.push_back({&tile, i, -1});
        if (lastCorner_[v] < 0) {
            vertices_[v].first = c;
        } else {
            corners_[lastCorner_[v]].next = c;
        }
        lastCorner_[v] = c;
        ++vertices_[v].count;
    }
}

std::vector<PlacedCorner> VertexMap::placedCorners(int vertex) const {
    std::vector<PlacedCorner> out;
    out.reserve(vertices_[vertex].count);
    for (int c = vertices_[vertex].first; c >= 0; c = corners_[c].next) {
        out.push_back({corners_[c].tile->kind, corners_[c].tile->rotation, corners_[c].corner});
    }
    return out;
}

namespace {

// Whether the point lies on the edge between its ends (more than a hair from both), where
// no tile of a tiling has a corner: tiles meet edge to edge.
bool insideEdge(const TileEdge& e, double x, double y, double hair) {
    const double dx = e.x2 - e.x1;
    const double dy = e.y2 - e.y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double along = (x - e.x1) * dx + (y - e.y1) * dy;
    const double across = dx * (y - e.y1) - dy * (x - e.x1);
    return std::fabs(across) <= hair * length && along > hair * length &&
           along < (length - hair) * length;
}

// The tiles in cells as wide as two reaches: those whose outlines can meet a point lie in
// the point's cell or next to it.
class TileCells {
public:
    TileCells(const std::vector<Tile*>& tiles, double reach) : cell_(2 * reach) {
        for (Tile* t : tiles) {
            cells_[key(cellOf(t->x), cellOf(t->y))].push_back(t);
        }
    }
    template <typename F> bool any(double x, double y, F&& f) const {
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto at = cells_.find(key(cellOf(x) + dx, cellOf(y) + dy));
                if (at != cells_.end() && std::any_of(at->second.begin(), at->second.end(), f)) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    std::int64_t cellOf(double v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }
    static std::uint64_t key(std::int64_t cx, std::int64_t cy) {
        return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
    }
    double cell_;
    std::unordered_map<std::uint64_t, std::vector<Tile*>> cells_;
};

// The dead ends among the map's vertices (those in the box, when one is given): corners that
// no star holds, or a vertex that lies on another tile's edge.
void collectDeadEnds(const VertexMap& map, const VertexAtlas& atlas, const TileCells& cells,
                     std::vector<DeadEnd>& out, const double* box) {
    std::vector<PlacedCorner> corners;
    for (int v = 0; v < static_cast<int>(map.vertices().size()); ++v) {
        const VertexMap::Vertex& vertex = map.vertices()[v];
        if (box != nullptr &&
            (vertex.x < box[0] || vertex.y < box[1] || vertex.x > box[2] || vertex.y > box[3])) {
            continue;
        }
        corners.clear();
        for (int c = vertex.first; c >= 0; c = map.corners()[c].next) {
            const VertexMap::Corner& corner = map.corners()[c];
            corners.push_back({corner.tile->kind, corner.tile->rotation, corner.corner});
        }
        VertexState state = vertexState(atlas, corners);
        if (state == VertexState::Open && cells.any(vertex.x, vertex.y, [&](const Tile* t) {
                return std::any_of(t->outline.edges.begin(), t->outline.edges.end(),
                                   [&](const TileEdge& e) {
                                       return insideEdge(e, vertex.x, vertex.y, map.hair());
                                   });
            })) {
            state = VertexState::DeadEnd;
        }
        if (state == VertexState::DeadEnd) {
            out.push_back({vertex.x, vertex.y});
        }
    }
}

double tileReach(const Document& doc) {
    // Every corner of a tile lies within the set's extent of its position.
    return doc.view.tileSizeRatio * doc.tileSet->extent * 1.001;
}

} // namespace

std::vector<DeadEnd> deadEnds(const Document& doc, const VertexAtlas& atlas) {
    std::vector<DeadEnd> out;
    if (!doc.tileSet) {
        return out;
    }
    for (const auto& group : doc.board.groups) {
        VertexMap map(doc.view.tileSizeRatio);
        std::vector<Tile*> tiles;
        for (const auto& tile : group->tiles) {
            map.addTile(*tile);
            tiles.push_back(tile.get());
        }
        collectDeadEnds(map, atlas, TileCells(tiles, tileReach(doc)), out, nullptr);
    }
    return out;
}

std::vector<DeadEnd> deadEndsIn(const Document& doc, const VertexAtlas& atlas, double minX,
                                double minY, double maxX, double maxY) {
    std::vector<DeadEnd> out;
    if (!doc.tileSet) {
        return out;
    }
    const double reach = tileReach(doc);
    const double box[4] = {minX, minY, maxX, maxY};
    for (const auto& group : doc.board.groups) {
        if (group->tiles.empty() || group->minX > maxX + reach || group->maxX < minX - reach ||
            group->minY > maxY + reach || group->maxY < minY - reach) {
            continue;
        }
        VertexMap map(doc.view.tileSizeRatio);
        std::vector<Tile*> tiles;
        for (const auto& tile : group->tiles) {
            if (tile->x >= minX - reach && tile->x <= maxX + reach && tile->y >= minY - reach &&
                tile->y <= maxY + reach) {
                map.addTile(*tile);
                tiles.push_back(tile.get());
            }
        }
        collectDeadEnds(map, atlas, TileCells(tiles, reach), out, box);
    }
    return out;
}

void refreshDeadEnds(std::vector<DeadEnd>& marks, const Document& doc, const VertexAtlas& atlas,
                     double minX, double minY, double maxX, double maxY) {
    std::erase_if(marks, [&](const DeadEnd& d) {
        return d.x >= minX && d.x <= maxX && d.y >= minY && d.y <= maxY;
    });
    const std::vector<DeadEnd> found = deadEndsIn(doc, atlas, minX, minY, maxX, maxY);
    marks.insert(marks.end(), found.begin(), found.end());
}

} // namespace pavelora
