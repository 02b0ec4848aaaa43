// The sixteen gestures as renderers over a score.
//
// Every gesture is built from the score's lanes in the same few ways: a
// peak-aligned pulse on each onset (weighted by its velocity, or by its
// presence where every lane has its own say, so that ghosts show), an eased
// line through a lane's strokes, a swell through each bass note while it
// sounds, a causal response or tremor that starts on an onset, and a phase
// whose speed rises at events. Every lane a style has shapes every gesture.
// Each is computed once per shape as a track (one value per pip of the
// loop), by visiting only the pips each onset reaches. Pulses and responses
// wrap around the loop, so every track is periodic and the seam is like any
// other step.
#include "beat/gestures.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace trovelin::recipes::beat {
namespace {

using Rows = std::vector<Point>;
using Track = std::vector<double>;  // one value per pip of the loop

// Every gesture is scaled so that its largest coordinate is this.
constexpr double PEAK = 0.86;

int wrap(int i, int period) {
    const int r = i % period;
    return r < 0 ? r + period : r;
}

// For each onset k, adds weight(k) * f(k, d) at every whole pip i whose offset
// d = i - onset lies in [from, to], around the loop. A reach longer than the
// loop wraps again: what an onset set going in earlier loops still adds.
template <class F>
Track spread(int period, const std::vector<Onset>& onsets, double from, double to, F f) {
    Track t(static_cast<std::size_t>(period), 0.0);
    for (std::size_t k = 0; k < onsets.size(); ++k) {
        const Onset& o = onsets[k];
        const int first = static_cast<int>(std::ceil(o.pip + from));
        const int last = static_cast<int>(std::floor(o.pip + to));
        for (int i = first; i <= last; ++i) {
            t[static_cast<std::size_t>(wrap(i, period))] += o.weight * f(k, i - o.pip);
        }
    }
    return t;
}

// A peak-aligned pulse of half-width w on every onset (the kit's pulse train,
// sampled at every pip of the loop).
Track pulses(int period, const std::vector<Onset>& onsets, double w) {
    return spread(period, onsets, -w, w, [w](std::size_t, double d) { return pulse(d, w); });
}

// A swell after every onset: rising from rest on the onset itself and back to
// rest w pips later (sin^2 of pi d / w), weighted by the onset. Nothing moves
// before the onset that causes it.
Track swells(int period, const std::vector<Onset>& onsets, double w) {
    return spread(period, onsets, 0.0, w, [w](std::size_t, double d) {
        const double r = crmath::sin(PI * d / w);
        return r * r;
    });
}

// A reaction to an event that lasts 2w pips, as a peak-aligned pulse of
// half-width w does, but begins on the event: at rest there (no displacement
// and no speed), out to its fullest two fifths of the way through (sin^2 of
// pi d / 2 rise) and back to rest over the rest of it (cos^2).
double reaction(double d, double w) {
    const double rise = 0.8 * w;
    if (d <= 0.0 || d >= 2.0 * w) {
        return 0.0;
    }
    const double r = d < rise ? crmath::sin(HALF_PI * d / rise) : crmath::cos(HALF_PI * (d - rise) / (2.0 * w - rise));
    return r * r;
}

// A reaction (see reaction) to every onset, weighted by it: nothing moves
// before the onset that causes it.
Track reactions(int period, const std::vector<Onset>& onsets, double w) {
    return spread(period, onsets, 0.0, 2.0 * w, [w](std::size_t, double d) { return reaction(d, w); });
}

// Peak-aligned pulses of half-width at most w that never run into each
// other: each side of an onset's pulse reaches at most halfway to the onset
// on that side, so hits close together (a ghost kick just before a main one)
// read as separate strokes, each with its peak on its own onset.
Track separate(int period, const std::vector<Onset>& onsets, double w) {
    Track t(static_cast<std::size_t>(period), 0.0);
    const std::size_t n = onsets.size();
    for (std::size_t k = 0; k < n; ++k) {
        const Onset& o = onsets[k];
        double before = w;
        double after = w;
        if (n > 1) {
            const double gap_before = o.pip - onsets[(k + n - 1) % n].pip;
            const double gap_after = onsets[(k + 1) % n].pip - o.pip;
            before = std::min(w, 0.5 * (gap_before <= 0.0 ? gap_before + period : gap_before));
            after = std::min(w, 0.5 * (gap_after <= 0.0 ? gap_after + period : gap_after));
        }
        const int first = static_cast<int>(std::ceil(o.pip - before));
        const int last = static_cast<int>(std::floor(o.pip + after));
        for (int i = first; i <= last; ++i) {
            const double d = i - o.pip;
            t[static_cast<std::size_t>(wrap(i, period))] += o.weight * (d < 0.0 ? pulse(d, before) : pulse(d, after));
        }
    }
    return t;
}

// A line through (pip, value) keys, eased (smoothstep) from each key to the
// next so it comes to rest at every key, around the loop: keys in time order,
// spanning less than one loop from the first; after the last it eases back
// to the first, one loop on.
Track eased_line(int period, std::vector<std::pair<double, double>> keys) {
    Track t(static_cast<std::size_t>(period), 0.0);
    if (keys.empty()) {
        return t;
    }
    const double start = keys.front().first;
    keys.push_back({start + period, keys.front().second});
    for (int i = 0; i < period; ++i) {
        double at = i;  // the pip, moved into [start, start + period)
        while (at < start) {
            at += period;
        }
        while (at >= start + period) {
            at -= period;
        }
        const auto next = std::upper_bound(keys.begin(), keys.end(), at,
                                           [](double a, const std::pair<double, double>& k) { return a < k.first; });
        const auto& [p1, v1] = *next;
        const auto& [p0, v0] = *(next - 1);
        t[static_cast<std::size_t>(i)] = v0 + (v1 - v0) * smoothstep((at - p0) / (p1 - p0));
    }
    return t;
}

// Where a stroke's line comes back to between two strokes `gap` pips apart
// at values a and b of the same sign, and when: at rest if they are 2w or
// more apart, otherwise part of the way (the closer, the less), turning where
// both sides move at the same rate.
std::pair<double, double> recovery(double a, double b, double gap, double w) {
    const double low = std::fabs(a) < std::fabs(b) ? a : b;
    const double r = low * (1.0 - gap / (2.0 * w));
    return {gap * (a - r) / ((a - r) + (b - r)), r};
}

// Where the line of dips turns back between two strokes `gap` pips apart
// with weights a and b (both positive), when they are closer than 2w: part
// of the way back to rest (the closer, the less), and no further than the
// line can go and come again without bending harder than `most` (the
// greatest change of speed a pip allowed, for a smoothstep 6 d / t^2). The
// turn splits the gap so that both sides bend alike, which puts it near the
// quieter stroke: a ghost just before a main stroke turns back soon and
// leaves the main one room to build. Strokes too unlike for any turn within
// that bend get none (the line runs straight from one to the other).
std::pair<double, double> dip_recovery(double a, double b, double gap, double w, double most) {
    const double low = std::min(a, b);
    const double c = gap * std::sqrt(most / 6.0);  // sqrt(a - r) + sqrt(b - r) may reach this
    double r = low * (1.0 - gap / (2.0 * w));
    if (std::sqrt(a - r) + std::sqrt(b - r) > c) {
        if (std::fabs(a - b) >= c * c) {
            return {-1.0, low};
        }
        const double root = 0.5 * (c + (a - b) / c);  // sqrt(a - r) at the bend allowed
        r = a - root * root;
    }
    const double pa = std::sqrt(a - r);
    return {gap * pa / (pa + std::sqrt(b - r)), r};
}

// How far down a line of strokes is at every pip: exactly each stroke's
// weight on its own pip, at rest (0) from w pips after a stroke until w pips
// before the next, eased between. Strokes closer than 2w share the gap (see
// dip_recovery), so a ghost just before a main stroke reads as its own
// small dip, the main one still bottoms out on its own pip, and the line
// bends between them no harder than a little more than it does into the
// loudest stroke from rest.
Track dips(int period, const std::vector<Onset>& strokes, double w) {
    double loudest = 0.0;
    for (const Onset& o : strokes) {
        loudest = std::max(loudest, o.weight);
    }
    const double most = 1.3 * 6.0 * loudest / (w * w);
    std::vector<std::pair<double, double>> keys;
    const std::size_t n = strokes.size();
    for (std::size_t k = 0; k < n; ++k) {
        const double here = strokes[k].pip;
        const double next = k + 1 < n ? strokes[k + 1].pip : strokes[0].pip + period;
        const double v = strokes[k].weight;
        const double gap = next - here;
        keys.push_back({here, v});
        if (gap >= 2.0 * w) {
            keys.push_back({here + w, 0.0});
            if (gap > 2.0 * w) {
                keys.push_back({next - w, 0.0});
            }
        } else {
            const auto [at, r] = dip_recovery(v, strokes[(k + 1) % n].weight, gap, w, most);
            if (at > 0.0) {
                keys.push_back({here + at, r});
            }
        }
    }
    return eased_line(period, keys);
}

double largest(const Track& t) {
    double m = 0.0;
    for (double v : t) {
        m = std::max(m, std::fabs(v));
    }
    return m;
}

// The track divided by its largest magnitude (a silent track stays silent).
Track unit(Track t) {
    const double m = largest(t);
    if (m > 0.0) {
        for (double& v : t) {
            v /= m;
        }
    }
    return t;
}

// a * p, pip by pip.
Track times(double a, Track p) {
    for (double& v : p) {
        v *= a;
    }
    return p;
}

// a * p + b * q, pip by pip.
Track mix(double a, const Track& p, double b, const Track& q) {
    Track t(p.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        t[i] = a * p[i] + b * q[i];
    }
    return t;
}

// Pips by which a phase's hurry trails the events that drive it: a hit is
// answered a moment after it lands (and the fastest step of a loop whose
// loudest event is on pip 0 falls just after the seam, not across it).
constexpr int ANSWER = 4;

// Turns completed at every pip by a phase whose speed is 1 + drive, ANSWER
// pips late: events hurry it on. Pip i's speed is shared half before and
// half after it, and the loop holds exactly `turns` turns, so the phase
// meets itself across the seam.
Track event_phase(const Track& drive, double turns) {
    double total = 0.0;
    for (double d : drive) {
        total += 1.0 + d;
    }
    const int n = static_cast<int>(drive.size());
    Track phase(drive.size());
    double run = 0.0;
    for (int i = 0; i < n; ++i) {
        const double speed = 1.0 + drive[static_cast<std::size_t>(wrap(i - ANSWER, n))];
        phase[static_cast<std::size_t>(i)] = turns * (run + 0.5 * speed) / total;
        run += speed;
    }
    return phase;
}

// A phase track of `turns` turns read between pips, straight-line between
// the neighbouring pips (across the seam the phase carries on into the next
// loop).
double phase_at(const Track& phase, double turns, double pip) {
    const int n = static_cast<int>(phase.size());
    const double below = std::floor(pip);
    const int i = wrap(static_cast<int>(below), n);
    const double here = phase[static_cast<std::size_t>(i)];
    const double next = i + 1 < n ? phase[static_cast<std::size_t>(i + 1)] : phase[0] + turns;
    return here + (pip - below) * (next - here);
}

// A trill or roll in the hat lane: four hits or more, evenly spaced and
// closer together than three quarters of the lane's usual gap (see trills). Its hits
// would blur into each other as ordinary hats (pulses that overlap, flicks
// that join), so a gesture plays them as one tremor instead (see
// trill_tremors).
struct Trill {
    double start;    // pip of its first hit
    double spacing;  // pips from one hit to the next
    int hits;
};

constexpr int TRILL_HITS = 4;

std::vector<Trill> trills(std::vector<Hit> lane) {
    std::vector<Trill> found;
    std::stable_sort(lane.begin(), lane.end(), [](const Hit& a, const Hit& b) { return a.pip < b.pip; });
    const std::size_t n = lane.size();
    if (n < static_cast<std::size_t>(TRILL_HITS)) {
        return found;
    }
    std::vector<double> gaps;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        gaps.push_back(lane[k + 1].pip - lane[k].pip);
    }
    // the lane's usual gap: its upper quartile, which trills (however long)
    // leave alone
    std::vector<double> sorted = gaps;
    const std::size_t usual = 3 * sorted.size() / 4;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(usual), sorted.end());
    const double close = 0.75 * sorted[usual];
    for (std::size_t k = 0; k < gaps.size();) {
        std::size_t end = k;  // gaps k .. end - 1 are alike and close
        while (end < gaps.size() && gaps[end] < close && std::fabs(gaps[end] - gaps[k]) < 0.01) {
            ++end;
        }
        if (end - k + 1 >= static_cast<std::size_t>(TRILL_HITS)) {
            found.push_back({lane[k].pip, gaps[k], static_cast<int>(end - k + 1)});
            k = end;
        } else {
            ++k;
        }
    }
    return found;
}

