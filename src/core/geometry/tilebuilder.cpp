#include "core/geometry/tilebuilder.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace pavelora {

namespace {

// The coordinates of the tile shapes, correctly rounded from their exact forms.
constexpr double kPhi = 1.6180339887498948482045868343656381; // (1+√5)/2
constexpr double kA = 0.16245984811645316307793570610756723;  // 1/(2 tan 36°) − 1/(2 cos 18°)
constexpr double kB = 0.26286555605956680301283454242393830;  // sin 18° / (2 sin 36°)
constexpr double kC = 0.30901699437494742410229341718281906;  // sin 18°
constexpr double kE = 0.42532540417601996609077024853150554;  // 1/(4 sin 36°)
constexpr double kF = 0.52573111211913360602566908484787661;  // 1/(2 cos 18°)
constexpr double kG = 0.58778525229247312916870595463907277;  // sin 36°
constexpr double kH = 0.61803398874989484820458683436563812;  // 1/φ
constexpr double kK = 0.68819096023558676910360479095544384;  // 1/(2 tan 36°)
constexpr double kM = 0.69098300562505257589770658281718094;  // (5−√5)/4
constexpr double kN = 0.80901699437494742410229341718281906;  // cos 36°
constexpr double kP = 0.85065080835203993218154049706301107;  // 1/(2 sin 36°)
constexpr double kQ = 0.95105651629515357211643933337938214;  // sin 72°
constexpr double kR = 0.38196601125010515179541316563436188;  // 1/φ²
constexpr double kS = 1.1135163644116067351943750394869494;   // tan 54° − b
constexpr double kT = 1.3090169943749474241022934171828191;   // φ²/2
constexpr double kU = 1.3763819204711735382072095819108877;   // tan 54°
constexpr double kW = 1.5388417685876267012851452880184549;   // φ sin 72°
constexpr double kHalf = 0.5;

struct Vertex {
    double x;
    double y;
};

struct EdgeSpec {
    double length;
    std::int32_t direction; // at rotation 0
    std::int32_t matchCode;
};

struct KindShape {
    std::int32_t kind;
    std::vector<Vertex> vertices; // edge i runs from vertex i to vertex i + 1 (cyclic)
    std::vector<EdgeSpec> edges;
};

const std::vector<Vertex> kPentagonVertices = {
    {0, kP}, {-kN, kB}, {-kHalf, -kK}, {kHalf, -kK}, {kN, kB}};
const std::vector<Vertex> kNarrowDiamondVertices = {{0, kQ}, {-kC, 0}, {0, -kQ}, {kC, 0}};
const std::vector<Vertex> kPentagramVertices = {{0, kU},    {-kC, kE}, {-kT, kE}, {-kHalf, -kA},
                                                {-kN, -kS}, {0, -kF},  {kN, -kS}, {kHalf, -kA},
                                                {kT, kE},   {kC, kE}};
const std::vector<Vertex> kDecagonVertices = {{kPhi, 0},    {kT, kQ},   {kHalf, kW}, {-kHalf, kW},
                                              {-kT, kQ},    {-kPhi, 0}, {-kT, -kQ},  {-kHalf, -kW},
                                              {kHalf, -kW}, {kT, -kQ}};

std::vector<EdgeSpec> unitEdges(std::vector<std::int32_t> directions,
                                std::vector<std::int32_t> matchCodes) {
    std::vector<EdgeSpec> edges;
    for (std::size_t i = 0; i < directions.size(); ++i) {
        edges.push_back({1.0, directions[i], matchCodes[i]});
    }
    return edges;
}

std::vector<Vertex> wanedDecagonVertices() {
    std::vector<Vertex> v = kDecagonVertices;
    v[5] = {-1.0, 0.0};
    return v;
}

const std::vector<KindShape>& kindShapes() {
    static const std::vector<KindShape> shapes = {
        {kind::Dart,
         {{0, kH}, {-kQ, -kM}, {0, -kR}, {kQ, -kM}},
         {{kPhi, 13, 1}, {1.0, 1, -1}, {1.0, 19, 1}, {kPhi, 7, -1}}},
        {kind::Kaite,
         {{0, 1.0}, {-kQ, -kC}, {0, -kH}, {kQ, -kC}},
         {{kPhi, 13, -1}, {1.0, 19, 1}, {1.0, 1, -1}, {kPhi, 7, 1}}},
        {kind::WideDiamond,
         {{0, kN}, {-kG, 0}, {0, -kN}, {kG, 0}},
         unitEdges({13, 17, 3, 7}, {1, 2, -2, -1})},
        {kind::NarrowDiamond2, kNarrowDiamondVertices, unitEdges({14, 16, 4, 6}, {1, -1, 2, -2})},
        {kind::Pentagon, kPentagonVertices, unitEdges({12, 16, 0, 4, 8}, {0, 0, 0, 0, 0})},
        {kind::Pentagon1, kPentagonVertices, unitEdges({12, 16, 0, 4, 8}, {-1, -1, -1, -1, -1})},
        {kind::Pentagon2, kPentagonVertices, unitEdges({12, 16, 0, 4, 8}, {-1, -2, 1, -2, -1})},
        {kind::Pentagon3, kPentagonVertices, unitEdges({12, 16, 0, 4, 8}, {-4, 1, -3, 1, -4})},
        {kind::Pentagram3, kPentagramVertices,
         unitEdges({14, 10, 18, 14, 2, 18, 6, 2, 10, 6}, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4})},
        {kind::PentagramKepler, kPentagramVertices,
         unitEdges({14, 10, 18, 14, 2, 18, 6, 2, 10, 6}, {4, 4, 4, 4, 4, 4, 4, 4, 4, 4})},
        {kind::WanedPentagram,
         {{0, kU}, {-kC, kE}, {-kT, kE}, {-kHalf, -kA}, {-kN, -kS}, {0, -kF}, {kC, kE}},
         unitEdges({14, 10, 18, 14, 2, 4, 6}, {4, 4, 4, 4, 2, 3, 2})},
        {kind::NarrowDiamond3, kNarrowDiamondVertices, unitEdges({14, 16, 4, 6}, {3, 2, 2, 3})},
        {kind::NarrowDiamondDurer, kNarrowDiamondVertices, unitEdges({14, 16, 4, 6}, {3, 2, 2, 3})},
        {kind::Decagon, kDecagonVertices,
         unitEdges({6, 8, 10, 12, 14, 16, 18, 0, 2, 4}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {kind::WanedDecagon, wanedDecagonVertices(),
         unitEdges({6, 8, 10, 12, 16, 14, 18, 0, 2, 4}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
    };
    return shapes;
}

const KindShape* findShape(std::int32_t kindCode) {
    // Shapes exist only for codes 50011..50053.
    if (static_cast<std::uint32_t>(kindCode - kind::Dart) > 42u) {
        return nullptr;
    }
    for (const KindShape& shape : kindShapes()) {
        if (shape.kind == kindCode) {
            return &shape;
        }
    }
    return nullptr;
}

// Direction index of the ray from the origin through v. Every vertex of every shape lies
// on such a ray, so rounding only removes the error of atan2.
std::int32_t rayDirection(const Vertex& v, std::int32_t count) {
    const double turns = std::atan2(v.y, v.x) / (2.0 * std::numbers::pi);
    auto index = static_cast<std::int32_t>(std::lround(turns * count));
    return ((index % count) + count) % count;
}

bool appendMadeEdge(EdgeChain& chain, Tile& tile, const Vertex& from, const Vertex& to,
                    double length, std::int32_t direction, std::int32_t rotation,
                    std::int32_t matchCode, const AngleTable& angles) {
    std::optional<TileEdge> edge =
        makeEdge(from.x, from.y, to.x, to.y, length, direction, rotation, matchCode, angles);
    if (!edge) {
        return false;
    }
    edge->owner = &tile;
    return appendEdge(&chain, &*edge) != nullptr;
}

bool buildDecorationsFor(Tile& tile, const KindShape& shape, double outlineInset,
                         const AngleTable& angles) {
    tile.decorations.clear();
    const std::int32_t count = angles.count;
    const double sigma = 1.0 - outlineInset;
    const double rim = 1.0 - sigma;
    const std::size_t n = shape.vertices.size();

    // Every shared vertex is computed once so that the chains close exactly.
    std::vector<Vertex> inner(n);
    std::vector<double> radius(n);
    std::vector<std::int32_t> ray(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Vertex& v = shape.vertices[i];
        inner[i] = {v.x * sigma, v.y * sigma};
        radius[i] = std::sqrt(v.x * v.x + v.y * v.y);
        ray[i] = rayDirection(v, count);
    }

    std::vector<EdgeChain> chains(1 + n);
    EdgeChain& face = chains[0];
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const EdgeSpec& e = shape.edges[i];
        if (!appendMadeEdge(face, tile, inner[i], inner[j], sigma * e.length, e.direction,
                            tile.rotation, 0, angles)) {
            return false;
        }
    }

    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const EdgeSpec& e = shape.edges[i];
        EdgeChain& strip = chains[1 + i];
        const Vertex& vi = shape.vertices[i];
        const Vertex& vj = shape.vertices[j];
        const bool ok =
            appendMadeEdge(strip, tile, vi, vj, e.length, e.direction, tile.rotation, 0, angles) &&
            appendMadeEdge(strip, tile, vj, inner[j], rim * radius[j], (ray[j] + count / 2) % count,
                           tile.rotation, 0, angles) &&
            appendMadeEdge(strip, tile, inner[j], inner[i], sigma * e.length,
                           (e.direction + count / 2) % count, tile.rotation, 0, angles) &&
            appendMadeEdge(strip, tile, inner[i], vi, rim * radius[i], ray[i], tile.rotation, 0,
                           angles);
        if (!ok) {
            return false;
        }
    }

    tile.decorations = std::move(chains);
    return true;
}

} // namespace

int outlineEdgeCount(std::int32_t kindCode) {
    const KindShape* shape = findShape(kindCode);
    return shape == nullptr ? 0 : static_cast<int>(shape->edges.size());
}

std::unique_ptr<Tile> buildTile(const TileSet* tileSet, const AngleTable* angles,
                                std::int32_t kindCode, std::int32_t rotation) {
    if (tileSet == nullptr || angles == nullptr || tileSet->kindIndex(kindCode) < 0) {
        return nullptr;
    }
    if (rotation < 0 || rotation >= tileSet->directionCount || rotation >= angles->count) {
        return nullptr;
    }
    const KindShape* shape = findShape(kindCode);
    if (shape == nullptr) {
        return nullptr;
    }

    auto tile = std::make_unique<Tile>();
    tile->kind = kindCode;
    tile->rotation = rotation;

    const std::size_t n = shape->vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
        const EdgeSpec& e = shape->edges[i];
        if (!appendMadeEdge(tile->outline, *tile, shape->vertices[i], shape->vertices[(i + 1) % n],
                            e.length, e.direction, rotation, e.matchCode, *angles)) {
            return nullptr;
        }
    }
    if (tile->outline.closed == 0) {
        return nullptr;
    }

    if (!buildDecorationsFor(*tile, *shape, tileSet->outlineInset, *angles)) {
        return nullptr;
    }
    return tile;
}

bool buildDecorations(Tile& tile, double outlineInset, const AngleTable& angles) {
    tile.decorations.clear();
    const KindShape* shape = findShape(tile.kind);
    if (shape == nullptr || tile.rotation < 0 || tile.rotation >= angles.count) {
        return false;
    }
    return buildDecorationsFor(tile, *shape, outlineInset, angles);
}

} // namespace pavelora
