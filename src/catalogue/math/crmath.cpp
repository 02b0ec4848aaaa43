// The fast paths: double-double evaluations with a bound on their error.
// When every real within the bound rounds to the same double, that double is
// the answer; otherwise the exact fallback of exact.cpp decides. The bounds
// below are a few times (at least 2^4) the worst error of the operations they
// cover, each of which is within a few units of 2^-104 relative.
#include "catalogue/math/crmath.hpp"

#include <cmath>
#include <limits>

#include "catalogue/math/internal.hpp"

namespace trovelin::crmath {

using namespace detail;

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr std::uint64_t ABS_MASK = 0x7fffffffffffffffULL;
constexpr std::uint64_t INF_BITS = 0x7ff0000000000000ULL;

bool is_nan(double x) {
    return (bits_of(x) & ABS_MASK) > INF_BITS;
}

bool is_inf(double x) {
    return (bits_of(x) & ABS_MASK) == INF_BITS;
}

bool sign_bit(double x) {
    return (bits_of(x) >> 63) != 0;
}

double with_sign_of(double magnitude, double sign) {
    return sign_bit(sign) ? -magnitude : magnitude;
}

double quiet_nan() {
    return std::numeric_limits<double>::quiet_NaN();
}

// ---- exponential ----------------------------------------------------------

// exp(z) = m * 2^K; p = e^r - 1 of the reduced argument, k the table step.
struct ExpParts {
    DD m;
    int K;
    int k;
    DD p;
};

// For a double-double z with |z.hi| < 746: z = k ln2/128 + r with
// |r| <= ln2/256 (a hair over), e^z = 2^(k/128) e^r. Relative error of m
// under 2^-99.
ExpParts exp_dd(DD z, const Tables& t) {
    const double kd = std::floor(z.hi * 184.6649652337873 + 0.5);  // 128 / ln2
    // The pieces of ln2/128 hold 35, 35 and 53 bits and |k| < 2^18, so the
    // first two products are exact, and so is z.hi - k * piece0.
    const double r1 = z.hi - kd * t.ln2_128_part[0];
    const DD s = two_sum(r1, z.lo);
    const DD u = two_sum(s.hi, -kd * t.ln2_128_part[1]);
    const DD p3 = two_prod(kd, t.ln2_128_part[2]);
    const double lo = ((s.lo + u.lo) - p3.hi) - p3.lo;
    const DD r = two_sum(u.hi, lo);
    const double rh = r.hi;
    // e^r - 1 = r (1 + r (1/2 + r (1/6 + r (1/24 + r T)))), T in double: its
    // terms reach r^9 / 9!, and r^10 / 10! is under 2^-106.
    const double tail = t.inv_fact[5].hi +
                        rh * (t.inv_fact[6].hi + rh * (t.inv_fact[7].hi + rh * (t.inv_fact[8].hi + rh * t.inv_fact[9].hi)));
    DD v = dd_add(t.inv_fact[4], dd_mul_d(r, tail));
    v = dd_add(t.inv_fact[3], dd_mul(r, v));
    v = dd_add_d(dd_mul(r, v), 0.5);
    v = dd_add_d(dd_mul(r, v), 1.0);
    const DD p = dd_mul(r, v);
    const int k = static_cast<int>(kd);
    const int j = k & 127;
    const DD one_p = dd_add_d(p, 1.0);
    const DD m = j == 0 ? one_p : dd_mul(t.exp2_128[j], one_p);
    return {m, k >> 7, k, p};
}

// The first, quicker try at e^x for a double x: e^x = 2^(k/128) e^r as
// above, but e^r - 1 = r + q with q in double. Relative error under 2^-66:
// q (2^-18 at most) carries under 2^-70, the sum of the low parts as much
// again, and r^8/8! is under 2^-83.
Fast quick_exp(double x, const Tables& t) {
    const double kd = std::floor(x * 184.6649652337873 + 0.5);
    const double r1 = x - kd * t.ln2_128_part[0];
    const DD u = two_sum(r1, -kd * t.ln2_128_part[1]);
    const double rl = u.lo - kd * t.ln2_128_part[2];
    const double rh = u.hi;
    const double q =
        rl + rh * rh *
                 (0.5 + rh * (t.inv_fact[3].hi +
                              rh * (t.inv_fact[4].hi +
                                    rh * (t.inv_fact[5].hi + rh * (t.inv_fact[6].hi + rh * t.inv_fact[7].hi)))));
    const int k = static_cast<int>(kd);
    const DD& c = t.exp2_128[k & 127];
    // c (1 + rh + q) = c.hi + c.hi rh + [c.hi q + c.lo (1 + rh)]
    const DD a = two_prod(c.hi, rh);
    const DD s = two_sum(c.hi, a.hi);
    const double lo = s.lo + (a.lo + (c.hi * q + c.lo * (1.0 + rh)));
    const DD m = fast_two_sum(s.hi, lo);
    return {m, std::fabs(m.hi) * 0x1p-62, k >> 7};
}

// ---- logarithm -------------------------------------------------------------

// log(xh + xl) for finite xh > 0 and |xl| <= ulp(xh) / 2, relative error
// under 2^-100: x = 2^e m with m in [0.707, 1.415), m = c (1 + z) where
// 1/c is the table's double nearest 1 / (1 + j/128), so |z| < 0.0056.
DD log_dd(double xh, double xl, const Tables& t) {
    int e = 0;
    double m = split_exponent(xh, e);
    double ml = xl == 0.0 ? 0.0 : mul_pow2(xl, -e);
    if (m > 1.4142135623730951) {
        m *= 0.5;
        ml *= 0.5;
        ++e;
    }
    const int j = static_cast<int>(std::floor((m - 1.0) * 128.0 + 0.5));
    const double inv = t.log_inv[j + 38];
    const DD p = two_prod(m, inv);  // exact; p.hi - 1 is exact too
    DD z = two_sum(p.hi - 1.0, p.lo);
    if (ml != 0.0) {
        z = dd_add(z, two_prod(ml, inv));
    }
    // log(1 + z) to z^14; z^15 / 15 is under 2^-105 of z.
    const double zh = z.hi;
    const double tail =
        -0.125 +
        zh * (t.inv[9].hi +
              zh * (-t.inv[10].hi +
                    zh * (t.inv[11].hi + zh * (-t.inv[12].hi + zh * (t.inv[13].hi - zh * t.inv[14].hi)))));
    DD v = dd_add(t.inv[7], dd_mul_d(z, tail));
    v = dd_add(dd_neg(t.inv[6]), dd_mul(z, v));
    v = dd_add(t.inv[5], dd_mul(z, v));
    v = dd_add_d(dd_mul(z, v), -0.25);
    v = dd_add(t.inv[3], dd_mul(z, v));
    v = dd_add_d(dd_mul(z, v), -0.5);
    v = dd_add_d(dd_mul(z, v), 1.0);
    const DD l = dd_mul(z, v);
    if (e == 0 && j == 0) {
        return l;
    }
    // e ln2 from pieces of 42, 42 and 53 bits: the first two products are exact.
    const double ed = e;
    DD acc = dd_add(two_sum(ed * t.ln2_part[0], ed * t.ln2_part[1]), two_prod(ed, t.ln2_part[2]));
    acc = dd_add(acc, t.log_neg[j + 38]);
    return dd_add(acc, l);
}

// ---- circular functions ----------------------------------------------------

// sin (odd quadrants: cos) of r, |r| <= pi/4 (a hair over), negated in
// quadrants 2 and 3. Relative error under 2^-100.
DD sin_cos_reduced(DD r, int quadrant, const Tables& t) {
    const bool negative = r.hi < 0;
    const DD a = negative ? dd_neg(r) : r;
    // a = j/64 + h with |h| <= 1/128; a.hi - j/64 is exact.
    const int j = static_cast<int>(a.hi * 64.0 + 0.5);
    const DD h = two_sum(a.hi - j * 0.015625, a.lo);
    const DD z = dd_mul(h, h);
    const double zh = z.hi;
    DD value{0.0, 0.0};
    if ((quadrant & 1) == 0 || j != 0) {
        // sin h = h (1 - z/6 + z^2/120 - ...), to h^11 / 11!.
        const double ts = -t.inv_fact[7].hi + zh * (t.inv_fact[9].hi - zh * t.inv_fact[11].hi);
        DD u = dd_add(t.inv_fact[5], dd_mul_d(z, ts));
        u = dd_add(dd_neg(t.inv_fact[3]), dd_mul(z, u));
        u = dd_add_d(dd_mul(z, u), 1.0);
        value = dd_mul(h, u);
    }
    DD ch{1.0, 0.0};
    if ((quadrant & 1) != 0 || j != 0) {
        // cos h = 1 - z/2 + z^2/24 - ..., to z^6 / 12!.
        const double tc =
            -t.inv_fact[6].hi + zh * (t.inv_fact[8].hi + zh * (-t.inv_fact[10].hi + zh * t.inv_fact[12].hi));
        DD u = dd_add(t.inv_fact[4], dd_mul_d(z, tc));
        u = dd_add_d(dd_mul(z, u), -0.5);
        ch = dd_add_d(dd_mul(z, u), 1.0);
    }
    const DD sh = value;
    if ((quadrant & 1) == 0) {
        // sin(j/64 + h) = S cos h + C sin h
        if (j != 0) {
            value = dd_add(dd_mul(t.sin64[j], ch), dd_mul(t.cos64[j], sh));
        }
        if (negative) {
            value = dd_neg(value);
        }
    } else {
        // cos(j/64 + h) = C cos h - S sin h
        value = j == 0 ? ch : dd_add(dd_mul(t.cos64[j], ch), dd_neg(dd_mul(t.sin64[j], sh)));
    }
    return (quadrant & 2) != 0 ? dd_neg(value) : value;
}

// The first, quicker try at sin_cos_reduced: S + C h + [S (cos h - 1) +
// C (sin h - h)] for sin, C - S h + [C (cos h - 1) - S (sin h - h)] for cos,
// with the bracket in double. The bracket is under 2^-15 of the result or
// of S (whichever is smaller, give or take 2), so its roundings stay under
// 2^-64 of the result.
DD sin_cos_reduced_quick(DD r, int quadrant, const Tables& t) {
    const bool negative = r.hi < 0;
    const DD a = negative ? dd_neg(r) : r;
    const int j = static_cast<int>(a.hi * 64.0 + 0.5);
    const double hh = a.hi - j * 0.015625;  // exact
    const double hl = a.lo;
    const double z = hh * hh;
    // cos h - 1 and sin h - h, to h^6 and h^7: the next terms are under 2^-71.
    const double cm1 =
        z * (-0.5 + z * (t.inv_fact[4].hi + z * -t.inv_fact[6].hi)) - hh * hl;
    const double sm = hh * z * (-t.inv_fact[3].hi + z * (t.inv_fact[5].hi + z * -t.inv_fact[7].hi));
    const DD& S = t.sin64[j];
    const DD& C = t.cos64[j];
    DD value;
    if ((quadrant & 1) == 0) {
        const DD p = two_prod(C.hi, hh);
        const DD s = two_sum(S.hi, p.hi);
        const double lo = s.lo + (p.lo + ((C.hi * hl + C.lo * hh) + (S.lo + (S.hi * cm1 + C.hi * sm))));
        value = fast_two_sum(s.hi, lo);
        if (negative) {
            value = dd_neg(value);
        }
    } else {
        const DD p = two_prod(S.hi, hh);
        const DD s = two_sum(C.hi, -p.hi);
        const double lo = s.lo - (p.lo + ((S.hi * hl + S.lo * hh) - (C.lo + (C.hi * cm1 - S.hi * sm))));
        value = fast_two_sum(s.hi, lo);
    }
    return (quadrant & 2) != 0 ? dd_neg(value) : value;
}

// |x| = q pi/2 + r for |x| >= 2^-27; err_abs receives the reduction's bound.
DD reduce(double ax, int& q, double& err_abs, const Tables& t) {
    if (ax < 0x1p20) {
        const double kd = std::floor(ax * 0.6366197723675814 + 0.5);  // 2 / pi
        q = static_cast<int>(kd) & 3;
        if (kd == 0.0) {
            err_abs = 0.0;
            return {ax, 0.0};
        }
        // pi/2 in pieces of 33, 33, 33, 53 and 53 bits; k < 2^20, so the
        // first three products are exact, and ax - k * piece0 too.
        const double r1 = ax - kd * t.half_pi_part[0];
        const DD s = two_sum(r1, -kd * t.half_pi_part[1]);
        const DD u = two_sum(s.hi, -kd * t.half_pi_part[2]);
        const DD p4 = two_prod(kd, t.half_pi_part[3]);
        const double lo = (((s.lo + u.lo) - p4.hi) - p4.lo) - kd * t.half_pi_part[4];
        err_abs = 0x1p-140;
        return two_sum(u.hi, lo);
    }
    const Fixed r = reduce_half_pi(ax, 4, q);
    const double hi = fx_round(r);
    const double lo = fx_round(r - fx_double(hi, r));
    err_abs = 0x1p-124;
    return {hi, lo};
}

// atan(t) for 0 <= t <= 1 (a hair over), relative error under 2^-100:
// atan(j/64) + atan(d) with d = (t - j/64) / (1 + t j/64), |d| <= 1/128.
DD atan_dd(DD t_in, const Tables& t) {
    const int j = static_cast<int>(t_in.hi * 64.0 + 0.5);
    const double c = j * 0.015625;
    const DD d = j == 0 ? t_in : dd_div(dd_add_d(t_in, -c), dd_add_d(dd_mul_d(t_in, c), 1.0));
    const DD z = dd_mul(d, d);
    const double zh = z.hi;
    // atan d = d (1 - z/3 + z^2/5 - ...), to d^13 / 13.
    const double tail = t.inv[9].hi + zh * (-t.inv[11].hi + zh * t.inv[13].hi);
    DD u = dd_add(dd_neg(t.inv[7]), dd_mul_d(z, tail));
    u = dd_add(t.inv[5], dd_mul(z, u));
    u = dd_add(dd_neg(t.inv[3]), dd_mul(z, u));
    u = dd_add_d(dd_mul(z, u), 1.0);
    const DD a = dd_mul(d, u);
    return j == 0 ? a : dd_add(t.atan64[j], a);
}

}  // namespace

