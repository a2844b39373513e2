// Patches of the pentagon set grown edge by edge under its matching rules.
#include "core/geometry/tilebuilder.h"
#include "penrosepatch.h"

#include <queue>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <stdexcept>

namespace pavelora::testsupport {

namespace {

struct Pt {
    double x;
    double y;
};

struct Shape {
    std::int32_t kind;
    std::int32_t rotation;
    std::vector<Pt> corners; // unit outline turned by rotation, relative to the position
    std::vector<std::int32_t> directions;
    std::vector<std::int32_t> codes;
};

struct Laid {
    const Shape* shape;
    Pt at;
    std::vector<Pt> corners; // on the plane
    std::vector<Pt> samples; // points well inside the tile
};

double cross(Pt o, Pt a, Pt b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool same(Pt a, Pt b) {
    return std::abs(a.x - b.x) < 1e-7 && std::abs(a.y - b.y) < 1e-7;
}

bool inside(const std::vector<Pt>& poly, Pt p) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x <
                (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x) {
            in = !in;
        }
    }
    return in;
}

// Whether p lies on the segment a-b away from its ends.
bool withinSegment(Pt p, Pt a, Pt b) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (std::abs(cross(a, b, p)) > 1e-7 * length) {
        return false;
    }
    const double t = ((p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y)) / (length * length);
    return t > 1e-7 && t < 1 - 1e-7;
}

bool crossProperly(Pt a, Pt b, Pt c, Pt d) {
    const double o1 = cross(a, b, c);
    const double o2 = cross(a, b, d);
    const double o3 = cross(c, d, a);
    const double o4 = cross(c, d, b);
    const double e = 1e-9;
    return ((o1 > e && o2 < -e) || (o1 < -e && o2 > e)) &&
           ((o3 > e && o4 < -e) || (o3 < -e && o4 > e));
}

Laid lay(const Shape& shape, Pt at) {
    Laid laid{&shape, at, {}, {}};
    const std::size_t n = shape.corners.size();
    for (const Pt& c : shape.corners) {
        laid.corners.push_back({c.x + at.x, c.y + at.y});
    }
    // Every outline is star-shaped about the position: points of the triangles from there.
    for (std::size_t i = 0; i < n; ++i) {
        const Pt a = laid.corners[i];
        const Pt b = laid.corners[(i + 1) % n];
        for (double u : {0.1, 0.3, 0.6, 0.85}) {
            for (double v : {0.1, 0.45, 0.85}) {
                const double s = u * (1 - v) * 0.98 + 0.01;
                const double t = u * v * 0.98 + 0.01;
                laid.samples.push_back({at.x + s * (a.x - at.x) + t * (b.x - at.x),
                                        at.y + s * (a.y - at.y) + t * (b.y - at.y)});
            }
        }
    }
    return laid;
}

// Whether the candidate fits beside the laid tile: no overlap, corners only on corners, and
// every edge it shares runs the other way with a code that cancels.
bool fits(const Laid& c, const Laid& o) {
    if (std::hypot(c.at.x - o.at.x, c.at.y - o.at.y) > 6) {
        return true;
    }
    for (const Pt& p : c.samples) {
        if (inside(o.corners, p)) {
            return false;
        }
    }
    for (const Pt& p : o.samples) {
        if (inside(c.corners, p)) {
            return false;
        }
    }
    const std::size_t n = c.corners.size();
    const std::size_t m = o.corners.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Pt a = c.corners[i];
        const Pt b = c.corners[(i + 1) % n];
        for (std::size_t j = 0; j < m; ++j) {
            const Pt p = o.corners[j];
            const Pt q = o.corners[(j + 1) % m];
            if (crossProperly(a, b, p, q) || withinSegment(p, a, b) || withinSegment(a, p, q)) {
                return false;
            }
            if (same(a, q) && same(b, p) && c.shape->codes[i] + o.shape->codes[j] != 0) {
                return false;
            }
            if (same(a, p) && same(b, q)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

std::vector<PlacedTile> pentagonPatch(int tiles) {
    const std::unique_ptr<TileSet> set = createTileSet(setcode::PenroseNo3);
    const TileSet& tileSet = *set;
    const AngleTable angles = createAngleTable(tileSet);
    std::vector<Shape> shapes;
    for (std::int32_t kind : tileSet.kindCodes) {
        for (std::int32_t rotation = 0; rotation < tileSet.directionCount; ++rotation) {
            auto built = buildTile(&tileSet, &angles, kind, rotation);
            Shape& s = shapes.emplace_back(Shape{kind, rotation, {}, {}, {}});
            for (const TileEdge& e : built->outline.edges) {
                s.corners.push_back({e.x1, e.y1});
                s.directions.push_back(e.direction);
                s.codes.push_back(e.matchCode);
            }
        }
    }
    std::vector<Laid> laid{lay(shapes[0], {0, 0})};
    // Free edges, nearest the origin first.
    using Free = std::pair<double, std::pair<int, int>>;
    std::priority_queue<Free, std::vector<Free>, std::greater<>> open;
    auto openEdges = [&](int t) {
        const auto& c = laid[t].corners;
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Pt mid{(c[i].x + c[(i + 1) % c.size()].x) / 2,
                         (c[i].y + c[(i + 1) % c.size()].y) / 2};
            open.push({std::hypot(mid.x, mid.y), {t, static_cast<int>(i)}});
        }
    };
    openEdges(0);
    std::mt19937 random(5);
    while (static_cast<int>(laid.size()) < tiles && !open.empty()) {
        const auto [t, i] = open.top().second;
        open.pop();
        const Laid& owner = laid[t];
        const std::size_t n = owner.corners.size();
        const Pt from = owner.corners[i];
        const Pt to = owner.corners[(i + 1) % n];
        std::vector<Laid> options;
        for (const Shape& s : shapes) {
            for (std::size_t e = 0; e < s.corners.size(); ++e) {
                if ((s.directions[e] + 10) % 20 != owner.shape->directions[i]) {
                    continue;
                }
                // The candidate's edge e runs from `to` back to `from`.
                Laid c = lay(s, {to.x - s.corners[e].x, to.y - s.corners[e].y});
                const bool ok = std::all_of(laid.begin(), laid.end(),
                                            [&](const Laid& o) { return fits(c, o); });
                const bool onEdge = same(c.corners[(e + 1) % s.corners.size()], from);
                if (ok && onEdge) {
                    options.push_back(std::move(c));
                }
            }
        }
        if (options.empty()) {
            continue;
        }
        laid.push_back(options[random() % options.size()]);
        openEdges(static_cast<int>(laid.size()) - 1);
    }
    if (static_cast<int>(laid.size()) < tiles) {
        throw std::logic_error("pentagonPatch: the patch stopped growing");
    }
    std::vector<PlacedTile> patch;
    for (const Laid& l : laid) {
        patch.push_back({l.shape->kind, l.shape->rotation, l.at.x, l.at.y});
    }
    return patch;
}

} // namespace pavelora::testsupport
