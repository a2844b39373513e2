#pragma once

#include <QCursor>
#include <QIcon>

namespace pavelora {

// The program's icon ("MyIcon"): a kite above a dart, the installed SVG icon.
QIcon applicationIcon();

// The cursor shown while a tile picked in the palette is being placed ("MyCursor"): an
// arrow carrying a small kite; its hot spot is the arrow's tip.
QCursor tileCursor();

} // namespace pavelora
