#include "rudiments/registry.hpp"

#include <array>
#include <stdexcept>
#include <string>

#include "rudiments/movement.hpp"
#include "rudiments/strokes.hpp"

namespace trovelin {
namespace {

constexpr std::array<Rudiment, 15> RUDIMENTS{{
    {{"bounce", "One-beat vertical bounce", 64, 1}, &bounce},
    {{"sway", "Two-beat side-to-side sway", 128, 1}, &sway},
    {{"circle", "One-beat circular orbit", 64, 2}, &circle},
    {{"figure_eight", "Two-beat figure eight", 128, 2}, &figure_eight},
    {{"step_touch", "Two-beat side step with a small lift", 128, 2}, &step_touch},
    {{"box_step", "Four-beat softened square path", 256, 2}, &box_step},
    {{"helix", "Four-beat double-turn helix", 256, 3}, &helix},
    {{"vessa_background", "Vessa/Lumo four-beat accented background drift", 256, 2}, &vessa_background},
    {{"single_stroke_roll", "Alternating R/L strokes with smooth attack and decay", 64, 2}, &single_stroke_roll},
    {{"double_stroke_roll", "RRLL strokes with a softer second motion", 64, 2}, &double_stroke_roll},
    {{"multiple_bounce_roll", "Decaying same-hand bounce clusters", 64, 2}, &multiple_bounce_roll},
    {{"single_paradiddle", "RLRR LRLL with accented lead strokes", 128, 2}, &single_paradiddle},
    {{"flam", "Grace motion flowing into an opposite-hand primary motion", 64, 2}, &flam},
    {{"drag", "Two grace motions flowing into an opposite-hand primary motion", 64, 2}, &drag},
    {{"five_stroke_roll", "Two diddles resolving to an accented fifth motion", 128, 2}, &five_stroke_roll},
}};

std::vector<PatternInfo> build_default_listing() {
    std::vector<PatternInfo> listing;
    listing.reserve(RUDIMENTS.size());
    for (const Rudiment& r : RUDIMENTS) {
        listing.push_back(r.info);
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
    throw std::invalid_argument("Unknown trovelin: " + std::string(name));
}

}  // namespace trovelin
