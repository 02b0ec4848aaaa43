#include "rudiments/registry.hpp"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "catalogue/catalogue.hpp"
#include "core/printable.hpp"
#include "rudiments/movement.hpp"
#include "rudiments/rudiment_infos.hpp"
#include "rudiments/strokes.hpp"

namespace trovelin {
namespace {

// Each rudiment's function, in the order of its listing record.
constexpr std::array<Offset3 (*)(Pip) noexcept, 15> FUNCTIONS{
    &bounce, &sway, &circle, &figure_eight, &step_touch, &box_step, &helix, &vessa_background,
    &single_stroke_roll, &double_stroke_roll, &multiple_bounce_roll, &single_paradiddle, &flam, &drag,
    &five_stroke_roll,
};

constexpr std::array<Rudiment, 15> pair_rudiments() {
    std::array<Rudiment, 15> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = {RUDIMENT_INFOS[i], FUNCTIONS[i]};
    }
    return out;
}

constexpr std::array<Rudiment, 15> RUDIMENTS = pair_rudiments();

std::vector<PatternInfo> build_default_listing() {
    std::vector<PatternInfo> listing;
    listing.reserve(RUDIMENTS.size());
    for (const Rudiment& r : RUDIMENTS) {
        listing.push_back(r.info);
    }
    for (const CatalogueEntry& e : catalogue_entries()) {
        listing.push_back(e.info);
    }
    return listing;
}

}  // namespace

std::span<const Rudiment> rudiments() noexcept {
    return RUDIMENTS;
}

const std::vector<PatternInfo>& default_pattern_infos() {
    static const std::vector<PatternInfo> listing = build_default_listing();
    return listing;
}

Offset3 sample(std::string_view name, Pip pip) {
    // string_view equality compares lengths before bytes.
    for (const Rudiment& r : RUDIMENTS) {
        if (r.info.name == name) {
            return r.function(pip);
        }
    }
    if (const CatalogueEntry* entry = find_catalogue_entry(name)) {
        return entry->sample(pip);
    }
    throw std::invalid_argument("Unknown trovelin: " + printable(name));
}

}  // namespace trovelin
