#include "core/geometry/tilebuilder.h"
#include "document/documentimage.h"
#include "fakeshell.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <random>

using namespace pavelora;

namespace {

struct Undo : test::EditorHarness {
    BoardInteraction& board = editor.board();
    Undo() { editor.resized(1400, 900); }

    // The document as it would be saved.
    QByteArray saved() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_TRUE(writeDocumentImage(out, *buildDocumentImage(doc(), sel().groupMode)));
        return out.data();
    }
    QPoint at(const Tile* t) {
        const BoardPixel p = boardToPixel(doc().view, t->x, t->y);
        return QPoint(p.x, p.y);
    }
    void drop(std::int32_t kind, QPoint to) {
        const PaletteCell* cell = findPaletteCell(*editor.palette().cells(), kind);
        editor.palette().paletteClicked(cell->left + 1, cell->top + 1);
        board.leftButtonUp(to.x(), to.y());
    }
    void drag(QPoint from, std::vector<QPoint> steps) {
        board.leftButtonDown(from.x(), from.y());
        for (QPoint p : steps) {
            board.mouseMove(p.x(), p.y());
        }
        board.leftButtonUp(steps.back().x(), steps.back().y());
    }
    // Turns the current tile and drags it to where one of its edges lies on a free edge of
    // `other` running the other way, so that the release tries a join.
    void snapDrag(const Tile* other, int pick) {
        const int count = doc().directionCount();
        const TileEdge& f = other->outline.edges[pick % other->outline.edges.size()];
        const auto& edges = sel().currentTile->outline.edges;
        for (std::size_t i = 0; i < edges.size() && f.neighbour == nullptr; ++i) {
            if (edges[i].length == f.length && edges[i].matchCode + f.matchCode == 0) {
                const int turns = (f.direction + count / 2 - edges[i].direction + count) % count;
                for (int k = 0; k < turns; ++k) {
                    board.keyDown(BoardKey::Space, true);
                }
                board.keyUp(BoardKey::Space);
                const Tile* tile = sel().currentTile;
                if (tile != nullptr) {
                    const TileEdge& e = tile->outline.edges[i];
                    const BoardPixel to =
                        boardToPixel(doc().view, tile->x + f.x2 - e.x1, tile->y + f.y2 - e.y1);
                    drag(at(tile), {QPoint(to.x, to.y)});
                }
                return;
            }
        }
    }
    int undoAll() {
        int n = 0;
        while (editor.invokeMenuCommand(cmd::Undo)) {
            ++n;
        }
        return n;
    }
};

} // namespace

TEST_F(Undo, RandomEditsOnEverySetUndoneAndRedoneSaveTheSameBytes) {
    for (const std::int32_t set : {setcode::PenroseNo1, setcode::PenroseNo2, setcode::PenroseNo3,
                                   setcode::Durer, setcode::Kepler}) {
        SCOPED_TRACE(set);
        newDocument(set, 60004);
        std::mt19937 rng(static_cast<unsigned>(set));
        auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const QPoint centre(700, 450);
        auto near = [&](QPoint p, int d) {
            return p + QPoint(pick(2 * d + 1) - d, pick(2 * d + 1) - d);
        };
        const QByteArray first = saved();
        for (int i = 0; i < 300; ++i) {
            const auto& groups = doc().board.groups;
            auto randomTile = [&]() -> const Tile* {
                if (groups.empty()) {
                    return nullptr;
                }
                const TileGroup& g = *groups[static_cast<std::size_t>(pick(doc().board.count()))];
                return g.tiles[static_cast<std::size_t>(pick(g.count()))].get();
            };
            const Tile* some = randomTile();
            const Tile* current = sel().currentTile != nullptr ? sel().currentTile
                                  : sel().currentGroup != nullptr
                                      ? sel().currentGroup->tiles.front().get()
                                      : nullptr;
            switch (pick(14)) {
            case 0:
            case 1:
                drop(doc().tileSet->kindCodes[pick(doc().tileSet->kindCount())], near(centre, 400));
                break;
            case 2:
            case 3:
                if (some != nullptr) {
                    board.leftButtonUp(at(some).x(), at(some).y()); // select, lift or detach
                }
                break;
            case 4:
                if (current != nullptr) {
                    drag(at(current), {near(at(current), 40), near(at(current), 40)});
                }
                break;
            case 5:
            case 12:
                if (some != nullptr) {
                    board.leftButtonUp(at(some).x(), at(some).y());
                    const Tile* other = randomTile();
                    if (sel().currentTile != nullptr && other->group != sel().currentTile->group) {
                        snapDrag(other, pick(8));
                    }
                }
                break;
            case 6:
                board.keyDown(BoardKey::Space, pick(2) == 1);
                board.keyUp(BoardKey::Space);
                break;
            case 7:
                if (current != nullptr) {
                    board.rightButtonDown(at(current).x(), at(current).y(), pick(2) == 1);
                }
                break;
            case 8: {
                const auto key = static_cast<BoardKey>(static_cast<int>(BoardKey::Left) + pick(4));
                board.keyDown(key, false);
                board.keyDown(key, false);
                board.keyUp(key);
                break;
            }
            case 9:
                board.keyDown(BoardKey::Delete, false);
                break;
            case 10:
                editor.invokeMenuCommand(
                    std::array{cmd::TileMode, cmd::GroupMode, cmd::TidyOrder, cmd::PatternOn,
                               cmd::PatternOff}[static_cast<std::size_t>(pick(5))]);
                break;
            case 11: {
                SettingsApplier& s = editor.settings();
                std::vector<Rgb> colours = doc().tileSet->kindColours;
                colours.front().red = static_cast<std::uint8_t>(pick(256));
                (void)(pick(2) == 0 ? s.applyZoom(80 + pick(60)) : s.applyTileSize(90 + pick(20)));
                (void)s.applyKindColours(colours);
                (void)s.applyOutlineWidth(1 + pick(20));
                break;
            }
            default:
                editor.invokeMenuCommand(pick(2) == 0 ? cmd::Undo : cmd::Redo);
                break;
            }
        }
        // Undone back to the start, then redone as far as the last edit (random undos may
        // have left more to redo).
        const QByteArray last = saved();
        const int undone = undoAll();
        EXPECT_GT(undone, 100);
        EXPECT_EQ(saved(), first);
        for (int k = 0; k < undone; ++k) {
            ASSERT_TRUE(editor.invokeMenuCommand(cmd::Redo));
        }
        EXPECT_EQ(saved(), last);
        shell.answers = {false};
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    }
}

