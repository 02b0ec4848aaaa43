// Double-double arithmetic for the fast paths: a value hi + lo with
// |lo| <= ulp(hi) / 2, from IEEE operations alone (no fused multiply-add, so
// products are split in the way of Veltkamp and Dekker). The build keeps the
// compiler from contracting or reassociating any of it.
#pragma once

#include <cmath>

namespace trovelin::crmath::detail {

struct DD {
    double hi;
    double lo;
};

// a + b exactly, for any a and b.
inline DD two_sum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// a + b exactly when a == 0 or |a| >= |b|.
inline DD fast_two_sum(double a, double b) {
    const double s = a + b;
    const double e = b - (s - a);
    return {s, e};
}

// a * b exactly, for |a|, |b| < 2^995 and products clear of underflow.
inline DD two_prod(double a, double b) {
    constexpr double SPLIT = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ca = SPLIT * a;
    const double ah = ca - (ca - a);
    const double al = a - ah;
    const double cb = SPLIT * b;
    const double bh = cb - (cb - b);
    const double bl = b - bh;
    const double e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    return {p, e};
}

// Sums and products, each within a few units of 2^-106 of the exact result
// relative to the larger operand (sums) or to the result (products).
inline DD dd_add(DD a, DD b) {
    const DD s = two_sum(a.hi, b.hi);
    const DD t = two_sum(a.lo, b.lo);
    double lo = s.lo + t.hi;
    const DD u = fast_two_sum(s.hi, lo);
    lo = t.lo + u.lo;
    return fast_two_sum(u.hi, lo);
}

inline DD dd_add_d(DD a, double b) {
    const DD s = two_sum(a.hi, b);
    return fast_two_sum(s.hi, s.lo + a.lo);
}

inline DD dd_neg(DD a) {
    return {-a.hi, -a.lo};
}

inline DD dd_mul(DD a, DD b) {
    DD p = two_prod(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return fast_two_sum(p.hi, p.lo);
}

inline DD dd_mul_d(DD a, double b) {
    DD p = two_prod(a.hi, b);
    p.lo += a.lo * b;
    return fast_two_sum(p.hi, p.lo);
}

// a / b, within a few units of 2^-104 relative.
inline DD dd_div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = dd_add(a, dd_neg(dd_mul_d(b, q1)));
    const double q2 = r.hi / b.hi;
    r = dd_add(r, dd_neg(dd_mul_d(b, q2)));
    const double q3 = r.hi / b.hi;
    const DD q = fast_two_sum(q1, q2);
    return dd_add_d(q, q3);
}

// sqrt(a) for a > 0 in the normal range, within a few units of 2^-104
// relative: one Newton step from the correctly rounded square root of a.hi.
inline DD dd_sqrt(DD a) {
    const double s = std::sqrt(a.hi);
    const DD sq = two_prod(s, s);
    const double r = ((a.hi - sq.hi) - sq.lo) + a.lo;
    return fast_two_sum(s, r / (2.0 * s));
}

}  // namespace trovelin::crmath::detail