// A lane without the hits of its trills but the last, where the tremor
// comes to rest and the lane goes on as before.
std::vector<Hit> without_trills(const std::vector<Hit>& lane, const std::vector<Trill>& found) {
    std::vector<Hit> out;
    for (const Hit& h : lane) {
        const bool in_trill = std::any_of(found.begin(), found.end(), [&h](const Trill& t) {
            return h.pip > t.start - 0.01 && h.pip < t.start + (t.hits - 1) * t.spacing - 0.01;
        });
        if (!in_trill) {
            out.push_back(h);
        }
    }
    return out;
}

// The score's lanes as onsets weighted by velocity.
struct Lanes {
    int period;
    std::vector<Onset> kick, snare, hat, perc, bass;
    std::vector<Onset> shaker;    // hat-lane voices other than the main hat
    std::vector<Onset> hats;      // the main hat voice
    std::vector<Onset> rims;      // snare-lane voices other than the main snare
    std::vector<Onset> backbeat;  // the snares, or the percussion in a style without snares
    std::vector<Trill> hat_trills;  // played as tremors, their hits left out of the hat lanes

    explicit Lanes(const Score& s) : period(s.period), hat_trills(trills(s.hat)) {
        auto take = [](const std::vector<Hit>& lane) {
            std::vector<Onset> o;
            for (const Hit& h : lane) {
                o.push_back({h.pip, h.velocity});
            }
            return o;
        };
        const std::vector<Hit> plain_hats = without_trills(s.hat, hat_trills);
        kick = take(s.kick);
        snare = take(s.snare);
        hat = take(plain_hats);
        perc = take(s.perc);
        bass = take(s.bass);
        for (const Hit& h : plain_hats) {
            (h.voice == 0 ? hats : shaker).push_back({h.pip, h.velocity});
        }
        for (const Hit& h : s.snare) {
            if (h.voice != 0) {
                rims.push_back({h.pip, h.velocity});
            }
        }
        backbeat = snare.empty() ? perc : snare;
    }

    Track pulses(const std::vector<Onset>& lane, double w) const {
        return beat::pulses(period, lane, w);
    }
};

// How much each lane counts where a gesture weighs every event together.
struct LaneGains {
    double kick, snare, hat, perc, bass;
};
constexpr LaneGains EVERY_EVENT{1.0, 0.85, 0.4, 0.65, 0.5};

// The lanes' onsets in time order, each weighted by its velocity times its
// lane's gain.
std::vector<Onset> events(const Lanes& l, const LaneGains& g) {
    std::vector<Onset> all;
    auto add = [&all](const std::vector<Onset>& lane, double gain) {
        for (const Onset& o : lane) {
            if (gain == 0.0) {
                break;  // a lane left out
            }
            all.push_back({o.pip, o.weight * gain});
        }
    };
    add(l.kick, g.kick);
    add(l.snare, g.snare);
    add(l.hat, g.hat);
    add(l.perc, g.perc);
    add(l.bass, g.bass);
    std::stable_sort(all.begin(), all.end(), [](const Onset& a, const Onset& b) { return a.pip < b.pip; });
    return all;
}

