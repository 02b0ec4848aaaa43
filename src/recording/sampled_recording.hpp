// A named multi-axis recording: one row of values per pip from a start pip on,
// placed on a clock by its tempo and beat origin. It never loops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "core/pip.hpp"

namespace trovelin {

// At most 2^23 values (64 MiB of doubles) in one recording, over all axes.
inline constexpr std::size_t MAX_RECORDING_VALUES = std::size_t{1} << 23;

// Whether `rows` rows of `axes` values each, the first at `start_pip`, stay
// within MAX_RECORDING_VALUES and leave the pip after the last row a valid
// pip. Compares by division, so rows x axes is never formed and no count,
// however large, can overflow.
constexpr bool recording_fits(std::size_t axes, std::size_t rows, Pip start_pip) noexcept {
    if (axes == 0 || axes > MAX_RECORDING_VALUES || rows == 0 || rows > MAX_RECORDING_VALUES / axes) {
        return false;
    }
    // rows <= 2^23 here, so both sides fit easily in 64 bits.
    const std::int64_t end = static_cast<std::int64_t>(start_pip) + static_cast<std::int64_t>(rows);
    return end <= std::numeric_limits<Pip>::max();
}

class SampledRecording {
public:
    // Validates everything before keeping anything, in this order: the name,
    // the tempo and beat origin, the size limits, the axis names, then the rows
    // one by one. Throws std::invalid_argument with the first fault's message.
    // `samples` is only read; its values are copied into one array.
    SampledRecording(std::string name, std::vector<std::string> dimensions,
                     const std::vector<std::vector<double>>& samples, double bpm,
                     double beat_zero_seconds = 0.0, Pip start_pip = 0);

    const std::string& name() const noexcept { return name_; }
    const std::vector<std::string>& dimensions() const noexcept { return dimensions_; }
    std::int32_t sample_count() const noexcept;
    double bpm() const noexcept { return bpm_; }
    double beat_zero_seconds() const noexcept { return beat_zero_seconds_; }
    Pip start_pip() const noexcept { return start_pip_; }

    // The row recorded at `pip`, one value per axis in axis order, as a view
    // into this recording (valid while it lives). Throws std::out_of_range
    // "Pip outside non-looping recording" for a pip outside the recording.
    std::span<const double> row(Pip pip) const;

    // The same row, copied.
    std::vector<double> sample(Pip pip) const;

private:
    std::string name_;
    std::vector<std::string> dimensions_;
    std::vector<double> values_;  // row-major: axis a of row r at r * axes + a
    double bpm_;
    double beat_zero_seconds_;
    Pip start_pip_;
};

}  // namespace trovelin
