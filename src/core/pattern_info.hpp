// The listing record shared by the rudiments, the catalogue and the library.
#pragma once

#include <cstdint>
#include <string_view>

namespace trovelin {

struct PatternInfo {
    std::string_view name;
    std::string_view description;  // UTF-8
    std::uint16_t period_pips;     // loop length in pips
    std::uint8_t dimensions;       // 1 (x), 2 (x-y plane) or 3
};

}  // namespace trovelin
