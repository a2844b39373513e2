#include "editor/rulescontroller.h"

#include "core/board/restore.h"
#include "editor/boardinteraction.h"
#include "editor/commands.h"
#include "editor/palettecontroller.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace pavelora {

namespace {

const QString kAddForced = QStringLiteral("強制タイルを追加");
const QString kPlaceCandidate = QStringLiteral("候補タイルの配置");

// How near a click must come to a free edge to choose it, in pixels.
constexpr double kEdgeReachPixels = 6.0;

// Forced tiles added to a group: taken off and put back as a whole.
class ForcedTilesCommand : public EditCommand {
public:
    ForcedTilesCommand(RulesController& rules, int group, int first, std::vector<TileState> records)
        : EditCommand(kAddForced), rules_(rules), group_(group), first_(first),
          records_(std::move(records)) {}

protected:
    void apply(bool forward) override { rules_.replayForced(group_, first_, records_, forward); }

private:
    RulesController& rules_;
    int group_;
    int first_;
    std::vector<TileState> records_;
};

double squaredDistance(double px, double py, const SortedEdge& e) {
    const double dx = e.x2 - e.x1;
    const double dy = e.y2 - e.y1;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - e.x1) * dx + (py - e.y1) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = e.x1 + t * dx - px;
    const double ey = e.y1 + t * dy - py;
    return ex * ex + ey * ey;
}

QRect ghostRect(const QPolygon& polygon) {
    return polygon.boundingRect().adjusted(-2, -2, 2, 2);
}

} // namespace

RulesController::RulesController(EditorScreen& screen, BoardInteraction& board,
                                 PaletteController& palette, EditHistory& history,
                                 std::function<Document*()> document)
    : screen_(screen), board_(board), palette_(palette), history_(history),
      document_(std::move(document)) {}

RulesController::~RulesController() = default;

void RulesController::attach(Document* doc) {
    doc_ = doc;
    atlas_.reset();
    // The atlas takes a while to build: it is built when a rule is first used.
    setCode_ = doc_ != nullptr && doc_->tileSet ? doc_->tileSet->code : 0;
    rulesApply_ = hasVertexStars(setCode_);
    showDeadEnds_ = false;
    showCandidates_ = false;
    marks_.clear();
    ghosts_.clear();
    ghostGroup_ = nullptr;
    showMenu();
}

const VertexAtlas* RulesController::atlas() {
    if (!atlas_ && rulesApply_ && doc_ != nullptr) {
        atlas_ = VertexAtlas::create(*doc_->tileSet, doc_->angles);
        rulesApply_ = atlas_ != nullptr;
    }
    return atlas_.get();
}

Document* RulesController::current() {
    Document* doc = document_ ? document_() : nullptr;
    if (doc != doc_ || (doc != nullptr && doc->tileSet && doc->tileSet->code != setCode_)) {
        attach(doc);
    }
    return doc_;
}

void RulesController::showMenu() {
    MenuState& menu = screen_.menu();
    const bool on = doc_ != nullptr && rulesApply_;
    for (int command : {cmd::ShowDeadEnds, cmd::AddForcedTiles, cmd::ShowCandidates}) {
        menu.setEnabled(command, on);
    }
    menu.setChecked(cmd::ShowDeadEnds, on && showDeadEnds_);
    menu.setChecked(cmd::ShowCandidates, on && showCandidates_);
    screen_.menuChanged();
}

RulesOverlay RulesController::overlay() const {
    RulesOverlay overlay;
    if (doc_ == nullptr || document_() != doc_) {
        return overlay;
    }
    for (const DeadEnd& d : marks_) {
        overlay.deadEnds.push_back(clientPixel(doc_->view, d.x, d.y));
    }
    for (const TilePlacement& p : ghosts_) {
        overlay.ghosts.push_back(ghostPolygon(*doc_, p));
    }
    return overlay;
}

void RulesController::clearGhosts(QRegion* region) {
    if (doc_ != nullptr) {
        for (const TilePlacement& p : ghosts_) {
            const QRect r = ghostRect(ghostPolygon(*doc_, p));
            if (region != nullptr) {
                *region += r;
            } else {
                screen_.changed(r);
            }
        }
    }
    ghosts_.clear();
    ghostGroup_ = nullptr;
}

