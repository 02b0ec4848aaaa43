// Shared by the fast paths (crmath.cpp) and the exact fallbacks (exact.cpp).
#pragma once

#include <bit>
#include <cstdint>

#include "catalogue/math/dd.hpp"
#include "catalogue/math/fixed.hpp"

namespace trovelin::crmath::detail {

inline std::uint64_t bits_of(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

inline double from_bits(std::uint64_t b) {
    return std::bit_cast<double>(b);
}

// 2^k for -1074 <= k <= 1023.
inline double pow2(int k) {
    if (k >= -1022) {
        return from_bits(static_cast<std::uint64_t>(k + 1023) << 52);
    }
    return from_bits(std::uint64_t{1} << (k + 1074));
}

// v * 2^k, exact whenever the result is a normal number (or overflows).
inline double mul_pow2(double v, int k) {
    while (k > 1023) {
        v *= pow2(1023);
        k -= 1023;
    }
    while (k < -1022) {
        v *= pow2(-1022);
        k += 1022;
    }
    return v * pow2(k);
}

// Splits finite nonzero |x| into m * 2^e with 1 <= m < 2 (subnormals included).
inline double split_exponent(double x, int& e) {
    std::uint64_t b = bits_of(x) & 0x7fffffffffffffffULL;
    int biased = static_cast<int>(b >> 52);
    int extra = 0;
    if (biased == 0) {
        b = bits_of(from_bits(b) * 0x1p54);
        biased = static_cast<int>(b >> 52);
        extra = 54;
    }
    e = biased - 1023 - extra;
    return from_bits((b & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
}

// atan2's ratio, at most 1: |y| / |x| or, `swapped`, |x| / |y| (the angle is
// then pi/2 less that ratio's). Both finite and nonzero; each split as by
// split_exponent, so num / den = (num_m / den_m) * 2^(num_e - den_e).
struct AtanRatio {
    double num, den;
    bool swapped;
    double num_m, den_m;
    int num_e, den_e;
};

inline AtanRatio atan_ratio(double y, double x) {
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    AtanRatio r{};
    r.swapped = ay > ax;
    r.num = r.swapped ? ax : ay;
    r.den = r.swapped ? ay : ax;
    r.num_m = split_exponent(r.num, r.num_e);
    r.den_m = split_exponent(r.den, r.den_e);
    return r;
}

// True when every real within err of v rounds to v.hi, which must be a normal
// number no smaller than 2^-1020 with |v.lo| <= ulp(v.hi) / 2. Rounding is
// monotonic, so RN(lo + err) < half-ulp implies lo + err < half-ulp.
inline bool rounds_to_hi(DD v, double err) {
    const std::uint64_t b = bits_of(v.hi) & 0x7fffffffffffffffULL;
    const int biased = static_cast<int>(b >> 52);
    if (biased < 3 || biased > 2046) {
        return false;
    }
    const double half_up = pow2(biased - 1076);
    const double half_down = (b & 0x000fffffffffffffULL) == 0 ? 0.5 * half_up : half_up;
    const double lo = v.hi < 0 ? -v.lo : v.lo;
    return lo + err < half_up && lo - err > -half_down;
}

// Everything the fast paths read, computed once from the fixed-point kernels.
struct Tables {
    DD sin64[53];        // sin(j / 64)
    DD cos64[53];        // cos(j / 64)
    DD exp2_128[128];    // 2^(j / 128)
    double log_inv[93];  // 1 / (1 + j / 128) rounded, j = -38..54 at index j + 38
    DD log_neg[93];      // -log of that double
    DD atan64[65];       // atan(j / 64)
    double half_pi_part[5];  // pi/2 in pieces of 33, 33, 33, 53 and 53 bits
    double ln2_128_part[3];  // ln2/128 in pieces of 35, 35 and 53 bits
    double ln2_part[3];      // ln2 in pieces of 42, 42 and 53 bits
    DD pi;
    DD half_pi;
    double pi_rn, half_pi_rn, quarter_pi_rn, three_quarter_pi_rn;
    DD inv[15];          // 1 / k
    DD inv_fact[14];     // 1 / k!
};

const Tables& tables();

// A fast path's answer: the exact result lies within err of v, both times
// 2^scale. For pow, scale is POW_OVERFLOW or POW_UNDERFLOW when the result is
// certainly past the largest double or under half the smallest.
struct Fast {
    DD v;
    double err;
    int scale;
};
inline constexpr int POW_OVERFLOW = 1 << 20;
inline constexpr int POW_UNDERFLOW = -(1 << 20);

// Each for the arguments its public function leaves after its special cases
// and shortcuts: |x| >= 2^-27 for sin, cos, tanh (up to 22) and asin (under
// 1); 2^-54 <= |x| for exp (in [-745.14, 709.79]) and log1p (over -1);
// x > 0 and x != 1 for log; |x| != 1 > 0 with 2^-64 <= |y| for pow (x is
// |x|); atan2 with both finite and nonzero and |y/x| >= 2^-60 when x > 0.
// sin, cos and exp try a quicker, less accurate evaluation first.
Fast fast_sin_cos(double x, bool cosine, bool quick);
Fast fast_exp(double x, bool quick);
Fast fast_log(double x);
Fast fast_log1p(double x);
Fast fast_pow(double ax, double y);
Fast fast_tanh(double x);
Fast fast_atan2(double y, double x);
Fast fast_asin(double x);

// The exact fallbacks: each evaluates with growing precision until the result
// is certain. Arguments are finite and past the special cases of their caller.
double exp_exact(double x);
double log_exact(double x);
double log1p_exact(double x);
double pow_exact(double x, double y);  // x > 0
double sin_cos_exact(double x, bool cosine);
double tanh_exact(double x);
double atan2_exact(double y, double x);  // both nonzero
double asin_exact(double x);

// |x| - q pi/2 for |x| >= 2^20 with `frac` limbs after the point, error under
// 2 ulps, |result| <= pi/4 (a hair over), q modulo 4.
Fixed reduce_half_pi(double ax, int frac, int& q);

}  // namespace trovelin::crmath::detail
