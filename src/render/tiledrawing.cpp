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

} // namespace

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
    releaseBoardBuffers(buffers);
    if (view.boardPixelWidth <= 0 || view.boardPixelHeight <= 0) {
        return {};
    }
    buffers.boardBuffer = QImage(view.boardPixelWidth, view.boardPixelHeight, QImage::Format_RGB32);
    buffers.boardBuffer.fill(toQColor(view.boardColour));
    buffers.backBuffer = buffers.boardBuffer.copy();
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

QRegion redrawAllTiles(BoardBuffers& buffers, Document& doc) {
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
        for (const auto& group : doc.board.groups) {
            for (const auto& tile : group->tiles) {
                paintTile(painter, doc, *tile, nullptr);
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
    const double reach = view.tileSizeRatio * doc.tileSet->extent * 1.05;
    {
        QPainter painter(&buffers.backBuffer);
        startPainter(painter);
        eraseRegion(painter, buffers, region);
        // Each group is asked only for its tiles near the moved one, in the group's order.
        std::vector<Tile*> near;
        for (const auto& group : doc.board.groups) {
            near.clear();
            tilesInBox(doc, *group, tile->x - reach, tile->y - reach, tile->x + reach,
                       tile->y + reach, near);
            for (const Tile* other : near) {
                if (other == tile && !includeSelf) {
                    continue;
                }
                const double dx = other->x - tile->x;
                const double dy = other->y - tile->y;
                if (std::sqrt(dx * dx + dy * dy) < reach) {
                    paintTile(painter, doc, *other, &region);
                }
            }
        }
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
        // Nearness depends only on the tile's group, so it is asked once per group.
        const TileGroup* asked = nullptr;
        bool near = false;
        for (const auto& other : doc.board.groups) {
            if (other.get() == group && !includeSelf) {
                continue;
            }
            for (const auto& tile : other->tiles) {
                if (tile->group != asked || asked == nullptr) {
                    asked = tile->group;
                    near = groupsNear(*group, *tile);
                }
                if (near) {
                    paintTile(painter, doc, *tile, &region);
                }
            }
        }
    }
    return clientRegion(view, region);
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
