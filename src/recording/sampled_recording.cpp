#include "recording/sampled_recording.hpp"

#include <cmath>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "core/identifier.hpp"

namespace trovelin {

namespace {

void require_identifier(std::string_view text) {
    if (!is_identifier(text)) {
        throw std::invalid_argument("Invalid identifier");
    }
}

// A tempo is usable when it is finite and positive and both a beat and a pip
// last a finite, positive number of seconds: a positive bpm below about 3e-307
// makes 60 / bpm overflow to infinity.
bool valid_clock(double bpm, double beat_zero_seconds) noexcept {
    if (!std::isfinite(bpm) || bpm <= 0.0) {
        return false;
    }
    const double seconds_per_beat = 60.0 / bpm;
    if (!std::isfinite(seconds_per_beat)) {
        return false;
    }
    const double seconds_per_pip = seconds_per_beat * 0.015625;  // 1 / PIPS_PER_BEAT
    if (seconds_per_pip <= 0.0) {
        return false;
    }
    return std::isfinite(beat_zero_seconds);
}

// |v| <= 1 is false for NaN and for both infinities, so this one comparison
// also requires the value to be finite. -0.0 passes.
bool valid_sample(double v) noexcept {
    return std::fabs(v) <= 1.0;
}

}  // namespace

SampledRecording::SampledRecording(std::string name, std::vector<std::string> dimensions,
                                   const std::vector<std::vector<double>>& samples, double bpm,
                                   double beat_zero_seconds, Pip start_pip)
    : name_(std::move(name)),
      dimensions_(std::move(dimensions)),
      bpm_(bpm),
      beat_zero_seconds_(beat_zero_seconds),
      start_pip_(start_pip) {
    require_identifier(name_);

    if (!valid_clock(bpm_, beat_zero_seconds_)) {
        throw std::invalid_argument("A finite positive BPM and beat origin are required");
    }

    // Sizes are settled by counting rows and axes alone, before anything is
    // allocated; rows whose length is wrong are caught further down.
    const std::size_t axes = dimensions_.size();
    const std::size_t rows = samples.size();
    if (!recording_fits(axes, rows, start_pip_)) {
        throw std::invalid_argument("Empty recording or recording resource limit exceeded");
    }

    {
        // Views into dimensions_, which stays put while the set lives.
        std::unordered_set<std::string_view> seen;
        seen.reserve(axes);
        for (const std::string& axis : dimensions_) {
            require_identifier(axis);
            if (!seen.insert(axis).second) {
                throw std::invalid_argument("Duplicate axis");
            }
        }
    }

    values_.reserve(rows * axes);  // within MAX_RECORDING_VALUES, checked above
    for (const std::vector<double>& row : samples) {
        if (row.size() != axes) {
            throw std::invalid_argument("Ragged recording");
        }
        for (double v : row) {
            if (!valid_sample(v)) {
                throw std::invalid_argument("Invalid sample");
            }
        }
        values_.insert(values_.end(), row.begin(), row.end());
    }
}

std::int32_t SampledRecording::sample_count() const noexcept {
    // A moved-from recording has no axes left: it holds no rows.
    const std::size_t axes = dimensions_.size();
    return axes == 0 ? 0 : static_cast<std::int32_t>(values_.size() / axes);
}

std::span<const double> SampledRecording::row(Pip pip) const {
    // The offset is taken in 64 bits: from INT32_MIN to INT32_MAX it is 2^32 - 1.
    const std::int64_t offset = static_cast<std::int64_t>(pip) - static_cast<std::int64_t>(start_pip_);
    if (offset < 0 || offset >= static_cast<std::int64_t>(sample_count())) {
        throw std::out_of_range("Pip outside non-looping recording");
    }
    const std::size_t axes = dimensions_.size();
    return std::span<const double>(values_).subspan(static_cast<std::size_t>(offset) * axes, axes);
}

std::vector<double> SampledRecording::sample(Pip pip) const {
    const std::span<const double> values = row(pip);
    return std::vector<double>(values.begin(), values.end());
}

}  // namespace trovelin
