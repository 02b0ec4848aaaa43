// The exact fallbacks and the tables of the fast paths, from fixed-point
// kernels whose every step carries a bound on its error in ulps. A fallback
// evaluates at 256 bits after the point, then 512, then 1024, until every
// real within the bound rounds to the same double; pow first checks whether
// its result is exactly a double or the midpoint of two, the one case where
// more bits would not settle it.
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "catalogue/math/internal.hpp"

namespace trovelin::crmath::detail {

namespace {

constexpr std::array<int, 3> PRECISIONS = {8, 16, 32};  // limbs after the point

Fixed one_like(const Fixed& like) {
    return fx_int(1, like);
}

// start (1 + q/3 + q^2/5 + ...), or with `alternating` start (1 - q/3 + q^2/5
// - ...): the series of atanh and atan in their odd powers. Summed until a
// term rounds to zero; `terms` is how many were added, for the error bound.
Fixed odd_power_series(const Fixed& start, const Fixed& q, bool alternating, int& terms) {
    Fixed sum = start;
    Fixed power = start;
    terms = 0;
    for (std::uint32_t k = 1;; ++k) {
        power = fx_mul(power, q);
        const Fixed term = fx_div_int(power, 2 * k + 1);
        if (term.is_zero()) {
            break;
        }
        sum = (alternating && k % 2 == 1) ? sum - term : sum + term;
        ++terms;
    }
    return sum;
}

Fixed half_pi_like(const Fixed& like) {
    return fx_shr(fx_pi(like), 1);  // pi is off by under 2 ulps, so pi/2 by under 2
}

// exp(r) for |r| <= 0.7 whose own error is err_r ulps; returns the error in err.
Fixed exp_kernel(const Fixed& r, double err_r, double& err) {
    Fixed sum = one_like(r) + r;
    Fixed term = r;
    int n = 1;
    for (std::uint32_t k = 2;; ++k) {
        term = fx_div_int(fx_mul(term, r), k);  // each term off by under 4 ulps
        if (term.is_zero()) {
            break;
        }
        sum = sum + term;
        ++n;
    }
    err = 4.0 * n + 8.0 + 2.1 * err_r;  // the tail past a zero term is under 4 ulps
    return sum;
}

// sin(r) and cos(r) for |r| <= 0.8.
void sin_cos_kernel(const Fixed& r, double err_r, Fixed& s, Fixed& c, double& err_s, double& err_c) {
    const Fixed r2 = fx_mul(r, r);
    s = r;
    Fixed term = r;
    int n = 0;
    for (std::uint32_t k = 1;; ++k) {
        term = fx_div_int(fx_mul(term, r2), (2 * k) * (2 * k + 1));
        if (term.is_zero()) {
            break;
        }
        s = (k % 2 == 1) ? s - term : s + term;
        ++n;
    }
    err_s = 2.0 * n + 4.0 + err_r;
    c = one_like(r);
    term = c;
    n = 0;
    for (std::uint32_t k = 1;; ++k) {
        term = fx_div_int(fx_mul(term, r2), (2 * k - 1) * (2 * k));
        if (term.is_zero()) {
            break;
        }
        c = (k % 2 == 1) ? c - term : c + term;
        ++n;
    }
    err_c = 2.0 * n + 4.0 + err_r;
}

// log(m) for 0.7 <= m <= 1.43: 2 atanh((m - 1) / (m + 1)).
Fixed log_kernel(const Fixed& m, double err_m, double& err) {
    const Fixed one = one_like(m);
    const Fixed t = fx_div(m - one, m + one);
    int n = 0;
    const Fixed sum = odd_power_series(t, fx_mul(t, t), false, n);
    // t is off by under 1 + 1.2 err_m ulps and d(2 atanh t)/dt <= 2.1.
    err = 2.0 * (2.0 * n + 4.0) + 2.1 * (1.0 + 1.2 * err_m);
    return fx_shl(sum, 1);
}

// atan(t) for 0 <= t <= 1, halving the angle three times first.
Fixed atan_kernel(Fixed t, double err_t, double& err) {
    const Fixed one = one_like(t);
    int halvings = 0;
    const Fixed tenth = fx_div_int(one, 10);
    while (halvings < 3 && fx_cmp(t, tenth) > 0) {
        // t / (1 + sqrt(1 + t^2)): its slope is at most 1/2.
        const Fixed root = fx_sqrt(one + fx_mul(t, t));
        t = fx_div(t, one + root);
        err_t = 3.0 + err_t;
        ++halvings;
    }
    int n = 0;
    const Fixed sum = odd_power_series(t, fx_mul(t, t), true, n);
    err = (2.0 * n + 4.0 + err_t) * static_cast<double>(1 << halvings);
    return fx_shl(sum, halvings);
}

// log(x) for finite x > 0 at the precision of `like`.
Fixed log_of(double x, const Fixed& like, double& err) {
    int e = 0;
    double m = split_exponent(x, e);
    if (m > 1.4142135623730951) {
        m *= 0.5;
        ++e;
    }
    Fixed l = log_kernel(fx_double(m, like), 0.0, err);
    const Fixed e_ln2 = fx_mul_int(fx_ln2(like), static_cast<std::uint32_t>(e < 0 ? -e : e));
    l = e < 0 ? l - e_ln2 : l + e_ln2;
    err += 2.0 * (e < 0 ? -e : e);
    return l;
}

// exp(z) for |z| < 800, whose error is err_z ulps: the value is
// result * 2^scale within err ulps.
Fixed exp_of(const Fixed& z, double err_z, int& scale, double& err) {
    const double zd = fx_round(z);
    const double kd = std::floor(zd * 1.4426950408889634 + 0.5);
    const int k = static_cast<int>(kd);
    const Fixed k_ln2 = fx_mul_int(fx_ln2(z), static_cast<std::uint32_t>(k < 0 ? -k : k));
    const Fixed r = k < 0 ? z + k_ln2 : z - k_ln2;
    scale = k;
    return exp_kernel(r, err_z + 2.0 * (k < 0 ? -k : k), err);
}

template <class Eval>
double ziv(Eval eval) {
    double out = 0.0;
    for (int limbs : PRECISIONS) {
        if (eval(limbs, out)) {
            return out;
        }
    }
    return out;  // 1024 bits did not settle it: the nearest at that precision
}

// For x > 0 and finite y: when x^y is exactly a double or a midpoint
// between two, true with the correctly rounded x^y in out.
bool pow_exact_case(double x, double y, double& out) {
    // x = a * 2^ea with a odd.
    int ex = 0;
    const double mx = split_exponent(x, ex);
    std::uint64_t a = static_cast<std::uint64_t>(mx * 0x1p52);
    int ea = ex - 52;
    while ((a & 1u) == 0) {
        a >>= 1;
        ++ea;
    }
    // y = n / 2^k with n odd, or y an integer.
    int k = 0;
    double n = y;
    while (n != std::floor(n)) {
        n *= 2.0;
        ++k;
        if (k > 10) {
            return false;
        }
    }
    if (std::fabs(n) > 0x1p62) {
        return false;  // such a power of anything but 2 is not a double; of 2 it is handled
    }
    std::int64_t ni = static_cast<std::int64_t>(n);
    // The result is b * 2^eb with b odd.
    std::uint64_t b = 1;
    if (a != 1) {
        if (ni < 0) {
            return false;
        }
        // a must be w^(2^k); then b = w^n.
        std::uint64_t w = a;
        for (int i = 0; i < k; ++i) {
            std::uint64_t s = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(w)));
            while (s * s > w) {
                --s;
            }
            while ((s + 1) * (s + 1) <= w) {
                ++s;
            }
            if (s * s != w) {
                return false;
            }
            w = s;
        }
        for (std::int64_t i = 0; i < ni; ++i) {
            if (b > (std::uint64_t{1} << 55) / w) {
                return false;
            }
            b *= w;
        }
    }
    // eb = ea * n / 2^k must be an integer of sensible size.
    const double ebd = static_cast<double>(ea) * static_cast<double>(ni);
    if (std::fabs(ebd) > 0x1p40) {
        return false;
    }
    const std::int64_t num = static_cast<std::int64_t>(ebd);
    const std::int64_t den = std::int64_t{1} << k;
    if (num % den != 0) {
        return false;
    }
    const std::int64_t eb = num / den;
    if (eb > 1100 || eb < -1200) {
        return false;
    }
    Fixed v(0, 3);
    v = fx_int(static_cast<std::int64_t>(b), v);
    out = fx_round(v, static_cast<int>(eb));
    return true;
}

}  // namespace