// Onsets closer than `within` pips to the one before them join its stroke:
// one stroke where the loudest of them lands (the first of equals), as loud
// as the loudest (or, with `add`, as all of them together).
std::vector<Onset> strokes(const std::vector<Onset>& in_order, double within, bool add = false) {
    std::vector<Onset> out;
    double last = 0.0;
    double loudest = 0.0;
    for (const Onset& o : in_order) {
        if (!out.empty() && o.pip - last < within) {
            if (o.weight > loudest) {
                out.back().pip = o.pip;
                loudest = o.weight;
            }
            out.back().weight = add ? out.back().weight + o.weight : loudest;
            last = o.pip;
        } else {
            out.push_back(o);
            loudest = o.weight;
            last = o.pip;
        }
    }
    return out;
}

// Hits at least this loud are a lane's main notes; quieter ones are ghosts.
constexpr double MAIN = 0.5;

bool is_main(const Onset& o) {
    return o.weight >= MAIN;
}

// How strongly a hit shows in a gesture that carries every lane: its
// velocity, with quiet notes lifted (a ghost at 0.3 shows at 0.55) so that
// ghosts read as well as count. A signed weight keeps its sign.
double presence(double velocity) {
    return velocity < 0.0 ? -std::sqrt(-velocity) : std::sqrt(velocity);
}

std::vector<Onset> presences(std::vector<Onset> lane) {
    for (Onset& o : lane) {
        o.weight = presence(o.weight);
    }
    return lane;
}

// Signs alternating over a lane's main notes: the first +, the second -, ...
// A ghost leans against the main note before it (around the loop), so the
// mains keep their signs whether or not ghosts come between them. A lane of
// ghosts alone alternates ghost by ghost.
std::vector<Onset> alternating(std::vector<Onset> o) {
    const auto mains = std::count_if(o.begin(), o.end(), is_main);
    const bool any_main = mains > 0;
    // ghosts before the first main lean against the last main of the loop
    double last = mains % 2 == 1 ? 1.0 : -1.0;
    double sign = 1.0;
    for (Onset& h : o) {
        if (!any_main || is_main(h)) {
            h.weight *= sign;
            last = sign;
            sign = -sign;
        } else {
            h.weight *= -last;
        }
    }
    return o;
}

// The low end as notes with lengths: the bass lane, or, in a style without
// one, its kicks, each sounding until the next kick (a sixteenth at least,
// a beat at most).
struct Note {
    double pip;
    double weight;
    double length;
};

std::vector<Note> bass_notes(const Score& s) {
    std::vector<Note> notes;
    for (const Hit& h : s.bass) {
        notes.push_back({h.pip, h.velocity, h.length});
    }
    return notes;
}

std::vector<Note> low_end(const Score& s) {
    std::vector<Note> notes = bass_notes(s);
    if (notes.empty()) {
        for (std::size_t k = 0; k < s.kick.size(); ++k) {
            const double next = k + 1 < s.kick.size() ? s.kick[k + 1].pip : s.kick[0].pip + s.period;
            notes.push_back({s.kick[k].pip, s.kick[k].velocity, std::clamp(next - s.kick[k].pip, 16.0, 64.0)});
        }
    }
    return notes;
}

// A swell through each note while it sounds: from rest at its onset out to its
// fullest halfway through and back to rest as it ends (sin^2 of pi u, u the
// share of the note gone), as far as the note is loud and, for notes shorter
// than a beat, its share of a beat raised to `by_length` (the square root
// unless a gesture says otherwise); a note shorter than a sixteenth swells
// over a sixteenth.
Track note_swells(int period, const std::vector<Note>& notes, double by_length = 0.5) {
    std::vector<Onset> onsets;
    for (const Note& n : notes) {
        const double share = std::min(1.0, n.length / 64.0);
        onsets.push_back({n.pip, n.weight * (by_length == 0.5 ? std::sqrt(share) : crmath::pow(share, by_length))});
    }
    return spread(period, onsets, 0.0, period - 1.0, [&](std::size_t k, double d) {
        const double length = std::max(notes[k].length, 16.0);
        if (d >= length) {
            return 0.0;
        }
        const double r = crmath::sin(PI * d / length);
        return r * r;
    });
}

// Hits closer together than a sixteenth (16 pips) tremble as one: a fixture
// shows a cycle of 12 pips (about 10 Hz at 120 BPM) cleanly, and tremors no
// shorter than a sixteenth keep well clear of that.
constexpr double JOIN = 16.0;

// Tremors one after another along three axes: each starts at rest on the hit
// that sets it off (nothing moves before it), and is back at rest by the
// next tremor. Each lane trembles its own way (`ways`, no component below 0),
// as far as its hit is loud. Hits closer than JOIN to the one before them
// join its tremor. A tremor lasts until the next (at most 48 pips): a short
// one is a single flick out and back, a longer one (36 pips or more) flicks
// out, back past rest and out again, smaller each time; with u the share of
// it gone, 6.75 u (1 - u)^2 sin(m pi u) along its way, m = 1 or 3. So no
// cycle (peak to peak, trough to trough) is shorter than 12 pips: flicks one
// after another all go out the same way, one to each tremor, and the three
// lobes of a longer tremor take 36 pips or more.
struct Tremble {
    double pip;
    double size;  // how far its lane trembles: the hit's presence
    std::size_t lane;
};

Rows tremors(int period, std::vector<Tremble> hits, const std::vector<Point>& ways) {
    Rows out(static_cast<std::size_t>(period));
    if (hits.empty()) {
        return out;
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Tremble& a, const Tremble& b) { return a.pip < b.pip; });
    // Start from a hit with room before it, so that no run crosses the seam.
    std::size_t first = 0;
    for (std::size_t k = 0; k < hits.size(); ++k) {
        const double before = hits[k].pip - (k > 0 ? hits[k - 1].pip : hits.back().pip - period);
        if (before >= JOIN || hits.size() == 1) {
            first = k;
            break;
        }
    }
    std::rotate(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(first), hits.end());
    for (Tremble& h : hits) {
        if (h.pip < hits[0].pip) {
            h.pip += period;  // rotated past the seam
        }
    }
    // A run trembles along the sum of its lanes' ways, each lane weighted by
    // its loudest hit in the run.
    struct Run {
        double pip;
        double loudest;
        std::vector<double> lanes;
    };
    std::vector<Run> runs;
    double last = 0.0;
    for (const Tremble& h : hits) {
        const double w = h.size;
        if (runs.empty() || h.pip - last >= JOIN) {
            runs.push_back({h.pip, 0.0, std::vector<double>(ways.size(), 0.0)});
        }
        Run& r = runs.back();
        r.loudest = std::max(r.loudest, w);
        r.lanes[h.lane] = std::max(r.lanes[h.lane], w);
        last = h.pip;
    }
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const Run& r = runs[k];
        Point toward;
        for (std::size_t j = 0; j < ways.size(); ++j) {
            const double w = r.lanes[j];
            toward = {toward.x + w * ways[j].x, toward.y + w * ways[j].y, toward.z + w * ways[j].z};
        }
        // lanes together tremble further than one alone, but not twice as far
        const double far = std::sqrt(toward.x * toward.x + toward.y * toward.y + toward.z * toward.z);
        const double most = 1.4 * r.loudest;
        if (far > most) {
            toward = {toward.x * most / far, toward.y * most / far, toward.z * most / far};
        }
        const double next = k + 1 < runs.size() ? runs[k + 1].pip : runs[0].pip + period;
        const double length = std::min(48.0, next - r.pip);
        const double lobes = length < 36.0 ? 1.0 : 3.0;
        const int from = static_cast<int>(std::ceil(r.pip));
        for (int i = from; i < r.pip + length; ++i) {
            const double u = (i - r.pip) / length;
            const double v = 6.75 * u * (1.0 - u) * (1.0 - u) * crmath::sin(lobes * PI * u);
            Point& p = out[static_cast<std::size_t>(wrap(i, period))];
            p = {p.x + v * toward.x, p.y + v * toward.y, p.z + v * toward.z};
        }
    }
    return out;
}

