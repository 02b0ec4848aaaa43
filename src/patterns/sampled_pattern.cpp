#include "patterns/sampled_pattern.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/identifier.hpp"

namespace trovelin {
namespace {

bool is_unit_coordinate(double v) noexcept {
    return std::isfinite(v) && v >= -1.0 && v <= 1.0;
}

}  // namespace

SampledPattern::SampledPattern(std::string name, std::string description, std::vector<Offset3> samples)
    : name_(std::move(name)), description_(std::move(description)), samples_(std::move(samples)), dimensions_(1) {
    if (!is_identifier(name_)) {
        throw std::invalid_argument("Invalid pattern name");
    }
    if (samples_.empty() || samples_.size() > MAX_PATTERN_SAMPLES) {
        throw std::invalid_argument("A pattern requires 1..65535 samples (one per pip)");
    }
    for (const Offset3& s : samples_) {
        if (!is_unit_coordinate(s.x) || !is_unit_coordinate(s.y) || !is_unit_coordinate(s.z)) {
            throw std::invalid_argument("Pattern samples must be finite and within [-1, 1]");
        }
        // Numeric comparisons: -0.0 counts as zero.
        if (s.z != 0.0) {
            dimensions_ = 3;
        } else if (s.y != 0.0 && dimensions_ != 3) {
            dimensions_ = 2;
        }
    }
}

// std::exchange rather than a plain move: the standard library promises only
// that a moved-from std::string is still usable, not that it is empty, and the
// source must be left empty.
SampledPattern::SampledPattern(SampledPattern&& other) noexcept
    : name_(std::exchange(other.name_, std::string())),
      description_(std::exchange(other.description_, std::string())),
      samples_(std::exchange(other.samples_, std::vector<Offset3>())),
      dimensions_(other.dimensions_) {}

Offset3 SampledPattern::sample(Pip pip) const {
    if (samples_.empty()) {
        throw std::logic_error("Cannot sample a moved-from pattern");
    }
    return samples_[static_cast<std::size_t>(floor_mod(pip, period_pips()))];
}

}  // namespace trovelin
