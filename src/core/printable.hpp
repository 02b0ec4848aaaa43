// Caller-supplied text made fit to quote in an exception message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trovelin {

// `text` with every byte that a message cannot carry written as \xNN: the NUL
// byte (a message is a C string) and every byte that is not part of a
// well-formed UTF-8 sequence (overlong forms, surrogates and code points past
// U+10FFFF included), so that the message decodes as strict UTF-8. Every other
// byte, backslashes among them, is kept as it is.
inline std::string printable(std::string_view text) {
    constexpr char HEX[] = "0123456789abcdef";
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // Length of the well-formed sequence starting at i, or 0.
    const auto sequence_at = [&](std::size_t i) -> std::size_t {
        const unsigned char b = byte(i);
        if (b >= 0x01 && b <= 0x7f) {
            return 1;
        }
        std::size_t n = 0;
        unsigned char lo = 0x80, hi = 0xbf;  // bounds of the second byte
        if (b >= 0xc2 && b <= 0xdf) {
            n = 2;
        } else if (b >= 0xe0 && b <= 0xef) {
            n = 3;
            lo = b == 0xe0 ? 0xa0 : 0x80;
            hi = b == 0xed ? 0x9f : 0xbf;
        } else if (b >= 0xf0 && b <= 0xf4) {
            n = 4;
            lo = b == 0xf0 ? 0x90 : 0x80;
            hi = b == 0xf4 ? 0x8f : 0xbf;
        } else {
            return 0;
        }
        if (i + n > text.size() || byte(i + 1) < lo || byte(i + 1) > hi) {
            return 0;
        }
        for (std::size_t k = 2; k < n; ++k) {
            if (byte(i + k) < 0x80 || byte(i + k) > 0xbf) {
                return 0;
            }
        }
        return n;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t n = sequence_at(i)) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\\x";
            out += HEX[byte(i) >> 4];
            out += HEX[byte(i) & 0xf];
            ++i;
        }
    }
    return out;
}

}  // namespace trovelin
