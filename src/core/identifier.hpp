// The naming rule shared by user patterns, recordings and recording axes.
#pragma once

#include <cstddef>
#include <string_view>

namespace trovelin {

inline constexpr std::size_t MAX_IDENTIFIER_BYTES = 128;

// 1 to 128 bytes; the first a lower-case ASCII letter; every byte a lower-case
// ASCII letter, a digit or an underscore. Any byte outside ASCII fails.
constexpr bool is_identifier(std::string_view text) noexcept {
    if (text.empty() || text.size() > MAX_IDENTIFIER_BYTES) {
        return false;
    }
    if (text.front() < 'a' || text.front() > 'z') {
        return false;
    }
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

}  // namespace trovelin