void RulesController::toggleDeadEnds() {
    if (current() == nullptr || atlas() == nullptr) {
        return;
    }
    showDeadEnds_ = !showDeadEnds_;
    if (showDeadEnds_) {
        marks_ = deadEnds(*doc_, *atlas_);
    }
    for (const DeadEnd& d : marks_) {
        screen_.changed(deadEndMarkRect(clientPixel(doc_->view, d.x, d.y)));
    }
    if (!showDeadEnds_) {
        marks_.clear();
    }
    showMenu();
}

void RulesController::toggleCandidates() {
    if (current() == nullptr || atlas() == nullptr) {
        return;
    }
    showCandidates_ = !showCandidates_;
    if (!showCandidates_) {
        clearGhosts(nullptr);
    }
    showMenu();
}

TileGroup* RulesController::targetGroup() const {
    const Selection& sel = board_.selection();
    if (sel.currentGroup != nullptr && doc_->board.contains(sel.currentGroup) &&
        sel.currentGroup->count() > 0) {
        return sel.currentGroup;
    }
    TileGroup* largest = nullptr;
    for (const auto& g : doc_->board.groups) {
        if (largest == nullptr || g->count() > largest->count()) {
            largest = g.get();
        }
    }
    return largest;
}

void RulesController::countAdded(const std::vector<TileState>& records, int sign) {
    for (const TileState& r : records) {
        palette_.countTiles(r.kind, sign);
    }
    palette_.draw();
}

void RulesController::addForcedTiles() {
    if (current() == nullptr || atlas() == nullptr) {
        return;
    }
    board_.finishEdit();
    TileGroup* group = targetGroup();
    if (group == nullptr) {
        return;
    }
    clearGhosts(nullptr);
    const int first = group->count();
    const std::vector<Tile*> added = completeForced(*doc_, *group, *atlas_);
    if (added.empty()) {
        return;
    }
    std::vector<TileState> records = recordTilesFrom(*group, first);
    countAdded(records, 1);
    // Many tiles are drawn faster with the whole board.
    if (added.size() * 4 > static_cast<std::size_t>(doc_->board.tileCount())) {
        screen_.redrawBoard(*doc_);
    } else {
        for (const Tile* t : added) {
            screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, t, true));
        }
    }
    history_.push(std::make_unique<ForcedTilesCommand>(*this, groupIndexOf(doc_->board, group),
                                                       first, std::move(records)));
}

void RulesController::replayForced(int group, int first, const std::vector<TileState>& records,
                                   bool forward) {
    if (current() == nullptr || group < 0 || group >= doc_->board.count()) {
        return;
    }
    TileGroup& g = *doc_->board.groups[static_cast<std::size_t>(group)];
    const int expected = forward ? first : first + static_cast<int>(records.size());
    if (g.count() != expected) {
        return; // the board changed behind the stack's back
    }
    // The selection may name a tile that goes.
    Selection& sel = board_.selection();
    if (sel.currentTile != nullptr) {
        sel.currentTile->selected = 0;
    }
    if (sel.currentGroup != nullptr) {
        sel.currentGroup->selected = 0;
    }
    sel.clear();
    clearGhosts(nullptr);
    if (forward) {
        appendRecordedTiles(*doc_, g, records);
    } else {
        removeTilesFrom(*doc_, g, first);
    }
    countAdded(records, forward ? 1 : -1);
    screen_.redrawBoard(*doc_);
}

