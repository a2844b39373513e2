#include "document/shiftjis.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace pavelora {

namespace {

constexpr const char* kCodePage = "CP932";

// One conversion descriptor for the duration of a call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; false (and `out` untouched) when any of it cannot be converted.
    bool convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 16> buffer{};
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
            return false;
        }
        out.assign(buffer.data(), dst);
        return true;
    }

private:
    iconv_t cd_;
};

} // namespace

std::string toShiftJis(const QString& text, std::size_t maxBytes) {
    std::string result;
    Converter converter(kCodePage, "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    const std::string_view all(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    std::size_t i = 0;
    while (i < all.size()) {
        // Length of the UTF-8 sequence of one character, from its lead byte.
        const auto lead = static_cast<unsigned char>(all[i]);
        const std::size_t width = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::string encoded;
        if (!converter.valid() || !converter.convert(all.substr(i, width), encoded) ||
            encoded.empty()) {
            encoded = "?";
        }
        if (result.size() + encoded.size() > maxBytes) {
            break;
        }
        result += encoded;
        i += width;
    }
    return result;
}

QString fromShiftJis(std::string_view bytes) {
    const std::size_t end = bytes.find('\0');
    if (end != std::string_view::npos) {
        bytes = bytes.substr(0, end);
    }
    Converter converter("UTF-8", kCodePage);
    QString result;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        // Lead bytes of two-byte characters: 0x81..0x9F and 0xE0..0xFC.
        const bool twoByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        const std::size_t width = twoByte && i + 1 < bytes.size() ? 2 : 1;
        std::string utf8;
        if (converter.valid() && converter.convert(bytes.substr(i, width), utf8) && !utf8.empty()) {
            result += QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        } else {
            result += QChar(QChar::ReplacementCharacter);
        }
        i += width;
    }
    return result;
}

} // namespace pavelora