namespace detail {

Fast fast_sin_cos(double x, bool cosine, bool quick) {
    const Tables& t = tables();
    int q = 0;
    double err_red = 0.0;
    const DD r = reduce(std::fabs(x), q, err_red, t);
    const int quadrant = (q + (cosine ? 1 : 0)) & 3;
    DD v = quick ? sin_cos_reduced_quick(r, quadrant, t) : sin_cos_reduced(r, quadrant, t);
    if (!cosine && x < 0) {
        v = dd_neg(v);
    }
    return {v, std::fabs(v.hi) * (quick ? 0x1p-60 : 0x1p-96) + err_red, 0};
}

Fast fast_exp(double x, bool quick) {
    const Tables& t = tables();
    if (quick) {
        return quick_exp(x, t);
    }
    const ExpParts e = exp_dd({x, 0.0}, t);
    return {e.m, std::fabs(e.m.hi) * 0x1p-94, e.K};
}

Fast fast_log(double x) {
    const DD l = log_dd(x, 0.0, tables());
    return {l, std::fabs(l.hi) * 0x1p-96, 0};
}

Fast fast_log1p(double x) {
    const DD u = two_sum(1.0, x);
    const DD l = log_dd(u.hi, u.lo, tables());
    return {l, std::fabs(l.hi) * 0x1p-96, 0};
}

Fast fast_pow(double ax, double y) {
    const Tables& t = tables();
    const DD l = log_dd(ax, 0.0, t);
    const double z0 = y * l.hi;
    if (z0 > 709.79) {
        return {{0.0, 0.0}, 0.0, POW_OVERFLOW};
    }
    if (z0 < -745.14) {
        return {{0.0, 0.0}, 0.0, POW_UNDERFLOW};
    }
    // |z| < 746 and |log x| >= 2^-53, so |y| < 2^63: the product splits safely.
    DD z = two_prod(y, l.hi);
    z = fast_two_sum(z.hi, z.lo + y * l.lo);
    // log's relative error carries over to z, and z's absolute error to e^z.
    const double err_z = std::fabs(z.hi) * 0x1p-99;
    const ExpParts e = exp_dd(z, t);
    return {e.m, std::fabs(e.m.hi) * (0x1p-94 + 1.01 * err_z), e.K};
}

Fast fast_tanh(double x) {
    const double ax = std::fabs(x);
    // w = e^(-2|x|) and tanh |x| = -(w - 1) / (2 + (w - 1)).
    const ExpParts e = exp_dd({-2.0 * ax, 0.0}, tables());
    DD em;
    if (e.k == 0) {
        em = e.p;
    } else {
        em = dd_add_d({mul_pow2(e.m.hi, e.K), mul_pow2(e.m.lo, e.K)}, -1.0);
    }
    DD v = dd_div(dd_neg(em), dd_add_d(em, 2.0));
    if (x < 0) {
        v = dd_neg(v);
    }
    // w - 1 loses up to 2^8.6 of w's relative accuracy when |x| is near ln2/512.
    return {v, std::fabs(v.hi) * 0x1p-88, 0};
}

Fast fast_atan2(double y, double x) {
    const Tables& t = tables();
    const AtanRatio r = atan_ratio(y, x);
    const double num = r.num, den = r.den;
    const bool swap = r.swapped;
    const int en = r.num_e, ed = r.den_e;
    DD base;
    double err_extra = 0.0;
    if (en - ed < -60) {
        // Only added to pi/2 or pi: t's own rounding is all that matters.
        const double q = num / den;
        base = {q, 0.0};
        err_extra = q * 0x1p-52 + 0x1p-1000;
    } else {
        // Scaled so den lies in [1, 2): both stay normal, the ratio unchanged.
        const double sn = mul_pow2(num, -ed);
        const double sd = mul_pow2(den, -ed);
        base = atan_dd(dd_div({sn, 0.0}, {sd, 0.0}), t);
    }
    if (swap) {
        base = dd_add(t.half_pi, dd_neg(base));
    }
    if (sign_bit(x)) {
        base = dd_add(t.pi, dd_neg(base));
    }
    if (sign_bit(y)) {
        base = dd_neg(base);
    }
    return {base, std::fabs(base.hi) * 0x1p-95 + err_extra, 0};
}

Fast fast_asin(double x) {
    const Tables& t = tables();
    const double ax = std::fabs(x);
    // 1 - x^2 exactly as a double-double when |x| >= 3/4 (1 - p.hi is exact).
    const DD p = two_prod(ax, ax);
    const DD c2 = ax >= 0.75 ? two_sum(1.0 - p.hi, -p.lo) : dd_add_d(two_sum(1.0, -p.hi), -p.lo);
    const DD c = dd_sqrt(c2);
    DD base;
    if (ax <= c.hi) {
        base = atan_dd(dd_div({ax, 0.0}, c), t);
    } else {
        base = dd_add(t.half_pi, dd_neg(atan_dd(dd_div(c, {ax, 0.0}), t)));
    }
    if (x < 0) {
        base = dd_neg(base);
    }
    return {base, std::fabs(base.hi) * 0x1p-92, 0};
}

}  // namespace detail