double exp_exact(double x) {
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        int scale = 0;
        double err = 0.0;
        const Fixed v = exp_of(fx_double(x, like), 0.0, scale, err);
        return fx_round_test(v, err, scale, out);
    });
}

double log_exact(double x) {
    return ziv([&](int limbs, double& out) {
        double err = 0.0;
        const Fixed v = log_of(x, Fixed(limbs), err);
        return fx_round_test(v, err, 0, out);
    });
}

double log1p_exact(double x) {
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        const Fixed one = one_like(like);
        double err = 0.0;
        if (x <= 0x1p60) {
            // 1 + x exactly, then m * 2^e with m in [0.7, 1.42).
            Fixed u = one + fx_double(x, like);
            int e = fx_top_bit(u) - 32 * like.frac;
            Fixed m = fx_shr(u, e);  // exact: u has no bits below 2^-107
            if (fx_cmp(m, fx_double(1.4142135623730951, like)) > 0) {
                m = fx_shr(u, ++e);
            }
            Fixed l = log_kernel(m, 0.0, err);
            const Fixed e_ln2 = fx_mul_int(fx_ln2(like), static_cast<std::uint32_t>(e < 0 ? -e : e));
            l = e < 0 ? l - e_ln2 : l + e_ln2;
            err += 2.0 * (e < 0 ? -e : e);
            return fx_round_test(l, err, 0, out);
        }
        // log(x) + log1p(1/x), with 1/x under 2^-60.
        Fixed l = log_of(x, like, err);
        int e = 0;
        const double mx = split_exponent(x, e);
        const Fixed w = fx_shr(fx_div(one, fx_double(mx, like)), e);
        Fixed sum = w;
        Fixed power = w;
        int n = 0;
        for (std::uint32_t k = 2;; ++k) {
            power = fx_mul(power, w);
            const Fixed term = fx_div_int(power, k);
            if (term.is_zero()) {
                break;
            }
            sum = (k % 2 == 0) ? sum - term : sum + term;
            ++n;
        }
        err += 2.0 * n + 6.0;
        return fx_round_test(l + sum, err, 0, out);
    });
}

