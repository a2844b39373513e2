#include "core/tiling/generator.h"

#include "core/geometry/edgeindex.h"
#include "core/geometry/tilebuilder.h"
#include "core/tiling/shapetable.h"

#include <queue>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace pavelora {

namespace {

// Mean tile area in square units: kites and darts (φ sin 72°, φ sin 36°) and wide and narrow
// rhombs (sin 72°, sin 36°) in the ratio φ : 1; for the pentagon set as measured on
// generated patches, rounded down.
double meanTileArea(std::int32_t setCode) {
    switch (setCode) {
    case setcode::PenroseNo1:
        return 1.31;
    case setcode::PenroseNo2:
        return 0.81;
    default:
        return 1.5;
    }
}

// The tiles of `patch` listed in `order`, in that order, with their shared edges carried over
// (edges shared with a tile left out become free).
Patch subPatch(const Patch& patch, const std::vector<int>& order) {
    Patch out;
    out.setCode = patch.setCode;
    out.edgeParity = patch.edgeParity;
    out.centreX = patch.centreX;
    out.centreY = patch.centreY;
    std::vector<std::int32_t> newIndex(patch.tiles.size(), -1);
    for (std::size_t k = 0; k < order.size(); ++k) {
        newIndex[static_cast<std::size_t>(order[k])] = static_cast<std::int32_t>(k);
    }
    out.tiles.reserve(order.size());
    out.edgeStart.reserve(order.size() + 1);
    out.edgeStart.push_back(0);
    for (const int i : order) {
        out.tiles.push_back(patch.tiles[static_cast<std::size_t>(i)]);
        for (std::uint32_t s = patch.edgeStart[static_cast<std::size_t>(i)];
             s < patch.edgeStart[static_cast<std::size_t>(i) + 1]; ++s) {
            const std::int32_t j = patch.sharedWith[s];
            out.sharedWith.push_back(j >= 0 ? newIndex[static_cast<std::size_t>(j)] : -1);
        }
        out.edgeStart.push_back(static_cast<std::uint32_t>(out.sharedWith.size()));
    }
    return out;
}

// Tiles taken outward from `start`, always the one nearest (cx, cy) among those sharing an
// edge with the tiles taken, among those `allowed`, at most `count`.
std::vector<int> gatherOutward(const Patch& patch, int start, double cx, double cy, int count,
                               const std::vector<char>& allowed) {
    const auto distance = [&](int i) {
        const PatchTile& t = patch.tiles[static_cast<std::size_t>(i)];
        return std::hypot(t.x - cx, t.y - cy);
    };
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> frontier;
    std::vector<char> seen(patch.tiles.size(), 0);
    std::vector<int> taken;
    frontier.push({distance(start), start});
    seen[static_cast<std::size_t>(start)] = 1;
    while (!frontier.empty() && static_cast<int>(taken.size()) < count) {
        const int i = frontier.top().second;
        frontier.pop();
        taken.push_back(i);
        for (std::uint32_t s = patch.edgeStart[static_cast<std::size_t>(i)];
             s < patch.edgeStart[static_cast<std::size_t>(i) + 1]; ++s) {
            const std::int32_t j = patch.sharedWith[s];
            if (j >= 0 && seen[static_cast<std::size_t>(j)] == 0 &&
                allowed[static_cast<std::size_t>(j)] != 0) {
                seen[static_cast<std::size_t>(j)] = 1;
                frontier.push({distance(j), j});
            }
        }
    }
    return taken;
}

// Of the allowed tiles, the connected piece with the most tiles (of equal ones the piece of
// the allowed tile nearest (cx, cy)), gathered outward from its tile nearest (cx, cy).
Patch largestPiece(const Patch& patch, const std::vector<char>& allowed, double cx, double cy) {
    const int n = patch.size();
    std::vector<int> piece(static_cast<std::size_t>(n), -1);
    std::vector<int> sizes;
    std::vector<int> nearest; // per piece, its tile nearest the centre
    std::vector<int> stack;
    for (int s = 0; s < n; ++s) {
        if (allowed[static_cast<std::size_t>(s)] == 0 || piece[static_cast<std::size_t>(s)] >= 0) {
            continue;
        }
        const int id = static_cast<int>(sizes.size());
        sizes.push_back(0);
        nearest.push_back(s);
        stack.push_back(s);
        piece[static_cast<std::size_t>(s)] = id;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++sizes.back();
            const PatchTile& t = patch.tiles[static_cast<std::size_t>(i)];
            const PatchTile& best = patch.tiles[static_cast<std::size_t>(nearest.back())];
            if (std::hypot(t.x - cx, t.y - cy) < std::hypot(best.x - cx, best.y - cy)) {
                nearest.back() = i;
            }
            for (std::uint32_t k = patch.edgeStart[static_cast<std::size_t>(i)];
                 k < patch.edgeStart[static_cast<std::size_t>(i) + 1]; ++k) {
                const std::int32_t j = patch.sharedWith[k];
                if (j >= 0 && allowed[static_cast<std::size_t>(j)] != 0 &&
                    piece[static_cast<std::size_t>(j)] < 0) {
                    piece[static_cast<std::size_t>(j)] = id;
                    stack.push_back(j);
                }
            }
        }
    }
    if (sizes.empty()) {
        return subPatch(patch, {});
    }
    int best = 0;
    const auto gap = [&](int p) {
        const PatchTile& t =
            patch.tiles[static_cast<std::size_t>(nearest[static_cast<std::size_t>(p)])];
        return std::hypot(t.x - cx, t.y - cy);
    };
    for (int p = 1; p < static_cast<int>(sizes.size()); ++p) {
        if (sizes[static_cast<std::size_t>(p)] > sizes[static_cast<std::size_t>(best)] ||
            (sizes[static_cast<std::size_t>(p)] == sizes[static_cast<std::size_t>(best)] &&
             gap(p) < gap(best))) {
            best = p;
        }
    }
    return subPatch(patch, gatherOutward(patch, nearest[static_cast<std::size_t>(best)], cx, cy,
                                         sizes[static_cast<std::size_t>(best)], allowed));
}

