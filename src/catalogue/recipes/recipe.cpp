#include "recipe.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <stdexcept>

namespace trovelin::recipes {

Shape make_shape(std::string name, std::string description, int period, int dimensions,
                 const std::function<Point(int)>& row) {
    Shape s;
    s.name = std::move(name);
    s.description = std::move(description);
    s.period = period;
    s.dimensions = dimensions;
    s.rows.reserve(static_cast<std::size_t>(period));
    for (int i = 0; i < period; ++i) {
        s.rows.push_back(row(i));
    }
    return s;
}

std::string join(std::string prefix, const std::vector<int>& numbers) {
    for (int n : numbers) {
        prefix += '_';
        prefix += std::to_string(n);
    }
    return prefix;
}

std::string two_digits(int n) {
    std::string out = n < 10 ? "0" : "";
    out += std::to_string(n);
    return out;
}

double smoothstep(double u) {
    u = std::clamp(u, 0.0, 1.0);
    return (3.0 - (u + u)) * (u * u);
}

double smootherstep(double u) {
    u = std::clamp(u, 0.0, 1.0);
    return u * u * u * (u * (u * 6.0 - 15.0) + 10.0);
}

double loop_distance(double pip, double onset, double period) {
    double d = std::fmod(pip - onset, period);
    if (d <= -period / 2) {
        d += period;
    } else if (d > period / 2) {
        d -= period;
    }
    return d;
}

double pulse(double d, double half_width) {
    if (std::fabs(d) >= half_width) {
        return 0.0;
    }
    const double c = crmath::cos(PI * d / (2.0 * half_width));
    return c * c;
}

double pulse_train(double pip, const std::vector<Onset>& onsets, double half_width, double period) {
    double sum = 0.0;
    for (const Onset& o : onsets) {
        sum += o.weight * pulse(loop_distance(pip, o.pip, period), half_width);
    }
    return sum;
}

double peak_xy(const std::vector<Point>& rows, bool with_z) {
    double m = 0.0;
    for (const Point& p : rows) {
        m = std::max({m, std::fabs(p.x), std::fabs(p.y), with_z ? std::fabs(p.z) : 0.0});
    }
    return m;
}

void scale_to_peak(std::vector<Point>& rows, double peak, bool with_z) {
    const double m = peak_xy(rows, with_z);
    if (m == 0.0) {
        throw std::logic_error("cannot scale a still shape");
    }
    const double k = peak / m;
    for (Point& p : rows) {
        p.x *= k;
        p.y *= k;
        p.z *= k;
    }
}

void centre_on_range(std::vector<Point>& rows) {
    if (rows.empty()) {
        return;
    }
    Point low = rows.front();
    Point high = rows.front();
    for (const Point& p : rows) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const Point mid{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    for (Point& p : rows) {
        p.x -= mid.x;
        p.y -= mid.y;
        p.z -= mid.z;
    }
}

namespace {

void check_phases(const std::vector<std::pair<double, double>>& keys) {
    if (keys.size() < 2) {
        throw std::logic_error("a loop curve needs two keys or more");
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const double p = keys[i].first;
        if (p < 0.0 || p >= 1.0 || (i > 0 && p <= keys[i - 1].first)) {
            throw std::logic_error("key phases must increase within [0, 1)");
        }
    }
}

// Where a phase falls in a periodic key list: the segment's first key i,
// the next key j (the last segment wraps to the first key), the segment's
// length in phase and the fraction u of it already covered.
struct Segment {
    std::size_t i;
    std::size_t j;
    double length;
    double u;
};

Segment find_segment(const std::vector<std::pair<double, double>>& keys, double phase) {
    phase -= std::floor(phase);
    const std::size_t n = keys.size();
    std::size_t i = n - 1;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (phase < keys[k + 1].first) {
            i = k;
            break;
        }
    }
    if (phase < keys[0].first) {
        i = n - 1;  // before the first key: still in the segment that wraps
        phase += 1.0;
    }
    const double next = (i + 1 < n) ? keys[i + 1].first : keys[0].first + 1.0;
    const double length = next - keys[i].first;
    return {i, (i + 1) % n, length, (phase - keys[i].first) / length};
}

}  // namespace

LoopCurve::LoopCurve(std::vector<std::pair<double, double>> keys) : keys_(std::move(keys)) {
    check_phases(keys_);
    const std::size_t n = keys_.size();
    slopes_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& prev = keys_[(i + n - 1) % n];
        const auto& next = keys_[(i + 1) % n];
        double dp = next.first - prev.first;
        if (dp <= 0.0) {
            dp += 1.0;
        }
        slopes_[i] = (next.second - prev.second) / dp;
    }
}

