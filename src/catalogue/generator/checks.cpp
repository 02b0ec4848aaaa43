#include "catalogue/generator/checks.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <sstream>
#include <string>
#include <vector>

#include "core/identifier.hpp"
#include "rudiments/rudiment_infos.hpp"

namespace trovelin::generator {

using recipes::Point;
using recipes::Shape;

namespace {

bool is_positive_zero(double v) {
    return v == 0.0 && !std::signbit(v);
}

// Printable ASCII plus the em dash and the en dash, UTF-8 encoded.
void check_description(const std::string& d) {
    if (d.size() < 43 || d.size() > 235) {
        throw Refusal("description is " + std::to_string(d.size()) + " bytes, outside 43..235");
    }
    for (std::size_t i = 0; i < d.size(); ++i) {
        const auto c = static_cast<unsigned char>(d[i]);
        if (c >= 0x20 && c < 0x7f) {
            continue;
        }
        if (c == 0xe2 && i + 2 < d.size() && static_cast<unsigned char>(d[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(d[i + 2]) == 0x93 || static_cast<unsigned char>(d[i + 2]) == 0x94)) {
            i += 2;
            continue;
        }
        throw Refusal("description holds a byte outside ASCII and the two dashes at " + std::to_string(i));
    }
}

// The numbers after the family prefix: "meter_2_3_2" gives {2, 3, 2}.
std::vector<int> name_numbers(const std::string& name) {
    std::vector<int> numbers;
    std::stringstream parts(name.substr(name.find('_') + 1));
    std::string part;
    while (std::getline(parts, part, '_')) {
        int n = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), n);
        if (error != std::errc() || end != part.data() + part.size() || n <= 0) {
            throw Refusal("name should count eighth notes but holds '" + part + "'");
        }
        numbers.push_back(n);
    }
    return numbers;
}

// Loops whose names count them: eighth-note groups, or k onsets over n eighths.
void check_named_period(const Shape& s) {
    int eighths = 0;
    if (s.name.starts_with("meter_") || s.name.starts_with("dialogue_")) {
        for (int n : name_numbers(s.name)) {
            eighths += n;
        }
    } else if (s.name.starts_with("euclid_")) {
        eighths = name_numbers(s.name).back();
    } else {
        return;
    }
    if (s.period != eighths * trovelin::recipes::EIGHTH) {
        throw Refusal("its name counts " + std::to_string(eighths) + " eighth notes but the loop is " +
                      std::to_string(s.period) + " pips");
    }
}

}  // namespace

// Rounds through decimal text so the stored double is the one nearest the
// 12-decimal value (arithmetic scaling by 1e12 can land an ulp away). The
// sign of a rounded zero is dropped: a table holds +0.0 only.
double round12(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12f", v);
    const double r = std::strtod(text, nullptr);
    return r == 0.0 ? 0.0 : r;
}

void check_shape(const Shape& s) {
    const std::string_view name = s.name;
    if (!trovelin::is_identifier(name) || name.size() < 8 || name.size() > 32) {
        throw Refusal("name is not 8 to 32 lower-case letters, digits and underscores");
    }
    for (const auto& r : trovelin::RUDIMENT_INFOS) {
        if (r.name == name) {
            throw Refusal("name is taken by a rudiment");
        }
    }
    check_description(s.description);
    if (s.period < 32 || s.period > 65535 || s.period % 32 != 0) {
        throw Refusal("loop of " + std::to_string(s.period) + " pips is not a whole number of eighth notes");
    }
    check_named_period(s);
    if (s.rows.size() != static_cast<std::size_t>(s.period)) {
        throw Refusal("has " + std::to_string(s.rows.size()) + " rows for a loop of " + std::to_string(s.period));
    }
    if (s.dimensions < 1 || s.dimensions > 3 || (s.y_only && s.dimensions != 2)) {
        throw Refusal("dimensions must be 1, 2 or 3 (y-only shapes are 2)");
    }
    double low[3] = {INFINITY, INFINITY, INFINITY};
    double high[3] = {-INFINITY, -INFINITY, -INFINITY};
    double max_step = 0.0;
    for (std::size_t i = 0; i < s.rows.size(); ++i) {
        const Point& p = s.rows[i];
        const Point& next = s.rows[(i + 1) % s.rows.size()];
        const double v[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            if (!std::isfinite(v[a]) || v[a] < -1.0 || v[a] > 1.0) {
                throw Refusal("row " + std::to_string(i) + " leaves [-1, 1] or is not finite");
            }
            const bool unused = a >= s.dimensions || (a == 0 && s.y_only);
            if (unused && !is_positive_zero(v[a])) {
                throw Refusal("row " + std::to_string(i) + " moves axis " + "xyz"[a] + ", which the entry does not use");
            }
            low[a] = std::min(low[a], v[a]);
            high[a] = std::max(high[a], v[a]);
        }
        max_step = std::max({max_step, std::fabs(next.x - p.x), std::fabs(next.y - p.y), std::fabs(next.z - p.z)});
    }
    for (int a = s.y_only ? 1 : 0; a < s.dimensions; ++a) {
        if (!(high[a] > low[a])) {
            throw Refusal(std::string("axis ") + "xyz"[a] + " never moves");
        }
    }
    if (max_step > s.max_step) {
        throw Refusal("jumps by " + std::to_string(max_step) + " between neighbouring pips (allowed " +
                      std::to_string(s.max_step) + ")");
    }
}

}  // namespace trovelin::generator