int nearestTile(const Patch& patch, double cx, double cy) {
    int best = 0;
    double bestDistance = 1e300;
    for (int i = 0; i < patch.size(); ++i) {
        const PatchTile& t = patch.tiles[static_cast<std::size_t>(i)];
        const double d = std::hypot(t.x - cx, t.y - cy);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Deflates the seed, keeping what can reach the box, the fewest steps that cover `radius`.
Patch substituted(std::int32_t setCode, PatchSeed seed, double radius, const Box& keep,
                  const TileSet& set, const AngleTable& angles) {
    const LatticeFrame frame(angles, 1);
    int steps = 0;
    for (;; ++steps) {
        // The seed figure holds the disc up to nine tenths of its nearest outer corner.
        double inner = 1e300;
        for (const HalfTile& h : seedHalves(setCode, seed, steps)) {
            for (const LatticePoint& p : {h.a, h.b, h.c}) {
                const double d = std::hypot(frame.x(p), frame.y(p));
                if (d > 0.5) {
                    inner = std::min(inner, d);
                }
            }
        }
        if (0.9 * inner >= radius || steps >= 40) {
            break;
        }
    }
    std::vector<HalfTile> halves = seedHalves(setCode, seed, steps);
    for (int i = 0; i < steps; ++i) {
        halves = deflateHalves(halves, frame, keep);
    }
    return pairHalves(setCode, halves, set, angles);
}

} // namespace

bool generationSupported(std::int32_t setCode) {
    return setCode == setcode::PenroseNo1 || setCode == setcode::PenroseNo2 ||
           setCode == setcode::PenroseNo3;
}

Patch generatePatch(std::int32_t setCode, PatchSeed seed, int tiles, const Box& reach,
                    int mostTiles, const TileSet& set, const AngleTable& angles) {
    if (!generationSupported(setCode) || set.code != setCode || tiles < 0) {
        return {};
    }
    const double area = meanTileArea(setCode);
    if (tiles == 0 &&
        (reach.maxX - reach.minX) * (reach.maxY - reach.minY) / area > 1.5 * mostTiles) {
        return {};
    }
    if (tiles > mostTiles) {
        return {};
    }
    // Patches are deflated over the box (or a disc that holds the tiles).
    const auto over = [&](const Box& box, double radius) {
        if (setCode != setcode::PenroseNo3) {
            return substituted(setCode, seed, radius, box, set, angles);
        }
        return growPentagonPatch(seed, 0, box, mostTiles, set, angles);
    };
    if (tiles > 0) {
        // A disc that holds the tiles with room to spare; wider when it did not.
        double radius = std::sqrt(tiles * area * 1.3 / std::numbers::pi) + 3.0;
        for (int attempt = 0; attempt < 6; ++attempt, radius *= 1.4) {
            Patch all = over({-radius, -radius, radius, radius}, radius);
            if (all.size() < tiles) {
                continue;
            }
            const std::vector<char> allowed(all.tiles.size(), 1);
            const double cx = all.centreX;
            const double cy = all.centreY;
            const std::vector<int> order =
                gatherOutward(all, nearestTile(all, cx, cy), cx, cy, tiles, allowed);
            if (static_cast<int>(order.size()) == tiles) {
                all.centreX = cx;
                all.centreY = cy;
                return subPatch(all, order);
            }
        }
        return {};
    }
    const double radius =
        std::max({std::hypot(reach.minX, reach.minY), std::hypot(reach.minX, reach.maxY),
                  std::hypot(reach.maxX, reach.minY), std::hypot(reach.maxX, reach.maxY)}) +
        2.0;
    Patch all =
        over({reach.minX - 2.0, reach.minY - 2.0, reach.maxX + 2.0, reach.maxY + 2.0}, radius);
    const double cx = all.centreX;
    const double cy = all.centreY;
    std::vector<char> inside(all.tiles.size(), 0);
    for (std::size_t i = 0; i < all.tiles.size(); ++i) {
        const double x = all.tiles[i].x - cx;
        const double y = all.tiles[i].y - cy;
        inside[i] = x >= reach.minX && x <= reach.maxX && y >= reach.minY && y <= reach.maxY;
    }
    return largestPiece(all, inside, cx, cy);
}

Patch generatePatch(std::int32_t setCode, PatchSeed seed, int tiles) {
    const std::unique_ptr<TileSet> set = createTileSet(setCode);
    if (!set || tiles <= 0) {
        return {};
    }
    return generatePatch(setCode, seed, tiles, {}, std::max(tiles, kMostGeneratedTiles), *set,
                         createAngleTable(*set));
}

double tileSizeToFit(const Patch& patch, double radius) {
    double reach = 0;
    for (const PatchTile& t : patch.tiles) {
        reach = std::max(reach, std::hypot(t.x - patch.centreX, t.y - patch.centreY));
    }
    return radius / (reach + 2);
}

TileGroup* layPatch(Document& doc, const Patch& patch, double originX, double originY,
                    const std::vector<int>& skip) {
    if (patch.tiles.empty() || !doc.tileSet) {
        return nullptr;
    }
    const double ratio = doc.view.tileSizeRatio;
    const LatticeFrame frame(doc.angles, patch.edgeParity);
    const ShapeTable shapes(*doc.tileSet, doc.angles, patch.edgeParity);
    std::vector<char> skipped(patch.tiles.size(), 0);
    for (const int i : skip) {
        if (i >= 0 && i < patch.size()) {
            skipped[static_cast<std::size_t>(i)] = 1;
        }
    }
    auto owned = newGroup();
    owned->tiles.reserve(patch.tiles.size());
    std::vector<Tile*> made(patch.tiles.size(), nullptr);
    std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<Tile>> prototypes;
    for (std::size_t i = 0; i < patch.tiles.size(); ++i) {
        const PatchTile& t = patch.tiles[i];
        const ShapeTable::Shape* shape = shapes.shape(t.kind, t.rotation);
        if (skipped[i] != 0 || shape == nullptr) {
            continue;
        }
        // Tiles of one kind and direction are built once and copied: buildTile makes the same
        // chains every time.
        std::unique_ptr<Tile>& proto = prototypes[{t.kind, t.rotation}];
        if (!proto) {
            proto = buildTile(doc.tileSet.get(), &doc.angles, t.kind, t.rotation);
        }
        if (!proto) {
            continue;
        }
        auto tile = std::make_unique<Tile>();
        tile->kind = proto->kind;
        tile->rotation = proto->rotation;
        tile->outline = proto->outline;
        tile->decorations = proto->decorations;
        for (TileEdge& e : tile->outline.edges) {
            e.owner = tile.get();
        }
        for (EdgeChain& chain : tile->decorations) {
            for (TileEdge& e : chain.edges) {
                e.owner = tile.get();
            }
        }
        tile->x = originX + ratio * t.x;
        tile->y = originY + ratio * t.y;
        // Each corner from its lattice point, so a corner shared by several tiles is one value.
        LatticePoint p = t.corner;
        const std::size_t n = tile->outline.edges.size();
        double firstX = originX + ratio * frame.x(p);
        double firstY = originY + ratio * frame.y(p);
        double x = firstX;
        double y = firstY;
        for (std::size_t e = 0; e < n; ++e) {
            TileEdge& edge = tile->outline.edges[e];
            p = p + shape->edges[e];
            edge.x1 = x;
            edge.y1 = y;
            x = e + 1 < n ? originX + ratio * frame.x(p) : firstX;
            y = e + 1 < n ? originY + ratio * frame.y(p) : firstY;
            edge.x2 = x;
            edge.y2 = y;
        }
        tile->edgeIndex = buildEdgeIndex(tile->outline, doc.directionCount());
        made[i] = tile.get();
        appendTileRaw(*owned, std::move(tile));
    }
    if (owned->tiles.empty()) {
        return nullptr;
    }
    for (std::size_t i = 0; i < patch.tiles.size(); ++i) {
        if (made[i] == nullptr) {
            continue;
        }
        std::vector<TileEdge>& edges = made[i]->outline.edges;
        for (std::size_t e = 0; e < edges.size(); ++e) {
            const std::int32_t j = patch.sharedWith[patch.edgeStart[i] + e];
            edges[e].neighbour = j >= 0 ? made[static_cast<std::size_t>(j)] : nullptr;
        }
    }
    TileGroup* group = appendGroup(doc.board, std::move(owned));
    rebuildGroup(doc, *group);
    return group;
}

std::optional<Generated> generateOnBoard(Document& doc, const GenerateRequest& request,
                                         Progress* progress) {
    if (!doc.tileSet || !generationSupported(doc.tileSet->code) || request.tiles < 0 ||
        request.tiles > kMostGeneratedTiles) {
        return std::nullopt;
    }
    const double ratio = doc.view.tileSizeRatio;
    const double width = boardWidthCm(doc.view);
    const double height = boardHeightCm(doc.view);
    if (!(ratio > 0.0) || !(width > 0.0) || !(height > 0.0)) {
        return std::nullopt;
    }
    const double cx = request.tiles > 0 ? request.centreX : width / 2;
    const double cy = request.tiles > 0 ? request.centreY : height / 2;
    const Box reach{-cx / ratio, -cy / ratio, (width - cx) / ratio, (height - cy) / ratio};
    const auto stage = [progress](bool first) {
        if (progress != nullptr) {
            if (first) {
                progress->setText(QStringLiteral("パターン生成中"));
                progress->start(3);
            } else {
                progress->step(1);
            }
        }
    };
    stage(true);
    const Patch patch = generatePatch(doc.tileSet->code, request.seed, request.tiles, reach,
                                      kMostGeneratedTiles, *doc.tileSet, doc.angles);
    stage(false);
    const double originX = cx - ratio * patch.centreX;
    const double originY = cy - ratio * patch.centreY;
    std::vector<char> onBoard(patch.tiles.size(), 0);
    for (std::size_t i = 0; i < patch.tiles.size(); ++i) {
        onBoard[i] = positionOnBoard(doc.view, originX + ratio * patch.tiles[i].x,
                                     originY + ratio * patch.tiles[i].y);
    }
    // A patch wholly on the board is one piece already (it was gathered edge to edge).
    const bool whole =
        request.tiles > 0 && std::find(onBoard.begin(), onBoard.end(), 0) == onBoard.end();
    std::optional<Patch> piece;
    if (!whole) {
        piece = largestPiece(patch, onBoard, patch.centreX, patch.centreY);
    }
    const Patch& laid = whole ? patch : *piece;
    stage(false);
    TileGroup* group = layPatch(doc, laid, originX, originY);
    stage(false);
    if (group == nullptr) {
        return std::nullopt;
    }
    Generated result{group, std::vector<std::int32_t>(doc.tileSet->kindCodes.size(), 0)};
    doc.kindCounts.resize(doc.tileSet->kindCodes.size(), 0);
    for (const auto& tile : group->tiles) {
        const int k = doc.tileSet->kindIndex(tile->kind);
        if (k >= 0) {
            ++result.added[static_cast<std::size_t>(k)];
            ++doc.kindCounts[static_cast<std::size_t>(k)];
        }
    }
    return result;
}

} // namespace pavelora