TEST_F(Undo, AJoinUndoneLeavesTheTileLooseBeforeTheSnapAndItJoinsAgainWhenDroppedBack) {
    newDocument(setcode::PenroseNo1, 60004);
    drop(kind::Dart, QPoint(600, 400));
    const Tile* dart = sel().currentTile;
    drop(kind::Kaite, QPoint(800, 400));
    for (int edge = 0; edge < 4 && doc().board.count() == 2; ++edge) {
        snapDrag(dart, edge);
    }
    ASSERT_EQ(doc().board.count(), 1);
    const QByteArray joined = saved();
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(editor.menu().text(cmd::Redo), QStringLiteral("やり直し: タイルの結合"));
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す: タイルの移動"));
    ASSERT_EQ(doc().board.count(), 2);
    EXPECT_TRUE(sel().currentTile == nullptr); // nothing selected after an undo
    for (const auto& group : doc().board.groups) {
        for (const TileEdge& e : group->tiles.front()->outline.edges) {
            EXPECT_EQ(e.neighbour, nullptr); // the links went both ways
        }
    }
    // Selected and dropped where it lies, the loose tile snaps exactly as before.
    const QPoint kite = at(doc().board.groups.back()->tiles.front().get());
    board.leftButtonUp(kite.x(), kite.y());
    board.leftButtonDown(kite.x(), kite.y());
    board.leftButtonUp(kite.x(), kite.y());
    EXPECT_EQ(saved(), joined);
}

TEST_F(Undo, MenuItemsNameTheChangeAndTheCleanStateFollowsSaveUndoAndRedo) {
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::Undo) || editor.invokeMenuCommand(cmd::Redo));
    newDocument(setcode::Durer, 60004);
    EXPECT_FALSE(editor.menu().enabled(cmd::Undo) || editor.menu().enabled(cmd::SaveAs));
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す"));
    drop(kind::Pentagon, QPoint(600, 400));
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す: タイルの配置"));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
    // No undo while a drag is under way; the whole drag is one change.
    const QPoint from = at(sel().currentTile);
    board.leftButtonDown(from.x(), from.y());
    EXPECT_FALSE(editor.menu().enabled(cmd::Undo));
    board.mouseMove(from.x() + 20, from.y());
    EXPECT_FALSE(editor.invokeMenuCommand(cmd::Undo));
    board.mouseMove(from.x() + 40, from.y());
    board.leftButtonUp(from.x() + 40, from.y());
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す: タイルの移動"));
    // Saved, the document is clean; a change and its undo bring it back to clean, so the
    // close asks nothing. Redone, it is changed again.
    QTemporaryDir dir;
    shell.savePaths = {dir.filePath(QStringLiteral("undo.pvd"))};
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::SaveAs));
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs) && editor.menu().enabled(cmd::Save));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Redo));
    EXPECT_FALSE(editor.menu().enabled(cmd::SaveAs));
    ASSERT_TRUE(editor.settings().applyZoom(150));
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す: ズーム"));
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(doc().view.zoom, 1.0);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_FALSE(editor.menu().enabled(cmd::Undo) || editor.menu().enabled(cmd::Redo));
}

