#pragma once

#include "core/board/settings.h"
#include "core/geometry/rgb.h"

#include <vector>

namespace pavelora {

struct Document;

// What the settings dialogs read and change: the open document (null when there is none)
// and the settings they apply. Each apply needs an open document and returns false when
// nothing changed.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;

    virtual const Document* document() const = 0;

    // Tile size, outline width and zoom take whole percentages (tile size and zoom
    // 1..800, outline width 1..99; others are refused); each rebuilds the board picture,
    // marks the document changed and updates the status bar. A tile size that would put a
    // tile position off the board is reported in a message box and changes nothing.
    virtual bool applyTileSize(int percent) = 0;
    virtual bool applyOutlineWidth(int percent) = 0;
    virtual bool applyZoom(int percent) = 0;
    // New fill colours of the kinds or new pair-pattern colours, one per entry in the tile
    // set's order (a list of another length is refused), or a new board colour: the board
    // is drawn again, the palette shows the new samples, the document is marked changed.
    virtual bool applyKindColours(const std::vector<Rgb>& colours) = 0;
    virtual bool applyPairColours(const std::vector<Rgb>& colours) = 0;
    virtual bool applyBoardColour(Rgb colour) = 0;
    // The print settings (a change of the document; the title is cut to what the file
    // keeps) and the JPEG settings (not one; quality and density out of range are refused).
    virtual bool applyPrintSettings(const PrintSettings& settings) = 0;
    virtual bool applyJpegSettings(const JpegSettings& settings) = 0;
};

} // namespace pavelora
