#pragma once

#include <QImage>

namespace pavelora {

// The palette window's side of the editor: clicks in its client area (client pixels) and
// the picture it shows.
class PaletteInput {
public:
    virtual ~PaletteInput() = default;

    virtual void paletteClicked(int x, int y) = 0;
    virtual const QImage& paletteImage() const = 0;
};

} // namespace pavelora
