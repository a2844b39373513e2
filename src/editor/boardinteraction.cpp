#include "editor/boardinteraction.h"

#include "core/board/hittest.h"
#include "core/board/restore.h"
#include "core/tiling/generator.h"
#include "editor/commands.h"
#include "editor/editorscreen.h"
#include "editor/palettecontroller.h"

#include <QPainter>

#include <algorithm>
#include <unordered_map>

namespace pavelora {

namespace {

const QString kTileOperation = QStringLiteral("タイル操作");
// The names of the changes, as "元に戻す" and "やり直し" show them.
const QString kMoveTile = QStringLiteral("タイルの移動");
const QString kTurnTile = QStringLiteral("タイルの回転");
const QString kPlaceTile = QStringLiteral("タイルの配置");
const QString kDeleteTile = QStringLiteral("タイルの削除");
const QString kJoinTile = QStringLiteral("タイルの結合");
const QString kDetachTile = QStringLiteral("タイルの結合解除");
const QString kMoveGroup = QStringLiteral("グループの移動");
const QString kLift = QStringLiteral("表示順の変更");
const QString kTidy = QStringLiteral("表示順整理");
const QString kGenerate = QStringLiteral("パターン生成");

// A generated patch on the undo stack: the group it laid, parked here while undone, and
// the tiles it added per palette kind.
class GenerateCommand : public EditCommand {
public:
    GenerateCommand(BoardInteraction& board, int groups, int tiles, std::vector<std::int32_t> added)
        : EditCommand(kGenerate), board_(board), groups_(groups), tiles_(tiles),
          added_(std::move(added)) {}

protected:
    void apply(bool forward) override {
        board_.replayGenerated(parked_, groups_, tiles_, added_, forward);
    }

private:
    BoardInteraction& board_;
    int groups_; // the groups on the board with the patch, and the patch's tiles
    int tiles_;
    std::vector<std::int32_t> added_;
    std::unique_ptr<TileGroup> parked_;
};
// The lifts of clicks in a row are taken back together.
constexpr int LiftMergeId = 1;

} // namespace

void BoardInteraction::attach(Document& doc, bool groupMode) {
    sel_ = Selection{};
    sel_.groupMode = groupMode;
    dragging_ = false;
    spaceRotated_ = false;
    arrowMoved_ = false;
    pending_ = PendingEdit{};
    doc_ = &doc;
}

void BoardInteraction::detach() {
    lifted_ = LiftedGroup{};
    sel_ = Selection{};
    pending_ = PendingEdit{};
    dragging_ = false;
    doc_ = nullptr;
}

void BoardInteraction::setDragging(bool on) {
    dragging_ = on;
    screen_.menu().setEnabled(cmd::Generate,
                              !on && doc_ != nullptr && generationSupported(doc_->tileSet->code));
    history_.setBusy(on);
}

// --- The undo stack ---

// The tile's place and record, to take it off the board (or, undone, to put it back).
BoardStep BoardInteraction::tileOut(const Tile& tile) const {
    BoardStep step;
    step.kind = BoardStep::Kind::TileOut;
    step.group = groupIndexOf(doc_->board, tile.group);
    step.tile = tileIndexOf(*tile.group, &tile);
    step.ownGroup = tile.group->count() == 1;
    step.record = recordTile(*tile.group, step.tile);
    return step;
}

// The tile is about to be replaced by one on top (already appended): the first
// replacement of a move or turn records where the tile was and what it was.
void BoardInteraction::beginTileEdit(const Tile& old, const QString& name) {
    if (pending_.kind != PendingEdit::Kind::None || old.group == nullptr) {
        return;
    }
    const BoardStep out = tileOut(old);
    pending_.kind = PendingEdit::Kind::Tile;
    pending_.name = name;
    pending_.group = out.group;
    pending_.tile = out.tile;
    pending_.ownGroup = out.ownGroup;
    pending_.record = out.record;
    pending_.appendedAt = doc_->board.count() - 1;
}

void BoardInteraction::beginGroupEdit() {
    if (pending_.kind != PendingEdit::Kind::None) {
        return;
    }
    pending_.kind = PendingEdit::Kind::Group;
    pending_.name = kMoveGroup;
    pending_.group = groupIndexOf(doc_->board, sel_.currentGroup);
    pending_.values = recordCoordinates(doc_->board, pending_.group);
}

void BoardInteraction::finishEdit() {
    landGroup();
    PendingEdit edit = std::move(pending_);
    pending_ = PendingEdit{};
    if (doc_ == nullptr || edit.kind == PendingEdit::Kind::None) {
        return;
    }
    std::vector<BoardStep> steps;
    if (edit.kind == PendingEdit::Kind::Group) {
        BoardStep& moved = steps.emplace_back();
        moved.kind = BoardStep::Kind::Coordinates;
        moved.group = edit.group;
        moved.values = std::move(edit.values);
    } else {
        // The tile's last replacement is the only tile of the top group.
        const Tile* now = sel_.currentTile;
        if (now == nullptr || doc_->board.groups.empty() ||
            now->group != doc_->board.groups.back().get() || now->group->count() != 1) {
            return;
        }
        BoardStep& in = steps.emplace_back();
        in.kind = BoardStep::Kind::TileIn;
        in.group = edit.appendedAt;
        in.ownGroup = true;
        in.record = recordTile(*now->group, 0);
        BoardStep& out = steps.emplace_back();
        out.kind = BoardStep::Kind::TileOut;
        out.group = edit.group;
        out.tile = edit.tile;
        out.ownGroup = edit.ownGroup;
        out.record = std::move(edit.record);
    }
    history_.pushBoard(edit.name, *this, std::move(steps));
}

// A click lifted the tile at `tileFrom` (or -1) within the group at `group`, and the group
// to the top.
void BoardInteraction::pushLift(int group, int tileFrom) {
    if (group < 0) {
        return;
    }
    std::vector<BoardStep> steps;
    const int top = doc_->board.count() - 1;
    const TileGroup& lifted = *doc_->board.groups[static_cast<std::size_t>(top)];
    if (tileFrom >= 0 && tileFrom != lifted.count() - 1) {
        BoardStep& step = steps.emplace_back();
        step.kind = BoardStep::Kind::TileTo;
        step.group = group;
        step.tile = tileFrom;
        step.to = lifted.count() - 1;
    }
    if (group != top) {
        BoardStep& step = steps.emplace_back();
        step.kind = BoardStep::Kind::GroupTo;
        step.group = group;
        step.to = top;
    }
    history_.pushBoard(kLift, *this, std::move(steps), LiftMergeId);
}

void BoardInteraction::dropSelection() {
    if (sel_.currentTile != nullptr) {
        sel_.currentTile->selected = 0;
    }
    if (sel_.currentGroup != nullptr) {
        sel_.currentGroup->selected = 0;
    }
    sel_.clear();
}

void BoardInteraction::replay(std::vector<BoardStep>& steps, bool forward) {
    if (doc_ == nullptr) {
        return;
    }
    const EditorScreen::RepaintBatch batch(screen_);
    dropSelection();
    pending_ = PendingEdit{};
    spaceRotated_ = false;
    arrowMoved_ = false;
    bool fullRedraw = false;
    bool counted = false;
    if (forward) {
        for (BoardStep& step : steps) {
            replayStep(step, true, fullRedraw, counted);
        }
    } else {
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            replayStep(*it, false, fullRedraw, counted);
        }
    }
    if (fullRedraw) {
        screen_.redrawBoard(*doc_);
    }
    if (counted) {
        palette_.draw();
    }
    screen_.menu().setEnabled(cmd::TidyOrder, doc_->board.count() >= 2);
    screen_.menuChanged();
}

