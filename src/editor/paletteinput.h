#pragma once

#include <QImage>

namespace pavelora {

// The palette window's side of the editor: clicks in its client area (client pixels), the
// user closing it, and the picture it shows.
class PaletteInput {
public:
    virtual ~PaletteInput() = default;

    virtual void paletteClicked(int x, int y) = 0;
    // The user closed the window; it is only hidden and comes back with the document's next
    // click on the board.
    virtual void paletteClosed() = 0;
    virtual const QImage& paletteImage() const = 0;
};

} // namespace pavelora
