// Correctly rounded elementary functions: each returns the double nearest to
// the exact result (ties to even), so the same bits on every platform and
// compiler, whatever its own math library does. The catalogue's recipes use
// these, so its tables do not depend on the library the generator is built
// against. Special values (signed zeros, infinities, NaN, subnormals, overflow
// and underflow) follow C's Annex F. Rounding to nearest must be in force.
//
// A fast double-double evaluation answers almost every call; the rare
// argument whose result it cannot round for certain goes to an exact
// multiprecision evaluation.
#pragma once

namespace trovelin::crmath {

double sin(double x);
double cos(double x);
double exp(double x);
double log(double x);
double log1p(double x);
double pow(double x, double y);
double tanh(double x);
double atan2(double y, double x);
double asin(double x);

}  // namespace trovelin::crmath