void BoardInteraction::replayStep(BoardStep& step, bool forward, bool& fullRedraw, bool& counted) {
    Board& board = doc_->board;
    BoardBuffers& buffers = screen_.buffers();
    auto groupAt = [&board](int index) {
        return board.groups[static_cast<std::size_t>(index)].get();
    };
    // The places hold as long as nothing changed the board behind the stack's back; a step
    // that does not fit is left out rather than followed to a tile that is not there.
    const int groups = board.count();
    auto tilesIn = [&](int index) {
        return index >= 0 && index < groups ? groupAt(index)->count() : -1;
    };
    const bool inserting = (step.kind == BoardStep::Kind::TileIn) == forward;
    bool fits = true;
    switch (step.kind) {
    case BoardStep::Kind::TileIn:
    case BoardStep::Kind::TileOut:
        fits = inserting ? (step.ownGroup ? step.group >= 0 && step.group <= groups
                                          : step.tile >= 0 && step.tile <= tilesIn(step.group))
                         : step.tile >= 0 && step.tile < tilesIn(step.group);
        break;
    case BoardStep::Kind::GroupTo:
        fits = tilesIn(step.group) > 0 && tilesIn(step.to) > 0;
        break;
    case BoardStep::Kind::TileTo:
        fits = step.tile >= 0 && step.to >= 0 && std::max(step.tile, step.to) < tilesIn(step.group);
        break;
    case BoardStep::Kind::Coordinates:
        fits = step.group == -1 || tilesIn(step.group) > 0;
        break;
    case BoardStep::Kind::Order:
        fits = static_cast<int>(step.order.size()) == groups;
        break;
    case BoardStep::Kind::Count:
        break;
    }
    if (!fits) {
        return;
    }
    switch (step.kind) {
    case BoardStep::Kind::TileIn:
    case BoardStep::Kind::TileOut:
        if (inserting) {
            if (restoreTileAt(*doc_, step.group, step.tile, step.ownGroup, step.record)) {
                const Tile* restored =
                    groupAt(step.group)->tiles[static_cast<std::size_t>(step.tile)].get();
                screen_.changed(redrawAroundTile(buffers, *doc_, restored, true));
            }
        } else {
            const Tile* going =
                groupAt(step.group)->tiles[static_cast<std::size_t>(step.tile)].get();
            screen_.changed(redrawAroundTile(buffers, *doc_, going, false));
            removeTileAt(*doc_, step.group, step.tile);
        }
        break;
    case BoardStep::Kind::GroupTo:
        moveGroupTo(board, forward ? step.group : step.to, forward ? step.to : step.group);
        screen_.changed(
            redrawAroundGroup(buffers, *doc_, groupAt(forward ? step.to : step.group), true));
        break;
    case BoardStep::Kind::TileTo: {
        TileGroup& group = *groupAt(step.group);
        moveTileTo(group, forward ? step.tile : step.to, forward ? step.to : step.tile);
        const Tile* moved =
            group.tiles[static_cast<std::size_t>(forward ? step.to : step.tile)].get();
        screen_.changed(redrawAroundTile(buffers, *doc_, moved, true));
        break;
    }
    case BoardStep::Kind::Coordinates:
        // A group holding most of the board is drawn faster with the whole board than
        // through its clipped surroundings, twice.
        if (step.group < 0 || groupAt(step.group)->count() * 2 >= board.tileCount()) {
            exchangeCoordinates(*doc_, step.group, step.values);
            fullRedraw = true;
            break;
        }
        screen_.changed(redrawAroundGroup(buffers, *doc_, groupAt(step.group), false));
        exchangeCoordinates(*doc_, step.group, step.values);
        screen_.changed(redrawAroundGroup(buffers, *doc_, groupAt(step.group), true));
        break;
    case BoardStep::Kind::Order:
        if (forward) {
            applyOrder(board, step.order);
        } else {
            reverseOrder(board, step.order);
        }
        fullRedraw = true;
        break;
    case BoardStep::Kind::Count:
        palette_.countTiles(step.tile, forward ? step.to : -step.to);
        counted = true;
        break;
    }
}

