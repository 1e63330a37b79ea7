#include "UserText.h"

#include <cstdint>

namespace platform {

std::string validUserText(const std::string& text) {
    static const char replacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t min = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2, min = 0x80, cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, min = 0x800, cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, cp = lead & 0x07;
        }
        std::size_t got = 1;
        while (length != 0 && got < length && i + got < text.size() &&
               (static_cast<unsigned char>(text[i + got]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + got]) & 0x3F);
            ++got;
        }
        if (length != 0 && got == length && cp >= min && cp <= 0x10FFFF &&
            (cp < 0xD800 || cp > 0xDFFF)) {
            out.append(text, i, length);
            i += length;
        } else {
            out += replacement;
            i += length != 0 && got > 1 ? got : 1;
        }
    }
    return out;
}

} // namespace platform