bool RulesController::click(int x, int y) {
    if (!showCandidates_ || current() == nullptr || atlas() == nullptr) {
        return false;
    }
    const QPoint at(x, y);
    if (ghostGroup_ != nullptr && doc_->board.contains(ghostGroup_)) {
        for (const TilePlacement& p : ghosts_) {
            if (!ghostPolygon(*doc_, p).containsPoint(at, Qt::OddEvenFill)) {
                continue;
            }
            board_.finishEdit();
            TileGroup& group = *ghostGroup_;
            const TilePlacement chosen = p;
            clearGhosts(nullptr);
            Tile* tile = addJoinedTile(*doc_, group, chosen);
            if (tile == nullptr) {
                return true;
            }
            std::vector<BoardStep> steps(2);
            steps[0].kind = BoardStep::Kind::TileIn;
            steps[0].group = groupIndexOf(doc_->board, &group);
            steps[0].tile = group.count() - 1;
            steps[0].record = recordTile(group, group.count() - 1);
            steps[1].kind = BoardStep::Kind::Count;
            steps[1].tile = chosen.kind;
            steps[1].to = 1;
            palette_.countTiles(chosen.kind, 1);
            palette_.draw();
            screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, tile, true));
            history_.pushBoard(kPlaceCandidate, board_, std::move(steps));
            return true;
        }
    }
    clearGhosts(nullptr);
    double bx = 0;
    double by = 0;
    if (!pixelToBoard(doc_->view, x, y, bx, by)) {
        return false;
    }
    const double reach =
        kEdgeReachPixels * std::max(doc_->view.cmPerPixelX, doc_->view.cmPerPixelY);
    double best = reach * reach;
    TileGroup* bestGroup = nullptr;
    const TileEdge* bestEdge = nullptr;
    for (const auto& group : doc_->board.groups) {
        for (const EdgeRow& row : group->boundary.rows) {
            for (const SortedEdge& e : row.edges) {
                const double d = squaredDistance(bx, by, e);
                if (d < best) {
                    best = d;
                    bestGroup = group.get();
                    bestEdge = e.source;
                }
            }
        }
    }
    if (bestEdge == nullptr) {
        return false;
    }
    ghosts_ = legalTilesAt(*doc_, *bestGroup, *bestEdge, *atlas_);
    if (ghosts_.empty()) {
        return false;
    }
    board_.finishEdit();
    ghostGroup_ = bestGroup;
    const QUndoStack* stack = history_.stack();
    ghostStackIndex_ = stack != nullptr ? stack->index() : -1;
    ghostStackCount_ = stack != nullptr ? stack->count() : -1;
    for (const TilePlacement& p : ghosts_) {
        screen_.changed(ghostRect(ghostPolygon(*doc_, p)));
    }
    return true;
}

void RulesController::boardChanged(QRegion& region) {
    // Marks and ghosts come only once the atlas is built.
    if (current() == nullptr || !atlas_) {
        return;
    }
    const QUndoStack* stack = history_.stack();
    if (!ghosts_.empty() &&
        (ghostGroup_ == nullptr || !doc_->board.contains(ghostGroup_) || stack == nullptr ||
         stack->index() != ghostStackIndex_ || stack->count() != ghostStackCount_)) {
        clearGhosts(&region);
    }
    if (!showDeadEnds_) {
        return;
    }
    // The changed pixels as board centimetres, a pixel wider all round.
    const View& v = doc_->view;
    const QRect r = region.boundingRect();
    const double minX = (r.left() - 1 - v.boardOriginX) * v.cmPerPixelX;
    const double maxX = (r.right() + 2 - v.boardOriginX) * v.cmPerPixelX;
    const double maxY = (v.boardOriginY + v.boardPixelHeight - (r.top() - 1)) * v.cmPerPixelY;
    const double minY = (v.boardOriginY + v.boardPixelHeight - (r.bottom() + 2)) * v.cmPerPixelY;
    const auto inBox = [&](const DeadEnd& d) {
        return d.x >= minX && d.x <= maxX && d.y >= minY && d.y <= maxY;
    };
    for (const DeadEnd& d : marks_) {
        if (inBox(d)) {
            region += deadEndMarkRect(clientPixel(v, d.x, d.y));
        }
    }
    refreshDeadEnds(marks_, *doc_, *atlas_, minX, minY, maxX, maxY);
    for (const DeadEnd& d : marks_) {
        if (inBox(d)) {
            region += deadEndMarkRect(clientPixel(v, d.x, d.y));
        }
    }
}

void RulesController::boardReplaced() {
    // Marks and ghosts come only once the atlas is built.
    if (current() == nullptr || !atlas_) {
        return;
    }
    QRegion ignored;
    const QUndoStack* stack = history_.stack();
    if (!ghosts_.empty() &&
        (ghostGroup_ == nullptr || !doc_->board.contains(ghostGroup_) || stack == nullptr ||
         stack->index() != ghostStackIndex_ || stack->count() != ghostStackCount_)) {
        clearGhosts(&ignored);
    }
    if (showDeadEnds_) {
        marks_ = deadEnds(*doc_, *atlas_);
    }
}

} // namespace pavelora
