// The vertex rules in the editor: the menu items, the dead-end marks following edits, the
// forced tiles as one undoable change, and the legal tiles of a clicked edge.
#include "core/tiling/vertexatlas.h"
#include "fakeshell.h"
#include "support/roundvertex.h"

using namespace pavelora;

namespace {

struct Rules : test::EditorHarness {
    BoardInteraction& board = editor.board();
    RulesController& rules = editor.rules();

    // Tiles with the given corners round (x, y), anticlockwise from direction `turn`, laid
    // as one joined group.
    TileGroup* layRound(double x, double y, int turn, const std::vector<StarCorner>& corners) {
        const auto atlas = VertexAtlas::create(*doc().tileSet, doc().angles);
        TileGroup* group = appendGroup(doc().board, newGroup());
        for (const TilePlacement& p :
             testsupport::roundVertex(*atlas, doc().view.tileSizeRatio, x, y, turn, corners)) {
            EXPECT_NE(addJoinedTile(doc(), *group, p), nullptr);
        }
        return group;
    }
    QPoint pixel(double x, double y) {
        const BoardPixel p = boardToPixel(doc().view, x, y);
        return {p.x, p.y};
    }
    void click(QPoint p) {
        board.leftButtonDown(p.x(), p.y());
        board.leftButtonUp(p.x(), p.y());
    }
    int undoSteps() const { return editor.history().stack()->count(); }
};

const StarCorner kApex{kind::Kaite, 0};

TEST_F(Rules, TheMenuItemsActOnlyForSetsWithVertexStars) {
    for (int command : {cmd::ShowDeadEnds, cmd::AddForcedTiles, cmd::ShowCandidates}) {
        EXPECT_FALSE(editor.menu().enabled(command));
    }
    newDocument(setcode::PenroseNo2);
    for (int command : {cmd::ShowDeadEnds, cmd::AddForcedTiles, cmd::ShowCandidates}) {
        EXPECT_TRUE(editor.menu().enabled(command));
    }
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::ShowDeadEnds));
    EXPECT_TRUE(editor.menu().checked(cmd::ShowDeadEnds));
    EXPECT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_FALSE(editor.menu().enabled(cmd::ShowDeadEnds) ||
                 editor.menu().checked(cmd::ShowDeadEnds));
    newDocument(setcode::Kepler);
    for (int command : {cmd::ShowDeadEnds, cmd::AddForcedTiles, cmd::ShowCandidates}) {
        EXPECT_FALSE(editor.invokeMenuCommand(command));
    }
}

TEST_F(Rules, MarksFollowTheEditsNearThem) {
    newDocument();
    // Two dead ends far apart: a dart's wing with three kites' apexes.
    const std::vector<StarCorner> bad{{kind::Dart, 1}, kApex, kApex, kApex};
    TileGroup* near = layRound(8.0, 8.0, 3, bad);
    layRound(22.0, 12.0, 3, bad);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::ShowDeadEnds));
    ASSERT_EQ(rules.marks().size(), 2u);
    const RulesOverlay shown = board.picture().overlay;
    ASSERT_EQ(shown.deadEnds.size(), 2u);
    EXPECT_TRUE(shown.deadEnds[0] == clientPixel(doc().view, 8.0, 8.0) ||
                shown.deadEnds[1] == clientPixel(doc().view, 8.0, 8.0));

    // A click on the last kite of the first takes it out of its group: that mark goes, the
    // other stays.
    const Tile* kite = near->tiles.back().get();
    click(pixel(kite->x, kite->y));
    ASSERT_EQ(near->count(), 3);
    ASSERT_EQ(rules.marks().size(), 1u);
    EXPECT_NEAR(rules.marks()[0].x, 22.0, 1e-12);
    // Undone, the kite is in the group again, and its mark is back.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(near->count(), 4);
    EXPECT_EQ(rules.marks().size(), 2u);

    ASSERT_TRUE(editor.invokeMenuCommand(cmd::ShowDeadEnds));
    EXPECT_TRUE(rules.marks().empty());
    EXPECT_TRUE(board.picture().overlay.empty());
}