namespace {

// The fast path's double when certain.
bool settle(const Fast& f, double& out) {
    if (f.scale == 0) {
        out = f.v.hi;
        return rounds_to_hi(f.v, f.err);
    }
    int e = 0;
    split_exponent(f.v.hi, e);
    if (e + f.scale < -1021 || !rounds_to_hi(f.v, f.err)) {
        return false;  // near or under the subnormal range: the fallback rounds those
    }
    out = mul_pow2(f.v.hi, f.scale);
    return true;
}

double sin_cos(double x, bool cosine) {
    const std::uint64_t b = bits_of(x) & ABS_MASK;
    if (b >= INF_BITS) {
        return x - x;  // NaN for NaN and both infinities
    }
    if (b < 0x3e40000000000000ULL) {
        // |x| < 2^-27: sin x and x differ by under x^3/6, less than half the
        // spacing on either side of x; 1 - cos x is under 2^-55.
        return cosine ? 1.0 : x;
    }
    double out = 0.0;
    if (settle(fast_sin_cos(x, cosine, true), out) || settle(fast_sin_cos(x, cosine, false), out)) {
        return out;
    }
    return sin_cos_exact(x, cosine);
}

}  // namespace

double sin(double x) {
    return sin_cos(x, false);
}

double cos(double x) {
    return sin_cos(x, true);
}