BoardPicture BoardInteraction::picture() const {
    if (doc_ == nullptr) {
        return {};
    }
    return {&screen_.buffers().backBuffer, QPoint(doc_->view.boardOriginX, doc_->view.boardOriginY),
            overlay_ ? overlay_() : RulesOverlay{}};
}

bool BoardInteraction::selectedTile() const {
    return sel_.currentTile != nullptr && sel_.currentTile->selected != 0;
}

bool BoardInteraction::selectedMultiGroup() const {
    return sel_.groupMode && sel_.currentGroup != nullptr && sel_.currentGroup->selected != 0 &&
           sel_.currentGroup->count() >= 2;
}

void BoardInteraction::refreshTileStep() {
    tileStep_ = doc_->view.tileSizeRatio * doc_->tileSet->extent;
}

// One tile step of board at the current zoom, in pixels.
int BoardInteraction::marginX() const {
    return static_cast<int>(doc_->view.zoom * tileStep_ * doc_->view.pxPerMmX * 10.0);
}

int BoardInteraction::marginY() const {
    return static_cast<int>(doc_->view.zoom * tileStep_ * doc_->view.pxPerMmY * 10.0);
}

// A moved or turned tile is about to be replaced: erase it.
void BoardInteraction::replaceOnScreen(const Tile& old) {
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, &old, false));
}

void BoardInteraction::disableTidyBelowTwoGroups() {
    if (doc_->board.count() < 2) {
        screen_.menu().setEnabled(cmd::TidyOrder, false);
        screen_.menuChanged();
    }
}

void BoardInteraction::enableTidyFromTwoGroups() {
    if (doc_->board.count() >= 2) {
        screen_.menu().setEnabled(cmd::TidyOrder, true);
        screen_.menuChanged();
    }
}

// The join attempt after a tile was released, turned or nudged. A successful join snaps
// the tile into place, so its neighbourhood is drawn anew before the report.
void BoardInteraction::tryJoin() {
    const Tile* tile = sel_.currentTile;
    if (tile == nullptr || tile->group == nullptr) {
        (void)joinCurrentTile(*doc_, sel_);
        return;
    }
    // The join as steps: the tile goes, its snapped copy joins the target, which goes on
    // top. The target's place before the join is found among the groups as they were.
    BoardStep out = tileOut(*tile);
    std::vector<const TileGroup*> before;
    before.reserve(doc_->board.groups.size());
    for (const auto& group : doc_->board.groups) {
        before.push_back(group.get());
    }
    if (!joinCurrentTile(*doc_, sel_)) {
        return;
    }
    const TileGroup* target = doc_->board.groups.back().get();
    int targetAt =
        static_cast<int>(std::find(before.begin(), before.end(), target) - before.begin());
    if (out.ownGroup && out.group < targetAt) {
        --targetAt;
    }
    std::vector<BoardStep> steps;
    steps.push_back(std::move(out));
    BoardStep& in = steps.emplace_back();
    in.kind = BoardStep::Kind::TileIn;
    in.group = targetAt;
    in.tile = target->count() - 1;
    in.record = recordTile(*target, in.tile);
    BoardStep& lift = steps.emplace_back();
    lift.kind = BoardStep::Kind::GroupTo;
    lift.group = targetAt;
    lift.to = doc_->board.count() - 1;
    history_.pushBoard(kJoinTile, *this, std::move(steps));
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, target->tiles.back().get(), true));
    screen_.showMessage(QStringLiteral("タイルを結合します"), kTileOperation);
}

// The release of a key that turned or moved the tile: one join attempt.
void BoardInteraction::joinAfterKey(bool& moved) {
    finishEdit();
    if (moved) {
        moved = false;
        tryJoin();
    }
    disableTidyBelowTwoGroups();
}

bool BoardInteraction::boardWhollyVisible() const {
    const View& v = doc_->view;
    return !(v.boardOriginY + v.boardPixelHeight > screen_.clientHeight() ||
             v.boardOriginX + v.boardPixelWidth > screen_.clientWidth() || v.boardOriginX < 0 ||
             v.boardOriginY < 0);
}

void BoardInteraction::tileAutoScroll(int x, int y) {
    if (boardWhollyVisible()) {
        return;
    }
    const int mx = marginX();
    const int my = marginY();
    if (x < mx) {
        scroll(Qt::Horizontal, ScrollRequest::LineBack);
    }
    if (x > screen_.clientWidth() - mx) {
        scroll(Qt::Horizontal, ScrollRequest::LineForward);
    }
    if (y < my) {
        scroll(Qt::Vertical, ScrollRequest::LineBack);
    }
    if (y > screen_.clientHeight() - my) {
        scroll(Qt::Vertical, ScrollRequest::LineForward);
    }
}

