#pragma once

#include "editor/settingstarget.h"

#include <QString>

#include <functional>

namespace pavelora {

class BoardInteraction;
class DocumentSession;
class EditHistory;
class EditorScreen;
class PaletteController;

// What the settings dialogs' OK and "適用" change in the open document and on the screen:
// the board is drawn anew, the palette shows new samples, the selection or the palette's
// pick is dropped where the change calls for it. Each change of the document goes onto its
// undo stack with the values it replaced (the JPEG settings are not part of the document); a
// setting applied with the value it already has changes nothing and leaves no step.
class SettingsApplier : public SettingsTarget {
public:
    SettingsApplier(EditorScreen& screen, DocumentSession& session, BoardInteraction& board,
                    PaletteController& palette, EditHistory& history)
        : screen_(screen), session_(session), board_(board), palette_(palette), history_(history) {}
    SettingsApplier(const SettingsApplier&) = delete;
    SettingsApplier& operator=(const SettingsApplier&) = delete;

    const Document* document() const override;
    bool applyTileSize(int percent) override;
    bool applyOutlineWidth(int percent) override;
    bool applyZoom(int percent) override;
    bool applyKindColours(const std::vector<Rgb>& colours) override;
    bool applyPairColours(const std::vector<Rgb>& colours) override;
    bool applyBoardColour(Rgb colour) override;
    bool applyPrintSettings(const PrintSettings& settings) override;
    bool applyJpegSettings(const JpegSettings& settings) override;

private:
    // Makes the change with set(true) and puts it on the undo stack.
    void change(const QString& name, std::function<void(bool)> set);

    EditorScreen& screen_;
    DocumentSession& session_;
    BoardInteraction& board_;
    PaletteController& palette_;
    EditHistory& history_;
};

} // namespace pavelora
