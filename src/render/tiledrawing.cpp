#include "render/tiledrawing.h"

#include "core/board/hittest.h"
#include "render/pairpattern.h"
#include "render/shading.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace pavelora {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// Solid pens as the board uses them: round ends and joins, like every wide pen here.
QPen solidPen(const QColor& colour, int width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Buffer pixels of board centimetres on the screen.
class ScreenMapping final : public PatternMapping {
public:
    explicit ScreenMapping(const View& view) : view_(view) {}

    QPoint point(double x, double y) const override {
        return {boxX(x), view_.boardPixelHeight - boxY(y)};
    }
    std::int32_t boxX(double v) const override {
        return static_cast<std::int32_t>(v * view_.pxPerMmX * view_.zoom * 10);
    }
    std::int32_t boxY(double v) const override {
        return static_cast<std::int32_t>(v * view_.pxPerMmY * view_.zoom * 10);
    }
    double boardHeight() const override { return view_.boardPixelHeight * view_.cmPerPixelY; }

private:
    const View& view_;
};

void startPainter(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// drawTile on an open painter. Returns the buffer rectangle that holds everything drawn.
QRect paintTile(QPainter& painter, const Document& doc, const Tile& tile, const QRegion* clip) {
    const View& view = doc.view;
    const TileSet& tileSet = *doc.tileSet;
    const QRect buffer = bufferRect(view);
    // The buffer rectangle is set as a clip rather than clipping switched off: with
    // clipping once switched off, the raster engine lets a later non-rectangular clip
    // region through unclipped.
    if (clip != nullptr) {
        painter.setClipRegion(clip->intersected(buffer));
    } else {
        painter.setClipRect(buffer);
    }

    const Rgb* base = kindColour(tileSet, tile.kind);
    if (base == nullptr) {
        return {};
    }
    const ScreenMapping screen(view);
    const std::int32_t Xt = screen.boxX(tile.x);
    const std::int32_t Yt = view.boardPixelHeight - screen.boxY(tile.y);
    const double scale = view.tileSizeRatio * view.zoom;

    QRect drawn;
    for (int i = 0; i < tile.decorationCount(); ++i) {
        const auto polygon = buildPixelPolygon(&tile.decorations[static_cast<std::size_t>(i)], Xt,
                                               Yt, scale, view, tileSet);
        if (!polygon) {
            continue;
        }
        const QColor fill = toQColor(i == 0 ? *base : shadeColour(*polygon, *base));
        painter.setPen(solidPen(fill, 1));
        painter.setBrush(QBrush(fill));
        painter.drawPolygon(polygon->points);
        drawn |= polygon->points.boundingRect();
    }
    if (!drawn.isEmpty()) {
        drawn.adjust(-1, -1, 1, 1);
    }

    if (doc.patternOn == 0 || !kindHasPairPattern(tile.kind)) {
        return drawn;
    }
    // The pattern is cut to the tile's own outline, and never reaches beyond the caller's
    // clip: outside it the picture was not erased, and a later tile may lie on top there.
    QRegion patternClip = tileRegion(tile, view, 0, view.boardPixelHeight, 1.0);
    if (clip != nullptr) {
        patternClip = patternClip.intersected(*clip);
    }
    if (patternClip.isEmpty()) {
        return drawn;
    }
    painter.setClipRegion(patternClip);
    const QRect pattern = drawPairPattern(painter, tile, tileSet, view.tileSizeRatio, screen);
    return drawn | pattern.intersected(patternClip.boundingRect());
}

// The elements of a tile's pair pattern as they would be drawn, kept to be drawn later.
class RecordingSink final : public PatternSink {
public:
    struct Element {
        bool isEllipse = false;
        bool filled = false;
        QRgb colour = 0;
        QRect box;
        QPolygon corners;
    };

    void ellipse(const QRect& box, QRgb colour, bool filled) override {
        elements.push_back({true, filled, colour, box, {}});
    }
    void wedge(const QPolygon& corners, QRgb colour) override {
        elements.push_back({false, true, colour, {}, corners});
    }

    std::vector<Element> elements;
};

struct KeyHash {
    std::size_t operator()(const std::vector<std::int32_t>& key) const {
        std::uint64_t h = 1469598103934665603ULL;
        for (const std::int32_t v : key) {
            h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ULL;
        }
        return static_cast<std::size_t>(h);
    }
};

// Draws tiles as paintTile does, from pictures of whole tiles. Every pixel that paintTile
// sets depends only on integer coordinates (polygon corners, ellipse boxes, the outline that
// cuts the pattern) and colours; measured from the tile's pixel these are the same for most
// tiles of one kind and direction. Such a tile is drawn once into a picture with a
// transparent background, and every tile with the same coordinates gets a copy of it at its
// own pixel. Drawing is without antialiasing, so each pixel of the picture is either
// untouched or opaque and the copy sets exactly the pixels the drawing would.
} // namespace

struct TileStamps {
    struct Stamp {
        QImage image;
        QPoint offset; // of the picture's corner from the tile's pixel
    };
    // Kept across redraws; a board of many shapes starts afresh now and then.
    static constexpr std::size_t MostStamps = 20000;
    std::unordered_map<std::vector<std::int32_t>, Stamp, KeyHash> stamps;
};

namespace {

class StampPainter {
public:
    using Stamp = TileStamps::Stamp;

    StampPainter(QPainter& painter, const Document& doc, const QRegion* clip, BoardBuffers& buffers)
        : painter_(painter), doc_(doc), screen_(doc.view), clip_(clip),
          buffer_(bufferRect(doc.view)) {
        if (!buffers.stamps) {
            buffers.stamps = std::make_shared<TileStamps>();
        }
        stamps_ = &buffers.stamps->stamps;
        setClip();
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    void paint(const Tile& tile) {
        const View& view = doc_.view;
        const TileSet& tileSet = *doc_.tileSet;
        const Rgb* base = kindColour(tileSet, tile.kind);
        if (base == nullptr) {
            return; // paintTile draws nothing either
        }
        const std::int32_t Xt = screen_.boxX(tile.x);
        const std::int32_t Yt = view.boardPixelHeight - screen_.boxY(tile.y);
        const double scale = view.tileSizeRatio * view.zoom;
        key_.clear();
        key_.push_back(tile.kind);
        key_.push_back(static_cast<std::int32_t>(qRgb(base->red, base->green, base->blue)));
        polygons_.clear();
        faces_.clear();
        for (int i = 0; i < tile.decorationCount(); ++i) {
            auto polygon = buildPixelPolygon(&tile.decorations[static_cast<std::size_t>(i)], Xt, Yt,
                                             scale, view, tileSet);
            if (!polygon) {
                key_.push_back(-1);
                continue;
            }
            polygon->points.translate(-Xt, -Yt);
            pushPolygon(polygon->points);
            std::int64_t bits = 0;
            static_assert(sizeof(bits) == sizeof(polygon->shade));
            std::memcpy(&bits, &polygon->shade, sizeof(bits));
            key_.push_back(static_cast<std::int32_t>(bits));
            key_.push_back(static_cast<std::int32_t>(bits >> 32));
            polygons_.push_back(std::move(*polygon));
            faces_.push_back(i == 0);
        }
        outline_.clear();
        pattern_.elements.clear();
        if (doc_.patternOn != 0 && kindHasPairPattern(tile.kind) && !tile.outline.edges.empty()) {
            outline_ = tilePixelPolygon(tile, view, 0, view.boardPixelHeight, 1.0);
            outline_.translate(-Xt, -Yt);
            key_.push_back(-2);
            pushPolygon(outline_);
            drawPairPattern(pattern_, tile, tileSet, view.tileSizeRatio, screen_);
            for (auto& e : pattern_.elements) {
                key_.push_back(e.isEllipse ? (e.filled ? -3 : -4) : -5);
                key_.push_back(static_cast<std::int32_t>(e.colour));
                if (e.isEllipse) {
                    e.box.translate(-Xt, -Yt);
                    key_.insert(key_.end(), {e.box.x(), e.box.y(), e.box.width(), e.box.height()});
                } else {
                    e.corners.translate(-Xt, -Yt);
                    pushPolygon(e.corners);
                }
            }
        }
        auto found = stamps_->find(key_);
        if (found == stamps_->end()) {
            if (stamps_->size() >= TileStamps::MostStamps) {
                stamps_->clear();
            }
            found = stamps_->emplace(key_, makeStamp(*base)).first;
        }
        const Stamp& stamp = found->second;
        if (stamp.image.isNull()) {
            return;
        }
        const QPoint at(Xt + stamp.offset.x(), Yt + stamp.offset.y());
        if (!buffer_.contains(QRect(at, stamp.image.size()))) {
            // Where a shape crosses the edge of the picture, the painter simplifies the
            // round joins of pens outside: such a tile is drawn on its own.
            paintTile(painter_, doc_, tile, clip_);
            setClip();
            return;
        }
        painter_.drawImage(at, stamp.image);
    }

private:
    void setClip() {
        if (clip_ != nullptr) {
            painter_.setClipRegion(clip_->intersected(buffer_));
        } else {
            painter_.setClipRect(buffer_);
        }
    }

    void pushPolygon(const QPolygon& polygon) {
        key_.push_back(static_cast<std::int32_t>(polygon.size()));
        for (const QPoint& p : polygon) {
            key_.push_back(p.x());
            key_.push_back(p.y());
        }
    }

    // The tile drawn as paintTile draws it, at coordinates measured from the tile's pixel.
    Stamp makeStamp(Rgb base) const {
        QRect bounds;
        for (const PixelPolygon& polygon : polygons_) {
            bounds |= polygon.points.boundingRect();
        }
        for (const auto& e : pattern_.elements) {
            bounds |= e.isEllipse ? e.box.normalized() : e.corners.boundingRect();
        }
        if (bounds.isEmpty() && polygons_.empty()) {
            return {};
        }
        // Wide pens reach a pixel or two beyond the corners.
        bounds.adjust(-4, -4, 4, 4);
        Stamp stamp;
        stamp.offset = bounds.topLeft();
        stamp.image = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
        stamp.image.fill(Qt::transparent);
        const QPoint shift = -bounds.topLeft();
        QPainter painter(&stamp.image);
        startPainter(painter);
        for (std::size_t i = 0; i < polygons_.size(); ++i) {
            const QColor fill = toQColor(faces_[i] ? base : shadeColour(polygons_[i], base));
            painter.setPen(solidPen(fill, 1));
            painter.setBrush(QBrush(fill));
            painter.drawPolygon(polygons_[i].points.translated(shift));
        }
        if (!pattern_.elements.empty()) {
            painter.setClipRegion(QRegion(outline_.translated(shift), Qt::OddEvenFill));
            PainterPatternSink sink(painter);
            for (const auto& e : pattern_.elements) {
                if (e.isEllipse) {
                    sink.ellipse(e.box.translated(shift), e.colour, e.filled);
                } else {
                    sink.wedge(e.corners.translated(shift), e.colour);
                }
            }
        }
        return stamp;
    }

    QPainter& painter_;
    const Document& doc_;
    const ScreenMapping screen_;
    const QRegion* clip_;
    const QRect buffer_;
    std::vector<std::int32_t> key_;
    std::vector<PixelPolygon> polygons_;
    std::vector<bool> faces_; // the polygon is the inner face (drawn in the kind colour)
    QPolygon outline_;
    RecordingSink pattern_;
    std::unordered_map<std::vector<std::int32_t>, Stamp, KeyHash>* stamps_;
};

bool plainDrawing = false;

// The changed part of the buffer as the window shows it: in client coordinates, cut to the
// visible board.
QRegion clientRegion(const View& view, const QRegion& region) {
    if (region.isEmpty()) {
        return {};
    }
    return region.translated(view.boardOriginX, view.boardOriginY)
        .intersected(visibleBoardRect(view));
}

bool canDraw(const BoardBuffers& buffers, const Document& doc) {
    return !buffers.backBuffer.isNull() && doc.tileSet != nullptr;
}

double redrawFactor(const View& view) {
    return (0.1 / view.tileSizeRatio / view.zoom + 1) * 1.15;
}

// Erases the region to the board colour.
void eraseRegion(QPainter& painter, const BoardBuffers& buffers, const QRegion& region) {
    painter.setClipRegion(region);
    painter.drawImage(0, 0, buffers.boardBuffer);
}

// Paints back, in display order and cut to the erased region, every tile whose drawing may
// reach into it (but those `skip` names): every tile whose square of the tile set's reach
// about its position, a few pixels more for the pens, meets the region. A tile that reaches
// no pixel of the region would change nothing, so the region ends as a full redraw paints it.
template <typename Skip>
void repaintRegion(QPainter& painter, BoardBuffers& buffers, const Document& doc,
                   const QRegion& region, Skip skip) {
    const View& view = doc.view;
    const double reach = view.tileSizeRatio * doc.tileSet->extent;
    const int reachX = static_cast<int>(reach / view.cmPerPixelX) + 4;
    const int reachY = static_cast<int>(reach / view.cmPerPixelY) + 4;
    const QRect box = region.boundingRect().adjusted(-reachX, -reachY, reachX, reachY);
    const double minX = box.left() * view.cmPerPixelX;
    const double maxX = (box.right() + 1) * view.cmPerPixelX;
    const double minY = (view.boardPixelHeight - box.bottom() - 1) * view.cmPerPixelY;
    const double maxY = (view.boardPixelHeight - box.top()) * view.cmPerPixelY;
    StampPainter stamps(painter, doc, &region, buffers);
    std::vector<Tile*> near;
    for (const auto& group : doc.board.groups) {
        near.clear();
        tilesInBox(doc, *group, minX, minY, maxX, maxY, near);
        for (const Tile* tile : near) {
            if (tile->x < minX || tile->x > maxX || tile->y < minY || tile->y > maxY ||
                skip(*tile)) {
                continue;
            }
            const int px = static_cast<int>(tile->x / view.cmPerPixelX);
            const int py = view.boardPixelHeight - static_cast<int>(tile->y / view.cmPerPixelY);
            if (!region.intersects(
                    QRect(px - reachX, py - reachY, 2 * reachX + 1, 2 * reachY + 1))) {
                continue;
            }
            if (plainDrawing) {
                paintTile(painter, doc, *tile, &region);
            } else {
                stamps.paint(*tile);
            }
        }
    }
}

} // namespace

void usePlainTileDrawing(bool on) {
    plainDrawing = on;
}

QRect bufferRect(const View& view) {
    return {0, 0, view.boardPixelWidth, view.boardPixelHeight};
}

QRect visibleBoardRect(const View& view) {
    const std::int32_t right = std::min(view.boardOriginX + view.boardPixelWidth, view.clientWidth);
    const std::int32_t bottom =
        std::min(view.boardOriginY + view.boardPixelHeight, view.clientHeight);
    return {view.boardOriginX, view.boardOriginY, right - view.boardOriginX,
            bottom - view.boardOriginY};
}

QRegion createBoardBuffers(BoardBuffers& buffers, const View& view) {
    if (view.boardPixelWidth <= 0 || view.boardPixelHeight <= 0) {
        releaseBoardBuffers(buffers);
        return {};
    }
    // Buffers of the board's size already there are painted over, not made again: a full
    // redraw of a large board then touches no fresh memory.
    const QSize size(view.boardPixelWidth, view.boardPixelHeight);
    if (buffers.boardBuffer.size() != size || buffers.backBuffer.size() != size) {
        releaseBoardBuffers(buffers);
        buffers.boardBuffer = QImage(size, QImage::Format_RGB32);
        buffers.backBuffer = QImage(size, QImage::Format_RGB32);
    }
    const QColor colour = toQColor(view.boardColour);
    buffers.boardBuffer.fill(colour);
    buffers.backBuffer.fill(colour);
    return clientRegion(view, QRegion(bufferRect(view)));
}

void releaseBoardBuffers(BoardBuffers& buffers) {
    buffers.boardBuffer = QImage();
    buffers.backBuffer = QImage();
}

QRegion drawTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                 const QRegion* clip) {
    if (tile == nullptr || !canDraw(buffers, doc)) {
        return {};
    }
    QRect drawn;
    {
        QPainter painter(&buffers.backBuffer);
        startPainter(painter);
        drawn = paintTile(painter, doc, *tile, clip);
    }
    QRegion changed(drawn);
    if (clip != nullptr) {
        changed = changed.intersected(*clip);
    }
    return clientRegion(doc.view, changed);
}

QRegion redrawAllTiles(BoardBuffers& buffers, Document& doc, Progress* progress) {
    if (doc.board.groups.empty()) {
        return {};
    }
    if (!canDraw(buffers, doc)) {
        for (const auto& group : doc.board.groups) {
            group->region = groupProximityRegion(*group, doc.view);
        }
        return {};
    }
    {
        QPainter painter(&buffers.backBuffer);
        startPainter(painter);
        StampPainter stamps(painter, doc, nullptr, buffers);
        constexpr int ProgressStep = 4096;
        int drawn = 0;
        if (progress != nullptr) {
            progress->setText(QStringLiteral("ボード再描画中"));
            progress->start(doc.board.tileCount());
        }
        for (const auto& group : doc.board.groups) {
            for (const auto& tile : group->tiles) {
                if (progress != nullptr && ++drawn % ProgressStep == 0) {
                    progress->step(ProgressStep);
                }
                if (plainDrawing) {
                    paintTile(painter, doc, *tile, nullptr);
                } else {
                    stamps.paint(*tile);
                }
            }
            group->region = groupProximityRegion(*group, doc.view);
        }
    }
    return clientRegion(doc.view, QRegion(bufferRect(doc.view)));
}

QRegion redrawAroundTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                         bool includeSelf) {
    if (tile == nullptr || !canDraw(buffers, doc)) {
        return {};
    }
    const View& view = doc.view;
    const QRegion region = tileRegion(*tile, view, 0, view.boardPixelHeight, redrawFactor(view));
    if (region.isEmpty()) {
        return {}; // the tile lies off the board: nothing of it is on the screen
    }
    {
        QPainter painter(&buffers.backBuffer);
        startPainter(painter);
        eraseRegion(painter, buffers, region);
        repaintRegion(painter, buffers, doc, region,
                      [&](const Tile& other) { return &other == tile && !includeSelf; });
    }
    return clientRegion(view, region);
}