void BoardInteraction::groupAutoScroll() {
    const TileGroup* g = sel_.currentGroup;
    const BoardPixel a = boardToPixel(doc_->view, g->minX, g->maxY);
    const BoardPixel b = boardToPixel(doc_->view, g->maxX, g->minY);
    const int w = screen_.clientWidth();
    const int h = screen_.clientHeight();
    if ((a.x > 0 && a.y > 0 && b.x < w && b.y < h) || boardWhollyVisible()) {
        return;
    }
    const int mx = marginX();
    const int my = marginY();
    if (1 <= a.x && a.x < mx && b.x > w) {
        scroll(Qt::Horizontal, ScrollRequest::LineBack);
    }
    if (a.x < 0 && b.x < w) {
        scroll(Qt::Horizontal, ScrollRequest::LineBack);
    }
    if (1 <= a.y && a.y < my && b.y > h) {
        scroll(Qt::Vertical, ScrollRequest::LineBack);
    }
    if (a.y < 0 && b.y < h) {
        scroll(Qt::Vertical, ScrollRequest::LineBack);
    }
    if ((a.x < 0 && w - mx < b.x && b.x < w) || (a.x > 0 && b.x > w)) {
        scroll(Qt::Horizontal, ScrollRequest::LineForward);
    }
    if ((a.y < 0 && h - my < b.y && b.y < h) || (a.y > 0 && b.y > h)) {
        scroll(Qt::Vertical, ScrollRequest::LineForward);
    }
}

void BoardInteraction::groupMoveStep(int dx, int dy) {
    if (!groupMoveAllowed(*doc_, sel_, dx, dy)) {
        return;
    }
    beginGroupEdit();
    screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, sel_.currentGroup, false));
    moveCurrentGroupByPixels(*doc_, sel_, dx, dy);
    screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, sel_.currentGroup, true));
    groupAutoScroll();
}

QRegion BoardInteraction::clientArea(const QRect& bufferArea) const {
    const View& v = doc_->view;
    return QRegion(bufferArea.translated(v.boardOriginX, v.boardOriginY))
        .intersected(visibleBoardRect(v));
}

// The current group is picked up: erased from the board as a move's first redraw erases it,
// and shown as a picture of its own on top.
void BoardInteraction::liftGroup() {
    TileGroup& g = *sel_.currentGroup;
    BoardBuffers& buffers = screen_.buffers();
    lifted_ = LiftedGroup{};
    lifted_.before = buffers.backBuffer.copy();
    screen_.changed(redrawAroundGroup(buffers, *doc_, &g, false));
    lifted_.under = buffers.backBuffer.copy();
    lifted_.picture = drawGroupPicture(buffers, *doc_, g, lifted_.at);
    if (!lifted_.picture.isNull()) {
        QPainter painter(&buffers.backBuffer);
        painter.drawImage(lifted_.at, lifted_.picture);
        screen_.changed(clientArea(QRect(lifted_.at, lifted_.picture.size())));
    }
    lifted_.group = &g;
    lifted_.firstX = g.tiles.front()->x;
    lifted_.firstY = g.tiles.front()->y;
    lifted_.box[0] = g.minX;
    lifted_.box[1] = g.maxX;
    lifted_.box[2] = g.minY;
    lifted_.box[3] = g.maxY;
}

// One step of a group drag: what moveCurrentGroupByPixels allows and would do, noted for
// later; only the box moves now (it decides the next steps), and the picture.
void BoardInteraction::dragGroupStep(int dx, int dy) {
    if (!groupMoveAllowed(*doc_, sel_, dx, dy)) {
        return;
    }
    beginGroupEdit(); // records the coordinates before the first move
    if (lifted_.group != sel_.currentGroup) {
        liftGroup();
    }
    TileGroup& g = *sel_.currentGroup;
    const double cx = dx * doc_->view.cmPerPixelX;
    const double cy = -dy * doc_->view.cmPerPixelY;
    lifted_.moves.emplace_back(cx, cy);
    lifted_.firstX += cx;
    lifted_.firstY += cy;
    g.minX += cx;
    g.maxX += cx;
    g.minY += cy;
    g.maxY += cy;
    if (!lifted_.picture.isNull()) {
        const QRect from(lifted_.at + lifted_.shift, lifted_.picture.size());
        lifted_.shift += QPoint(dx, dy);
        const QRect to(lifted_.at + lifted_.shift, lifted_.picture.size());
        QPainter painter(&screen_.buffers().backBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(from.topLeft(), lifted_.under, from);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(to.topLeft(), lifted_.picture);
        screen_.changed(clientArea(from) + clientArea(to));
    }
    groupAutoScroll();
}

// The lifted group is put down: its tiles make the drag's moves, and the board is drawn as
// the last move's redraw draws it. Without a move the board is as it was.
void BoardInteraction::landGroup() {
    if (lifted_.group == nullptr) {
        return;
    }
    LiftedGroup lifted = std::move(lifted_);
    lifted_ = LiftedGroup{};
    if (doc_ == nullptr || !doc_->board.contains(lifted.group)) {
        return;
    }
    BoardBuffers& buffers = screen_.buffers();
    const QRect shown(lifted.at + lifted.shift, lifted.picture.size());
    if (lifted.moves.empty()) {
        buffers.backBuffer = std::move(lifted.before);
        screen_.changed(clientArea(shown));
        return;
    }
    buffers.backBuffer = std::move(lifted.under);
    screen_.changed(clientArea(shown));
    TileGroup& g = *lifted.group;
    g.minX = lifted.box[0];
    g.maxX = lifted.box[1];
    g.minY = lifted.box[2];
    g.maxY = lifted.box[3];
    moveGroupInSteps(*doc_, g, lifted.moves);
    screen_.changed(redrawAroundGroup(buffers, *doc_, &g, true));
}

// A new tile of `kind` from the palette or a function key, at a client pixel.
bool BoardInteraction::placeNewTile(std::int32_t kind, int x, int y) {
    finishEdit();
    Tile* placed = placeTile(*doc_, kind, 0, x, y);
    if (placed == nullptr) {
        return false;
    }
    Tile* oldTile = sel_.currentTile;
    TileGroup* oldGroup = sel_.currentGroup;
    if (oldTile != nullptr) {
        oldTile->selected = 0;
    }
    if (oldGroup != nullptr) {
        oldGroup->selected = 0;
    }
    placed->selected = 1;
    placed->group->selected = 1;
    sel_.currentTile = placed;
    sel_.currentGroup = placed->group;
    if (sel_.groupMode && oldGroup != nullptr) {
        screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, oldGroup, true));
    } else if (!sel_.groupMode && oldTile != nullptr) {
        screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, oldTile, true));
    }
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, placed, true));

    palette_.countTiles(kind, 1);
    palette_.dropPick();
    enableTidyFromTwoGroups();
    std::vector<BoardStep> steps(2);
    steps[0].kind = BoardStep::Kind::TileIn;
    steps[0].group = doc_->board.count() - 1;
    steps[0].ownGroup = true;
    steps[0].record = recordTile(*placed->group, 0);
    steps[1].kind = BoardStep::Kind::Count;
    steps[1].tile = kind;
    steps[1].to = 1;
    history_.pushBoard(kPlaceTile, *this, std::move(steps));
    return true;
}

