// The generator's correctly rounded functions: exact results on known
// arguments (the doubles nearest the values mpmath gives at 256 bits) and the
// special values of C's Annex F. The same bits must come out on every
// platform and compiler the generator is built with.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <ostream>
#include <string>

#include "catalogue/math/crmath.hpp"

namespace m = trovelin::crmath;

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

double call(const std::string& name, double x, double y) {
    if (name == "sin") return m::sin(x);
    if (name == "cos") return m::cos(x);
    if (name == "exp") return m::exp(x);
    if (name == "log") return m::log(x);
    if (name == "log1p") return m::log1p(x);
    if (name == "tanh") return m::tanh(x);
    if (name == "asin") return m::asin(x);
    if (name == "pow") return m::pow(x, y);
    if (name == "atan2") return m::atan2(x, y);
    ADD_FAILURE() << "no function " << name;
    return 0.0;
}

struct Known {
    const char* name;
    double x;
    double y;  // the second argument of pow and atan2
    double want;
};

// Parameters print as the call they stand for, so a failing case names itself.
void print_call(std::ostream* os, const char* name, double x, double y) {
    *os << name << '(' << std::setprecision(17) << x;
    if (std::strcmp(name, "pow") == 0 || std::strcmp(name, "atan2") == 0) *os << ", " << y;
    *os << ')';
}

void PrintTo(const Known& k, std::ostream* os) { print_call(os, k.name, k.x, k.y); }

