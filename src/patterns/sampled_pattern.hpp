// A looping motion supplied by the caller: one position per pip of the loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/offset3.hpp"
#include "core/pip.hpp"

namespace trovelin {

inline constexpr std::size_t MAX_PATTERN_SAMPLES = 65535;

// Validated once when made and never changed afterwards: a name that passes the
// identifier rule, 1 to 65535 samples with every coordinate finite in [-1, 1],
// and `dimensions` derived from those samples.
//
// Copying is deep. Moving hands the name, description and samples to the
// target and leaves the source with empty strings and no samples; such a
// moved-from pattern may be destroyed but not sampled. There is no assignment:
// a pattern is never modified once made.
class SampledPattern {
public:
    // Throws std::invalid_argument with the first rule the input breaks.
    SampledPattern(std::string name, std::string description, std::vector<Offset3> samples);

    SampledPattern(const SampledPattern&) = default;
    SampledPattern(SampledPattern&& other) noexcept;
    SampledPattern& operator=(const SampledPattern&) = delete;
    SampledPattern& operator=(SampledPattern&&) = delete;
    ~SampledPattern() = default;

    const std::string& name() const noexcept { return name_; }
    const std::string& description() const noexcept { return description_; }
    // The loop length: one sample per pip. 0 only for a moved-from pattern.
    Pip period_pips() const noexcept { return static_cast<Pip>(samples_.size()); }
    // 3 if any sample has a non-zero z, else 2 if any has a non-zero y, else 1.
    std::uint8_t dimensions() const noexcept { return dimensions_; }

    // The stored sample at `pip` reduced onto the loop by floor modulo, bit
    // for bit. Throws std::logic_error on a moved-from pattern.
    Offset3 sample(Pip pip) const;

private:
    std::string name_;
    std::string description_;
    std::vector<Offset3> samples_;
    std::uint8_t dimensions_;
};

}  // namespace trovelin
