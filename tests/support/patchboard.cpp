#include "patchboard.h"

#include "core/geometry/tilebuilder.h"

#include <algorithm>
#include <cmath>

namespace pavelora::testsupport {

TileGroup* layJoinedPatch(Document& doc, const std::vector<PlacedTile>& patch, double originX,
                          double originY, const std::vector<int>& skip) {
    const double ratio = doc.view.tileSizeRatio;
    auto owned = newGroup();
    std::vector<Tile*> placed(patch.size(), nullptr);
    for (std::size_t i = 0; i < patch.size(); ++i) {
        if (std::find(skip.begin(), skip.end(), static_cast<int>(i)) != skip.end()) {
            continue;
        }
        auto tile = buildTile(doc.tileSet.get(), &doc.angles, patch[i].kind, patch[i].rotation);
        placeOutline(doc, *tile, originX + patch[i].x * ratio, originY + patch[i].y * ratio);
        placed[i] = tile.get();
        appendTileRaw(*owned, std::move(tile));
    }
    const auto neighbours = edgeNeighbours(patch, *doc.tileSet, doc.angles);
    const double close = 1e-9 * std::max(1.0, ratio);
    for (std::size_t i = 0; i < patch.size(); ++i) {
        for (int j : neighbours[i]) {
            if (placed[i] == nullptr || placed[j] == nullptr) {
                continue;
            }
            for (TileEdge& e : placed[i]->outline.edges) {
                for (const TileEdge& f : placed[j]->outline.edges) {
                    if (std::fabs(e.x1 - f.x2) < close && std::fabs(e.y1 - f.y2) < close &&
                        std::fabs(e.x2 - f.x1) < close && std::fabs(e.y2 - f.y1) < close) {
                        e.neighbour = placed[j];
                    }
                }
            }
        }
    }
    TileGroup* group = appendGroup(doc.board, std::move(owned));
    rebuildGroup(doc, *group);
    return group;
}

double tileSizeToFit(const std::vector<PlacedTile>& patch, double radius) {
    double reach = 0;
    for (const PlacedTile& t : patch) {
        reach = std::max(reach, std::hypot(t.x, t.y));
    }
    return radius / (reach + 2);
}

} // namespace pavelora::testsupport
