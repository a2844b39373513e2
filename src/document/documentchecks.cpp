#include "core/geometry/tilebuilder.h"
#include "document/documentimage.h"

namespace pavelora {

namespace {

bool within(double v, double low, double high) {
    return v >= low && v <= high; // false for NaN
}

} // namespace

ImageFault checkDocumentImage(const DocumentImage& image) {
    const BoardChunk& board = image.board;
    if (findBoardSize(board.boardCode) == nullptr) {
        return ImageFault::UnknownBoard;
    }
    const std::unique_ptr<TileSet> set = createTileSet(image.tileSet.code);
    if (!set) {
        return ImageFault::UnknownTileSet;
    }
    if (board.patternOn > 1 || board.groupMode > 1) {
        return ImageFault::BadSwitch;
    }
    // What the dialogs can set: tile size and zoom 1 %..800 %, outline width 1 %..99 %.
    if (!within(board.tileSizeRatio, 0.01, 8.0)) {
        return ImageFault::TileSizeOutOfRange;
    }
    if (!within(board.zoom, 0.01, 8.0)) {
        return ImageFault::ZoomOutOfRange;
    }
    if (!within(image.tileSet.outlineInset, 0.01, 0.99)) {
        return ImageFault::OutlineInsetOutOfRange;
    }
    if (!within(image.tileSet.outlineRatio2, 0.0, 1.0)) {
        return ImageFault::OutlineRatioOutOfRange;
    }
    if (image.tileSet.kinds.size() > set->kindCodes.size()) {
        return ImageFault::TooManyKinds;
    }
    if (image.tileSet.pairColours.size() > set->pairColours.size()) {
        return ImageFault::TooManyPairColours;
    }

    const double reach = board.tileSizeRatio * set->extent;
    for (const GroupRecord& group : image.groupTable.groups) {
        if (group.tiles.empty()) {
            return ImageFault::EmptyGroup;
        }
        for (const TileRecord& tile : group.tiles) {
            if (!within(tile.x, -MaxCoordinate, MaxCoordinate) ||
                !within(tile.y, -MaxCoordinate, MaxCoordinate)) {
                return ImageFault::BadPosition;
            }
            if (set->kindIndex(tile.kind) >= 0 &&
                tile.edges.size() != static_cast<std::size_t>(outlineEdgeCount(tile.kind))) {
                return ImageFault::EdgeCountMismatch;
            }
            for (const EdgeRecord& edge : tile.edges) {
                // Also false for NaN and infinite coordinates.
                if (!within(edge.x1 - tile.x, -reach, reach) ||
                    !within(edge.y1 - tile.y, -reach, reach) ||
                    !within(edge.x2 - tile.x, -reach, reach) ||
                    !within(edge.y2 - tile.y, -reach, reach)) {
                    return ImageFault::BadEdge;
                }
            }
        }
    }
    return ImageFault::None;
}

} // namespace pavelora