double LoopCurve::operator()(double phase) const {
    const Segment seg = find_segment(keys_, phase);
    const double t = seg.u;
    const double v0 = keys_[seg.i].second;
    const double v1 = keys_[seg.j].second;
    const double m0 = slopes_[seg.i] * seg.length;
    const double m1 = slopes_[seg.j] * seg.length;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * v0 + (t3 - 2 * t2 + t) * m0 + (-2 * t3 + 3 * t2) * v1 + (t3 - t2) * m1;
}

EasedKeys::EasedKeys(std::vector<std::pair<double, double>> keys, bool smoother)
    : keys_(std::move(keys)), smoother_(smoother) {
    check_phases(keys_);
}

double EasedKeys::operator()(double phase) const {
    const Segment seg = find_segment(keys_, phase);
    const double s = smoother_ ? smootherstep(seg.u) : smoothstep(seg.u);
    const double v0 = keys_[seg.i].second;
    const double v1 = keys_[seg.j].second;
    return v0 + (v1 - v0) * s;
}

double hashed_unit(unsigned seed, unsigned index) {
    // splitmix64 finaliser over the pair: fixed, portable, stateless.
    std::uint64_t z = (static_cast<std::uint64_t>(seed) << 32) ^ index;
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}


// Score-driven shapes: hits summed round the loop, and strokes read from a sticking.
Point sum_hits(double pip, const std::vector<PulseHit>& hits, double period) {
    Point p;
    for (const PulseHit& h : hits) {
        const double w = pulse(loop_distance(pip, h.pip, period), h.half_width);
        if (w == 0.0) {
            continue;  // out of reach: unused axes stay exactly +0.0
        }
        p.x += h.peak.x * w;
        p.y += h.peak.y * w;
        p.z += h.peak.z * w;
    }
    return p;
}

Shape hits_shape(std::string name, std::string description, int period, int dimensions,
                 std::vector<PulseHit> hits) {
    return make_shape(std::move(name), std::move(description), period, dimensions,
                      [&](int i) { return sum_hits(i, hits, period); });
}

std::vector<PulseHit> sticking_hits(const std::string& sticking, double first, int per_beat,
                                    const StrokeStyle& style) {
    std::vector<PulseHit> hits;
    int slot = 0;
    bool lead = true;
    for (char c : sticking) {
        if (c == ' ') {
            lead = true;
            continue;
        }
        if (c != 'R' && c != 'L' && c != '-') {
            throw std::logic_error("a sticking holds only R, L, '-' and spaces");
        }
        if (c != '-') {
            const double side = c == 'R' ? 1.0 : -1.0;
            hits.push_back({first + 64.0 * slot / per_beat, style.half_width,
                            lead ? Point{side * style.accent_x, style.accent_y, 0.0}
                                 : Point{side * style.tap_x, style.tap_y, 0.0}});
        } else if (lead) {
            throw std::logic_error("a group starts with a stroke");
        }
        lead = false;
        ++slot;
    }
    return hits;
}

namespace {

LoopCurve axis_curve(const std::vector<std::pair<double, Point>>& keys, double Point::*axis) {
    std::vector<std::pair<double, double>> values;
    values.reserve(keys.size());
    for (const auto& [phase, p] : keys) {
        values.emplace_back(phase, p.*axis);
    }
    return LoopCurve(std::move(values));
}

}  // namespace

LoopPath::LoopPath(const std::vector<std::pair<double, Point>>& keys)
    : x_(axis_curve(keys, &Point::x)), y_(axis_curve(keys, &Point::y)), z_(axis_curve(keys, &Point::z)) {}

Point LoopPath::operator()(double phase) const {
    return {x_(phase), y_(phase), z_(phase)};
}

std::vector<std::pair<double, Point>> keys_by_length(const std::vector<Point>& points) {
    const std::size_t n = points.size();
    std::vector<double> along(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % n];
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double dz = b.z - a.z;
        const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(d > 0.0)) {
            throw std::logic_error("neighbouring path points must differ");
        }
        along[i + 1] = along[i] + d;
    }
    std::vector<std::pair<double, Point>> keys;
    keys.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        keys.emplace_back(along[i] / along[n], points[i]);
    }
    return keys;
}

