#include "catalogue/math/fixed.hpp"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace trovelin::crmath::detail {

namespace {

using Limbs = std::vector<std::uint32_t>;

void negate(Limbs& a) {
    std::uint64_t carry = 1;
    for (auto& x : a) {
        const std::uint64_t t = static_cast<std::uint64_t>(~x) + carry;
        x = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
}

bool all_zero(const Limbs& a) {
    for (auto x : a) {
        if (x != 0) {
            return false;
        }
    }
    return true;
}

// Compares magnitudes of equal length.
int compare(const Limbs& a, const Limbs& b) {
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
    }
    return 0;
}

// a -= b over equal lengths (a >= b).
void sub_in_place(Limbs& a, const Limbs& b) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::int64_t t = static_cast<std::int64_t>(a[i]) - static_cast<std::int64_t>(b[i]) - borrow;
        a[i] = static_cast<std::uint32_t>(t);
        borrow = t < 0 ? 1 : 0;
    }
}

int top_bit(const Limbs& a) {
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != 0) {
            return static_cast<int>(i) * 32 + 31 - std::countl_zero(a[i]);
        }
    }
    return -1;
}

bool get_bit(const Limbs& a, int i) {
    return ((a[static_cast<std::size_t>(i >> 5)] >> (i & 31)) & 1u) != 0;
}

void set_bit(Limbs& a, int i) {
    a[static_cast<std::size_t>(i >> 5)] |= 1u << (i & 31);
}

// Up to 64 bits of a starting at bit `pos` (bits beyond the top read as 0).
std::uint64_t get_bits(const Limbs& a, int pos, int count) {
    std::uint64_t out = 0;
    for (int k = 0; k < count; ++k) {
        const int i = pos + k;
        if (i >= 0 && i < static_cast<int>(a.size()) * 32 && get_bit(a, i)) {
            out |= std::uint64_t{1} << k;
        }
    }
    return out;
}

bool any_bits_below(const Limbs& a, int pos) {
    const int size = static_cast<int>(a.size());
    const int full = pos >> 5;
    for (int i = 0; i < full && i < size; ++i) {
        if (a[static_cast<std::size_t>(i)] != 0) {
            return true;
        }
    }
    const int rest = pos & 31;
    return full < size && rest != 0 && (a[static_cast<std::size_t>(full)] & ((1u << rest) - 1u)) != 0;
}

Limbs shift_left(const Limbs& a, int n, std::size_t size) {
    Limbs out(size, 0);
    const int limbs = n >> 5;
    const int bits = n & 31;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::size_t j = i + static_cast<std::size_t>(limbs);
        const std::uint64_t v = static_cast<std::uint64_t>(a[i]) << bits;
        if (j < size) {
            out[j] |= static_cast<std::uint32_t>(v);
        }
        if (j + 1 < size) {
            out[j + 1] |= static_cast<std::uint32_t>(v >> 32);
        }
    }
    return out;
}

Limbs shift_right(const Limbs& a, int n) {
    Limbs out(a.size(), 0);
    const std::size_t limbs = static_cast<std::size_t>(n >> 5);
    const int bits = n & 31;
    for (std::size_t i = limbs; i < a.size(); ++i) {
        std::uint64_t v = a[i];
        if (i + 1 < a.size()) {
            v |= static_cast<std::uint64_t>(a[i + 1]) << 32;
        }
        out[i - limbs] = static_cast<std::uint32_t>(v >> bits);
    }
    return out;
}

Limbs magnitude(const Fixed& a) {
    Limbs m = a.w;
    if (a.negative()) {
        negate(m);
    }
    return m;
}

Fixed with_sign(Limbs mag, bool neg, const Fixed& like) {
    Fixed out;
    out.frac = like.frac;
    out.w = std::move(mag);
    out.w.resize(like.w.size(), 0);
    assert((out.w.back() >> 31) == 0);
    if (neg) {
        negate(out.w);
    }
    return out;
}

// floor(num / den) for magnitudes; den nonzero.
Limbs divide(const Limbs& num, const Limbs& den) {
    Limbs q(num.size(), 0);
    Limbs r(den.size() + 1, 0);
    Limbs d = den;
    d.push_back(0);
    for (int i = top_bit(num); i >= 0; --i) {
        // r = 2 r + bit
        std::uint32_t carry = get_bit(num, i) ? 1u : 0u;
        for (auto& x : r) {
            const std::uint32_t next = x >> 31;
            x = (x << 1) | carry;
            carry = next;
        }
        if (compare(r, d) >= 0) {
            sub_in_place(r, d);
            set_bit(q, i);
        }
    }
    return q;
}