double exp(double x) {
    if (is_nan(x)) {
        return x + x;
    }
    if (x > 709.79) {
        return INF;  // e^x > 2^1024 (1 - 2^-54): overflows
    }
    if (x < -745.14) {
        return 0.0;  // e^x < 2^-1075: rounds to zero
    }
    if (std::fabs(x) < 0x1p-54) {
        return 1.0;
    }
    double out = 0.0;
    if (settle(fast_exp(x, true), out) || settle(fast_exp(x, false), out)) {
        return out;
    }
    return exp_exact(x);
}

double log(double x) {
    if (is_nan(x)) {
        return x + x;
    }
    if (x < 0) {
        return quiet_nan();
    }
    if (x == 0) {
        return -INF;
    }
    if (is_inf(x)) {
        return x;
    }
    if (x == 1.0) {
        return 0.0;
    }
    double out = 0.0;
    if (settle(fast_log(x), out)) {
        return out;
    }
    return log_exact(x);
}

double log1p(double x) {
    if (is_nan(x)) {
        return x + x;
    }
    if (x < -1.0) {
        return quiet_nan();
    }
    if (x == -1.0) {
        return -INF;
    }
    if (is_inf(x)) {
        return x;
    }
    if (std::fabs(x) < 0x1p-54) {
        // log1p x and x differ by under x^2/2, less than half the spacing
        // on either side of x (zeros keep their sign).
        return x;
    }
    double out = 0.0;
    if (settle(fast_log1p(x), out)) {
        return out;
    }
    return log1p_exact(x);
}