// Includes the double closest to a multiple of pi/2, the largest double,
// results at the edges of overflow and underflow, midpoints that pow must
// settle by ties to even (511^6, and 2^-1075 between 0 and the smallest
// subnormal), and subnormal results.
const Known KNOWN[] = {
    {"sin", 0x1.0000000000000p+0, 0.0, 0x1.aed548f090ceep-1},  // sin(1.0) = 0.8414709848078965
    {"sin", 0x1.0000000000000p-27, 0.0, 0x1.0000000000000p-27},  // sin(7.450580596923828e-09) = 7.450580596923828e-09
    {"sin", -0x1.921fb54442d18p+0, 0.0, -0x1.0000000000000p+0},  // sin(-1.5707963267948966) = -1.0
    {"sin", 0x1.921fb54442d18p+1, 0.0, 0x1.1a62633145c07p-53},  // sin(3.141592653589793) = 1.2246467991473532e-16
    {"sin", 0x1.0f0cf064dd592p+73, 0.0, -0x1.b453ab76bf397p-1},  // sin(1e+22) = -0.8522008497671888
    {"sin", 0x1.6ac5b262ca1ffp+849, 0.0, 0x1.0000000000000p+0},  // sin(5.319372648326541e+255) = 1.0
    {"sin", 0x1.fffffffffffffp+1023, 0.0, 0x1.452fc98b34e97p-8},  // sin(1.7976931348623157e+308) = 0.004961954789184062
    {"sin", 0x1.d0f4a996ed424p-2, 0.0, 0x1.c1249d8011ee7p-2},  // sin(0.4540583132141498) = 0.43861623853852766
    {"cos", 0x1.0000000000000p+0, 0.0, 0x1.14a280fb5068cp-1},  // cos(1.0) = 0.5403023058681398
    {"cos", 0x1.6ac5b262ca1ffp+849, 0.0, -0x1.14ae72e6ba22fp-61},  // cos(5.319372648326541e+255) = -4.687165924254628e-19
    {"cos", 0x1.921fb54442d18p+0, 0.0, 0x1.1a62633145c07p-54},  // cos(1.5707963267948966) = 6.123233995736766e-17
    {"cos", 0x1.0f0cf064dd592p+73, 0.0, 0x1.0be2cef01c8f4p-1},  // cos(1e+22) = 0.523214785395139
    {"cos", -0x1.0000000000000p-26, 0.0, 0x1.fffffffffffffp-1},  // cos(-1.4901161193847656e-08) = 0.9999999999999999
    {"cos", 0x1.91df7ab7ba40ap+6, 0.0, 0x1.fefe4068933cdp-1},  // cos(100.46824156832022) = 0.9980335357337197
    {"exp", 0x1.0000000000000p+0, 0.0, 0x1.5bf0a8b145769p+1},  // exp(1.0) = 2.718281828459045
    {"exp", -0x1.0000000000000p+0, 0.0, 0x1.78b56362cef38p-2},  // exp(-1.0) = 0.36787944117144233
    {"exp", 0x1.62e42fefa39efp+9, 0.0, 0x1.fffffffffff2ap+1023},  // exp(709.782712893384) = 1.7976931348622732e+308
    {"exp", -0x1.74910d52d3051p+9, 0.0, 0x0.0000000000001p-1022},  // exp(-745.1332191019411) = 5e-324
    {"exp", -0x1.6240000000000p+9, 0.0, 0x0.e6cf6d08897acp-1022},  // exp(-708.5) = 2.006132305331306e-308
    {"exp", -0x1.0000000000000p+0, 0.0, 0x1.78b56362cef38p-2},  // exp(-1.0) = 0.36787944117144233
    {"exp", 0x1.0000000000000p-53, 0.0, 0x1.0000000000001p+0},  // exp(1.1102230246251565e-16) = 1.0000000000000002
    {"log", 0x1.0000000000000p+1, 0.0, 0x1.62e42fefa39efp-1},  // log(2.0) = 0.6931471805599453
    {"log", 0x0.0000000000001p-1022, 0.0, -0x1.74385446d71c3p+9},  // log(5e-324) = -744.4400719213812
    {"log", 0x1.fffffffffffffp+1023, 0.0, 0x1.62e42fefa39efp+9},  // log(1.7976931348623157e+308) = 709.782712893384
    {"log", 0x1.0000000000001p+0, 0.0, 0x1.fffffffffffffp-53},  // log(1.0000000000000002) = 2.2204460492503128e-16
    {"log", 0x1.4000000000000p+3, 0.0, 0x1.26bb1bbb55516p+1},  // log(10.0) = 2.302585092994046
    {"log1p", -0x1.0000000000000p-1, 0.0, -0x1.62e42fefa39efp-1},  // log1p(-0.5) = -0.6931471805599453
    {"log1p", 0x1.0000000000000p-30, 0.0, 0x1.fffffffc00000p-31},  // log1p(9.313225746154785e-10) = 9.313225741817976e-10
    {"log1p", -0x1.fffffffffffffp-1, 0.0, -0x1.25e4f7b2737fap+5},  // log1p(-0.9999999999999999) = -36.7368005696771
    {"log1p", 0x1.936dc5690c08fp+8, 0.0, 0x1.80288fc6ace96p+2},  // log1p(403.4287934927351) = 6.00247568513773
    {"log1p", 0x1.7e43c8800759cp+996, 0.0, 0x1.5963447f87fb5p+9},  // log1p(1e+300) = 690.7755278982137
    {"tanh", 0x1.0000000000000p-1, 0.0, 0x1.d9353d7568af3p-2},  // tanh(0.5) = 0.46211715726000974
    {"tanh", -0x1.0000000000000p+2, 0.0, -0x1.ffa81708a0b42p-1},  // tanh(-4.0) = -0.999329299739067
    {"tanh", 0x1.0000000000000p-26, 0.0, 0x1.fffffffffffffp-27},  // tanh(1.4901161193847656e-08) = 1.4901161193847655e-08
    {"tanh", 0x1.3000000000000p+4, 0.0, 0x1.fffffffffffffp-1},  // tanh(19.0) = 0.9999999999999999
    {"tanh", 0x1.0624dd2f1a9fcp-10, 0.0, 0x1.0624d77516ce2p-10},  // tanh(0.001) = 0.0009999996666668
    {"asin", 0x1.0000000000000p-1, 0.0, 0x1.0c152382d7366p-1},  // asin(0.5) = 0.5235987755982989
    {"asin", -0x1.5555555555555p-1, 0.0, -0x1.759edd04f68dep-1},  // asin(-0.6666666666666666) = -0.7297276562269663
    {"asin", 0x1.fffffffffffffp-1, 0.0, 0x1.921fb50442d18p+0},  // asin(0.9999999999999999) = 1.5707963118937354
    {"asin", 0x1.0000000000000p-26, 0.0, 0x1.0000000000000p-26},  // asin(1.4901161193847656e-08) = 1.4901161193847656e-08
    {"pow", 0x1.ff00000000000p+8, 0x1.8000000000000p+2, 0x1.fa077b01dfa00p+53},  // pow(511.0, 6.0) = 1.780432038867456e+16
    {"pow", 0x1.0000000000000p-43, 0x1.9000000000000p+4, 0x0.0p+0},  // pow(1.1368683772161603e-13, 25.0) = 0.0
    {"pow", 0x1.0000000000000p-640, 0x1.ae00000000000p+0, 0x0.0p+0},  // pow(2.191809349008403e-193, 1.6796875) = 0.0
    {"pow", 0x1.8000000000000p-1, -0x1.5555555555555p-3, 0x1.0c92ce07230edp+0},  // pow(0.75, -0.16666666666666666) = 1.0491150634216482
    {"pow", 0x1.3333333333333p-2, 0x1.ccccccccccccdp-1, 0x1.5a8131b97fd82p-2},  // pow(0.3, 0.9) = 0.3383834619016498
    {"pow", -0x1.8000000000000p+1, 0x1.8000000000000p+1, -0x1.b000000000000p+4},  // pow(-3.0, 3.0) = -27.0
    {"pow", 0x1.0000000000001p+0, 0x1.0000000000000p+60, 0x1.41c7a8814be19p+369},  // pow(1.0000000000000002, 1.152921504606847e+18) = 1.5114276650040605e+111
    {"pow", 0x1.4000000000000p+3, -0x1.4000000000000p+8, 0x0.00000000007e8p-1022},  // pow(10.0, -320.0) = 1e-320
    {"pow", 0x1.2000000000000p+3, 0x1.0000000000000p-1, 0x1.8000000000000p+1},  // pow(9.0, 0.5) = 3.0
    {"atan2", 0x1.0000000000000p+0, 0x1.0000000000000p+0, 0x1.921fb54442d18p-1},  // atan2(1.0, 1.0) = 0.7853981633974483
    {"atan2", -0x1.0000000000000p+0, -0x1.0000000000000p+0, -0x1.2d97c7f3321d2p+1},  // atan2(-1.0, -1.0) = -2.356194490192345
    {"atan2", 0x0.00000000007e8p-1022, 0x1.0000000000000p+0, 0x0.00000000007e8p-1022},  // atan2(1e-320, 1.0) = 1e-320
    {"atan2", 0x1.56e1fc2f8f359p-997, -0x1.0000000000000p+0, 0x1.921fb54442d18p+1},  // atan2(1e-300, -1.0) = 3.141592653589793
    {"atan2", 0x1.0000000000000p+1, 0x1.56e1fc2f8f359p-997, 0x1.921fb54442d18p+0},  // atan2(2.0, 1e-300) = 1.5707963267948966
    {"atan2", 0x1.6666666666666p-2, 0x1.999999999999ap-1, 0x1.a64eec3cc23fcp-2},  // atan2(0.35, 0.8) = 0.41241044159738727
};