EasedProgress::EasedProgress(std::vector<std::pair<double, double>> keys) : keys_(std::move(keys)) {
    check_phases(keys_);
    for (std::size_t i = 1; i < keys_.size(); ++i) {
        if (keys_[i].second < keys_[i - 1].second) {
            throw std::logic_error("progress must not go back");
        }
    }
    if (!(keys_.back().second < keys_.front().second + 1.0)) {
        throw std::logic_error("progress must stay within one lap");
    }
}

double EasedProgress::operator()(double time) const {
    const Segment seg = find_segment(keys_, time);
    const double p0 = keys_[seg.i].second;
    // The last key runs on to the first one a lap later.
    const double p1 = keys_[seg.j].second + (seg.j == 0 ? 1.0 : 0.0);
    const double p = p0 + (p1 - p0) * smootherstep(seg.u);
    return p >= 1.0 ? p - 1.0 : p;
}

EvenLoopPath::EvenLoopPath(const std::vector<std::pair<double, Point>>& keys, int samples) : path_(keys) {
    const std::size_t n = keys.size();
    for (std::size_t k = 0; k < n; ++k) {
        const double from = keys[k].first;
        const double to = k + 1 < n ? keys[k + 1].first : 1.0;
        key_samples_.push_back(phases_.size());
        for (int q = 0; q < samples; ++q) {
            phases_.push_back(q == 0 ? from : from + (to - from) * q / samples);
        }
    }
    phases_.push_back(1.0);
    shares_.assign(phases_.size(), 0.0);
    Point last = path_(phases_[0]);
    for (std::size_t q = 1; q < phases_.size(); ++q) {
        const Point p = path_(phases_[q]);
        const double dx = p.x - last.x;
        const double dy = p.y - last.y;
        const double dz = p.z - last.z;
        shares_[q] = shares_[q - 1] + std::sqrt(dx * dx + dy * dy + dz * dz);
        last = p;
    }
    const double total = shares_.back();
    for (double& s : shares_) {
        s /= total;
    }
    shares_.back() = 1.0;
}

Point EvenLoopPath::operator()(double progress) const {
    progress -= std::floor(progress);
    // The sample at or before this progress, and the fraction of the way on
    // to the next one.
    const auto after = std::upper_bound(shares_.begin(), shares_.end(), progress);
    const std::size_t q = static_cast<std::size_t>(after - shares_.begin()) - 1;
    const double u = (progress - shares_[q]) / (shares_[q + 1] - shares_[q]);
    return path_(phases_[q] + (phases_[q + 1] - phases_[q]) * u);
}

double EvenLoopPath::key_progress(std::size_t key) const {
    return shares_[key_samples_.at(key)];
}

// Timed moves.

namespace {

bool same_point(const Point& a, const Point& b) {
    return std::fabs(a.x - b.x) <= 1e-9 && std::fabs(a.y - b.y) <= 1e-9 && std::fabs(a.z - b.z) <= 1e-9;
}

}  // namespace

MovePath& MovePath::then(int pips, Move move) {
    if (pips <= 0) {
        throw std::logic_error("a move lasts at least one pip");
    }
    if (!moves_.empty() && !same_point(move(0.0), end())) {
        throw std::logic_error("a move must start where the path has got to");
    }
    moves_.push_back({period(), pips, std::move(move)});
    return *this;
}

MovePath& MovePath::hold(int pips) {
    const Point here = end();
    return then(pips, [here](double) { return here; });
}

Point MovePath::end() const {
    if (moves_.empty()) {
        throw std::logic_error("a path holds nowhere before its first move");
    }
    return moves_.back().move(1.0);
}

int MovePath::period() const {
    return moves_.empty() ? 0 : moves_.back().start + moves_.back().pips;
}

Point MovePath::operator()(int pip) const {
    if (moves_.empty() || !same_point(end(), moves_.front().move(0.0))) {
        throw std::logic_error("a path must end where it starts");
    }
    for (const Timed& m : moves_) {
        if (pip >= m.start && pip < m.start + m.pips) {
            return m.move(static_cast<double>(pip - m.start) / m.pips);
        }
    }
    throw std::logic_error("pip outside the path's loop");
}

MovePath::Move eased_move(Point a, Point b, Point bow) {
    return [a, b, bow](double u) {
        const double s = smootherstep(u);
        const double arc = 4.0 * s * (1.0 - s);
        return Point{a.x + (b.x - a.x) * s + arc * bow.x, a.y + (b.y - a.y) * s + arc * bow.y,
                     a.z + (b.z - a.z) * s + arc * bow.z};
    };
}

}  // namespace trovelin::recipes
