// A fixed pack of user patterns served by name beside the built-in defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/offset3.hpp"
#include "core/pattern_info.hpp"
#include "core/pip.hpp"
#include "patterns/sampled_pattern.hpp"

namespace trovelin {

inline constexpr std::size_t MAX_LIBRARY_PATTERNS = 1024;
inline constexpr std::uint64_t MAX_PACK_SAMPLES = std::uint64_t{1} << 20;

// Hash table from a name to a position in a span of patterns. It stores
// positions only, never pointers or views into the patterns, so it stays
// valid when the patterns' owner is copied or moved as a whole; the caller
// passes the same span to every call. Lookups allocate nothing.
class PatternNameIndex {
public:
    PatternNameIndex() = default;
    // Room for up to `count` names.
    explicit PatternNameIndex(std::size_t count);

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Position of the pattern called `name`, or npos.
    std::size_t find(std::span<const SampledPattern> patterns, std::string_view name) const noexcept;
    // Adds patterns[pos] under its name. Returns false, adding nothing, if a
    // pattern of the same name is there already.
    bool insert(std::span<const SampledPattern> patterns, std::size_t pos) noexcept;
    // The same over patterns held elsewhere, *patterns[pos] being the pattern.
    bool insert(std::span<const SampledPattern* const> patterns, std::size_t pos) noexcept;

private:
    template <typename NameAt>
    bool insert_name(NameAt name_at, std::size_t pos) noexcept;

    // Open addressing with linear probing; a power-of-two size at least twice
    // the room asked for, so a probe always reaches a free slot. A slot holds
    // position + 1, and 0 when free. Empty when there is nothing to index.
    std::vector<std::uint32_t> slots_;
};

// Immutable once made. Own patterns are answered first, every other name by
// the default lookup; construction guarantees no own pattern shares a name
// with a default, so each name has exactly one source.
class PatternLibrary {
public:
    // Validates the pack as a whole and keeps its patterns, in pack order,
    // except exact copies of defaults, which are dropped. Throws
    // std::invalid_argument with the first rule the pack breaks.
    explicit PatternLibrary(std::vector<SampledPattern> pack);
    // The same for a pack of patterns owned elsewhere, which must outlive the
    // call: it is validated where it lies, and only the patterns kept are
    // copied, so a refused pack costs no copy.
    explicit PatternLibrary(std::span<const SampledPattern* const> pack);

    PatternLibrary(const PatternLibrary&) = default;
    PatternLibrary(PatternLibrary&&) noexcept = default;
    PatternLibrary& operator=(const PatternLibrary&) = delete;
    PatternLibrary& operator=(PatternLibrary&&) = delete;
    ~PatternLibrary() = default;

    // The own pattern called `name` at `pip`, else the default of that name.
    // Throws std::invalid_argument "Unknown trovelin: <name>" when neither
    // exists.
    Offset3 sample(std::string_view name, Pip pip) const;

    // The default listing, then one record per own pattern in stored order.
    // The records of own patterns view this library's strings.
    std::vector<PatternInfo> catalogue() const;

    std::span<const SampledPattern> patterns() const noexcept { return own_; }

private:
    // Checks the pack against every rule, in order, without changing it, and
    // marks the patterns to keep (1) and the exact copies of defaults (0).
    static std::vector<std::uint8_t> select(std::span<const SampledPattern* const> pack);
    // Indexes own_ once it holds every kept pattern.
    void index_own();

    std::vector<SampledPattern> own_;
    PatternNameIndex index_;
};

}  // namespace trovelin
