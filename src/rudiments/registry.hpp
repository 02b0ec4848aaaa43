// The fifteen rudiments by name, the default listing and the default lookup.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core/offset3.hpp"
#include "core/pattern_info.hpp"
#include "core/pip.hpp"

namespace trovelin {

struct Rudiment {
    PatternInfo info;
    Offset3 (*function)(Pip) noexcept;
};

// The rudiments in listing order, bounce first.
std::span<const Rudiment> rudiments() noexcept;

// Every default: the rudiments, then the catalogue in catalogue order. Built
// on the first call and shared by every later one.
const std::vector<PatternInfo>& default_pattern_infos();

// Position of the rudiment or catalogue entry called `name` (exact bytes) at
// `pip`. Throws std::invalid_argument "Unknown trovelin: <name>" otherwise, the
// name's bytes that a message cannot carry written as \xNN (core/printable.hpp).
Offset3 sample(std::string_view name, Pip pip);

}  // namespace trovelin