double pow_exact(double x, double y) {
    bool checked = false;
    double exact = 0.0;
    return ziv([&](int limbs, double& out) {
        if (limbs > PRECISIONS[0] && !checked) {
            checked = true;
            if (pow_exact_case(x, y, exact)) {
                out = exact;
                return true;
            }
        }
        const Fixed like(limbs);
        double err_l = 0.0;
        const Fixed l = log_of(x, like, err_l);
        const Fixed z = fx_mul(fx_double(y, like), l);
        const double err_z = 1.0 + std::fabs(y) * err_l;
        int scale = 0;
        double err = 0.0;
        const Fixed v = exp_of(z, err_z, scale, err);
        return fx_round_test(v, err, scale, out);
    });
}

Fixed reduce_half_pi(double ax, int frac, int& q) {
    // ax = m * 2^e with m an integer under 2^53.
    int ex = 0;
    const double mx = split_exponent(ax, ex);
    const std::uint64_t m = static_cast<std::uint64_t>(mx * 0x1p52);
    const int e = ex - 52;
    const std::vector<std::uint32_t>& g = two_over_pi_limbs();
    const int gbits = 32 * TWO_OVER_PI_LIMBS;
    // p = m * g exactly; ax * 2/pi = p * 2^(e - gbits).
    std::vector<std::uint32_t> p(g.size() + 2, 0);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::uint64_t mi = (m >> (32 * i)) & 0xffffffffu;
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < g.size(); ++j) {
            const std::uint64_t t = mi * g[j] + p[i + j] + carry;
            p[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + g.size()] = static_cast<std::uint32_t>(carry);
    }
    // Keep the product's bits from 2^-(32 (frac + 2)) up to 2^1: its value
    // modulo 4 with two guard limbs, short of the exact one by under one unit
    // of the last (2/pi itself is short by under 2^(54 + e - gbits) in all).
    const int wide = frac + 2;
    Fixed f(wide, 3);
    const int low = gbits - e - 32 * wide;
    for (int i = 0; i < 32 * wide + 2; ++i) {
        const int src = low + i;
        if (src >= 0 && src < 32 * static_cast<int>(p.size()) &&
            ((p[static_cast<std::size_t>(src >> 5)] >> (src & 31)) & 1u) != 0) {
            f.w[static_cast<std::size_t>(i >> 5)] |= 1u << (i & 31);
        }
    }
    q = static_cast<int>(f.w[static_cast<std::size_t>(wide)] & 3u);
    f.w[static_cast<std::size_t>(wide)] = 0;
    // Nearest quadrant: a fraction of a half or more belongs to the next.
    if ((f.w[static_cast<std::size_t>(wide - 1)] >> 31) != 0) {
        f = f - fx_int(1, f);
        q = (q + 1) & 3;
    }
    const Fixed r = fx_mul(f, half_pi_like(f));
    return fx_reshape(r, frac);
}

