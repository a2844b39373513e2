#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace pavelora::test {

// A JPEG file read back with the library's decompressor.
struct DecodedJpeg {
    int width = 0;
    int height = 0;
    int components = 0;
    bool jfif = false;
    int densityUnit = 0;
    int xDensity = 0;
    int yDensity = 0;
    bool progressive = false;
    std::vector<int> luminanceTable; // quantisation table 0, natural order
    std::vector<std::uint8_t> rgb;   // width * height * 3

    int channel(int x, int y, int c) const {
        return rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)) *
                       3 +
                   static_cast<std::size_t>(c)];
    }
};

namespace detail {
struct DecodeErrors {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};
[[noreturn]] inline void decodeFailed(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<DecodeErrors*>(cinfo->err)->jump, 1);
}
inline void silent(j_common_ptr) {}

inline bool decodeInto(std::FILE* file, DecodedJpeg& out) {
    jpeg_decompress_struct cinfo{};
    DecodeErrors errors{};
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = decodeFailed;
    errors.standard.output_message = silent;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.components = cinfo.num_components;
    out.jfif = cinfo.saw_JFIF_marker != 0;
    out.densityUnit = cinfo.density_unit;
    out.xDensity = cinfo.X_density;
    out.yDensity = cinfo.Y_density;
    out.progressive = cinfo.progressive_mode != 0;
    if (cinfo.quant_tbl_ptrs[0] != nullptr) {
        for (int k = 0; k < DCTSIZE2; ++k) {
            out.luminanceTable.push_back(cinfo.quant_tbl_ptrs[0]->quantval[k]);
        }
    }
    out.rgb.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(cinfo.output_scanline) *
                                            static_cast<std::size_t>(out.width) * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
} // namespace detail

inline std::optional<DecodedJpeg> decodeJpeg(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    DecodedJpeg out;
    const bool ok = detail::decodeInto(file, out);
    std::fclose(file);
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

// The start-of-frame markers in a JPEG file's bytes: 0xC0 for baseline, 0xC1 extended,
// 0xC2 progressive and so on. Coded data stuffs every 0xFF with a zero byte, so a 0xFF
// followed by a frame code is a marker.
inline std::vector<int> frameMarkers(const QString& path) {
    QFile file(path);
    std::vector<int> markers;
    if (!file.open(QIODevice::ReadOnly)) {
        return markers;
    }
    const QByteArray bytes = file.readAll();
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        const auto code = static_cast<std::uint8_t>(bytes[i + 1]);
        if (static_cast<std::uint8_t>(bytes[i]) == 0xFF && code >= 0xC0 && code <= 0xCF &&
            code != 0xC4 && code != 0xC8 && code != 0xCC) {
            markers.push_back(code);
        }
    }
    return markers;
}

} // namespace pavelora::test
