#include "catalogue/catalogue.hpp"

#include <algorithm>
#include <cstddef>

// The sample table, embedded as read-only data from the generated rows (see
// embed/embed_tables.cmake for how, on each platform).
extern "C" const trovelin::Offset3 trovelin_catalogue_rows[];

namespace trovelin {
namespace {

// CATALOGUE, every entry in catalogue order, CATALOGUE_BY_NAME, their
// positions sorted by name, and CATALOGUE_ROW_COUNT.
#include "catalogue_entries.inc"

}  // namespace

Offset3 CatalogueEntry::sample(Pip pip) const noexcept {
    return trovelin_catalogue_rows[first_row + static_cast<std::uint32_t>(floor_mod(pip, info.period_pips))];
}

std::span<const CatalogueEntry> catalogue_entries() noexcept {
    return CATALOGUE;
}

std::span<const std::uint64_t> catalogue_by_name() noexcept {
    return CATALOGUE_BY_NAME;
}

std::span<const Offset3> catalogue_rows() noexcept {
    return {trovelin_catalogue_rows, CATALOGUE_ROW_COUNT};
}

const CatalogueEntry* find_catalogue_entry(std::string_view name) noexcept {
    // string_view ordering compares bytes as unsigned, shorter first on a tie:
    // the order the index was sorted in.
    const auto* first = std::begin(CATALOGUE_BY_NAME);
    const auto* last = std::end(CATALOGUE_BY_NAME);
    const auto* it = std::lower_bound(first, last, name, [](std::uint64_t position, std::string_view wanted) {
        return CATALOGUE[position].info.name < wanted;
    });
    if (it == last || CATALOGUE[*it].info.name != name) {
        return nullptr;
    }
    return &CATALOGUE[*it];
}

}  // namespace trovelin
