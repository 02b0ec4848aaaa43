// A C entry point to the correctly rounded functions for tests/test_crmath.py,
// which compiles it with the library's sources into a shared library and
// calls it through ctypes: arrays in, an array out.
#include <cstddef>

#include "catalogue/math/crmath.hpp"
#include "catalogue/math/internal.hpp"

#if defined(_WIN32)
#define PROBE_EXPORT extern "C" __declspec(dllexport)
#else
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Function numbers: 0 sin, 1 cos, 2 exp, 3 log, 4 log1p, 5 tanh, 6 asin,
// 7 pow(x, y), 8 atan2(x, y) -- that is, atan2 of y = x[i] over x = y[i];
// 9 to 17 the same through their exact fallbacks alone, for arguments past
// the special cases (pow's x > 0; atan2's both nonzero and finite).
PROBE_EXPORT int crmath_probe(int function, const double* x, const double* y, double* out, std::size_t n) {
    namespace m = trovelin::crmath;
    namespace d = trovelin::crmath::detail;
    for (std::size_t i = 0; i < n; ++i) {
        switch (function) {
            case 0: out[i] = m::sin(x[i]); break;
            case 1: out[i] = m::cos(x[i]); break;
            case 2: out[i] = m::exp(x[i]); break;
            case 3: out[i] = m::log(x[i]); break;
            case 4: out[i] = m::log1p(x[i]); break;
            case 5: out[i] = m::tanh(x[i]); break;
            case 6: out[i] = m::asin(x[i]); break;
            case 7: out[i] = m::pow(x[i], y[i]); break;
            case 8: out[i] = m::atan2(x[i], y[i]); break;
            case 9: out[i] = d::sin_cos_exact(x[i], false); break;
            case 10: out[i] = d::sin_cos_exact(x[i], true); break;
            case 11: out[i] = d::exp_exact(x[i]); break;
            case 12: out[i] = d::log_exact(x[i]); break;
            case 13: out[i] = d::log1p_exact(x[i]); break;
            case 14: out[i] = d::tanh_exact(x[i]); break;
            case 15: out[i] = d::asin_exact(x[i]); break;
            case 16: out[i] = d::pow_exact(x[i], y[i]); break;
            case 17: out[i] = d::atan2_exact(x[i], y[i]); break;
            default: return -1;
        }
    }
    return 0;
}

// The fast paths' double-double answers with their error bounds, for the
// same function numbers 0 to 8 and the arguments those paths take; 9 to 11
// the quicker first tries of sin, cos and exp.
PROBE_EXPORT int crmath_probe_fast(int function, const double* x, const double* y, double* hi, double* lo,
                                   double* err, int* scale, std::size_t n) {
    namespace d = trovelin::crmath::detail;
    for (std::size_t i = 0; i < n; ++i) {
        d::Fast f{};
        switch (function) {
            case 0: f = d::fast_sin_cos(x[i], false, false); break;
            case 1: f = d::fast_sin_cos(x[i], true, false); break;
            case 2: f = d::fast_exp(x[i], false); break;
            case 3: f = d::fast_log(x[i]); break;
            case 4: f = d::fast_log1p(x[i]); break;
            case 5: f = d::fast_tanh(x[i]); break;
            case 6: f = d::fast_asin(x[i]); break;
            case 7: f = d::fast_pow(x[i], y[i]); break;
            case 8: f = d::fast_atan2(x[i], y[i]); break;
            case 9: f = d::fast_sin_cos(x[i], false, true); break;
            case 10: f = d::fast_sin_cos(x[i], true, true); break;
            case 11: f = d::fast_exp(x[i], true); break;
            default: return -1;
        }
        hi[i] = f.v.hi;
        lo[i] = f.v.lo;
        err[i] = f.err;
        scale[i] = f.scale;
    }
    return 0;
}
