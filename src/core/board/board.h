#pragma once

#include "core/board/settings.h"
#include "core/board/tilegrid.h"
#include "core/board/view.h"
#include "core/geometry/edgeindex.h"
#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <QRegion>

#include <cstdint>
#include <memory>
#include <vector>

namespace pavelora {

// Tiles joined together. A tile that is joined to nothing is the only tile of its own
// group. Tiles are drawn in list order.
struct TileGroup {
    std::vector<std::unique_ptr<Tile>> tiles;
    QRegion region;     // union of the tiles' polygons enlarged 1.2 times, board pixels
    EdgeIndex boundary; // the free edges of all tiles
    double minX = 0.0;  // bounding box of the tiles' positions (not of their outlines)
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    std::int32_t selected = 0;
    // The tiles by position; built on the first question that needs it (see tilesInBox).
    mutable TileGrid grid;
    // Some edge may name a tile that names it nowhere back. Joins made here are linked both
    // ways; such links come only from a document file (and are kept as they came).
    bool oneWayLinks = false;

    int count() const { return static_cast<int>(tiles.size()); }
    bool contains(const Tile* tile) const;
};

// Whether some edge of the group names a tile (other than its own) that names it nowhere.
bool hasOneWayLinks(const TileGroup& group);

// The display list: the first group is drawn first (lowest), the last on top.
struct Board {
    std::vector<std::unique_ptr<TileGroup>> groups;

    int count() const { return static_cast<int>(groups.size()); }
    bool contains(const TileGroup* group) const;
    int tileCount() const;
};

// The open document: its tile set and angle table, its board, the view that maps board
// centimetres to pixels (with the document's zoom, tile size and board colour), and the
// settings that belong to the document.
struct Document {
    std::unique_ptr<TileSet> tileSet;
    AngleTable angles;
    Board board;
    View view;
    std::int32_t patternOn = 0;           // pair pattern shown
    std::uint32_t boardReserved = 0;      // kept as read from a file and written back
    std::vector<std::int32_t> kindCounts; // tiles taken from the palette, per kind index
    PrintSettings printSettings;
    JpegSettings jpegSettings;

    std::int32_t directionCount() const { return tileSet ? tileSet->directionCount : 0; }
};

// --- The display list ---

// Appends the group on top. Returns it, or null for a null group.
TileGroup* appendGroup(Board& board, std::unique_ptr<TileGroup> group);
// Unlinks the group and hands it back; null when it is not in the board.
std::unique_ptr<TileGroup> unlinkGroup(Board& board, TileGroup* group);
// Unlinks and frees the group with its tiles; a group not in the board is left alone.
void removeGroup(Board& board, TileGroup* group);
// Moves the group to the end of the list, so that it is drawn last.
void bringGroupToTop(Board& board, TileGroup* group);
// Reorders the groups by descending tile count (stable: ties keep their order), so that
// big groups are drawn first and small ones on top. False with fewer than two groups.
bool sortGroupsBySize(Board& board);

// --- Groups ---

std::unique_ptr<TileGroup> newGroup();
// Appends the tile, sets its group, and rebuilds the boundary, region and bounding box.
TileGroup* addTileToGroup(const Document& doc, TileGroup& group, std::unique_ptr<Tile> tile);
// The same for a tile that has just been joined to the group: the group edges listed were
// free and are now joined to it. The boundary is brought up to date rather than rebuilt,
// and comes out as buildGroupBoundary would make it.
TileGroup* addJoinedTile(const Document& doc, TileGroup& group, std::unique_ptr<Tile> tile,
                         const std::vector<const TileEdge*>& nowJoined);
// Appends the tile and sets its group, rebuilding nothing (used while loading).
TileGroup* appendTileRaw(TileGroup& group, std::unique_ptr<Tile> tile);
// Unlinks and frees the tile. The edges of the other tiles that were joined to it become
// free, then the boundary, region and bounding box are rebuilt.
void removeTileFromGroup(const Document& doc, TileGroup& group, Tile* tile);
// Moves the tile to the end of its group's list, so that it is drawn last in the group.
void bringTileToTop(TileGroup& group, Tile* tile);
// Where the tile stands in the group's list, or -1 when it is not in it. The tiles keep a
// hint of their place, renewed for the whole group when one turns out stale, so that the
// list is walked only after it changed.
int placeInGroup(const TileGroup& group, const Tile* tile);
// The group's tiles whose positions may lie within the box, in list order: every tile in
// the box and perhaps some others near it (callers make their own exact test). Groups of
// more than a few tiles answer from their grid, whose cells are as wide as a tile reaches.
void tilesInBox(const Document& doc, const TileGroup& group, double minX, double minY, double maxX,
                double maxY, std::vector<Tile*>& out);
// With the grids out of use every group is walked, as before there were grids: the plain
// way that tests and benchmarks set the grids against. In use by default.
void useTileGrids(bool on);
// Rebuilds boundary, region and bounding box from the group's tiles.
void rebuildGroup(const Document& doc, TileGroup& group);
// The bounding box of the tiles' positions, from scratch.
void recomputeBoundingBox(TileGroup& group);

// --- Tiles ---

// Scales the outline of a tile built in unit coordinates by the tile size and moves it
// to (x, y), which becomes the tile's position; then indexes the outline.
void placeOutline(const Document& doc, Tile& tile, double x, double y);
// Builds a tile at the board position of a client pixel and puts it on top of the board
// as a group of its own. Null (board unchanged) when the rotation is out of range, the
// pixel is off the board, or the kind cannot be built.
Tile* placeTile(Document& doc, std::int32_t kind, std::int32_t rotation, std::int32_t pixelX,
                std::int32_t pixelY);
// Removes a tile from the board, with its group when it was the group's only tile.
void removeTile(Document& doc, Tile* tile);

// Index of a group's free edges (outline edges without a neighbour): tiles in group
// order, edges in chain order.
EdgeIndex buildGroupBoundary(TileGroup& group, std::int32_t directionCount);

} // namespace pavelora
