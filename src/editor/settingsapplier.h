#pragma once

#include "editor/settingstarget.h"

namespace pavelora {

class BoardInteraction;
class DocumentSession;
class EditorScreen;
class PaletteController;

// What the settings dialogs' OK and "適用" change in the open document and on the screen:
// the board is drawn anew, the palette shows new samples, the selection or the palette's
// pick is dropped where the change calls for it, and the document is marked changed.
class SettingsApplier : public SettingsTarget {
public:
    SettingsApplier(EditorScreen& screen, DocumentSession& session, BoardInteraction& board,
                    PaletteController& palette)
        : screen_(screen), session_(session), board_(board), palette_(palette) {}
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
    EditorScreen& screen_;
    DocumentSession& session_;
    BoardInteraction& board_;
    PaletteController& palette_;
};

} // namespace pavelora
