#pragma once

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
    int densityUnit = 0; // of the JFIF header
    int xDensity = 0;
    std::vector<int> luminanceTable; // quantisation table 0, natural order
    std::vector<std::uint8_t> rgb;   // width * height * 3

    int channel(int x, int y, int c) const {
        const auto at = static_cast<std::size_t>((y * width + x) * 3 + c);
        return rgb[at];
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

// Fills `out`, held by the caller so that a jump back from the library leaves it intact.
inline bool decodeInto(std::FILE* file, DecodedJpeg& out) {
    jpeg_decompress_struct cinfo{};
    DecodeErrors errors{};
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = decodeFailed;
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
    out.densityUnit = cinfo.density_unit;
    out.xDensity = cinfo.X_density;
    for (int k = 0; cinfo.quant_tbl_ptrs[0] != nullptr && k < DCTSIZE2; ++k) {
        out.luminanceTable.push_back(cinfo.quant_tbl_ptrs[0]->quantval[k]);
    }
    out.rgb.resize(3 * std::size_t{cinfo.output_width} * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &out.rgb[3 * std::size_t{cinfo.output_width} * cinfo.output_scanline];
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
    return ok ? std::optional(out) : std::nullopt;
}

} // namespace pavelora::test