double sin_cos_exact(double x, bool cosine) {
    const double ax = std::fabs(x);
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        int q = 0;
        Fixed r;
        double err_r;
        if (ax < 0x1p20) {
            const double kd = std::floor(ax * 0.6366197723675814 + 0.5);
            q = static_cast<int>(kd) & 3;
            r = fx_double(ax, like) - fx_mul_int(half_pi_like(like), static_cast<std::uint32_t>(kd));
            err_r = 2.0 * kd + 1.0;
        } else {
            r = reduce_half_pi(ax, limbs, q);
            err_r = 2.0;
        }
        Fixed s, c;
        double err_s, err_c;
        sin_cos_kernel(r, err_r, s, c, err_s, err_c);
        const int quadrant = (q + (cosine ? 1 : 0)) & 3;
        Fixed v = (quadrant & 1) != 0 ? c : s;
        const double err = (quadrant & 1) != 0 ? err_c : err_s;
        if ((quadrant & 2) != 0) {
            v = -v;
        }
        if (!cosine && x < 0) {
            v = -v;
        }
        return fx_round_test(v, err, 0, out);
    });
}

double tanh_exact(double x) {
    const double ax = std::fabs(x);
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        const Fixed one = one_like(like);
        // w = exp(-2|x|), then (1 - w) / (1 + w).
        int scale = 0;
        double err_w = 0.0;
        Fixed w = exp_of(fx_double(-2.0 * ax, like), 0.0, scale, err_w);
        w = fx_shr(w, -scale);
        err_w += 1.0;
        Fixed t = fx_div(one - w, one + w);
        const double err = 1.0 + 2.0 * err_w;
        if (x < 0) {
            t = -t;
        }
        return fx_round_test(t, err, 0, out);
    });
}

double atan2_exact(double y, double x) {
    const AtanRatio r = atan_ratio(y, x);
    const bool swap = r.swapped;
    const double mn = r.num_m, md = r.den_m;
    const int s = r.num_e - r.den_e;  // num / den = (mn / md) * 2^s <= 1
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        const Fixed t_m = fx_div(fx_double(mn, like), fx_double(md, like));  // in (1/2, 2), off by under 1 ulp
        Fixed base;
        double err;
        if (s >= -12) {
            base = atan_kernel(fx_shr(t_m, -s), 2.0, err);
        } else {
            // A tiny ratio t = t_m 2^s: atan t = t_m (1 - u/3 + u^2/5 - ...) 2^s with u = t^2.
            const Fixed u = fx_shr(fx_mul(t_m, t_m), -2 * s);
            int n = 0;
            const Fixed series = odd_power_series(one_like(like), u, true, n);
            const Fixed a = fx_mul(t_m, series);
            const double err_a = 1.0 + 2.0 * (2.0 * n + 4.0) + 1.0;
            if (!swap && x > 0) {
                return fx_round_test(y < 0 ? -a : a, err_a, s, out);
            }
            base = fx_shr(a, -s);
            err = err_a + 1.0;
        }
        if (swap) {
            base = half_pi_like(like) - base;
            err += 2.0;
        }
        if (x < 0) {
            base = fx_pi(like) - base;
            err += 2.0;
        }
        return fx_round_test(y < 0 ? -base : base, err, 0, out);
    });
}