class KnownValues : public ::testing::TestWithParam<Known> {};

TEST_P(KnownValues, AreTheNearestDoubles) {
    const Known& k = GetParam();
    const double got = call(k.name, k.x, k.y);
    EXPECT_EQ(bits(got), bits(k.want)) << k.name << "(" << k.x << ", " << k.y << ") = " << got << ", not " << k.want;
}

INSTANTIATE_TEST_SUITE_P(Crmath, KnownValues, ::testing::ValuesIn(KNOWN));

struct Special {
    const char* name;
    double x;
    double y;
    double want;  // NaN: any NaN
};

void PrintTo(const Special& s, std::ostream* os) { print_call(os, s.name, s.x, s.y); }

const Special SPECIAL[] = {
    {"sin", 0.0, 0, 0.0}, {"sin", -0.0, 0, -0.0}, {"sin", INF, 0, NaN}, {"sin", -INF, 0, NaN}, {"sin", NaN, 0, NaN},
    {"sin", 5e-324, 0, 5e-324}, {"sin", -5e-324, 0, -5e-324},
    {"cos", -0.0, 0, 1.0}, {"cos", INF, 0, NaN}, {"cos", NaN, 0, NaN},
    {"exp", -0.0, 0, 1.0}, {"exp", INF, 0, INF}, {"exp", -INF, 0, 0.0}, {"exp", 710.0, 0, INF}, {"exp", -746.0, 0, 0.0},
    {"exp", NaN, 0, NaN},
    {"log", 0.0, 0, -INF}, {"log", -0.0, 0, -INF}, {"log", 1.0, 0, 0.0}, {"log", -1.0, 0, NaN}, {"log", INF, 0, INF},
    {"log1p", -0.0, 0, -0.0}, {"log1p", -1.0, 0, -INF}, {"log1p", -2.0, 0, NaN}, {"log1p", INF, 0, INF},
    {"log1p", 1e-300, 0, 1e-300},
    {"tanh", -0.0, 0, -0.0}, {"tanh", INF, 0, 1.0}, {"tanh", -INF, 0, -1.0}, {"tanh", 5e-324, 0, 5e-324},
    {"asin", -0.0, 0, -0.0}, {"asin", 1.0000000000000002, 0, NaN}, {"asin", -INF, 0, NaN},
    {"asin", -1.0, 0, -1.5707963267948966},
    {"pow", NaN, 0.0, 1.0}, {"pow", 1.0, NaN, 1.0}, {"pow", -1.0, INF, 1.0}, {"pow", -1.0, -INF, 1.0},
    {"pow", -0.0, -3.0, -INF}, {"pow", -0.0, -2.0, INF}, {"pow", 0.0, -0.5, INF}, {"pow", -0.0, -INF, INF},
    {"pow", -0.0, 3.0, -0.0}, {"pow", -0.0, 0.5, 0.0}, {"pow", -0.0, 4.0, 0.0},
    {"pow", 0.5, -INF, INF}, {"pow", 2.0, -INF, 0.0}, {"pow", 0.5, INF, 0.0}, {"pow", -2.0, INF, INF},
    {"pow", -INF, -3.0, -0.0}, {"pow", -INF, -2.0, 0.0}, {"pow", -INF, 3.0, -INF}, {"pow", -INF, 0.5, INF},
    {"pow", INF, -1.0, 0.0}, {"pow", INF, 0.1, INF}, {"pow", -2.0, 0.5, NaN}, {"pow", -8.0, 1.0 / 3.0, NaN},
    {"pow", -2.0, 3.0, -8.0}, {"pow", -1.0, 3.0, -1.0}, {"pow", 2.0, 1024.0, INF}, {"pow", -2.0, 1025.0, -INF},
    {"pow", -2.0, -1075.0, -0.0}, {"pow", 2.0, -1074.0, 5e-324},
    {"atan2", 0.0, 0.0, 0.0}, {"atan2", -0.0, 0.0, -0.0}, {"atan2", 0.0, -0.0, 3.141592653589793},
    {"atan2", -0.0, -0.0, -3.141592653589793}, {"atan2", -0.0, -1.0, -3.141592653589793}, {"atan2", 0.0, 1.0, 0.0},
    {"atan2", 1.0, 0.0, 1.5707963267948966}, {"atan2", -1.0, -0.0, -1.5707963267948966},
    {"atan2", INF, INF, 0.7853981633974483}, {"atan2", -INF, -INF, -2.356194490192345},
    {"atan2", INF, -1.0, 1.5707963267948966}, {"atan2", 1.0, -INF, 3.141592653589793}, {"atan2", -1.0, INF, -0.0},
    {"atan2", NaN, 1.0, NaN}, {"atan2", 1.0, NaN, NaN},
};

class SpecialValues : public ::testing::TestWithParam<Special> {};

TEST_P(SpecialValues, FollowAnnexF) {
    const Special& s = GetParam();
    const double got = call(s.name, s.x, s.y);
    if (std::isnan(s.want)) {
        EXPECT_TRUE(std::isnan(got)) << s.name << "(" << s.x << ", " << s.y << ") = " << got;
    } else {
        EXPECT_EQ(bits(got), bits(s.want)) << s.name << "(" << s.x << ", " << s.y << ") = " << got << ", not " << s.want;
    }
}

INSTANTIATE_TEST_SUITE_P(Crmath, SpecialValues, ::testing::ValuesIn(SPECIAL));

}  // namespace
