#pragma once

#include "core/geometry/tile.h"
#include "core/geometry/tileset.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavelora {

// One corner of a tile kind: outline vertex `corner`, where outline edge `corner` starts.
struct StarCorner {
    std::int32_t kind = 0;
    int corner = 0;
};

// A vertex star: the corners of the tiles around one vertex of a Penrose tiling, going
// anticlockwise round the vertex, each tile's corner filling the angle from the previous
// tile's edge to the next one's.
struct VertexStar {
    std::string name;
    std::vector<StarCorner> corners;
};

// The vertex stars of a tile set: the seven of the darts and kites, the eight of the rhombs,
// and those of the pentagon set read off its substitution patches (the first call for it
// takes a tenth of a second); empty for the sets that have none.
const std::vector<VertexStar>& vertexStars(std::int32_t setCode);

// Whether the set has vertex stars, without reading them off.
bool hasVertexStars(std::int32_t setCode);

// A corner of a tile turned by `rotation`.
struct PlacedCorner {
    std::int32_t kind = 0;
    std::int32_t rotation = 0;
    int corner = 0;

    bool operator==(const PlacedCorner&) const = default;
};

// A star laid round a vertex: its first corner's angle starts at direction `turn`.
struct StarPlacement {
    int star = 0;
    int turn = 0;
    std::vector<PlacedCorner> corners; // anticlockwise, as in the star
};

// The vertex stars of a set in the program's frame: every star at every one of the
// directions, the same placement once, and for every tile corner the placements that hold
// it. Built from the kinds' outlines as buildTile makes them, so the angles and match codes
// at the corners are those of the tiles on the board.
class VertexAtlas {
public:
    // The pentagon set has the most: 14 stars at 20 directions, 280 placements.
    static constexpr int MaxPlacements = 512;
    using Mask = std::bitset<MaxPlacements>;

    // The atlas of the set, or null for a set without vertex stars, or when a star does not
    // close to a full turn or lays two edges together that the set's codes keep apart.
    static std::unique_ptr<VertexAtlas> create(const TileSet& tileSet, const AngleTable& angles);

    std::int32_t setCode() const { return setCode_; }
    int directionCount() const { return directions_; }
    const std::vector<VertexStar>& stars() const { return *stars_; }
    const std::vector<StarPlacement>& placements() const { return placements_; }

    // The direction in which the corner's angle starts (the direction of the outline edge
    // that leaves it) and its size in direction steps.
    int cornerStart(const PlacedCorner& c) const;
    int cornerSpan(std::int32_t kind, int corner) const;
    int cornerCount(std::int32_t kind) const;

    // The placements that hold the corner (none for a kind outside the set).
    const Mask& placementsWith(const PlacedCorner& c) const;

    // A kind that a turn maps onto itself, edges, lengths and codes alike (the pentagon set's
    // Pentagon1 and pentagram), lies in the same place at several rotations, each naming its
    // corners differently: the naming of a corner that every such tile shares, the one whose
    // corner number is lowest. Corners of other kinds are their own.
    PlacedCorner canonical(const PlacedCorner& c) const;

    // The kind's outline at `rotation` in tile units, as buildTile makes it.
    const Tile* unitTile(std::int32_t kind, std::int32_t rotation) const;

private:
    VertexAtlas() = default;
    int slot(const PlacedCorner& c) const;

    std::int32_t setCode_ = 0;
    int directions_ = 0;
    int maxCorners_ = 0;
    const std::vector<VertexStar>* stars_ = nullptr;
    std::vector<std::int32_t> kinds_;
    std::vector<std::unique_ptr<Tile>> units_; // kind index × directions + rotation
    std::vector<StarPlacement> placements_;
    std::vector<Mask> masks_;        // by slot
    std::vector<int> canonicalSlot_; // by slot: the slot of its canonical corner
    Mask none_;
};

} // namespace pavelora