void BoardInteraction::leftButtonDown(int x, int y) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_ || dragging_) {
        return;
    }
    hookTookClick_ = false;
    if (clickHook_ && clickHook_(x, y)) {
        hookTookClick_ = true;
        return;
    }
    const bool groupSelected = sel_.currentGroup != nullptr && sel_.currentGroup->selected != 0;
    if (sel_.groupMode ? !groupSelected : !selectedTile()) {
        return;
    }
    lastMouse_ = QPoint(x, y);
    double bx = 0;
    double by = 0;
    if (!pixelToBoard(doc_->view, x, y, bx, by)) {
        return;
    }
    if (sel_.groupMode && sel_.currentGroup->count() >= 2) {
        const Tile& first = *sel_.currentGroup->tiles.front();
        const BoardPixel p = boardToPixel(doc_->view, first.x, first.y);
        if (!p.onBoard || !pointInIndex(sel_.currentGroup->boundary, bx, by, doc_->angles)) {
            return;
        }
        grabOffset_ = QPoint(p.x, p.y) - lastMouse_;
        dragIsTile_ = false;
        setDragging(true);
        refreshTileStep();
        liftGroup();
        return;
    } else {
        const Tile* tile = sel_.currentTile;
        if (tile == nullptr) {
            return;
        }
        const BoardPixel p = boardToPixel(doc_->view, tile->x, tile->y);
        if (!p.onBoard || !pointInIndex(tile->edgeIndex, bx, by, doc_->angles)) {
            return;
        }
        grabOffset_ = QPoint(p.x, p.y) - lastMouse_;
        dragIsTile_ = true;
    }
    setDragging(true);
    refreshTileStep();
}

void BoardInteraction::mouseMove(int x, int y) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_ || !dragging_) {
        return;
    }
    pointer_ = QPoint(x, y) + grabOffset_;
    if (selectedMultiGroup()) {
        const bool lifted = lifted_.group == sel_.currentGroup;
        const Tile& first = *sel_.currentGroup->tiles.front();
        const BoardPixel p = boardToPixel(doc_->view, lifted ? lifted_.firstX : first.x,
                                          lifted ? lifted_.firstY : first.y);
        if (p.onBoard) {
            dragGroupStep(pointer_.x() - p.x, pointer_.y() - p.y);
        }
        return;
    }
    Tile* old = sel_.currentTile;
    double bx = 0;
    double by = 0;
    if (old == nullptr || !pixelToBoard(doc_->view, pointer_.x(), pointer_.y(), bx, by)) {
        return; // off the board: this step is skipped, the drag goes on
    }
    Tile* placed = placeTile(*doc_, old->kind, old->rotation, pointer_.x(), pointer_.y());
    if (placed == nullptr) {
        setDragging(false);
        finishEdit();
        return;
    }
    placed->selected = 1;
    placed->group->selected = 1;
    sel_.currentTile = placed;
    sel_.currentGroup = placed->group;
    beginTileEdit(*old, kMoveTile);
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, old, false));
    removeTile(*doc_, old);
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, placed, true));
    tileAutoScroll(pointer_.x(), pointer_.y());
    lastMouse_ = QPoint(x, y);
}

void BoardInteraction::leftButtonUp(int x, int y) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_) {
        return;
    }
    if (hookTookClick_) {
        hookTookClick_ = false;
        return;
    }
    if (dragging_) {
        setDragging(false);
        finishEdit();
        if (dragIsTile_) {
            tryJoin();
        }
        disableTidyBelowTwoGroups();
        return;
    }
    finishEdit(); // a key still held: its change ends before the click's
    const std::int32_t picked = palette_.pickedKind();
    if (picked >= 1) {
        placeNewTile(picked, x, y);
        return;
    }
    clickSelect(x, y);
}