double asin_exact(double x) {
    const double ax = std::fabs(x);
    return ziv([&](int limbs, double& out) {
        const Fixed like(limbs);
        const Fixed one = one_like(like);
        const Fixed a = fx_double(ax, like);
        // 1 - a^2 = (1 - a)(1 + a) exactly: a has no bits below 2^-80.
        const Fixed c = fx_sqrt(fx_mul(one - a, one + a));
        Fixed base;
        double err;
        if (fx_cmp(a, c) <= 0) {
            base = atan_kernel(fx_div(a, c), 3.0, err);
        } else {
            base = half_pi_like(like) - atan_kernel(fx_div(c, a), 3.0, err);
            err += 2.0;
        }
        return fx_round_test(x < 0 ? -base : base, err, 0, out);
    });
}

namespace {

DD to_dd(const Fixed& v) {
    const double hi = fx_round(v);
    const double lo = fx_round(v - fx_double(hi, v));
    return {hi, lo};
}

Tables build_tables() {
    Tables t{};
    const Fixed like(6);
    const Fixed one = one_like(like);
    double err = 0.0;
    for (int j = 0; j < 53; ++j) {
        const Fixed r = fx_div_int(fx_int(j, like), 64);
        Fixed s, c;
        double es, ec;
        sin_cos_kernel(r, 0.0, s, c, es, ec);
        t.sin64[j] = to_dd(s);
        t.cos64[j] = to_dd(c);
    }
    const Fixed ln2 = fx_ln2(like);
    for (int j = 0; j < 128; ++j) {
        // 2^(j/128) = exp(j ln2 / 128), or twice exp((j - 128) ln2 / 128).
        const bool upper = j >= 64;
        const Fixed r = fx_div_int(fx_mul_int(ln2, static_cast<std::uint32_t>(upper ? 128 - j : j)), 128);
        Fixed v = exp_kernel(upper ? -r : r, 0.0, err);
        if (upper) {
            v = fx_shl(v, 1);
        }
        t.exp2_128[j] = to_dd(v);
    }
    for (int j = -38; j <= 54; ++j) {
        const double inv = 128.0 / (128.0 + j);
        t.log_inv[j + 38] = inv;
        t.log_neg[j + 38] = j == 0 ? DD{0.0, 0.0} : to_dd(-log_kernel(fx_double(inv, like), 0.0, err));
    }
    for (int j = 0; j <= 64; ++j) {
        t.atan64[j] = to_dd(atan_kernel(fx_div_int(fx_int(j, like), 64), 0.0, err));
    }
    Fixed rest = half_pi_like(like);
    for (int i = 0; i < 5; ++i) {
        t.half_pi_part[i] = fx_take_bits(rest, i < 3 ? 33 : 53);
    }
    rest = fx_div_int(ln2, 128);
    for (int i = 0; i < 3; ++i) {
        t.ln2_128_part[i] = fx_take_bits(rest, i < 2 ? 35 : 53);
    }
    rest = ln2;
    for (int i = 0; i < 3; ++i) {
        t.ln2_part[i] = fx_take_bits(rest, i < 2 ? 42 : 53);
    }
    const Fixed pi = fx_pi(like);
    t.pi = to_dd(pi);
    t.half_pi = to_dd(fx_shr(pi, 1));
    t.pi_rn = fx_round(pi);
    t.half_pi_rn = fx_round(pi, -1);
    t.quarter_pi_rn = fx_round(pi, -2);
    t.three_quarter_pi_rn = fx_round(fx_mul_int(pi, 3), -2);
    Fixed fact = one;
    for (int k = 1; k < 15; ++k) {
        t.inv[k] = to_dd(fx_div_int(one, static_cast<std::uint32_t>(k)));
        if (k < 14) {
            fact = fx_div_int(fact, static_cast<std::uint32_t>(k));
            t.inv_fact[k] = to_dd(fact);
        }
    }
    t.inv[0] = t.inv_fact[0] = {1.0, 0.0};
    return t;
}

}  // namespace

const Tables& tables() {
    static const Tables t = build_tables();
    return t;
}

}  // namespace trovelin::crmath::detail
