#include "render/boardexport.h"

#include "render/cutlines.h"
#include "render/devicetiles.h"
#include "render/jpegexport.h"
#include "render/svgdevice.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <memory>

namespace pavelora {

std::optional<ExportFormat> exportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        return ExportFormat::Jpeg;
    }
    if (suffix == QLatin1String("png")) {
        return ExportFormat::Png;
    }
    if (suffix == QLatin1String("svg")) {
        return ExportFormat::Svg;
    }
    if (suffix == QLatin1String("pdf")) {
        return ExportFormat::Pdf;
    }
    return std::nullopt;
}

namespace {

// The board's paper in vector units, with the JPEG density's pixel as the unit of pen widths.
std::optional<DevicePlacement> vectorPlacement(const Document& doc, const JpegSettings& settings,
                                               QSize& units) {
    const BoardSize* size = findBoardSize(doc.view.boardCode);
    if (size == nullptr || !doc.tileSet || settings.density <= 0) {
        return std::nullopt;
    }
    // Millimetres are whole numbers: the page is a whole number of units.
    units = QSize(static_cast<int>(size->widthMm * (VectorUnitsPerCm / 10)),
                  static_cast<int>(size->heightMm * (VectorUnitsPerCm / 10)));
    DevicePlacement placement;
    placement.imageHeight = units.height();
    placement.ppcX = VectorUnitsPerCm;
    placement.ppcY = VectorUnitsPerCm;
    placement.penScale = VectorUnitsPerCm / jpegPixelsPerCm(settings.density);
    placement.vector = true;
    return placement;
}

// The board in the settings' form on a painter active on a vector device of `units`.
void paintVectorBoard(QPainter& painter, const Document& doc, const JpegSettings& settings,
                      const DevicePlacement& placement, QSize units) {
    const QRect area(QPoint(0, 0), units);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (settings.form == outputform::Cut) {
        // A hairline for the cutter: 0.025 mm whatever the density.
        DevicePlacement thin = placement;
        thin.penScale = 1.0;
        paintDeviceCutLines(painter, doc, thin, area, 0.025 * VectorUnitsPerCm / 10,
                            QColor(Qt::black));
        return;
    }
    if (settings.form == outputform::Outlines) {
        painter.fillRect(area, Qt::white);
        paintDeviceOutlines(painter, doc, placement, area, 3);
        return;
    }
    const Rgb board = doc.view.boardColour;
    painter.fillRect(area, QColor(board.red, board.green, board.blue));
    paintDeviceTiles(painter, doc, placement, area,
                     doc.tileSet->hasPairPattern != 0 &&
                         settings.form != outputform::WithoutPairPattern);
}

// The image with its colours in a table, when it has 256 colours at most (tiles are drawn
// without smoothing, so a board has few): a third of the bytes to compress, and the same
// pixels. Runs of one colour are the rule, so the last colour is tried first.
QImage withColourTable(const QImage& image) {
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    QRgb last = 0;
    uchar lastIndex = 0;
    bool any = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = in[x];
            if (!any || pixel != last) {
                qsizetype i = table.indexOf(pixel);
                if (i < 0) {
                    if (table.size() == 256) {
                        return image;
                    }
                    i = table.size();
                    table.append(pixel);
                }
                last = pixel;
                lastIndex = static_cast<uchar>(i);
                any = true;
            }
            out[x] = lastIndex;
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

} // namespace

namespace {

bool complete(const SvgDevice& device) {
    return device.written();
}

bool complete(const QPdfWriter&) {
    return true;
}

// Opens the file, paints the board on the vector device `makeDevice` makes for it (from the
// file, the placement's units and the board size) and tells whether all of it was written.
template <typename MakeDevice>
int exportVector(const Document& doc, const JpegSettings& settings, const QString& path,
                 MakeDevice makeDevice) {
    QSize units;
    const std::optional<DevicePlacement> placement = vectorPlacement(doc, settings, units);
    if (!placement) {
        return exportresult::WriteFailed;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return exportresult::FileNotOpened;
    }
    const auto device = makeDevice(file, units, *findBoardSize(doc.view.boardCode));
    QPainter painter;
    if (!painter.begin(device.get())) {
        return exportresult::WriteFailed;
    }
    paintVectorBoard(painter, doc, settings, *placement, units);
    const bool ended = painter.end();
    return ended && complete(*device) && file.flush() && file.error() == QFileDevice::NoError
               ? exportresult::Written
               : exportresult::WriteFailed;
}

} // namespace

int exportSvg(const Document& doc, const JpegSettings& settings, const QString& path) {
    return exportVector(doc, settings, path, [](QFile& file, QSize units, const BoardSize& size) {
        return std::make_unique<SvgDevice>(file, units, size.widthMm, size.heightMm);
    });
}

int exportPdf(const Document& doc, const JpegSettings& settings, const QString& path) {
    return exportVector(doc, settings, path, [](QFile& file, QSize, const BoardSize& size) {
        auto writer = std::make_unique<QPdfWriter>(&file);
        writer->setCreator(QStringLiteral("Pavelora"));
        writer->setPageLayout(
            QPageLayout(QPageSize(QSizeF(size.widthMm, size.heightMm), QPageSize::Millimeter),
                        QPageLayout::Portrait, QMarginsF()));
        writer->setResolution(static_cast<int>(std::lround(VectorUnitsPerCm * 2.54)));
        return writer;
    });
}

int exportPng(const Document& doc, const JpegSettings& settings, const QString& path) {
    const QImage rendered =
        settings.form == outputform::Outlines || settings.form == outputform::Cut
            ? renderJpegOutlines(doc, settings)
            : renderJpegImage(doc, settings);
    if (rendered.isNull()) {
        return exportresult::WriteFailed;
    }
    QImage image = withColourTable(rendered);
    const int dotsPerMetre = static_cast<int>(std::lround(settings.density / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return exportresult::FileNotOpened;
    }
    QImageWriter writer(&file, "png");
    // Quality 50 is zlib's level 4: a file little bigger than at the default level, made in
    // two thirds of the time.
    writer.setQuality(50);
    return writer.write(image) && file.flush() ? exportresult::Written : exportresult::WriteFailed;
}

int exportBoard(const Document& doc, const JpegSettings& settings, const QString& path,
                ExportFormat format, Progress* progress) {
    switch (format) {
    case ExportFormat::Png:
        return exportPng(doc, settings, path);
    case ExportFormat::Svg:
        return exportSvg(doc, settings, path);
    case ExportFormat::Pdf:
        return exportPdf(doc, settings, path);
    case ExportFormat::Jpeg:
        break;
    }
    return exportJpeg(doc, settings, path, progress);
}

QString exportResultMessage(ExportFormat format, int result) {
    const char* name = nullptr;
    switch (format) {
    case ExportFormat::Jpeg:
        return jpegResultMessage(result);
    case ExportFormat::Png:
        name = "PNG";
        break;
    case ExportFormat::Svg:
        name = "SVG";
        break;
    case ExportFormat::Pdf:
        name = "PDF";
        break;
    }
    switch (result) {
    case exportresult::WriteFailed:
        return QString::fromLatin1(name) + QStringLiteral("ファイルの書き込みに失敗しました");
    case exportresult::FileNotOpened:
        return QString::fromLatin1(name) + QStringLiteral("出力ファイルのオープンに失敗しました");
    default:
        return {};
    }
}

} // namespace pavelora