void BoardInteraction::clickSelect(int x, int y) {
    Tile* hit = tileAtPixel(*doc_, x, y);
    Tile* oldTile = sel_.currentTile;
    TileGroup* oldGroup = sel_.currentGroup;
    // A click on empty board clears the flags but keeps the references.
    auto clearFlags = [&] {
        if (oldTile != nullptr) {
            oldTile->selected = 0;
        }
        if (oldGroup != nullptr) {
            oldGroup->selected = 0;
        }
    };
    if (sel_.groupMode) {
        if (hit == nullptr) {
            clearFlags();
        } else {
            TileGroup* group = hit->group;
            if (oldGroup != nullptr && oldGroup != group) {
                oldGroup->selected = 0;
            }
            sel_.currentGroup = group;
            group->selected = 1;
            if (group->count() == 1) {
                sel_.currentTile = hit;
                hit->selected = 1;
            } else {
                hit->selected = 0;
                sel_.currentTile = nullptr;
            }
            if (oldTile != nullptr && oldTile != sel_.currentTile) {
                oldTile->selected = 0;
            }
        }
        if (oldGroup != nullptr && doc_->board.contains(oldGroup)) {
            screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, oldGroup, true));
        }
        if (sel_.currentGroup != nullptr) {
            const int from = groupIndexOf(doc_->board, sel_.currentGroup);
            bringGroupToTop(doc_->board, sel_.currentGroup);
            pushLift(from, -1);
            screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, sel_.currentGroup, true));
        }
        return;
    }

    if (hit == nullptr) {
        clearFlags();
    } else {
        if (oldTile != nullptr && oldTile != hit) {
            oldTile->selected = 0;
        }
        if (oldGroup != nullptr && oldGroup != hit->group) {
            oldGroup->selected = 0;
        }
        sel_.currentTile = hit;
        hit->selected = 1;
        sel_.currentGroup = hit->group;
        hit->group->selected = 1;
    }
    if (oldTile != nullptr) {
        screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, oldTile, true));
    }
    Tile* tile = sel_.currentTile;
    if (tile == nullptr) {
        return;
    }
    if (tile->group != nullptr && tile->group->count() >= 2) {
        // A detach is the tile's copy on top and the tile gone from its group.
        BoardStep out = tileOut(*tile);
        const int top = doc_->board.count();
        if (detachTile(*doc_, sel_, tile)) {
            std::vector<BoardStep> steps(1);
            steps[0].kind = BoardStep::Kind::TileIn;
            steps[0].group = top;
            steps[0].ownGroup = true;
            steps[0].record = recordTile(*sel_.currentTile->group, 0);
            steps.push_back(std::move(out));
            history_.pushBoard(kDetachTile, *this, std::move(steps));
            screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, sel_.currentTile, true));
            screen_.showMessage(QStringLiteral("タイルの結合を解除します"), kTileOperation);
            enableTidyFromTwoGroups();
            return;
        }
    }
    if (tile->group != nullptr) {
        const int group = groupIndexOf(doc_->board, tile->group);
        const int from = tileIndexOf(*tile->group, tile);
        bringTileToTop(*tile->group, tile);
        bringGroupToTop(doc_->board, tile->group);
        pushLift(group, from);
        screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, tile, true));
    }
}

void BoardInteraction::rightButtonDown(int x, int y, bool shift) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_ || !selectedTile()) {
        return;
    }
    landGroup();
    if (sel_.groupMode && sel_.currentGroup != nullptr && sel_.currentGroup->count() >= 2) {
        return;
    }
    double bx = 0;
    double by = 0;
    if (!pixelToBoard(doc_->view, x, y, bx, by) ||
        !pointInIndex(sel_.currentTile->edgeIndex, bx, by, doc_->angles)) {
        return;
    }
    if (rotateCurrentTile(*doc_, sel_, shift, [this](const Tile& old) {
            beginTileEdit(old, kTurnTile);
            replaceOnScreen(old);
        })) {
        screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, sel_.currentTile, true));
    }
    finishEdit();
    tryJoin();
    disableTidyBelowTwoGroups();
}

void BoardInteraction::keyDown(BoardKey key, bool shift) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_) {
        return;
    }
    landGroup(); // a key during a drag finds the tiles where the picture shows them
    switch (key) {
    case BoardKey::Space:
        if (rotateCurrentTile(*doc_, sel_, shift, [this](const Tile& old) {
                beginTileEdit(old, kTurnTile);
                replaceOnScreen(old);
            })) {
            screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, sel_.currentTile, true));
        }
        spaceRotated_ = true;
        break;
    case BoardKey::Left:
    case BoardKey::Up:
    case BoardKey::Right:
    case BoardKey::Down: {
        refreshTileStep();
        const int dx = static_cast<int>(doc_->view.zoom * tileStep_ * doc_->view.pxPerMmX);
        const int dy = static_cast<int>(doc_->view.zoom * tileStep_ * doc_->view.pxPerMmY);
        grabOffset_ = key == BoardKey::Left    ? QPoint(-dx, 0)
                      : key == BoardKey::Right ? QPoint(dx, 0)
                      : key == BoardKey::Up    ? QPoint(0, -dy)
                                               : QPoint(0, dy);
        if (selectedMultiGroup()) {
            groupMoveStep(grabOffset_.x(), grabOffset_.y());
        } else if (selectedTile()) {
            if (moveCurrentTileByPixels(*doc_, sel_, grabOffset_.x(), grabOffset_.y(),
                                        [this](const Tile& old) {
                                            beginTileEdit(old, kMoveTile);
                                            replaceOnScreen(old);
                                        })) {
                const Tile& moved = *sel_.currentTile;
                screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, &moved, true));
                const BoardPixel p = boardToPixel(doc_->view, moved.x, moved.y);
                tileAutoScroll(p.x, p.y);
            }
            arrowMoved_ = true;
        }
        break;
    }
    case BoardKey::Delete: {
        finishEdit();
        Tile* tile = sel_.currentTile;
        if (!selectedTile() ||
            (sel_.groupMode && sel_.currentGroup != nullptr && sel_.currentGroup->count() >= 2)) {
            break;
        }
        std::vector<BoardStep> steps(1, tileOut(*tile));
        BoardStep& count = steps.emplace_back();
        count.kind = BoardStep::Kind::Count;
        count.tile = tile->kind;
        count.to = -1;
        screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, tile, false));
        palette_.countTiles(tile->kind, -1);
        removeTile(*doc_, tile);
        sel_.currentTile = nullptr;
        sel_.currentGroup = nullptr;
        palette_.dropPick();
        disableTidyBelowTwoGroups();
        history_.pushBoard(kDeleteTile, *this, std::move(steps));
        break;
    }
    default:
        break;
    }
}

