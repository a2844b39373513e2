#pragma once

#include "core/board/board.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pavelora {

// The selection of the application: the current tile and group, whether they are
// selected, and whether the user works on single tiles or on whole groups.
struct Selection {
    Tile* currentTile = nullptr;
    TileGroup* currentGroup = nullptr;
    bool groupMode = false;

    void clear() {
        currentTile = nullptr;
        currentGroup = nullptr;
    }
};

// How one outline edge of a tile being joined meets the target group.
struct MatchRecord {
    TileEdge* edge = nullptr;    // the tile's edge
    TileEdge* partner = nullptr; // the group edge it will lie on, or null
    double dx = 0.0;             // partner end minus edge start
    double dy = 0.0;
    bool conflict = false; // the nearest candidate breaks the matching rules
};

// Snap tolerance in board centimetres: 5 % of the set's tile size.
double snapTolerance(const Document& doc);

// Shifts every tile of the group by (dx, dy) centimetres.
bool moveGroup(const Document& doc, TileGroup& group, double dx, double dy);

// The moves one after the other, each as moveGroup makes it (the same additions on every
// position, corner and the box, in the same order), with indexes, boundary and region
// rebuilt once at the end: the coordinates come out bit for bit as after moveGroup for
// each move.
void moveGroupInSteps(const Document& doc, TileGroup& group,
                      const std::vector<std::pair<double, double>>& moves);

// Group mode: whether the current, selected group may move by whole pixels, every tile
// position staying on the board; and the move itself.
bool groupMoveAllowed(const Document& doc, const Selection& sel, std::int32_t dxPixels,
                      std::int32_t dyPixels);
bool moveCurrentGroupByPixels(Document& doc, Selection& sel, std::int32_t dxPixels,
                              std::int32_t dyPixels);

// Called when a moved or turned tile's replacement is on the board and the old tile is
// about to go (to erase it from the screen, for instance).
using BeforeRemoving = std::function<void(const Tile& old)>;

// Replaces the current tile by one at its pixel moved by the deltas; the new tile, in a
// group of its own on top, becomes current and selected.
bool moveCurrentTileByPixels(Document& doc, Selection& sel, std::int32_t dxPixels,
                             std::int32_t dyPixels, const BeforeRemoving& beforeRemoving = {});

// Turns the current, selected tile one step about its position (anticlockwise when
// asked), replacing it by a new tile that becomes current and selected. In group mode a
// tile of a group of two or more cannot be turned.
bool rotateCurrentTile(Document& doc, Selection& sel, bool anticlockwise,
                       const BeforeRemoving& beforeRemoving = {});

// How edge E of a tile meets the group's free edges within tolerance tau: the first
// candidate in the boundary's order decides.
MatchRecord matchEdge(const Document& doc, const TileGroup& group, TileEdge& edge, double tau);

// A new tile like `tile`, moved by the first matched record and with every vertex on a
// matched edge copied from the group. Records are in outline order.
std::unique_ptr<Tile> buildSnappedTile(const Document& doc, const Tile& tile,
                                       const std::vector<MatchRecord>& records);

// True when an outline edge of the tile properly crosses a free edge of the group.
// Touching, sharing a line and meeting at a vertex do not count.
bool crossesBoundary(const Document& doc, const TileGroup& group, const Tile& tile);

// Gives every vertex of the tile that lies within a hair (1e-9 of the tile size) of a vertex
// of the group the group's value, so that a shared vertex has one value. Vertices on edges
// already joined (copied from their partners) are left as they are.
void adoptGroupVertices(const Document& doc, const TileGroup& group, Tile& tile);

// True when the tile's interior meets the interior of a tile of the group by more than
// rounding: tiles that touch along edges or at vertices do not overlap.
bool overlapsGroup(const Document& doc, const TileGroup& group, const Tile& tile);

// The same test for two tiles.
bool tilesOverlap(const Document& doc, const Tile& a, const Tile& b);

// Snaps the tile onto a group that has a free edge within reach of one of its edges: the
// largest such group (the later in display order of equal ones) that any edge of the tile
// matches. Refused when an edge meets a conflicting edge, or when the snapped tile would
// cross the group's boundary or overlap one of its tiles. Returns the new tile, now part of
// that group (which goes on top), or null. The original tile is untouched.
Tile* joinTile(Document& doc, Tile* tile);

// Joins the current tile; afterwards nothing is selected.
bool joinCurrentTile(Document& doc, Selection& sel);

// Takes a tile out of its group into a new group of its own on top, which becomes
// current and selected.
bool detachTile(Document& doc, Selection& sel, Tile* tile);

} // namespace pavelora
