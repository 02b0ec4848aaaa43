// The sines and cosines the rudiments take, and where their values come from.
//
// Every angle a rudiment passes to sin or cos is one of a few hundred fixed
// doubles: a fraction of its loop times a literal 2 pi, 4 pi or pi. Their
// correctly rounded values (crmath, the catalogue's own math) are computed
// once, by the catalogue generator at build time, and compiled into the
// module as constant arrays (rudiment_trig.inc in the generated folder). A
// call reads its values by index, so it costs no more than the platform's sin
// did, and every platform gets the same bits, whatever its math library.
//
// Each table below is named, with the function, its length and the argument
// of entry i, computed exactly as the rudiment's formula writes it.
#pragma once

#include "core/pip.hpp"

namespace trovelin::rudiment_trig {

// Literal doubles, so that every build evaluates the same numbers.
inline constexpr double TWO_PI = 6.283185307179586;
inline constexpr double FOUR_PI = 12.566370614359172;
inline constexpr double PI = 3.141592653589793;
inline constexpr double HALF_PI = 1.5707963267948966;

// Fractions of a loop are formed with exact reciprocals of powers of two.
inline constexpr double ONE_32ND = 0.03125;
inline constexpr double ONE_64TH = 0.015625;
inline constexpr double ONE_128TH = 0.0078125;
inline constexpr double ONE_256TH = 0.00390625;

// Drum strokes up to this many pips long read their pulse from PULSE_SIN;
// every built-in sticking's strokes are.
inline constexpr Pip PULSE_TABLE_LENGTHS = 16;

// sway and figure_eight: a = (r/128) 2 pi.
constexpr double turn_of_128(int r) noexcept { return (r * ONE_128TH) * TWO_PI; }
// circle: a = (r/64) 2 pi - pi/2, the multiplication first.
constexpr double circle_angle(int r) noexcept { return (r * ONE_64TH) * TWO_PI - HALF_PI; }
// helix: a = (r/256) 4 pi for the turns.
constexpr double helix_turns(int r) noexcept { return (r * ONE_256TH) * FOUR_PI; }
// Entry (length - 1) * PULSE_TABLE_LENGTHS + local: (local/length) pi, for
// 0 <= local < length; the unused entries past a row's length hold 0.
constexpr double pulse_angle(int i) noexcept {
    const int length = i / PULSE_TABLE_LENGTHS + 1;
    const int local = i % PULSE_TABLE_LENGTHS;
    return local < length ? (static_cast<double>(local) / static_cast<double>(length)) * PI : 0.0;
}

enum class Function { sin, cos };

struct Table {
    const char* name;  // the constant array's name in rudiment_trig.inc
    Function function;
    int size;
    double (*argument)(int i);
};

inline constexpr Table TABLES[] = {
    {"TURN_OF_128_SIN", Function::sin, 128, turn_of_128},
    {"DOUBLE_TURN_OF_128_SIN", Function::sin, 128, [](int r) noexcept { return turn_of_128(r) + turn_of_128(r); }},
    {"CIRCLE_COS", Function::cos, 64, circle_angle},
    {"CIRCLE_SIN", Function::sin, 64, circle_angle},
    // step_touch's lift: sin(u pi), u = (r mod 32)/32.
    {"STEP_LIFT_SIN", Function::sin, 32, [](int k) noexcept { return (k * ONE_32ND) * PI; }},
    {"HELIX_COS", Function::cos, 256, helix_turns},
    {"HELIX_SIN", Function::sin, 256, helix_turns},
    // helix's depth: sin(s 2 pi), s = r/256.
    {"HELIX_DEPTH_SIN", Function::sin, 256, [](int r) noexcept { return (r * ONE_256TH) * TWO_PI; }},
    {"PULSE_SIN", Function::sin, PULSE_TABLE_LENGTHS * PULSE_TABLE_LENGTHS, pulse_angle},
};

}  // namespace trovelin::rudiment_trig
