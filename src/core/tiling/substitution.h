#pragma once

#include "core/geometry/tileset.h"
#include "core/tiling/lattice.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pavelora {

// The starting figure of a generated patch. Darts and kites: five kites round their 72°
// corners (Sun) or five darts round their tips (Star). Rhombs: five wide rhombs round the
// acute corners where their code-1 edges meet (Sun) or where their code-2 edges meet (Star).
// Pentagon set: a Pentagon1 (Sun) or a Pentagram (Star) in the middle.
enum class PatchSeed : std::int32_t { Sun = 0, Star = 1 };

// One tile of a patch in tile units: kind, direction, reference point, and its first outline
// corner exactly (the others follow from the kind's edges).
struct PatchTile {
    std::int32_t kind = 0;
    std::int32_t rotation = 0;
    double x = 0.0;
    double y = 0.0;
    LatticePoint corner;
};

// A legal patch: its tile set, the parity of its edge directions (every edge of a Penrose
// tiling runs in one of ten directions 36° apart), the tiles, and for each outline edge of
// each tile (tile by tile, edges in outline order from edgeStart[tile]) the tile that shares
// it, or -1.
struct Patch {
    std::int32_t setCode = 0;
    int edgeParity = 0;
    double centreX = 0.0; // the middle of the seed figure
    double centreY = 0.0;
    std::vector<PatchTile> tiles;
    std::vector<std::uint32_t> edgeStart; // tiles.size() + 1 entries
    std::vector<std::int32_t> sharedWith;

    int size() const { return static_cast<int>(tiles.size()); }
};

// Robinson half-tiles of the kite-and-dart and rhomb tilings, corners named by their part in
// the whole tile:
//   Kite   a the 72° corner, b a wing, c the 144° corner; a-c is the axis.
//   Dart   a the reflex corner, b a wing, c the tip; a-c is the axis.
//   Thick  a an obtuse corner, b the acute corner where the code-1 edges meet, c the acute
//          corner where the code-2 edges meet; b-c is the long diagonal.
//   Thin   a an acute corner, b the obtuse corner where the code-1 edges meet, c the one
//          where the code-2 edges meet; b-c is the short diagonal.
enum class HalfKind : std::uint8_t { Kite, Dart, Thick, Thin };

struct HalfTile {
    HalfKind half;
    LatticePoint a;
    LatticePoint b;
    LatticePoint c;
};

// The seed figure of the set (Penrose No.1 or No.2) sized so that `steps` deflations leave
// tiles of unit edge, centred on the origin. Empty for other sets.
std::vector<HalfTile> seedHalves(std::int32_t setCode, PatchSeed seed, int steps);

// One deflation: each half-tile cut into half-tiles 1/φ its size (kite: two kites and a dart,
// dart: a kite and a dart, thick: two thick and a thin, thin: a thin and a thick), the same cut
// points reached from both sides of every edge. Halves whose box misses [minX, maxX] ×
// [minY, maxY] (unit frame) are dropped with all they would become.
struct Box {
    double minX = -1e300;
    double minY = -1e300;
    double maxX = 1e300;
    double maxY = 1e300;
};
std::vector<HalfTile> deflateHalves(const std::vector<HalfTile>& halves, const LatticeFrame& frame,
                                    const Box& keep = {});

// The whole tiles made of pairs of halves (halves without their partner are left out), in
// the order of their second half, with shared edges found.
Patch pairHalves(std::int32_t setCode, const std::vector<HalfTile>& halves, const TileSet& set,
                 const AngleTable& angles);

// The pentagon set ("Penrose No.3") by substitution with inflation φ² on edges (pentagon: six
// pentagons and five golden triangles that pair into diamonds or become points of stars and
// boats; see pentagonsubstitution.cpp), each pentagon's kind told by which of its edges meet
// pentagons. With tiles > 0: a patch that holds the `tiles` tiles nearest the seed's middle;
// with tiles 0: every tile about the box (taken about the seed's middle, patch.centreX/Y);
// empty past `mostTiles`. Gap-free: only tiles on the outside of the patch are left out.
Patch growPentagonPatch(PatchSeed seed, int tiles, const Box& reach, int mostTiles,
                        const TileSet& set, const AngleTable& angles);

// The seed (a pentagon for Sun, a star for Star) with edges φ^(2 steps) deflated `steps` times,
// without the tiles on its rim whose kinds their neighbours do not settle.
Patch deflatePentagons(PatchSeed seed, int steps, const TileSet& set, const AngleTable& angles);

// Fills in edgeStart and sharedWith from the tiles' exact corners.
void findSharedEdges(Patch& patch, const TileSet& set, const AngleTable& angles);

// Finds the edges that are one edge seen from its two sides. Each key names an edge by its
// `hash`, its place `slot` and the `owner` it belongs to; keys are sorted on the hash and a run
// of equal hashes is searched whole, `same(a, b)` telling whether two keys of a run are one
// edge. across[slot] becomes the owner on the other side (and stays -1 where there is none).
template <typename Key, typename Same>
void pairEdges(std::vector<Key>& keys, Same same, std::vector<std::int32_t>& across) {
    std::sort(keys.begin(), keys.end(), [](const Key& l, const Key& r) {
        return l.hash < r.hash || (l.hash == r.hash && l.slot < r.slot);
    });
    for (std::size_t k = 0; k < keys.size();) {
        std::size_t end = k + 1;
        while (end < keys.size() && keys[end].hash == keys[k].hash) {
            ++end;
        }
        for (std::size_t i = k; i < end; ++i) {
            for (std::size_t j = i + 1; j < end; ++j) {
                if (same(keys[i], keys[j])) {
                    across[keys[i].slot] = keys[j].owner;
                    across[keys[j].slot] = keys[i].owner;
                }
            }
        }
        k = end;
    }
}

} // namespace pavelora