void BoardInteraction::keyUp(BoardKey key) {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_) {
        return;
    }
    switch (key) {
    case BoardKey::Space:
        joinAfterKey(spaceRotated_);
        break;
    case BoardKey::Left:
    case BoardKey::Up:
    case BoardKey::Right:
    case BoardKey::Down:
        joinAfterKey(arrowMoved_);
        break;
    case BoardKey::F1:
    case BoardKey::F2:
    case BoardKey::F3:
    case BoardKey::F4:
    case BoardKey::F5:
    case BoardKey::F6: {
        const int n = static_cast<int>(key) - static_cast<int>(BoardKey::F1);
        const TileSet& set = *doc_->tileSet;
        if (n >= set.kindCount()) {
            break;
        }
        const View& v = doc_->view;
        const int x = std::clamp(screen_.clientWidth() / 2, v.boardOriginX,
                                 v.boardOriginX + v.boardPixelWidth);
        const int y = std::clamp(screen_.clientHeight() / 2, v.boardOriginY,
                                 v.boardOriginY + v.boardPixelHeight);
        placeNewTile(set.kindCodes[n], x, y);
        break;
    }
    default:
        break;
    }
}

void BoardInteraction::timerTick() {
    const EditorScreen::RepaintBatch batch(screen_);
    if (!doc_) {
        return;
    }
    if (sel_.groupMode && (sel_.currentGroup == nullptr || sel_.currentGroup->selected == 0)) {
        return;
    }
    if (lifted_.group != nullptr) {
        return; // the outline would be drawn where the tiles were
    }
    if (selectedMultiGroup()) {
        screen_.changed(blinkGroupOutline(screen_.buffers(), *doc_, sel_.currentGroup));
    } else if (selectedTile()) {
        screen_.changed(
            blinkSelectedTile(screen_.buffers(), *doc_, sel_.currentTile, sel_.currentTile));
    }
}

void BoardInteraction::scroll(Qt::Orientation orientation, ScrollRequest request, int position) {
    if (!doc_) {
        return;
    }
    View& v = doc_->view;
    const bool horizontal = orientation == Qt::Horizontal;
    ScrollBarState& bar = horizontal ? v.horizontal : v.vertical;
    std::int32_t& origin = horizontal ? v.boardOriginX : v.boardOriginY;
    const std::int32_t minOrigin = horizontal ? v.minOriginX : v.minOriginY;
    const std::int32_t maxOrigin = horizontal ? v.maxOriginX : v.maxOriginY;
    const std::int32_t line = horizontal ? v.lineStepX : v.lineStepY;

    auto stepBy = [&](std::int32_t step) {
        // A step forward moves the thumb on and the board back.
        bar.setPosition(std::clamp(bar.position + step, 0, std::max(0, bar.maximum)));
        origin = std::clamp(origin - step, minOrigin, maxOrigin);
    };
    switch (request) {
    case ScrollRequest::LineBack:
        stepBy(-line);
        break;
    case ScrollRequest::LineForward:
        stepBy(line);
        break;
    case ScrollRequest::PageBack:
        stepBy(-5 * line);
        break;
    case ScrollRequest::PageForward:
        stepBy(5 * line);
        break;
    case ScrollRequest::Thumb:
        bar.setPosition(position);
        origin = maxOrigin - position;
        break;
    // The vertical bar's top shows the board's top edge (thumb at 0, the board as far down as
    // it goes); its bottom the board's bottom. The horizontal bar has no such requests.
    case ScrollRequest::Start:
        if (!horizontal) {
            bar.setPosition(0);
            origin = maxOrigin;
        }
        break;
    case ScrollRequest::End:
        if (!horizontal) {
            bar.setPosition(std::max(0, bar.maximum));
            origin = minOrigin;
        }
        break;
    case ScrollRequest::Done:
        return;
    }
    screen_.repaintAll();
}

void BoardInteraction::wheel(int delta) {
    if (!doc_ || delta == 0) {
        return;
    }
    if (doc_->view.verticalScrollActive != 0) {
        scroll(Qt::Vertical, delta > 0 ? ScrollRequest::PageBack : ScrollRequest::PageForward);
    } else if (doc_->view.horizontalScrollActive != 0) {
        scroll(Qt::Horizontal, delta > 0 ? ScrollRequest::PageForward : ScrollRequest::PageBack);
    }
}

// --- Modes and display ---

void BoardInteraction::setTileMode() {
    applyMode(false);
}

void BoardInteraction::setGroupMode() {
    applyMode(true);
}

