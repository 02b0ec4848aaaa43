// Multiprecision fixed-point numbers for the exact fallbacks of the elementary
// functions and for the tables their fast paths read. Only integer arithmetic,
// so every result is the same on every platform.
//
// A Fixed is a signed integer in two's complement over 32-bit limbs (least
// significant first) that stands for  value = integer * 2^(-32 * frac).
// All operands of one operation have the same shape (frac and limb count).
// The operations that cannot be exact truncate, and say by how much: the
// error of each is under one unit in the last place (ulp = 2^(-32 * frac)).
#pragma once

#include <cstdint>
#include <vector>

namespace trovelin::crmath::detail {

struct Fixed {
    std::vector<std::uint32_t> w;  // limbs, least significant first
    int frac = 0;                  // limbs after the binary point

    Fixed() = default;
    // Zero with `frac` limbs after the point and `whole` limbs before it.
    Fixed(int frac_limbs, int whole_limbs = 3);

    int size() const { return static_cast<int>(w.size()); }
    bool negative() const { return (w.back() >> 31) != 0; }
    bool is_zero() const;
};

// Exact conversions into the shape of `like`.
Fixed fx_int(std::int64_t v, const Fixed& like);
// v's bits below the last place are dropped (toward zero): exact when they fit.
Fixed fx_double(double v, const Fixed& like);

Fixed operator+(const Fixed& a, const Fixed& b);
Fixed operator-(const Fixed& a, const Fixed& b);
Fixed operator-(const Fixed& a);

Fixed fx_abs(const Fixed& a);
// a * b, truncated toward zero: error under 1 ulp.
Fixed fx_mul(const Fixed& a, const Fixed& b);
// a * m, exact (the caller keeps it in range).
Fixed fx_mul_int(const Fixed& a, std::uint32_t m);
// a / d, truncated toward zero: error under 1 ulp.
Fixed fx_div_int(const Fixed& a, std::uint32_t d);
// a / b, truncated toward zero: error under 1 ulp. b must not be zero.
Fixed fx_div(const Fixed& a, const Fixed& b);
// sqrt(a) for a >= 0, truncated: error under 1 ulp.
Fixed fx_sqrt(const Fixed& a);
// a * 2^-n rounded toward minus infinity (error under 1 ulp), and a * 2^n exactly.
Fixed fx_shr(const Fixed& a, int n);
Fixed fx_shl(const Fixed& a, int n);
// The same value with `frac` limbs after the point: exact when growing,
// truncated toward minus infinity when shrinking.
Fixed fx_reshape(const Fixed& a, int frac, int whole = 3);
// -1, 0, 1 as a < b, a == b, a > b.
int fx_cmp(const Fixed& a, const Fixed& b);
// The index of the highest set bit of |a| counted from the lowest limb's bit 0;
// -1 for zero.
int fx_top_bit(const Fixed& a);

// a * 2^scale rounded to the nearest double, ties to even (subnormals,
// overflow to infinity and signed zero included).
double fx_round(const Fixed& a, int scale = 0);
// The value lies within `err` ulps of a, times 2^scale. True, with the
// rounded result in `out`, when every point of that interval rounds alike.
bool fx_round_test(const Fixed& a, double err, int scale, double& out);
// The leading `bits` significant bits of a > 0 as a double, subtracted from a.
double fx_take_bits(Fixed& a, int bits);

// The constants at the precision of `like` (truncated: error under 1 ulp).
Fixed fx_pi(const Fixed& like);
Fixed fx_ln2(const Fixed& like);
// 2/pi with `frac` limbs after the point (at most TWO_OVER_PI_LIMBS),
// truncated, as the bare limbs.
inline constexpr int TWO_OVER_PI_LIMBS = 110;
const std::vector<std::uint32_t>& two_over_pi_limbs();

}  // namespace trovelin::crmath::detail