double pow(double x, double y) {
    if (y == 0.0 || x == 1.0) {
        return 1.0;  // even for a NaN in the other argument
    }
    if (is_nan(x) || is_nan(y)) {
        return x + y;
    }
    const double ax = std::fabs(x);
    if (is_inf(y)) {
        if (ax == 1.0) {
            return 1.0;
        }
        return (ax < 1.0) == (y > 0) ? 0.0 : INF;
    }
    const bool y_integer = std::floor(y) == y;
    const bool y_odd = y_integer && std::fabs(y) < 0x1p53 && std::floor(y * 0.5) != y * 0.5;
    if (x == 0.0) {
        if (y < 0) {
            return y_odd ? with_sign_of(INF, x) : INF;
        }
        return y_odd ? x : 0.0;
    }
    if (is_inf(x)) {
        const double big = y < 0 ? 0.0 : INF;
        return (x < 0 && y_odd) ? -big : big;
    }
    if (x < 0 && !y_integer) {
        return quiet_nan();
    }
    const bool negative = x < 0 && y_odd;
    if (ax == 1.0) {
        return negative ? -1.0 : 1.0;  // x = -1 and y an integer
    }
    if (std::fabs(y) < 0x1p-64) {
        return 1.0;  // |y log x| < 2^-54 (and x > 0, y being no integer)
    }
    const Fast f = fast_pow(ax, y);
    double out = 0.0;
    if (f.scale == POW_OVERFLOW) {
        out = INF;
    } else if (f.scale == POW_UNDERFLOW) {
        out = 0.0;
    } else if (!settle(f, out)) {
        out = pow_exact(ax, y);
    }
    return negative ? -out : out;
}