QRegion redrawAroundGroup(BoardBuffers& buffers, const Document& doc, const TileGroup* group,
                          bool includeSelf) {
    if (group == nullptr || group->tiles.empty() || !canDraw(buffers, doc)) {
        return {};
    }
    const View& view = doc.view;
    const QRegion region = groupRegion(*group, view, 0, view.boardPixelHeight, redrawFactor(view));
    if (region.isEmpty()) {
        return {};
    }
    {
        QPainter painter(&buffers.backBuffer);
        startPainter(painter);
        eraseRegion(painter, buffers, region);
        repaintRegion(painter, buffers, doc, region,
                      [&](const Tile& other) { return other.group == group && !includeSelf; });
    }
    return clientRegion(view, region);
}

QImage drawGroupPicture(BoardBuffers& buffers, const Document& doc, const TileGroup& group,
                        QPoint& topLeft) {
    if (group.tiles.empty() || !canDraw(buffers, doc)) {
        return {};
    }
    const View& view = doc.view;
    const ScreenMapping screen(view);
    // Every tile's drawing lies within its reach of its position, wide pens a few pixels more.
    const double reach = view.tileSizeRatio * doc.tileSet->extent;
    const QRect box(QPoint(screen.boxX(group.minX - reach) - 4,
                           view.boardPixelHeight - screen.boxY(group.maxY + reach) - 4),
                    QPoint(screen.boxX(group.maxX + reach) + 4,
                           view.boardPixelHeight - screen.boxY(group.minY - reach) + 4));
    const QRect area = box.intersected(bufferRect(view));
    if (area.isEmpty()) {
        return {};
    }
    QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        startPainter(painter);
        painter.translate(-area.topLeft());
        StampPainter stamps(painter, doc, nullptr, buffers);
        for (const auto& tile : group.tiles) {
            stamps.paint(*tile);
        }
    }
    topLeft = area.topLeft();
    return picture;
}

