#include "patterns/pattern_library.hpp"

#include <bit>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "rudiments/registry.hpp"

namespace trovelin {

PatternNameIndex::PatternNameIndex(std::size_t count) {
    if (count == 0) {
        return;
    }
    // Positions are stored as position + 1 in 32 bits.
    if (count > (std::size_t{1} << 30)) {
        throw std::length_error("Too many names to index");
    }
    slots_.assign(std::bit_ceil(count * 2), 0);
}

std::size_t PatternNameIndex::find(std::span<const SampledPattern> patterns, std::string_view name) const noexcept {
    if (slots_.empty()) {
        return npos;
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = std::hash<std::string_view>{}(name) & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = slots_[i];
        if (slot == 0) {
            return npos;
        }
        const std::size_t pos = slot - 1;
        if (patterns[pos].name() == name) {
            return pos;
        }
    }
}

template <typename NameAt>
bool PatternNameIndex::insert_name(NameAt name_at, std::size_t pos) noexcept {
    const std::string_view name = name_at(pos);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = std::hash<std::string_view>{}(name) & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = slots_[i];
        if (slot == 0) {
            slots_[i] = static_cast<std::uint32_t>(pos + 1);
            return true;
        }
        if (name_at(slot - 1) == name) {
            return false;
        }
    }
}

bool PatternNameIndex::insert(std::span<const SampledPattern> patterns, std::size_t pos) noexcept {
    return insert_name([patterns](std::size_t i) -> std::string_view { return patterns[i].name(); }, pos);
}

bool PatternNameIndex::insert(std::span<const SampledPattern* const> patterns, std::size_t pos) noexcept {
    return insert_name([patterns](std::size_t i) -> std::string_view { return patterns[i]->name(); }, pos);
}

namespace {

// The default listing record called `name`, first to last; string_view
// equality compares the lengths before the bytes.
const PatternInfo* find_default(const std::vector<PatternInfo>& defaults, std::string_view name) noexcept {
    for (const PatternInfo& d : defaults) {
        if (d.name == name) {
            return &d;
        }
    }
    return nullptr;
}

// True when `p` gives exactly what the default `d` gives: the same
// description, the same loop length and, pip by pip, equal coordinates.
// Coordinates compare as numbers, so -0.0 matches 0.0.
bool is_copy_of_default(const SampledPattern& p, const PatternInfo& d) {
    if (p.description() != d.description || p.period_pips() != Pip{d.period_pips}) {
        return false;
    }
    for (Pip i = 0; i < p.period_pips(); ++i) {
        const Offset3 mine = p.sample(i);
        const Offset3 theirs = trovelin::sample(d.name, i);
        if (mine.x != theirs.x || mine.y != theirs.y || mine.z != theirs.z) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> PatternLibrary::select(std::span<const SampledPattern* const> pack) {
    if (pack.size() > MAX_LIBRARY_PATTERNS) {
        throw std::invalid_argument("Too many patterns");
    }
    const std::vector<PatternInfo>& defaults = default_pattern_infos();

    // Every rule, pattern by pattern in pack order, so the first failure is
    // the one reported.
    PatternNameIndex seen(pack.size());
    std::vector<std::uint8_t> keep(pack.size(), 0);
    std::uint64_t total_samples = 0;
    for (std::size_t i = 0; i < pack.size(); ++i) {
        const SampledPattern& p = *pack[i];
        if (p.period_pips() == 0) {
            throw std::invalid_argument("Empty/moved-from pattern");
        }
        if (!seen.insert(pack, i)) {
            throw std::invalid_argument("Duplicate pattern name: " + p.name());
        }
        total_samples += static_cast<std::uint64_t>(p.period_pips());
        if (total_samples > MAX_PACK_SAMPLES) {
            throw std::invalid_argument("Pattern pack is too large");
        }
        if (const PatternInfo* d = find_default(defaults, p.name())) {
            if (!is_copy_of_default(p, *d)) {
                throw std::invalid_argument("Cannot override default pattern: " + p.name());
            }
            continue;  // an exact copy: the default answers for it
        }
        keep[i] = 1;
    }
    return keep;
}

void PatternLibrary::index_own() {
    index_ = PatternNameIndex(own_.size());
    for (std::size_t pos = 0; pos < own_.size(); ++pos) {
        index_.insert(own_, pos);
    }
}

namespace {

std::size_t count_kept(const std::vector<std::uint8_t>& keep) {
    std::size_t kept = 0;
    for (std::uint8_t k : keep) {
        kept += k;
    }
    return kept;
}

}  // namespace

PatternLibrary::PatternLibrary(std::vector<SampledPattern> pack) {
    if (pack.size() > MAX_LIBRARY_PATTERNS) {
        throw std::invalid_argument("Too many patterns");
    }
    std::vector<const SampledPattern*> refs(pack.size());
    for (std::size_t i = 0; i < pack.size(); ++i) {
        refs[i] = &pack[i];
    }
    const std::vector<std::uint8_t> keep = select(refs);
    // Nothing below can fail but an allocation.
    own_.reserve(count_kept(keep));
    for (std::size_t i = 0; i < pack.size(); ++i) {
        if (keep[i] != 0) {
            own_.push_back(std::move(pack[i]));
        }
    }
    index_own();
}

PatternLibrary::PatternLibrary(std::span<const SampledPattern* const> pack) {
    const std::vector<std::uint8_t> keep = select(pack);
    own_.reserve(count_kept(keep));
    for (std::size_t i = 0; i < pack.size(); ++i) {
        if (keep[i] != 0) {
            own_.push_back(*pack[i]);
        }
    }
    index_own();
}

Offset3 PatternLibrary::sample(std::string_view name, Pip pip) const {
    const std::size_t pos = index_.find(own_, name);
    if (pos != PatternNameIndex::npos) {
        return own_[pos].sample(pip);
    }
    return trovelin::sample(name, pip);
}

std::vector<PatternInfo> PatternLibrary::catalogue() const {
    const std::vector<PatternInfo>& defaults = default_pattern_infos();
    std::vector<PatternInfo> listing;
    listing.reserve(defaults.size() + own_.size());
    listing.insert(listing.end(), defaults.begin(), defaults.end());
    for (const SampledPattern& p : own_) {
        // At most 65535 samples, so the loop length fits.
        listing.push_back({p.name(), p.description(), static_cast<std::uint16_t>(p.period_pips()), p.dimensions()});
    }
    return listing;
}

}  // namespace trovelin