TEST_F(Undo, ASettingAppliedWithTheValueItHasIsNoChange) {
    newDocument(setcode::PenroseNo1); // its outline inset and second ratio are both 1 %
    SettingsApplier& s = editor.settings();
    const Document& d = doc();
    EXPECT_TRUE(
        s.applyTileSize(100) && s.applyZoom(100) && s.applyOutlineWidth(1) &&
        s.applyBoardColour(d.view.boardColour) && s.applyKindColours(d.tileSet->kindColours) &&
        s.applyPairColours(d.tileSet->pairColours) && s.applyPrintSettings(d.printSettings));
    EXPECT_FALSE(editor.menu().enabled(cmd::Undo) || editor.menu().enabled(cmd::SaveAs));
    PrintSettings margins = d.printSettings;
    margins.paperMarginX += 1;
    ASSERT_TRUE(s.applyPrintSettings(margins));
    EXPECT_EQ(editor.menu().text(cmd::Undo), QStringLiteral("元に戻す: 印刷設定"));
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
}

TEST_F(Undo, TheStackKeepsTheLastThousandChangesAndTheCleanStateFallsOffWithTheOldest) {
    newDocument(setcode::Kepler, 60004);
    drop(kind::Pentagon, QPoint(600, 400));
    const double x0 = sel().currentTile->x;
    // Each press and release of an arrow key is one change: three steps left, then right
    // and left in turn.
    for (int i = 0; i < EditHistory::Limit + 4; ++i) {
        const BoardKey key = i < 3 || i % 2 == 0 ? BoardKey::Left : BoardKey::Right;
        board.keyDown(key, false);
        board.keyUp(key);
    }
    EXPECT_EQ(undoAll(), EditHistory::Limit);
    // The drop and the first four nudges are out of reach: the tile stays left of where it
    // was dropped, and the new document cannot be reached, so it stays changed.
    const Tile* tile = doc().board.groups.back()->tiles.front().get();
    EXPECT_LT(tile->x, x0);
    EXPECT_EQ(undoAll(), 0);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs));
}

// "パターン生成": only for the Penrose sets and not while dragging; one command lays the
// patch on top of what was there with the palette counts, one undo takes both back, and the
// redo gives the same document bytes again.
TEST_F(Undo, AGeneratedPatchIsOneChangeUndoneAndRedoneToTheSameBytes) {
    for (const std::int32_t set : {setcode::Durer, setcode::Kepler}) {
        newDocument(set, 60004);
        EXPECT_FALSE(editor.menu().enabled(cmd::Generate));
        EXPECT_FALSE(editor.invokeMenuCommand(cmd::Generate));
        ASSERT_TRUE(editor.invokeMenuCommand(cmd::Close));
        EXPECT_FALSE(editor.menu().enabled(cmd::Generate)); // nor without a document
    }
    newDocument(setcode::PenroseNo2, 60004);
    ASSERT_TRUE(editor.menu().enabled(cmd::Generate));
    drop(kind::WideDiamond, QPoint(200, 200));
    const QByteArray before = saved();
    board.leftButtonDown(200, 200); // a drag under way
    EXPECT_FALSE(editor.menu().enabled(cmd::Generate));
    board.leftButtonUp(200, 200);
    ASSERT_TRUE(editor.menu().enabled(cmd::Generate));

    shell.generateChoices.push_back(std::nullopt); // cancelled: nothing happens
    shell.generateChoices.push_back(GenerateChoice{PatchSeed::Star, 250});
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Generate));
    EXPECT_EQ(saved(), before);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Generate));
    ASSERT_EQ(doc().board.count(), 2);
    EXPECT_EQ(doc().board.groups.back()->count(), 250);
    EXPECT_EQ(doc().kindCounts[0] + doc().kindCounts[1], 251);
    EXPECT_TRUE(editor.menu().enabled(cmd::SaveAs)); // changed
    const QByteArray generated = saved();

    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Undo));
    EXPECT_EQ(saved(), before);
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Redo));
    EXPECT_EQ(saved(), generated);
    EXPECT_EQ(undoAll(), 2); // the patch and the placement
    EXPECT_EQ(doc().board.count(), 0);
    // The whole board shows the progress window, and it goes when the patch is laid.
    shell.generateChoices.push_back(GenerateChoice{PatchSeed::Sun, 0});
    const int closed = shell.progressClosed;
    ASSERT_TRUE(editor.invokeMenuCommand(cmd::Generate));
    EXPECT_EQ(shell.progressClosed, closed + 1);
}
