#pragma once

#include "render/rulesoverlay.h"

#include <QImage>
#include <QPoint>
#include <Qt>

namespace pavelora {

// Keys the board reacts to.
enum class BoardKey { Space, Left, Up, Right, Down, Delete, F1, F2, F3, F4, F5, F6, Other };

// Scroll-bar requests: a line or a page towards the start (left, up) or the end, the
// thumb dragged to a position, the start or end of the range, end of scrolling.
enum class ScrollRequest { LineBack, LineForward, PageBack, PageForward, Thumb, Start, End, Done };

// What the board view shows: the back buffer with its top left corner at `origin` (client
// pixels), or no picture while no document is open.
struct BoardPicture {
    const QImage* image = nullptr;
    QPoint origin;
    RulesOverlay overlay; // painted over the image
};

// The board view's side of the editor: the mouse and the keys on the board (client pixels),
// the half-second blink, the scroll bars and the wheel, and the picture to paint.
class BoardInput {
public:
    virtual ~BoardInput() = default;

    virtual void leftButtonDown(int x, int y) = 0;
    virtual void mouseMove(int x, int y) = 0;
    virtual void leftButtonUp(int x, int y) = 0;
    virtual void rightButtonDown(int x, int y, bool shift) = 0;
    virtual void keyDown(BoardKey key, bool shift) = 0;
    virtual void keyUp(BoardKey key) = 0;
    virtual void timerTick() = 0;
    virtual void scroll(Qt::Orientation orientation, ScrollRequest request, int position = 0) = 0;
    virtual void wheel(int delta) = 0;

    virtual BoardPicture picture() const = 0;
};

} // namespace pavelora