// One lane's own say in a gesture: a peak-aligned pulse of half-width `width`
// on each of its hits, as far as the hit shows (ghosts lifted), toward
// `toward`; with `turns`, main notes take turns toward and away from it and
// ghosts lean back against the main note before them.
struct Voice {
    const std::vector<Onset>* lane;
    double width;
    Point toward;
    bool turns = false;
};

// Every voice's pulses added up, pip by pip (z left at 0 without `depth`).
Rows voices(int period, std::initializer_list<Voice> all, bool depth) {
    Rows out(static_cast<std::size_t>(period));
    for (const Voice& v : all) {
        const Track t = pulses(period, presences(v.turns ? alternating(*v.lane) : *v.lane), v.width);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i].x += v.toward.x * t[i];
            out[i].y += v.toward.y * t[i];
            if (depth) {
                out[i].z += v.toward.z * t[i];
            }
        }
    }
    return out;
}

// A lane with its ghosts turned round: main notes keep their sign, ghosts
// push the other way, against the main notes around them.
std::vector<Onset> ghosts_against(std::vector<Onset> lane) {
    for (Onset& o : lane) {
        if (!is_main(o)) {
            o.weight = -o.weight;
        }
    }
    return lane;
}

// Shift one axis so that its range over the loop is centred on 0.
void centre(Rows& rows, double Point::*axis) {
    double low = rows.front().*axis;
    double high = low;
    for (const Point& p : rows) {
        low = std::min(low, p.*axis);
        high = std::max(high, p.*axis);
    }
    const double mid = (low + high) / 2;
    for (Point& p : rows) {
        p.*axis -= mid;
    }
}

// Every trill as a tremor along `way`, from rest on its first hit to rest
// on its last, at full size from the end of its first half
// cycle to the start of its last. A cycle is the fewest of its hits that
// take 12 pips or more (a fixture shows a 12-pip cycle cleanly): two hits to
// a cycle for a thirty-second or sixteenth-triplet trill, each swinging to
// its own side, one hit to a cycle for a slower roll, each out and back.
Rows trill_tremors(int period, const std::vector<Trill>& found, Point way) {
    Rows out(static_cast<std::size_t>(period));
    for (const Trill& t : found) {
        const double cycle = t.spacing * std::ceil(12.0 / t.spacing - 1e-9);
        const double half = 0.5 * cycle;
        const double length = half * std::ceil((t.hits - 1) * t.spacing / half - 1e-9);
        for (int i = static_cast<int>(std::ceil(t.start)); i < t.start + length; ++i) {
            const double d = i - t.start;
            const double ease = smoothstep(std::min(1.0, d / half)) * smoothstep(std::min(1.0, (length - d) / half));
            const double v = ease * crmath::sin(TWO_PI * d / cycle);
            Point& p = out[static_cast<std::size_t>(wrap(i, period))];
            p = {p.x + v * way.x, p.y + v * way.y, p.z + v * way.z};
        }
    }
    return out;
}

// A gesture's rows scaled to the peak; a style's trills tremble on top of
// them `size` times the peak along `way` (a direction; z left out without
// depth), and the whole is scaled to the peak again. A gesture busy with
// other lanes where the hats play gives its trills more size, so that they
// stand out as clearly as in a calm one.
Rows finish(Rows rows, const std::vector<Trill>& found, double size, Point way, bool depth) {
    scale_to_peak(rows, PEAK, true);
    if (found.empty()) {
        return rows;
    }
    if (!depth) {
        way.z = 0.0;
    }
    size *= PEAK / std::sqrt(way.x * way.x + way.y * way.y + way.z * way.z);
    const Rows tremor = trill_tremors(static_cast<int>(rows.size()), found, {size * way.x, size * way.y, size * way.z});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {rows[i].x + tremor[i].x, rows[i].y + tremor[i].y, rows[i].z + tremor[i].z};
    }
    scale_to_peak(rows, PEAK, true);
    return rows;
}

// --- the gestures -----------------------------------------------------------

// y dips on every kick, as deep as the kick is loud, each dip its own (kicks
// close together, a swung ghost kick before a main one, never merge into one
// dip); x takes side accents from the other lanes (snares right, percussion
// left, hats alternating, bass notes a little right) and from kicks quieter
// than the loudest, which lean left. Over equal kicks alone nothing leans
// and x stays exactly 0.
Rows bounce(const Score& s, bool depth) {
    const Lanes l(s);
    double loudest = 0.0;
    for (const Onset& k : l.kick) {
        loudest = std::max(loudest, k.weight);
    }
    std::vector<Onset> lean;
    for (const Onset& k : l.kick) {
        lean.push_back({k.pip, k.weight - loudest});
    }
    const Track down = dips(s.period, l.kick, 14);
    const Track side = mix(1.0, mix(0.5, l.pulses(l.snare, 12), -0.4, l.pulses(l.perc, 10)), 1.0,
                           mix(0.4, l.pulses(presences(alternating(l.hat)), 12), 0.25, l.pulses(l.bass, 10)));
    const Track lean_side = separate(s.period, lean, 14);
    const Track nod = mix(0.6, l.pulses(l.kick, 24), 0.3, l.pulses(l.hat, 8));
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {side[i] + 0.6 * lean_side[i], -2.0 * down[i], depth ? nod[i] : 0.0};
    }
    centre(rows, &Point::y);
    if (depth) {
        centre(rows, &Point::z);
    }
    return finish(rows, l.hat_trills, 0.42, {1.0, 0.0, 0.3}, depth);
}

