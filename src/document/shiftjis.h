#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace pavelora {

// Text in files is stored in the Japanese code page (Shift-JIS, Windows variant). These
// conversions are used only where text enters or leaves a file.

// Encodes `text` into at most `maxBytes` bytes. A character is taken whole or not at all,
// so a two-byte character is never cut in half; a character the code page cannot hold
// becomes '?'.
std::string toShiftJis(const QString& text, std::size_t maxBytes);

// Decodes bytes up to the first zero byte (or the end). Bytes that are not valid
// Shift-JIS become U+FFFD.
QString fromShiftJis(std::string_view bytes);

} // namespace pavelora
