// The catalogue: named looping patterns stored as per-pip sample tables in
// read-only data, with a name index sorted bytewise.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/offset3.hpp"
#include "core/pattern_info.hpp"
#include "core/pip.hpp"

namespace trovelin {

struct CatalogueEntry {
    PatternInfo info;
    std::uint32_t first_row;  // where this entry's rows start in the shared table

    // Row floor_mod(pip, period) of the entry's table, copied.
    Offset3 sample(Pip pip) const noexcept;
};

// Every entry, in catalogue order.
std::span<const CatalogueEntry> catalogue_entries() noexcept;

// Positions into catalogue_entries(), ordered by name bytewise.
std::span<const std::uint64_t> catalogue_by_name() noexcept;

// Every row of every entry, back to back in catalogue order.
std::span<const Offset3> catalogue_rows() noexcept;

// The entry whose name has exactly these bytes, or nullptr.
const CatalogueEntry* find_catalogue_entry(std::string_view name) noexcept;

}  // namespace trovelin
