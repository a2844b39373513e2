#pragma once

#include "core/tiling/forcing.h"
#include "core/tiling/vertexatlas.h"
#include "core/tiling/vertexrules.h"
#include "editor/edithistory.h"
#include "editor/editorscreen.h"
#include "render/rulesoverlay.h"

#include <functional>
#include <memory>
#include <vector>

namespace pavelora {

class BoardInteraction;
class PaletteController;

// The vertex rules of the Penrose sets in the editor: the dead-end marks (shown or not, kept
// up to date round every change of the board), the forced tiles added to a group as one
// undoable change, and the legal tiles of a clicked free edge shown as ghosts, one of which
// a click lays there. Only for tile sets with vertex stars; the commands are disabled for the
// others.
class RulesController : public BoardOverlay {
public:
    // `document` tells which document is open at the moment (null for none).
    RulesController(EditorScreen& screen, BoardInteraction& board, PaletteController& palette,
                    EditHistory& history, std::function<Document*()> document);
    ~RulesController() override;
    RulesController(const RulesController&) = delete;
    RulesController& operator=(const RulesController&) = delete;

    // The document now open (null for none): marks and ghosts go, both switches are off, the
    // menu items follow the document's tile set.
    void attach(Document* doc);

    // The commands.
    void toggleDeadEnds();
    void addForcedTiles();
    void toggleCandidates();

    bool deadEndsShown() const { return showDeadEnds_; }
    bool candidatesShown() const { return showCandidates_; }
    const std::vector<DeadEnd>& marks() const { return marks_; }
    const std::vector<TilePlacement>& ghosts() const { return ghosts_; }
    // The marks and ghosts in client pixels for the current view.
    RulesOverlay overlay() const;

    // A click on the board while candidates are shown: on a ghost it lays that tile, near a
    // free edge it shows the edge's legal tiles. True when it did either.
    bool click(int x, int y);

    // Undo and redo of added forced tiles.
    void replayForced(int group, int first, const std::vector<TileState>& records, bool forward);

    // BoardOverlay
    void boardChanged(QRegion& region) override;
    void boardReplaced() override;

private:
    // Follows the open document: the state of another document goes.
    Document* current();
    // The atlas of the attached document's set, built on first use; null where no rules apply.
    const VertexAtlas* atlas();
    void showMenu();
    void clearGhosts(QRegion* region);
    void countAdded(const std::vector<TileState>& records, int sign);
    TileGroup* targetGroup() const;

    EditorScreen& screen_;
    BoardInteraction& board_;
    PaletteController& palette_;
    EditHistory& history_;
    std::function<Document*()> document_;
    Document* doc_ = nullptr;
    std::unique_ptr<VertexAtlas> atlas_;
    std::int32_t setCode_ = 0; // of the attached document
    bool rulesApply_ = false;  // the set has vertex stars
    bool showDeadEnds_ = false;
    bool showCandidates_ = false;
    std::vector<DeadEnd> marks_;
    TileGroup* ghostGroup_ = nullptr;
    std::vector<TilePlacement> ghosts_;
    int ghostStackIndex_ = -1; // the undo stack when the ghosts were found
    int ghostStackCount_ = -1;
};

} // namespace pavelora