// Kicks step left, snares (the percussion in a style without snares) step
// right, each as far as it is loud, and every step sways back across a little
// before it settles, so each bar reaches both sides. A kick and a snare
// together are one step that takes the side away from the step before it, so
// steps keep alternating through them; in a bar without snares the kicks
// take turns left and right. Ghosts step a little to their own lane's side
// and leave the main steps' sides alone. Every step (and every bass note)
// dips a little; hats and percussion lift the heel between steps.
Rows step(const Score& s, bool depth) {
    const Lanes l(s);
    constexpr double together = 8.0;
    struct Stroke {
        double pip;
        double size;
        int lanes;  // 1 kick, 2 snare, 3 both
        double side = 0.0;
    };
    std::vector<Stroke> mains;
    std::vector<Onset> ghosts;  // signed: kicks left, snares right
    auto gather = [&](const std::vector<Onset>& lane, int which) {
        for (const Onset& o : lane) {
            if (!is_main(o)) {
                ghosts.push_back({o.pip, which == 1 ? -o.weight : o.weight});
                continue;
            }
            mains.push_back({o.pip, o.weight, which});
        }
    };
    gather(l.kick, 1);
    gather(l.backbeat, 2);
    std::stable_sort(mains.begin(), mains.end(), [](const Stroke& a, const Stroke& b) { return a.pip < b.pip; });
    std::vector<Stroke> steps;
    for (const Stroke& m : mains) {
        if (!steps.empty() && m.pip - steps.back().pip < together) {
            Stroke& t = steps.back();
            if (m.size > t.size) {
                t.pip = m.pip;
                t.size = m.size;
            }
            t.lanes |= m.lanes;
        } else {
            steps.push_back(m);
        }
    }
    if (steps.size() > 1 && steps.front().pip + s.period - steps.back().pip < together) {
        // strokes either side of the seam
        Stroke& t = steps.front();
        if (steps.back().size > t.size) {
            t.pip = steps.back().pip - s.period;
            t.size = steps.back().size;
        }
        t.lanes |= steps.back().lanes;
        steps.pop_back();
    }
    // Bars with a snare (or its stand-in) in them; kicks in the others take turns.
    std::vector<bool> has_snare(static_cast<std::size_t>(s.period / 256 + 1), false);
    for (const Stroke& t : steps) {
        if (t.lanes & 2) {
            has_snare[static_cast<std::size_t>(wrap(static_cast<int>(std::floor(t.pip)), s.period) / 256)] = true;
        }
    }
    std::size_t fixed = steps.size();
    for (std::size_t k = 0; k < steps.size(); ++k) {
        Stroke& t = steps[k];
        const int bar = wrap(static_cast<int>(std::floor(t.pip)), s.period) / 256;
        const bool snare_bar = has_snare[static_cast<std::size_t>(bar)];
        if (t.lanes == 2 || (t.lanes == 1 && snare_bar)) {
            t.side = t.lanes == 2 ? 1.0 : -1.0;
            fixed = std::min(fixed, k);
        }
    }
    if (fixed == steps.size()) {
        // nothing fixes a side: the steps take turns from the left
        for (std::size_t k = 0; k < steps.size(); ++k) {
            steps[k].side = k % 2 == 0 ? -1.0 : 1.0;
        }
    } else {
        for (std::size_t j = 1; j < steps.size(); ++j) {
            const std::size_t k = (fixed + j) % steps.size();
            if (steps[k].side == 0.0) {
                steps[k].side = -steps[(k + steps.size() - 1) % steps.size()].side;
            }
        }
    }
    // The steps as one eased line through every step's side and size on its
    // own pip: after a step with room behind it the line sways back across,
    // a third as far, and comes to rest 12 pips before the next step (or
    // goes straight on to it); steps to the same side close together come
    // part of the way back between them.
    std::vector<std::pair<double, double>> keys;
    const std::size_t n = steps.size();
    for (std::size_t k = 0; k < n; ++k) {
        const double here = steps[k].pip;
        const double next = k + 1 < n ? steps[k + 1].pip : steps[0].pip + s.period;
        const double a = steps[k].side * steps[k].size;
        const double b = steps[(k + 1) % n].side * steps[(k + 1) % n].size;
        const double gap = next - here;
        keys.push_back({here, a});
        if (gap >= 30.0) {
            const double sway = 0.4 * std::min(gap, 50.0);
            const double rest = std::min(40.0, gap - 12.0);
            keys.push_back({here + sway, -0.3 * a});
            if (rest >= sway + 6.0) {
                keys.push_back({here + rest, 0.0});
                if (gap - 12.0 > rest) {
                    keys.push_back({next - 12.0, 0.0});
                }
            }
        } else if (a * b > 0.0) {
            const auto [at, r] = recovery(a, b, gap, 14.0);
            keys.push_back({here + at, r});
        }
    }
    const Track lateral = mix(1.0, eased_line(s.period, keys), 0.8, l.pulses(ghosts, 8));
    const Track dip = mix(1.0, mix(1.0, l.pulses(l.kick, 14), 1.0, l.pulses(l.snare, 14)), 0.5, l.pulses(l.bass, 12));
    const Track heel = mix(1.0, l.pulses(presences(l.hat), 8), 1.0, l.pulses(presences(l.perc), 10));
    const Track depth_track = mix(1.0, mix(0.4, l.pulses(l.perc, 12), 0.3, l.pulses(alternating(l.hat), 8)), 1.0,
                                  mix(-0.35, l.pulses(l.bass, 12), 0.25,
                                      mix(1.0, l.pulses(l.kick, 20), -1.0, l.pulses(l.snare, 20))));
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {lateral[i], -0.45 * dip[i] + 0.55 * heel[i], depth ? depth_track[i] : 0.0};
    }
    centre(rows, &Point::y);
    if (depth) {
        centre(rows, &Point::z);
    }
    return finish(rows, l.hat_trills, 0.6, {0.0, 1.0, 0.5}, depth);
}

// One turn a bar whose angular speed, radius and depth all rise with the
// weighted events (ghosts lifted, so they show); the percussion weighs most
// in depth.
Rows orbit(const Score& s, bool depth) {
    const Lanes l(s);
    const std::vector<Onset> all = presences(events(l, {1.0, 0.85, 0.6, 0.75, 0.5}));
    const Track phase = event_phase(times(2.0, pulses(s.period, all, 16)), s.period / 256.0);
    const Track reach = unit(pulses(s.period, all, 24));
    const Track near = unit(pulses(s.period, presences(events(l, {0.4, 0.6, 0.5, 1.0, 0.5})), 18));
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double r = 0.55 + 0.45 * reach[i];
        rows[i] = {r * crmath::cos(a), 0.9 * r * crmath::sin(a), depth ? 0.8 * near[i] : 0.0};
    }
    if (depth) {
        centre(rows, &Point::z);
    }
    return finish(rows, l.hat_trills, 0.3, {0.0, 0.0, 1.0}, depth);
}

// A slow phrase path once round the loop (twice round a four-bar loop),
// hurried by the drums; every note of the low end (the kicks in a style
// without bass) swings it outward and forward while it sounds, each note its
// own excursion; the other lanes ripple it gently: hats out and in in turn,
// the percussion back and ahead along it, snares out and ahead, drawing it
// back.
Rows glide(const Score& s, bool depth) {
    const Lanes l(s);
    const Track drums = pulses(s.period, events(l, {1.0, 1.0, 0.6, 0.8, 0.0}), 16);
    const Track phase = event_phase(times(2.5, drums), s.period >= 1024 ? 2.0 : 1.0);
    const Track low = note_swells(s.period, low_end(s));
    // x: a share further out; y: ahead along the path; z: depth
    const Rows ripple = voices(s.period,
                               {{&l.hat, 20, {0.24, 0.2, 0.14}, true},
                                {&l.perc, 16, {0.1, -0.24, 0.1}, true},
                                {&l.snare, 16, {0.4, 0.36, -0.14}}},
                               depth);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double r = (1.0 + 0.4 * low[i]) * (1.0 + ripple[i].x);
        const Point out{0.75 * crmath::cos(a) + 0.2 * crmath::cos(2 * a + 0.6), 0.55 * crmath::sin(a) + 0.18 * crmath::sin(3 * a),
                        0.0};
        const double far = std::sqrt(out.x * out.x + out.y * out.y);
        const double along = ripple[i].y / far;  // ahead, square to the way out
        rows[i] = {r * out.x - along * out.y, r * out.y + along * out.x,
                   depth ? 0.7 * low[i] + 0.15 * crmath::sin(2 * a + 0.3) + ripple[i].z : 0.0};
    }
    centre(rows, &Point::x);
    centre(rows, &Point::y);
    if (depth) {
        centre(rows, &Point::z);
    }
    return finish(rows, l.hat_trills, 0.3, {0.5, 0.5, 0.4}, depth);
}

// Kicks thrust forward through depth (and dip a little); snares (the
// percussion in a style without snares) lift, bass notes settle a little;
// hats add small alternating detail, to the side and up and down, over a
// slight sway of alternate kicks.
Rows surge(const Score& s, bool depth) {
    const Lanes l(s);
    const Track thrust = dips(s.period, l.kick, 14);
    const Track hats = l.pulses(presences(alternating(l.hat)), 8);
    const Track lift = mix(1.0, mix(0.8, l.pulses(l.backbeat, 14), -0.25, thrust), 1.0,
                           mix(0.25, l.pulses(l.perc, 10), -0.3, mix(1.0, l.pulses(l.bass, 12), -0.4, hats)));
    const Track detail = mix(0.16, hats, 0.1, l.pulses(alternating(l.kick), 10));
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {detail[i], lift[i], depth ? thrust[i] : 0.0};
    }
    centre(rows, &Point::y);
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.35, {0.3, 1.0, 0.0}, depth);
}

// Snares (the percussion in a style without snares) push to the side and
// hats nudge it either way in turn; kicks counter downward (and a little the
// other way); a dotted sixteenth (24 pips) after every event its echo draws
// the point back through depth. Every push and counter is a reaction that
// starts on its hit, so nothing moves ahead of what moves it.
constexpr double ECHO_DELAY = 24.0;

