#include "render/printing.h"

#include "render/devicetiles.h"

#include <QColor>
#include <QFontMetrics>
#include <QPageLayout>

#include <algorithm>

namespace pavelora {

PageGeometry pageGeometry(const QPaintDevice& device, const QRect& paper, const QRect& printable) {
    PageGeometry page;
    page.dpiX = device.logicalDpiX();
    page.dpiY = device.logicalDpiY();
    page.offsetX = printable.left() - paper.left();
    page.offsetY = printable.top() - paper.top();
    page.paperWidth = paper.width();
    page.paperHeight = paper.height();
    return page;
}

PageGeometry pageGeometry(const QPaintDevice& device) {
    if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(&device)) {
        const QPageLayout layout = paged->pageLayout();
        return pageGeometry(device, layout.fullRectPixels(device.logicalDpiX()),
                            layout.paintRectPixels(device.logicalDpiX()));
    }
    const QRect whole(0, 0, device.width(), device.height());
    return pageGeometry(device, whole, whole);
}

QPoint PrintLayout::map(double x, double y) const {
    return {originX + static_cast<std::int32_t>(scale * x * ppcX),
            originY + imageHeight - static_cast<std::int32_t>(scale * y * ppcY)};
}

QRect PrintLayout::cutRect() const {
    return {cutLeft, cutTop, cutRight - cutLeft, cutBottom - cutTop};
}

std::optional<PrintLayout> computePrintLayout(const PageGeometry& page, std::int32_t fontLineHeight,
                                              const PrintSettings& settings,
                                              std::int32_t boardCode) {
    const BoardSize* board = findBoardSize(boardCode);
    if (board == nullptr || !(page.dpiX > 0) || !(page.dpiY > 0)) {
        return std::nullopt;
    }
    PrintLayout l;
    l.ppcX = page.dpiX * 0.39370078740157477;
    l.ppcY = page.dpiY * 0.39370078740157477;
    l.lineHeight = settings.title.isEmpty() ? 0 : fontLineHeight;
    l.marginX = static_cast<std::int32_t>(settings.paperMarginX * l.ppcX * 0.1);
    l.effectiveMarginX = std::max(l.marginX, page.offsetX);
    l.marginY = static_cast<std::int32_t>(settings.paperMarginY * l.ppcY * 0.1);
    l.effectiveMarginY = std::max(l.marginY, page.offsetY);
    l.availableWidth = page.paperWidth - 2 * l.effectiveMarginX;
    l.availableHeight = page.paperHeight - 2 * l.effectiveMarginY - l.lineHeight;
    if (l.availableWidth <= 0 || l.availableHeight <= 0) {
        return std::nullopt; // margins and title leave no room for the board
    }
    l.boardWidth = board->widthMm * 0.1;
    l.boardHeight = board->heightMm * 0.1;

    l.scale = (l.availableWidth / l.ppcX) / l.boardWidth;
    if (l.scale * l.boardHeight > l.availableHeight / l.ppcY) {
        l.scale = (l.availableHeight / l.ppcY) / l.boardHeight;
    }
    l.imageWidth = static_cast<std::int32_t>(l.scale * l.boardWidth * l.ppcX);
    l.imageHeight = static_cast<std::int32_t>(l.scale * l.boardHeight * l.ppcY);

    l.originX = (l.availableWidth - l.imageWidth) / 2;
    if (l.marginX > page.offsetX) {
        l.originX += l.marginX - page.offsetX;
    }
    l.originY = l.lineHeight;
    if (l.marginY > page.offsetY) {
        l.originY += l.marginY - page.offsetY;
    }

    const auto cutX = static_cast<std::int32_t>(settings.cutMarginX * l.ppcX * 0.1);
    const auto cutY = static_cast<std::int32_t>(settings.cutMarginY * l.ppcY * 0.1);
    l.cutLeft = l.originX + cutX;
    l.cutRight = l.originX + l.imageWidth - cutX;
    l.cutTop = l.originY + cutY;
    l.cutBottom = l.originY + l.imageHeight - cutY;
    return l;
}

namespace {

// Computes the page's layout with the painter's font and writes the title line above the
// cut rectangle.
std::optional<PrintLayout> startPage(QPainter& painter, const Document& doc,
                                     const PageGeometry& page) {
    const QFontMetrics metrics = painter.fontMetrics();
    const auto layout = computePrintLayout(page, metrics.height() + metrics.leading(),
                                           doc.printSettings, doc.view.boardCode);
    if (layout && layout->lineHeight > 0) {
        painter.setPen(Qt::black);
        // The title's text cell has its top left corner at the given point.
        painter.drawText(layout->cutLeft, layout->cutTop - layout->lineHeight + metrics.ascent(),
                         doc.printSettings.title);
    }
    return layout;
}

DevicePlacement placementOf(const PrintLayout& layout) {
    DevicePlacement p;
    p.originX = layout.originX;
    p.originY = layout.originY;
    p.imageHeight = layout.imageHeight;
    p.scale = layout.scale;
    p.ppcX = layout.ppcX;
    p.ppcY = layout.ppcY;
    return p;
}

} // namespace

void printPageColour(QPainter& painter, const Document& doc, const PageGeometry& page) {
    painter.save();
    const auto layout = startPage(painter, doc, page);
    if (layout && doc.tileSet) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        const QRect cut = layout->cutRect();
        const Rgb board = doc.view.boardColour;
        painter.setClipRect(cut);
        painter.fillRect(cut, QColor(board.red, board.green, board.blue));
        const bool withPattern = doc.printSettings.printForm != outputform::WithoutPairPattern &&
                                 doc.tileSet->hasPairPattern != 0;
        paintDeviceTiles(painter, doc, placementOf(*layout), cut, withPattern);
    }
    painter.restore();
}

void printPageOutlines(QPainter& painter, const Document& doc, const PageGeometry& page) {
    painter.save();
    if (const auto layout = startPage(painter, doc, page)) {
        paintDeviceOutlines(painter, doc, placementOf(*layout), layout->cutRect(), 1);
    }
    painter.restore();
}

void printPage(QPainter& painter, const Document& doc, const PageGeometry& page) {
    const std::int32_t form = doc.printSettings.printForm;
    if (form == outputform::WithPairPattern || form == outputform::WithoutPairPattern) {
        printPageColour(painter, doc, page);
    } else {
        printPageOutlines(painter, doc, page);
    }
}

QString printDocumentName() {
    return QStringLiteral("pavelora document");
}

} // namespace pavelora