// The mode is part of the document: a change of it is undone like any other.
void BoardInteraction::applyMode(bool groupMode) {
    if (doc_ == nullptr) {
        return;
    }
    finishEdit();
    const bool before = sel_.groupMode;
    screen_.menu().showMode(groupMode);
    screen_.menuChanged();
    sel_.groupMode = groupMode;
    history_.pushSetting(
        QString::fromUtf8(groupMode ? "結合グループ単位に操作する" : "タイル単位に操作する"),
        [this, before, groupMode](bool forward) { applyMode(forward ? groupMode : before); });
    if (!groupMode) {
        TileGroup* group = sel_.currentGroup;
        if (group == nullptr) {
            return;
        }
        if (group->count() == 1) {
            sel_.currentTile = group->tiles.front().get();
            sel_.currentTile->selected = group->selected;
        } else {
            if (sel_.currentTile != nullptr) {
                sel_.currentTile->selected = 0;
            }
            sel_.currentTile = nullptr;
        }
        group->selected = 0;
        screen_.changed(redrawAroundGroup(screen_.buffers(), *doc_, group, true));
        return;
    }
    Tile* tile = sel_.currentTile;
    if (tile == nullptr) {
        if (sel_.currentGroup != nullptr) {
            sel_.currentGroup->selected = 0;
        }
        sel_.currentGroup = nullptr;
        return;
    }
    sel_.currentGroup = tile->group;
    sel_.currentGroup->selected = tile->selected;
    if (sel_.currentGroup->count() >= 2) {
        tile->selected = 0;
    }
    screen_.changed(redrawAroundTile(screen_.buffers(), *doc_, tile, true));
}

void BoardInteraction::setPattern(bool on) {
    applyPattern(on);
}

void BoardInteraction::applyPattern(bool on) {
    if (doc_ == nullptr) {
        return;
    }
    finishEdit();
    const bool before = doc_->patternOn != 0;
    screen_.menu().showPattern(on);
    screen_.menuChanged();
    doc_->patternOn = on ? 1 : 0;
    history_.pushSetting(QString::fromUtf8(on ? "対模様オン" : "対模様オフ"),
                         [this, before, on](bool forward) { applyPattern(forward ? on : before); });
    screen_.redrawBoard(*doc_);
}

void BoardInteraction::tidyDisplayOrder() {
    if (doc_ == nullptr || doc_->board.count() < 2) {
        return;
    }
    finishEdit();
    std::unordered_map<const TileGroup*, int> places;
    for (std::size_t i = 0; i < doc_->board.groups.size(); ++i) {
        places.emplace(doc_->board.groups[i].get(), static_cast<int>(i));
    }
    if (!sortGroupsBySize(doc_->board)) {
        return;
    }
    std::vector<BoardStep> steps(1);
    steps[0].kind = BoardStep::Kind::Order;
    for (const auto& group : doc_->board.groups) {
        steps[0].order.push_back(places.at(group.get()));
    }
    if (sel_.currentTile != nullptr) {
        sel_.currentTile->selected = 0;
    }
    if (sel_.currentGroup != nullptr) {
        sel_.currentGroup->selected = 0;
    }
    screen_.redrawBoard(*doc_);
    history_.pushBoard(kTidy, *this, std::move(steps));
}

bool BoardInteraction::generate(const GenerateChoice& choice) {
    if (doc_ == nullptr || dragging_ || !generationSupported(doc_->tileSet->code)) {
        return false;
    }
    finishEdit();
    const EditorScreen::RepaintBatch batch(screen_);
    // The middle of the visible part of the board, kept on the board.
    const View& v = doc_->view;
    const double width = boardWidthCm(v);
    const double height = boardHeightCm(v);
    const double cx =
        std::clamp((std::min(screen_.clientWidth(), v.boardOriginX + v.boardPixelWidth) +
                    std::max(0, v.boardOriginX)) /
                           2.0 -
                       v.boardOriginX,
                   0.0, static_cast<double>(v.boardPixelWidth)) *
        v.cmPerPixelX;
    const double cy =
        std::clamp(v.boardOriginY + v.boardPixelHeight -
                       (std::min(screen_.clientHeight(), v.boardOriginY + v.boardPixelHeight) +
                        std::max(0, v.boardOriginY)) /
                           2.0,
                   0.0, static_cast<double>(v.boardPixelHeight)) *
        v.cmPerPixelY;
    // The whole board at a small tile size, or many tiles, take a while: the progress window
    // shows the stages.
    constexpr int ProgressTiles = 20000;
    const bool showProgress = choice.tiles == 0 || choice.tiles >= ProgressTiles;
    const std::optional<Generated> made = generateOnBoard(
        *doc_, {choice.seed, choice.tiles, std::min(cx, width), std::min(cy, height)},
        showProgress ? &screen_.shell().progress() : nullptr);
    if (showProgress) {
        screen_.shell().closeProgress();
    }
    if (!made) {
        screen_.showMessage(QStringLiteral("パターンを生成できませんでした"),
                            QStringLiteral("パターン生成"));
        return false;
    }
    dropSelection();
    screen_.redrawBoard(*doc_);
    palette_.draw();
    enableTidyFromTwoGroups();
    history_.push(std::make_unique<GenerateCommand>(*this, doc_->board.count(),
                                                    made->group->count(), made->added));
    return true;
}

void BoardInteraction::replayGenerated(std::unique_ptr<TileGroup>& parked, int groups, int tiles,
                                       const std::vector<std::int32_t>& added, bool forward) {
    if (doc_ == nullptr) {
        return;
    }
    const EditorScreen::RepaintBatch batch(screen_);
    dropSelection();
    pending_ = PendingEdit{};
    Board& board = doc_->board;
    if (forward && parked) {
        appendGroup(board, std::move(parked));
    } else if (!forward && board.count() == groups && board.groups.back()->count() == tiles) {
        // Undone in order, the board is as the patch left it: the patch is the top group.
        parked = unlinkGroup(board, board.groups.back().get());
    } else {
        return; // the board is not as the command left it
    }
    for (std::size_t k = 0; k < added.size() && k < doc_->kindCounts.size(); ++k) {
        doc_->kindCounts[k] += forward ? added[k] : -added[k];
    }
    screen_.redrawBoard(*doc_);
    palette_.draw();
    screen_.menu().setEnabled(cmd::TidyOrder, board.count() >= 2);
    screen_.menuChanged();
}

} // namespace pavelora