Rows recoil(const Score& s, bool depth) {
    const Lanes l(s);
    const int n = s.period;
    std::vector<Onset> echoes = events(l, EVERY_EVENT);
    for (Onset& e : echoes) {
        e.pip += ECHO_DELAY;
    }
    const Track push = mix(1.0, mix(1.0, reactions(n, l.backbeat, 12), -0.2, reactions(n, l.kick, 12)), 0.3,
                           reactions(n, presences(alternating(l.hat)), 8));
    const Track counter = mix(-1.3, reactions(n, l.kick, 14), 1.0,
                              mix(0.25, reactions(n, l.snare, 12), -0.2, reactions(n, l.perc, 10)));
    const Track back = pulses(n, echoes, 16);
    Rows rows(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {push[i], counter[i], depth ? -0.7 * back[i] : 0.0};
    }
    centre(rows, &Point::y);
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.4, {1.0, 0.0, 0.3}, depth);
}

// A wide arch swung side to side once a bar, hurried after kicks and snares
// (and a little after the percussion and the bass); bass notes widen it,
// lower it and draw it back through depth while they sound. Over it the
// upper percussion trembles, one tremor after another (see tremors): hats
// mostly upward, shakers (and other hat-lane voices) mostly in depth, the
// percussion sideways and up, rims (snare-lane voices beside the main snare)
// mostly forward.
Rows flutter(const Score& s, bool depth) {
    const Lanes l(s);
    const Track swing = mix(1.0, mix(1.0, swells(s.period, l.kick, 40), 0.85, swells(s.period, l.snare, 40)), 1.0,
                            mix(0.4, swells(s.period, l.perc, 40), 0.4, swells(s.period, l.bass, 40)));
    const Track phase = event_phase(times(2.0, swing), s.period / 256.0);
    std::vector<Tremble> hits;
    const std::vector<std::vector<Onset>> lanes = {l.hats, l.shaker, l.perc, l.rims};
    for (std::size_t j = 0; j < lanes.size(); ++j) {
        for (const Onset& o : lanes[j]) {
            hits.push_back({o.pip, presence(o.weight), j});
        }
    }
    const Track wide = note_swells(s.period, bass_notes(s));
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        rows[i] = {(0.7 + 0.3 * wide[i]) * crmath::sin(a), 0.4 * crmath::cos(2 * a) - 0.2 * wide[i],
                   depth ? 0.3 * crmath::cos(a) - 0.25 * wide[i] : 0.0};
    }
    const Rows tremble =
        tremors(s.period, hits, {{0.15, 1.0, 0.35}, {0.15, 0.35, 1.0}, {0.6, 0.55, 0.0}, {0.35, 0.4, 0.9}});
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Point& t = tremble[i];
        rows[i] = {rows[i].x + 0.28 * t.x, rows[i].y + 0.28 * t.y, depth ? rows[i].z + 0.28 * t.z : 0.0};
    }
    centre(rows, &Point::y);
    return finish(rows, l.hat_trills, 0.3, {0.15, 1.0, 0.35}, depth);
}

// Every bass note plunges through depth while it sounds, from rest on its
// onset to its deepest halfway through and back as it ends, as deep as the
// note is loud and (short of a beat) long; between notes depth rests. In a
// style without a bass lane the kicks plunge instead, each sounding until
// the next kick (a beat at most). The drums answer as a counterweight: each
// main kick or snare stroke (a kick and a snare together are one stroke, as
// loud as both) lifts and swings to the side, the sides taking turns stroke
// by stroke; a ghost leans a little against the stroke before it and moves
// no main stroke's side. The percussion lifts and swings the other way, the
// hats give small lifts and sways to either side in turn, and the point
// sinks a little with the bass.
Rows dive(const Score& s, bool depth) {
    const Lanes l(s);
    const Track plunge = note_swells(s.period, low_end(s));
    std::vector<Onset> drums;
    for (const std::vector<Onset>* lane : {&l.kick, &l.snare}) {
        drums.insert(drums.end(), lane->begin(), lane->end());
    }
    std::stable_sort(drums.begin(), drums.end(), [](const Onset& a, const Onset& b) { return a.pip < b.pip; });
    std::vector<Onset> mains;
    std::vector<Onset> ghosts;
    for (const Onset& d : drums) {
        (is_main(d) ? mains : ghosts).push_back(d);
    }
    std::vector<Onset> counter = strokes(mains, 8.0, true);
    for (Onset& g : ghosts) {
        counter.push_back(g);
    }
    std::stable_sort(counter.begin(), counter.end(), [](const Onset& a, const Onset& b) { return a.pip < b.pip; });
    const Track sway = l.pulses(alternating(counter), 16);
    const Track lift = mix(1.0, mix(0.45, l.pulses(counter, 16), 0.35, l.pulses(presences(l.perc), 12)), 1.0,
                           mix(0.3, l.pulses(presences(alternating(l.hat)), 8), -0.3, plunge));
    const Track perc_sway = l.pulses(presences(alternating(l.perc)), 12);
    const Track hat_sway = l.pulses(presences(alternating(l.hat)), 8);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {0.55 * sway[i] - 0.35 * perc_sway[i] + 0.35 * hat_sway[i], lift[i], depth ? -plunge[i] : 0.0};
    }
    centre(rows, &Point::y);
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.65, {1.0, 0.5, 0.0}, depth);
}

// A bob hung from a point above, two swings a bar, starting each loop at the
// right-hand end of a swing: busier passages swing it wider (amplitude from
// a broad event envelope) and faster (the phase hurries at events); it also
// circles a little through depth. Each lane touches it its own way, the bob
// staying on its arc: hats and the percussion nudge the swing ahead and back
// in turn, kicks push it back and snares lift it forward through depth, and
// bass notes draw it back while they sound.
Rows pendulum(const Score& s, bool depth) {
    const Lanes l(s);
    const std::vector<Onset> all = events(l, EVERY_EVENT);
    const Track phase = event_phase(pulses(s.period, all, 24), s.period / 128.0);
    const Track width = unit(pulses(s.period, all, 40));
    // x: radians more swing; z: depth
    const Rows touch = voices(s.period,
                              {{&l.hat, 16, {0.2, 0.0, 0.3}, true},
                               {&l.perc, 16, {-0.12, 0.0, -0.18}, true},
                               {&l.kick, 14, {0.0, 0.0, -0.22}},
                               {&l.snare, 12, {0.06, 0.0, 0.36}}},
                              depth);
    const Track low = note_swells(s.period, bass_notes(s), 0.2);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double amplitude = 0.55 + 0.45 * width[i];
        const double angle = 1.05 * amplitude * crmath::cos(a) + touch[i].x;
        rows[i] = {crmath::sin(angle), -crmath::cos(angle),
                   depth ? 0.35 * amplitude * crmath::sin(a) + touch[i].z - 0.35 * low[i] : 0.0};
    }
    centre(rows, &Point::y);
    return finish(rows, l.hat_trills, 0.3, {0.0, 0.0, 1.0}, depth);
}

// A figure eight once a bar (lobes left and right, crossing at the centre),
// paced by every event; the lobes open wide at kicks and the snares (the
// percussion in a style without snares) lift the path through depth, over a
// gentle weave in depth. The other lanes work the lobes too: hats open and
// close them in turn, the percussion stretches them up and down in turn,
// and bass notes open them while they sound.
Rows figure8(const Score& s, bool depth) {
    const Lanes l(s);
    const Track pace = pulses(s.period, events(l, EVERY_EVENT), 10);
    const Track phase = event_phase(pace, s.period / 256.0);
    const Track open = unit(l.pulses(l.kick, 28));
    const Track lift = unit(l.pulses(presences(l.backbeat), 20));
    // x: a share wider, y: a share taller, z: depth
    const Rows work = voices(s.period, {{&l.hat, 16, {0.7, 0.36, 0.0}, true}, {&l.perc, 16, {0.1, 0.35, -0.16}, true}},
                             depth);
    const Track low = note_swells(s.period, bass_notes(s), 0.2);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double size = 0.6 + 0.4 * open[i] + 0.55 * low[i];
        rows[i] = {size * (1.0 + work[i].x) * crmath::sin(a), 0.8 * size * (1.0 + work[i].y) * crmath::sin(2 * a),
                   depth ? 0.7 * lift[i] + 0.25 * crmath::cos(a) + work[i].z : 0.0};
    }
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.3, {0.0, 0.0, 1.0}, depth);
}

