// What the vertex rules paint over the board: red rings on dead ends, translucent ghosts.
#include "render/rulesoverlay.h"
#include "renderfixture.h"

#include <QPainter>

using namespace pavelora;

TEST(RulesOverlay, MarksAreRedRingsAndGhostsVeilOnlyTheirInside) {
    test::BoardFixture f(setcode::PenroseNo1);
    // The client area.
    QImage image(f.doc.view.clientWidth, f.doc.view.clientHeight, QImage::Format_RGB32);
    const QRgb board = qRgb(0, 90, 0);
    image.fill(board);
    RulesOverlay overlay;
    overlay.deadEnds.push_back(QPoint(50, 50));
    // A kite at rotation 0 near the board's top left corner: its apex lies one tile unit above
    // its position.
    const TilePlacement kite{kind::Kaite, 0, 4.0, boardHeightCm(f.doc.view) - 4.0};
    overlay.ghosts.push_back(ghostPolygon(f.doc, kite));
    ASSERT_EQ(overlay.ghosts[0].size(), 4);
    const QPoint at = clientPixel(f.doc.view, kite.x, kite.y);
    const int unit = static_cast<int>(f.doc.view.pxPerMmY * f.doc.view.zoom * 10);
    EXPECT_EQ(overlay.ghosts[0][0], QPoint(at.x(), at.y() - unit));
    {
        QPainter painter(&image);
        drawRulesOverlay(painter, overlay);
    }
    EXPECT_EQ(image.pixel(55, 50), qRgb(255, 0, 0));     // on the ring
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));     // the dot
    EXPECT_EQ(image.pixel(47, 50), board);               // inside the ring
    EXPECT_EQ(image.pixel(57, 50), qRgb(255, 255, 255)); // the halo
    EXPECT_EQ(image.pixel(61, 50), board);
    EXPECT_TRUE(deadEndMarkRect(QPoint(50, 50)).contains(QRect(42, 42, 17, 17)));
    EXPECT_GT(qGreen(image.pixel(at)), 90); // veiled grey inside the ghost
    EXPECT_GT(qRed(image.pixel(at)), 0);
    EXPECT_EQ(image.pixel(at + QPoint(3 * unit, 0)), board);
}