double pow2(int k) {
    // 2^k for -1074 <= k <= 1023, built from its bits.
    if (k >= -1022) {
        return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
    }
    return std::bit_cast<double>(std::uint64_t{1} << (k + 1074));
}

}  // namespace

Fixed::Fixed(int frac_limbs, int whole_limbs)
    : w(static_cast<std::size_t>(frac_limbs + whole_limbs), 0), frac(frac_limbs) {}

bool Fixed::is_zero() const {
    return all_zero(w);
}

Fixed fx_int(std::int64_t v, const Fixed& like) {
    Fixed out(like.frac, like.size() - like.frac);
    const std::uint64_t mag = v < 0 ? static_cast<std::uint64_t>(-(v + 1)) + 1 : static_cast<std::uint64_t>(v);
    Limbs m(out.w.size(), 0);
    m[static_cast<std::size_t>(like.frac)] = static_cast<std::uint32_t>(mag);
    m[static_cast<std::size_t>(like.frac) + 1] = static_cast<std::uint32_t>(mag >> 32);
    return with_sign(std::move(m), v < 0, like);
}

Fixed fx_double(double v, const Fixed& like) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mant = bits & ((std::uint64_t{1} << 52) - 1);
    int e = biased - 1075;
    if (biased == 0) {
        e = -1074;
    } else {
        mant |= std::uint64_t{1} << 52;
    }
    Limbs m{static_cast<std::uint32_t>(mant), static_cast<std::uint32_t>(mant >> 32)};
    const int pos = e + 32 * like.frac;
    Limbs mag;
    if (pos >= 0) {
        mag = shift_left(m, pos, like.w.size());
    } else if (pos > -64) {
        mag = shift_right(m, -pos);
        mag.resize(like.w.size(), 0);
    } else {
        mag.assign(like.w.size(), 0);
    }
    return with_sign(std::move(mag), (bits >> 63) != 0, like);
}