// Round a rounded square (a superellipse of power six: flat sides, softened
// corners on the diagonals) once a bar, at a speed weighted by the rhythm;
// the corners lean forward and events push back, each lane its own way:
// kicks push back, snares lift forward, hats and the percussion rock it
// forward and back in turn (and nudge it along the side it is on), bass
// notes draw it back while they sound.
Rows box(const Score& s, bool depth) {
    const Lanes l(s);
    const Track pace = pulses(s.period, events(l, EVERY_EVENT), 12);
    const Track phase = event_phase(times(1.5, pace), s.period / 256.0);
    // x: ahead along the side; z: depth
    const Rows push = voices(s.period,
                             {{&l.kick, 14, {0.0, 0.0, -0.3}},
                              {&l.snare, 12, {0.0, 0.0, 0.35}},
                              {&l.hat, 16, {0.08, 0.0, 0.28}, true},
                              {&l.perc, 16, {-0.08, 0.0, -0.28}, true}},
                             true);
    const Track low = note_swells(s.period, bass_notes(s), 0.2);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double c = crmath::cos(a);
        const double n = crmath::sin(a);
        const double r = crmath::pow(crmath::pow(std::fabs(c), 6.0) + crmath::pow(std::fabs(n), 6.0), -1.0 / 6.0);
        const double along = push[i].x;
        rows[i] = {0.8 * r * c - along * n, 0.8 * r * n + along * c,
                   depth ? 0.35 * crmath::cos(4 * a) + push[i].z - 0.4 * low[i] : 0.0};
    }
    if (depth) {
        centre(rows, &Point::z);
    }
    return finish(rows, l.hat_trills, 0.35, {0.0, 0.0, 1.0}, depth);
}

// Exactly two turns over the loop (hurried by kicks, snares, bass and hats)
// on one wave through depth, forward over the first turn and back over the
// second;
// the percussion widens the turns (in a style without percussion, snares
// and hats do, and failing those the kicks); bass notes push the wave
// deeper while they sound. The other lanes work the turns without widening
// them: hats (and the percussion the other way) nudge the path ahead and
// back in turn, snares push it ahead and lift it, kicks hold it back and
// draw it back.
Rows corkscrew(const Score& s, bool depth) {
    const Lanes l(s);
    const Track pace = pulses(s.period, events(l, {1.0, 0.85, 0.3, 0.0, 0.8}), 16);
    const Track phase = event_phase(times(0.8, pace), 2.0);
    std::vector<Onset> widening = l.perc;
    if (widening.empty()) {
        widening = events(l, {0.0, 1.0, 0.6, 0.0, 0.0});
    }
    if (widening.empty()) {
        widening = l.kick;
    }
    const Track radius = unit(pulses(s.period, widening, 14));
    const Track low = note_swells(s.period, bass_notes(s), 0.2);
    // x: ahead along the turn; z: depth
    const Rows work = voices(s.period,
                             {{&l.hat, 16, {0.34, 0.0, 0.24}, true},
                              {&l.snare, 12, {0.34, 0.0, 0.16}},
                              {&l.kick, 14, {-0.38, 0.0, -0.16}},
                              {&l.perc, 12, {-0.16, 0.0, 0.2}, true}},
                             depth);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double r = 0.6 + 0.4 * radius[i];
        const double along = work[i].x;
        rows[i] = {r * crmath::cos(a) - along * crmath::sin(a), r * crmath::sin(a) + along * crmath::cos(a),
                   depth ? (0.75 + 0.7 * low[i]) * crmath::sin(PI * phase[i]) + work[i].z : 0.0};
    }
    return finish(rows, l.hat_trills, 0.3, {0.6, 0.0, 0.5}, depth);
}

// Two turns that open from a small circle to the full width over the first
// and close again over the second, paced by the events; depth breathes with
// the width, so loop start and end meet in the small circle. Each lane
// breathes in its own way on top: kicks push the turn outward and back,
// hats ripple it in and out, ahead and behind, forward and back in turn,
// snares lift it forward, the percussion ripples it the other way round and
// draws it back, and bass notes widen it and draw it back while they sound.
Rows spiral(const Score& s, bool depth) {
    const Lanes l(s);
    const std::vector<Onset> all = events(l, EVERY_EVENT);
    const Track pace = pulses(s.period, all, 12);
    const Track phase = event_phase(times(2.5, pace), 2.0);
    // x: a share more or less radius; y: a share of it ahead along the turn; z: depth
    const Rows breathe = voices(s.period,
                                {{&l.kick, 14, {0.36, 0.1, -0.3}},
                                 {&l.hat, 20, {0.26, 0.3, 0.34}, true},
                                 {&l.snare, 16, {0.1, 0.2, 0.5}},
                                 {&l.perc, 14, {0.28, -0.28, -0.32}, true}},
                                depth);
    const Track low = note_swells(s.period, bass_notes(s), 0.2);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double a = TWO_PI * phase[i];
        const double breath = PI * phase[i];
        const double open = 0.2 + 0.8 * (0.5 - 0.5 * crmath::cos(breath));
        const double r = open * (1.0 + breathe[i].x + 0.6 * low[i]);
        const double along = open * breathe[i].y;  // ahead along the turn (or behind)
        rows[i] = {r * crmath::cos(a) - along * crmath::sin(a), r * crmath::sin(a) + along * crmath::cos(a),
                   depth ? 0.6 * crmath::cos(breath) + breathe[i].z - 0.7 * low[i] : 0.0};
    }
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.3, {0.5, 0.5, 0.5}, depth);
}

// Down and back up through gates side to side (x makes three swings, five in
// a loop of three or four bars, while y travels down and back: an S each
// way), paced by the events; kicks lift, snares (the percussion in a style
// without snares) cut back against the way the path is turning, and depth
// draws back against the drums. Each bass note swings the path wider and
// draws it back and down while it sounds; hats flick it forward and back in
// turn, the percussion back and forward and a little out to the side.
Rows slalom(const Score& s, bool depth) {
    const Lanes l(s);
    const Track pace = pulses(s.period, events(l, EVERY_EVENT), 16);
    const Track phase = event_phase(pace, 1.0);
    const double gates = s.period >= 768 ? 5.0 : 3.0;
    std::vector<Onset> cuts;
    for (const Onset& sn : l.backbeat) {
        const double heading = crmath::cos(gates * TWO_PI * phase_at(phase, 1.0, sn.pip));
        cuts.push_back({sn.pip, heading > 0.0 ? -presence(sn.weight) : presence(sn.weight)});
    }
    const Track cut = l.pulses(cuts, 10);
    const Track lift = l.pulses(l.kick, 14);
    const Track back =
        unit(mix(1.0, mix(1.0, l.pulses(l.kick, 20), 0.7, l.pulses(l.snare, 20)), 0.3, l.pulses(l.hat, 8)));
    const Track wide = note_swells(s.period, bass_notes(s));
    const Rows edges = voices(s.period, {{&l.hat, 16, {0.0, 0.0, 0.38}, true}, {&l.perc, 12, {-0.1, 0.06, -0.3}, true}},
                              depth);
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double t = TWO_PI * phase[i];
        rows[i] = {(0.7 + 0.35 * wide[i]) * crmath::sin(gates * t) + 0.38 * cut[i] + edges[i].x,
                   0.75 * crmath::cos(t) + 0.3 * lift[i] - 0.15 * wide[i] + edges[i].y,
                   depth ? -0.55 * back[i] + 0.25 * crmath::cos(gates * t) - 0.5 * wide[i] + edges[i].z : 0.0};
    }
    centre(rows, &Point::z);
    return finish(rows, l.hat_trills, 0.35, {0.3, 0.0, 1.0}, depth);
}