QRegion blinkSelectedTile(BoardBuffers& buffers, const Document& doc, const Tile* tile,
                          const Tile* currentTile) {
    QRegion changed;
    if (tile != nullptr && tile == currentTile && canDraw(buffers, doc)) {
        const View& view = doc.view;
        const auto polygon = buildPixelPolygon(&tile->outline, 0, view.boardPixelHeight, view.zoom,
                                               view, *doc.tileSet);
        if (polygon) {
            const QColor colour = buffers.blinkPhase == 1 ? Qt::white : Qt::black;
            {
                QPainter painter(&buffers.backBuffer);
                startPainter(painter);
                painter.setPen(solidPen(colour, 1));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(polygon->points);
            }
            changed =
                clientRegion(view, QRegion(polygon->points.boundingRect().adjusted(-1, -1, 1, 1)));
        }
    }
    buffers.blinkPhase = -buffers.blinkPhase;
    return changed;
}

QRegion blinkGroupOutline(BoardBuffers& buffers, const Document& doc, const TileGroup* group) {
    QRegion changed;
    if (group != nullptr && canDraw(buffers, doc)) {
        const View& view = doc.view;
        const QColor colour = buffers.groupBlinkPhase == 1 ? Qt::white : Qt::black;
        QRect drawn;
        {
            QPainter painter(&buffers.backBuffer);
            startPainter(painter);
            painter.setPen(solidPen(colour, 1));
            for (const EdgeRow& row : group->boundary.rows) {
                for (const SortedEdge& edge : row.edges) {
                    const QPoint from(static_cast<std::int32_t>(edge.x1 / view.cmPerPixelX),
                                      view.boardPixelHeight -
                                          static_cast<std::int32_t>(edge.y1 / view.cmPerPixelY));
                    const QPoint to(static_cast<std::int32_t>(edge.x2 / view.cmPerPixelX),
                                    view.boardPixelHeight -
                                        static_cast<std::int32_t>(edge.y2 / view.cmPerPixelY));
                    painter.drawLine(from, to);
                    drawn |= QRect(from, to).normalized();
                }
            }
        }
        if (!drawn.isEmpty()) {
            changed = clientRegion(view, QRegion(drawn.adjusted(-1, -1, 1, 1)));
        }
    }
    buffers.groupBlinkPhase = -buffers.groupBlinkPhase;
    return changed;
}

} // namespace pavelora