double tanh(double x) {
    if (is_nan(x)) {
        return x + x;
    }
    const double ax = std::fabs(x);
    if (ax < 0x1p-27) {
        return x;  // x - tanh x < x^3/3: under half the spacing below x
    }
    if (ax > 22.0) {
        return with_sign_of(1.0, x);  // 1 - tanh x < 2^-62
    }
    double out = 0.0;
    if (settle(fast_tanh(x), out)) {
        return out;
    }
    return tanh_exact(x);
}

double atan2(double y, double x) {
    if (is_nan(x) || is_nan(y)) {
        return x + y;
    }
    const Tables& t = tables();
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    const bool x_negative = sign_bit(x);
    if (ay == 0.0) {
        return x_negative ? with_sign_of(t.pi_rn, y) : y;
    }
    if (ax == 0.0) {
        return with_sign_of(t.half_pi_rn, y);
    }
    if (is_inf(ay)) {
        if (is_inf(ax)) {
            return with_sign_of(x_negative ? t.three_quarter_pi_rn : t.quarter_pi_rn, y);
        }
        return with_sign_of(t.half_pi_rn, y);
    }
    if (is_inf(ax)) {
        return with_sign_of(x_negative ? t.pi_rn : 0.0, y);
    }
    if (ay <= ax && !x_negative) {
        int en = 0;
        int ed = 0;
        split_exponent(ay, en);
        split_exponent(ax, ed);
        if (en - ed < -60) {
            // t = |y/x| < 2^-59: atan t = t (1 - t^2/3 + ...) is closer to t
            // than t can be to a midpoint between doubles (2^-108 of t), so
            // both round alike while the result is normal.
            const double q = ay / ax;
            return q >= 0x1p-1020 ? with_sign_of(q, y) : atan2_exact(y, x);
        }
    }
    double out = 0.0;
    if (settle(fast_atan2(y, x), out)) {
        return out;
    }
    return atan2_exact(y, x);
}

double asin(double x) {
    if (is_nan(x)) {
        return x + x;
    }
    const double ax = std::fabs(x);
    if (ax > 1.0) {
        return quiet_nan();
    }
    if (ax == 1.0) {
        return with_sign_of(tables().half_pi_rn, x);
    }
    if (ax < 0x1p-27) {
        return x;  // asin x - x < x^3/6: under half the spacing above x
    }
    double out = 0.0;
    if (settle(fast_asin(x), out)) {
        return out;
    }
    return asin_exact(x);
}

}  // namespace trovelin::crmath