// Every onset kicks a damped spring: the response starts from rest (no
// displacement and no speed at the onset), swings out, and rings down with a
// period of 30 pips, losing 1/e of its size every 16. Each lane kicks its own
// way, as far as the hit shows (ghosts lifted); ghost hats kick against the
// main ones. Responses are summed over earlier loops until they have died away (the
// spring's periodic steady state), so the seam is an ordinary step.
Rows spring(const Score& s, bool depth) {
    constexpr double decay = 16.0;
    constexpr double ring = 30.0;
    constexpr double onset_ease = 3.0;
    constexpr double reach = 37.0 * decay;  // e^-37 is below a table's last decimal
    auto response = [](std::size_t, double d) {
        return crmath::exp(-d / decay) * crmath::sin(TWO_PI * d / ring) * (1.0 - crmath::exp(-d / onset_ease));
    };
    const Lanes l(s);
    struct Way {
        std::vector<Onset> lane;
        double gain;
        Point toward;
    };
    const Way ways[] = {
        {l.kick, 1.0, {0.35, -1.0, 0.3}},             {l.snare, 0.9, {0.9, 0.35, -0.3}},
        {ghosts_against(l.hat), 0.75, {-0.3, 0.2, 0.45}}, {l.perc, 0.7, {-0.8, 0.3, 0.6}},
        {l.bass, 0.6, {0.2, -0.5, -0.9}},
    };
    Rows rows(static_cast<std::size_t>(s.period));
    for (const Way& w : ways) {
        const Track t = spread(s.period, presences(w.lane), 0.0, reach, response);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].x += w.gain * w.toward.x * t[i];
            rows[i].y += w.gain * w.toward.y * t[i];
            if (depth) {
                rows[i].z += w.gain * w.toward.z * t[i];
            }
        }
    }
    return finish(rows, l.hat_trills, 0.6, {-0.3, 0.2, 0.45}, depth);
}

// Every lane has its own targets and visits them in turn: kicks low, left
// then right; snares (clap, rim) high on the right, three in turn; hats a
// small fan above; the percussion out to the left, three in turn; bass notes
// deep. Each voice of a lane walks its lane's targets on its own, starting
// one further on than the voice before it, and only main notes move a voice
// on: a ghost answers its voice's last main note from the other side (its
// target mirrored left for right), as far as it is loud (ghosts lifted).
// Onsets within six pips of each other make one stroke, heading toward the
// sum of its notes' targets, each weighted by its lane and its loudness.
// Every stroke sends a smooth out-and-back excursion toward its target (a
// reaction: it leaves rest on the stroke itself and reaches the target two
// fifths of the way through), as long as the gap to the nearest stroke either
// side, so each is back before the next sets off; but none is shorter than
// fourteen pips: main strokes closer than that overlap a little, with
// shorter excursions, rather than jerk (a ghost, small anyway, keeps its
// size). A main stroke's width and size count only the main
// strokes around it, so ghosts coming or going move no main stroke.
Rows ricochet(const Score& s, bool depth) {
    struct LaneTargets {
        const std::vector<Hit>* lane;
        double gain;
        std::vector<Point> targets;
    };
    const std::vector<Trill> hat_trills = trills(s.hat);
    const std::vector<Hit> plain_hats = without_trills(s.hat, hat_trills);
    const LaneTargets lanes[] = {
        {&s.kick, 1.0, {{-0.6, -0.8, 0.3}, {0.6, -0.8, -0.3}}},
        {&s.snare, 0.9, {{0.85, 0.5, -0.35}, {0.3, 0.95, 0.45}, {0.95, 0.05, 0.5}}},
        {&plain_hats, 0.7, {{-0.6, 0.75, 0.3}, {0.0, 1.0, -0.35}, {0.6, 0.75, 0.4}}},
        {&s.perc, 0.75, {{-0.95, 0.25, 0.4}, {-0.7, 0.65, -0.4}, {-0.9, -0.35, -0.3}}},
        {&s.bass, 0.6, {{0.2, -0.45, -0.9}, {-0.2, -0.3, -0.95}}},
    };
    struct Struck {
        double pip;
        Point toward;  // weighted
        bool main;
    };
    std::vector<Struck> notes;
    for (const LaneTargets& lt : lanes) {
        const std::size_t n = lt.targets.size();
        for (int voice = 0; voice < 4; ++voice) {
            std::size_t total = 0;
            for (const Hit& h : *lt.lane) {
                total += h.voice == voice && h.velocity >= MAIN ? 1 : 0;
            }
            std::size_t walked = 0;  // main notes of this voice so far
            for (const Hit& h : *lt.lane) {
                if (h.voice != voice) {
                    continue;
                }
                const bool main = h.velocity >= MAIN;
                const std::size_t at = main ? walked : (walked > 0 ? walked - 1 : (total > 0 ? total - 1 : 0));
                const Point& t = lt.targets[(at + static_cast<std::size_t>(voice)) % n];
                const double w = lt.gain * presence(h.velocity);
                const double side = main ? w : -w;  // a ghost answers from the other side
                notes.push_back({h.pip, {side * t.x, w * t.y, w * t.z}, main});
                walked += main ? 1 : 0;
            }
        }
    }
    std::stable_sort(notes.begin(), notes.end(), [](const Struck& a, const Struck& b) { return a.pip < b.pip; });
    struct Stroke {
        double pip;
        Point toward;
        bool main;
        double loudest;  // the largest single note's pull, where the stroke lands
    };
    std::vector<Stroke> hits;
    for (const Struck& nt : notes) {
        const Point& t = nt.toward;
        const double pull = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
        if (!hits.empty() && nt.pip - hits.back().pip < 6.0) {
            Stroke& h = hits.back();
            h.toward = {h.toward.x + nt.toward.x, h.toward.y + nt.toward.y, h.toward.z + nt.toward.z};
            h.main = h.main || nt.main;
            if (pull > h.loudest) {
                h.loudest = pull;
                h.pip = nt.pip;
            }
        } else {
            hits.push_back({nt.pip, nt.toward, nt.main, pull});
        }
    }
    const std::size_t n = hits.size();
    constexpr double narrowest = 7.0;
    // the gap from each stroke to the nearest one either side, among the main
    // strokes for a main one
    auto nearest = [&](std::size_t k, bool mains_only) {
        double gap = s.period;
        for (std::size_t j = 0; j < n; ++j) {
            if (j != k && (!mains_only || hits[j].main)) {
                gap = std::min(gap, std::fabs(loop_distance(hits[j].pip, hits[k].pip, s.period)));
            }
        }
        return gap;
    };
    Rows rows(static_cast<std::size_t>(s.period));
    for (std::size_t k = 0; k < n; ++k) {
        const double gap = nearest(k, hits[k].main);
        const double w = std::clamp(0.5 * gap, narrowest, 20.0);
        const double size = hits[k].main ? std::min(1.0, 0.5 * gap / narrowest) : 1.0;
        const Point& target = hits[k].toward;
        const int first = static_cast<int>(std::ceil(hits[k].pip));
        for (int i = first; i < hits[k].pip + 2.0 * w; ++i) {
            const double reach = size * reaction(i - hits[k].pip, w);
            Point& p = rows[static_cast<std::size_t>(wrap(i, s.period))];
            p.x += reach * target.x;
            p.y += reach * target.y;
            if (depth) {
                p.z += reach * target.z;
            }
        }
    }
    return finish(rows, hat_trills, 0.6, {0.6, 0.75, 0.4}, depth);
}

}  // namespace

const std::array<Gesture, GESTURE_COUNT>& gestures() {
    static const std::array<Gesture, GESTURE_COUNT> all = {{
        {"bounce", &bounce},     {"step", &step},         {"orbit", &orbit},         {"glide", &glide},
        {"surge", &surge},       {"recoil", &recoil},     {"flutter", &flutter},     {"dive", &dive},
        {"pendulum", &pendulum}, {"figure8", &figure8},   {"box", &box},             {"corkscrew", &corkscrew},
        {"spiral", &spiral},     {"slalom", &slalom},     {"spring", &spring},       {"ricochet", &ricochet},
    }};
    return all;
}

}  // namespace trovelin::recipes::beat