TEST_F(Rules, ForcedTilesAreOneChangeOnTheUndoStack) {
    newDocument();
    TileGroup* sun = layRound(14.0, 10.0, 1, {kApex, kApex, kApex, kApex});
    const int steps = undoSteps();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::AddForcedTiles));
    const int grown = sun->count();
    EXPECT_GE(grown, 5); // the fifth kite of the sun at least
    EXPECT_EQ(undoSteps(), steps + 1);
    const int kites = doc().kindCounts[1];
    EXPECT_GE(kites, 1);

    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    ASSERT_EQ(sun->count(), 4);
    EXPECT_EQ(doc().kindCounts[1], 0);
    for (const auto& t : sun->tiles) {
        for (const TileEdge& e : t->outline.edges) {
            if (e.neighbour != nullptr) {
                EXPECT_EQ(e.neighbour->group, sun); // no link to a tile that went
            }
        }
    }
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Redo));
    EXPECT_EQ(sun->count(), grown);
    EXPECT_EQ(doc().kindCounts[1], kites);
    int links = 0;
    for (const auto& t : sun->tiles) {
        for (const TileEdge& e : t->outline.edges) {
            links += e.neighbour != nullptr ? 1 : 0;
        }
    }
    EXPECT_GE(links, 10); // the five kites of the sun share five edges, each linked both ways
}

TEST_F(Rules, AClickedEdgeShowsItsLegalTilesAndAGhostIsLaidByAClick) {
    newDocument();
    TileGroup* sun = layRound(14.0, 10.0, 1, {kApex, kApex, kApex, kApex});
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::ShowCandidates));
    EXPECT_TRUE(editor.menu().checked(cmd::ShowCandidates));
    // The long edge of the first kite that borders the gap of the fifth.
    const Tile& first = *sun->tiles.front();
    const TileEdge* gap = nullptr;
    for (const TileEdge& e : first.outline.edges) {
        if (e.neighbour == nullptr &&
            (std::fabs(e.x1 - 14.0) < 1e-9 || std::fabs(e.x2 - 14.0) < 1e-9) &&
            (std::fabs(e.y1 - 10.0) < 1e-9 || std::fabs(e.y2 - 10.0) < 1e-9)) {
            gap = &e;
        }
    }
    ASSERT_NE(gap, nullptr);
    const int steps = undoSteps();
    click(pixel((gap->x1 + gap->x2) / 2, (gap->y1 + gap->y2) / 2));
    ASSERT_FALSE(rules.ghosts().empty());
    EXPECT_EQ(board.picture().overlay.ghosts.size(), rules.ghosts().size());
    EXPECT_EQ(sel().currentTile, nullptr); // the click chose the edge, not a tile
    const auto fifth = std::find_if(rules.ghosts().begin(), rules.ghosts().end(),
                                    [](const TilePlacement& p) { return p.kind == kind::Kaite; });
    ASSERT_NE(fifth, rules.ghosts().end());
    click(pixel(fifth->x, fifth->y));
    EXPECT_TRUE(rules.ghosts().empty());
    ASSERT_EQ(sun->count(), 5);
    EXPECT_EQ(undoSteps(), steps + 1);
    const Tile& laid = *sun->tiles.back();
    EXPECT_EQ(std::count_if(laid.outline.edges.begin(), laid.outline.edges.end(),
                            [](const TileEdge& e) { return e.neighbour != nullptr; }),
              2);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(sun->count(), 4);

    // Off, a click on the edge is an ordinary click.
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::ShowCandidates));
    click(pixel((gap->x1 + gap->x2) / 2, (gap->y1 + gap->y2) / 2));
    EXPECT_TRUE(rules.ghosts().empty());
}

} // namespace
