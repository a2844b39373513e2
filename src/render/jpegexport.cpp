#include "render/jpegexport.h"

#include "render/devicetiles.h"

#include <QColor>
#include <QFile>
#include <QPainter>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace pavelora {

static_assert(JPEG_LIB_VERSION == 62, "the export is written for the version 6b interface");

double jpegPixelsPerCm(std::int32_t density) {
    return density * 0.39370078740157477;
}

QSize jpegImageSize(std::int32_t boardCode, std::int32_t density) {
    const BoardSize* size = findBoardSize(boardCode);
    if (size == nullptr) {
        return {};
    }
    const double ppc = jpegPixelsPerCm(density);
    return {static_cast<int>(size->widthMm * 0.1 * ppc),
            static_cast<int>(size->heightMm * 0.1 * ppc)};
}

namespace {

// A new export image, or a null one when the board has no size at this density.
QImage newExportImage(const Document& doc, const JpegSettings& settings, DevicePlacement& at) {
    const QSize size = jpegImageSize(doc.view.boardCode, settings.density);
    if (size.width() <= 0 || size.height() <= 0 || !doc.tileSet) {
        return {};
    }
    at.originX = 0;
    at.originY = 0;
    at.imageHeight = size.height();
    at.scale = 1.0;
    at.ppcX = jpegPixelsPerCm(settings.density);
    at.ppcY = at.ppcX;
    return QImage(size, QImage::Format_RGB32);
}

} // namespace

QImage renderJpegImage(const Document& doc, const JpegSettings& settings) {
    DevicePlacement placement;
    QImage image = newExportImage(doc, settings, placement);
    if (image.isNull()) {
        return image;
    }
    const Rgb board = doc.view.boardColour;
    image.fill(QColor(board.red, board.green, board.blue));
    const bool withPattern =
        doc.tileSet->hasPairPattern != 0 && settings.form != outputform::WithoutPairPattern;
    paintImageTiles(image, doc, placement, withPattern);
    return image;
}

QImage renderJpegOutlines(const Document& doc, const JpegSettings& settings) {
    DevicePlacement placement;
    QImage image = newExportImage(doc, settings, placement);
    if (image.isNull()) {
        return image;
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    paintDeviceOutlines(painter, doc, placement, image.rect(), 3);
    return image;
}

void readJpegRow(const QImage& image, unsigned char* row, int y, Progress* progress) {
    if (y == 0 && progress != nullptr) {
        progress->setText(QStringLiteral("JPEGファイル書き込み中"));
        progress->start(image.height());
    }
    const QRgb* __restrict line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    unsigned char* __restrict out = row;
    const int width = image.width();
    for (int x = 0; x < width; ++x) {
        const QRgb pixel = line[x];
        out[3 * x] = static_cast<unsigned char>(qRed(pixel));
        out[3 * x + 1] = static_cast<unsigned char>(qGreen(pixel));
        out[3 * x + 2] = static_cast<unsigned char>(qBlue(pixel));
    }
    if (progress != nullptr) {
        progress->step(1);
    }
}

namespace {

// The library's standard error manager whose exit returns to the compressor through a
// non-local jump instead of ending the program. It prints nothing.
struct JumpingErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

bool plainRows = false;

// 32-bit pixels lie in memory as blue, green, red and a byte the library skips: where it
// takes them so, rows go in without being copied. The colours it reads are the same.
#if defined(JCS_EXTENSIONS) && Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr bool CanTakePixels = true;
constexpr J_COLOR_SPACE PixelsAsTheyAre = JCS_EXT_BGRX;
#else
constexpr bool CanTakePixels = false;
constexpr J_COLOR_SPACE PixelsAsTheyAre = JCS_RGB;
#endif

void stepRow(const QImage& image, int y, Progress* progress) {
    if (progress == nullptr) {
        return;
    }
    if (y == 0) {
        progress->setText(QStringLiteral("JPEGファイル書き込み中"));
        progress->start(image.height());
    }
    progress->step(1);
}

// The compressor proper. Only plain C objects live in this frame, so that the jump back
// from the library skips no destructor; what changes after setjmp is volatile.
int compressToFile(const QImage& image, int quality, int density, const char* fileName,
                   Progress* progress) {
    const bool direct = CanTakePixels && !plainRows;
    jpeg_compress_struct cinfo{};
    JumpingErrorManager errors{};
    std::FILE* volatile file = nullptr;
    JSAMPLE* volatile row = nullptr;

    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = jumpBack;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        if (file != nullptr) {
            std::fclose(file);
        }
        std::free(row);
        return jpegresult::CompressionFailed;
    }

    jpeg_CreateCompress(&cinfo, 62, sizeof(jpeg_compress_struct));

    file = std::fopen(fileName, "wb");
    if (file == nullptr) {
        jpeg_destroy_compress(&cinfo);
        return jpegresult::FileNotOpened;
    }

    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = direct ? 4 : 3;
    cinfo.in_color_space = direct ? PixelsAsTheyAre : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.density_unit = 1;
    cinfo.X_density = static_cast<UINT16>(density);
    cinfo.Y_density = static_cast<UINT16>(density);

    // One row of the image, zero-filled (at least one byte, so that an empty image is
    // left to the library to refuse).
    const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
    row = static_cast<JSAMPLE*>(std::calloc(rowBytes > 0 ? rowBytes : 1, 1));
    if (row == nullptr) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(file);
        return jpegresult::NoRowBuffer;
    }

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        if (direct) {
            // The library reads the row and writes nothing into it.
            JSAMPROW rows[1] = {const_cast<JSAMPLE*>(image.constScanLine(y))};
            stepRow(image, y, progress);
            jpeg_write_scanlines(&cinfo, rows, 1);
        } else {
            readJpegRow(image, row, y, progress);
            JSAMPROW rows[1] = {row};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
    }
    jpeg_finish_compress(&cinfo);
    std::fclose(file);
    jpeg_destroy_compress(&cinfo);
    std::free(row);
    return jpegresult::Written;
}

} // namespace

void usePlainJpegRows(bool on) {
    plainRows = on;
}

int writeJpeg(const QImage& image, std::int32_t quality, std::int32_t density, const QString& path,
              Progress* progress) {
    // Rows are read as 32-bit pixels; any other format is converted first.
    const QImage source =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const QByteArray fileName = QFile::encodeName(path);
    return compressToFile(source, quality, density, fileName.constData(), progress);
}

int exportJpeg(const Document& doc, const JpegSettings& settings, const QString& path,
               Progress* progress) {
    // The cut form is for vector files; an image of it shows the outlines.
    const QImage image = settings.form == outputform::Outlines || settings.form == outputform::Cut
                             ? renderJpegOutlines(doc, settings)
                             : renderJpegImage(doc, settings);
    return writeJpeg(image, settings.quality, settings.density, path, progress);
}

QString jpegResultMessage(int result) {
    switch (result) {
    case jpegresult::CompressionFailed:
        return QStringLiteral("JPEG圧縮処理に失敗しました");
    case jpegresult::FileNotOpened:
        return QStringLiteral("JPEG出力ファイルのオープンに失敗しました");
    case jpegresult::NoRowBuffer:
        return QStringLiteral("JPEGsキャンラインバッファの確保に失敗しました");
    default:
        return {};
    }
}

QString jpegMessageCaption() {
    return QStringLiteral("JPEG保存");
}

} // namespace pavelora