Fixed operator+(const Fixed& a, const Fixed& b) {
    assert(a.frac == b.frac && a.w.size() == b.w.size());
    Fixed out = a;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < out.w.size(); ++i) {
        const std::uint64_t t = static_cast<std::uint64_t>(a.w[i]) + b.w[i] + carry;
        out.w[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    return out;
}

Fixed operator-(const Fixed& a) {
    Fixed out = a;
    negate(out.w);
    return out;
}

Fixed operator-(const Fixed& a, const Fixed& b) {
    return a + (-b);
}

Fixed fx_abs(const Fixed& a) {
    return a.negative() ? -a : a;
}

Fixed fx_mul(const Fixed& a, const Fixed& b) {
    assert(a.frac == b.frac && a.w.size() == b.w.size());
    const Limbs x = magnitude(a);
    const Limbs y = magnitude(b);
    const std::size_t n = x.size();
    std::vector<std::uint32_t> p(2 * n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (x[i] == 0) {
            continue;
        }
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const std::uint64_t t = static_cast<std::uint64_t>(x[i]) * y[j] + p[i + j] + carry;
            p[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        p[i + n] = static_cast<std::uint32_t>(carry);
    }
    const std::size_t f = static_cast<std::size_t>(a.frac);
    Limbs mag(p.begin() + static_cast<std::ptrdiff_t>(f), p.begin() + static_cast<std::ptrdiff_t>(f + n));
    return with_sign(std::move(mag), a.negative() != b.negative(), a);
}

Fixed fx_mul_int(const Fixed& a, std::uint32_t m) {
    Limbs x = magnitude(a);
    std::uint64_t carry = 0;
    for (auto& v : x) {
        const std::uint64_t t = static_cast<std::uint64_t>(v) * m + carry;
        v = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
    assert(carry == 0);
    return with_sign(std::move(x), a.negative(), a);
}

Fixed fx_div_int(const Fixed& a, std::uint32_t d) {
    Limbs x = magnitude(a);
    std::uint64_t rem = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        const std::uint64_t cur = (rem << 32) | x[i];
        x[i] = static_cast<std::uint32_t>(cur / d);
        rem = cur % d;
    }
    return with_sign(std::move(x), a.negative(), a);
}

Fixed fx_div(const Fixed& a, const Fixed& b) {
    assert(a.frac == b.frac && a.w.size() == b.w.size());
    const Limbs x = magnitude(a);
    const Limbs y = magnitude(b);
    const Limbs num = shift_left(x, 32 * a.frac, x.size() + static_cast<std::size_t>(a.frac));
    Limbs q = divide(num, y);
    q.resize(a.w.size());
    return with_sign(std::move(q), a.negative() != b.negative(), a);
}

Fixed fx_sqrt(const Fixed& a) {
    assert(!a.negative());
    // Digit by digit on N = a * 2^(32 frac): floor(sqrt(N)) is the result.
    const std::size_t size = a.w.size() + static_cast<std::size_t>(a.frac) + 1;
    Limbs x = shift_left(a.w, 32 * a.frac, size);
    Limbs r(size, 0);
    int tb = top_bit(x);
    if (tb < 0) {
        return a;
    }
    int bit = tb & ~1;
    Limbs t(size, 0);
    while (bit >= 0) {
        // t = r + 2^bit
        t = r;
        {
            std::uint64_t carry = std::uint64_t{1} << (bit & 31);
            for (std::size_t i = static_cast<std::size_t>(bit >> 5); i < size && carry != 0; ++i) {
                const std::uint64_t s = t[i] + carry;
                t[i] = static_cast<std::uint32_t>(s);
                carry = s >> 32;
            }
        }
        if (compare(x, t) >= 0) {
            sub_in_place(x, t);
            r = shift_right(r, 1);
            set_bit(r, bit);
        } else {
            r = shift_right(r, 1);
        }
        bit -= 2;
    }
    r.resize(a.w.size());
    return with_sign(std::move(r), false, a);
}

Fixed fx_shr(const Fixed& a, int n) {
    if (n <= 0) {
        return fx_shl(a, -n);
    }
    const bool neg = a.negative();
    Fixed out = a;
    if (n >= 32 * a.size()) {
        std::fill(out.w.begin(), out.w.end(), neg ? 0xffffffffu : 0u);
        return out;
    }
    out.w = shift_right(a.w, n);
    if (neg) {
        // Sign-fill the vacated top bits.
        const int total = 32 * a.size();
        for (int i = total - n; i < total; ++i) {
            set_bit(out.w, i);
        }
    }
    return out;
}

Fixed fx_shl(const Fixed& a, int n) {
    if (n <= 0) {
        return n == 0 ? a : fx_shr(a, -n);
    }
    Fixed out = a;
    out.w = shift_left(a.w, n, a.w.size());
    return out;
}

Fixed fx_reshape(const Fixed& a, int frac, int whole) {
    Fixed out(frac, whole);
    const bool neg = a.negative();
    const int delta = frac - a.frac;  // limbs added at the bottom
    for (int i = 0; i < out.size(); ++i) {
        const int j = i - delta;
        std::uint32_t v;
        if (j < 0) {
            v = 0;
        } else if (j < a.size()) {
            v = a.w[static_cast<std::size_t>(j)];
        } else {
            v = neg ? 0xffffffffu : 0u;
        }
        out.w[static_cast<std::size_t>(i)] = v;
    }
    return out;
}

int fx_cmp(const Fixed& a, const Fixed& b) {
    const Fixed d = a - b;
    if (d.is_zero()) {
        return 0;
    }
    return d.negative() ? -1 : 1;
}

int fx_top_bit(const Fixed& a) {
    return top_bit(magnitude(a));
}

double fx_round(const Fixed& a, int scale) {
    const bool neg = a.negative();
    const Limbs m = magnitude(a);
    const int p = top_bit(m);
    if (p < 0) {
        return neg ? -0.0 : 0.0;
    }
    // a * 2^scale = m * 2^base, with its leading bit at 2^(p + base).
    const long long base = static_cast<long long>(scale) - 32LL * a.frac;
    const long long lead = p + base;
    if (lead >= 1024) {
        return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    long long q = lead - 52;  // weight of the last place kept
    if (q < -1074) {
        q = -1074;
    }
    std::uint64_t r;
    const long long drop = q - base;  // bits of m below the last place
    if (drop <= 0) {
        r = get_bits(m, 0, 64) << (-drop);
    } else if (drop > p + 1) {
        r = 0;  // below half of the smallest subnormal
    } else {
        const int d = static_cast<int>(drop);
        r = get_bits(m, d, 54);
        const bool half = get_bit(m, d - 1);
        const bool sticky = any_bits_below(m, d - 1);
        if (half && (sticky || (r & 1u) != 0)) {
            ++r;
        }
    }
    if (r == 0) {
        return neg ? -0.0 : 0.0;
    }
    // r <= 2^53; r * 2^q is representable unless it reached 2^1024.
    if (q + 63 - std::countl_zero(r) >= 1024) {
        return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    double v = static_cast<double>(r);
    int qi = static_cast<int>(q);
    if (qi > 1023 - 53) {
        v *= pow2(qi - 60);
        v *= pow2(60);
    } else {
        v *= pow2(qi);
    }
    return neg ? -v : v;
}

bool fx_round_test(const Fixed& a, double err, int scale, double& out) {
    out = fx_round(a, scale);
    if (!(err < 0x1p80)) {
        return false;
    }
    // delta >= err + 1 ulps, as an integer count of ulps.
    const double d = std::floor(err * (1.0 + 0x1p-40)) + 2.0;
    int e = 0;
    const double m = std::frexp(d, &e);  // d = m 2^e, 1/2 <= m < 1
    const std::uint64_t mant = static_cast<std::uint64_t>(std::ldexp(m, 53));
    Fixed delta(a.frac, a.size() - a.frac);
    const Limbs raw{static_cast<std::uint32_t>(mant), static_cast<std::uint32_t>(mant >> 32)};
    delta.w = e >= 53 ? shift_left(raw, e - 53, delta.w.size()) : shift_right(raw, 53 - e);
    delta.w.resize(a.w.size(), 0);
    const double lo = fx_round(a - delta, scale);
    const double hi = fx_round(a + delta, scale);
    return std::bit_cast<std::uint64_t>(lo) == std::bit_cast<std::uint64_t>(hi);
}

double fx_take_bits(Fixed& a, int bits) {
    assert(!a.negative() && !a.is_zero());
    const int p = top_bit(a.w);
    const int low = p - bits + 1 > 0 ? p - bits + 1 : 0;
    const std::uint64_t chunk = get_bits(a.w, low, p - low + 1);
    // Clear the bits taken.
    for (int i = low; i <= p; ++i) {
        a.w[static_cast<std::size_t>(i >> 5)] &= ~(1u << (i & 31));
    }
    Fixed piece(a.frac, a.size() - a.frac);
    piece.w[0] = static_cast<std::uint32_t>(chunk);
    piece.w[1] = static_cast<std::uint32_t>(chunk >> 32);
    return fx_round(piece, low);
}

namespace {

// sum over k of (-1)^k / ((2k+1) n^(2k+1)), or without the signs: atan(1/n)
// and atanh(1/n). Each term is off by under 2 ulps.
Fixed arctan_inverse(std::uint32_t n, bool hyperbolic, int frac) {
    Fixed one(frac);
    one = fx_int(1, one);
    Fixed power = fx_div_int(one, n);
    Fixed sum = power;
    const std::uint32_t n2 = n * n;
    for (std::uint32_t k = 1; !power.is_zero(); ++k) {
        power = fx_div_int(power, n2);
        const Fixed term = fx_div_int(power, 2 * k + 1);
        sum = (hyperbolic || k % 2 == 0) ? sum + term : sum - term;
    }
    return sum;
}

constexpr int GUARD = 2;
constexpr int PI_LIMBS = TWO_OVER_PI_LIMBS + 2;
constexpr int LN2_LIMBS = 48;

const Fixed& pi_full() {
    // Machin: pi = 16 atan(1/5) - 4 atan(1/239).
    static const Fixed pi = [] {
        const Fixed a = arctan_inverse(5, false, PI_LIMBS + GUARD);
        const Fixed b = arctan_inverse(239, false, PI_LIMBS + GUARD);
        return fx_reshape(fx_mul_int(a, 16) - fx_mul_int(b, 4), PI_LIMBS);
    }();
    return pi;
}

const Fixed& ln2_full() {
    // ln 2 = 2 atanh(1/3).
    static const Fixed ln2 = [] {
        return fx_reshape(fx_mul_int(arctan_inverse(3, true, LN2_LIMBS + GUARD), 2), LN2_LIMBS);
    }();
    return ln2;
}

}  // namespace

Fixed fx_pi(const Fixed& like) {
    assert(like.frac <= PI_LIMBS);
    return fx_reshape(pi_full(), like.frac, like.size() - like.frac);
}

Fixed fx_ln2(const Fixed& like) {
    assert(like.frac <= LN2_LIMBS);
    return fx_reshape(ln2_full(), like.frac, like.size() - like.frac);
}

const std::vector<std::uint32_t>& two_over_pi_limbs() {
    static const std::vector<std::uint32_t> limbs = [] {
        const Fixed& pi = pi_full();
        const Fixed two = fx_int(2, pi);
        const Fixed q = fx_div(two, pi);
        return std::vector<std::uint32_t>(q.w.begin() + (PI_LIMBS - TWO_OVER_PI_LIMBS), q.w.begin() + PI_LIMBS);
    }();
    return limbs;
}

}  // namespace trovelin::crmath::detail
