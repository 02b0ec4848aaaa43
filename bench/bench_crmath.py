"""Per-call cost of the generator's correctly rounded functions against the
platform's own <cmath>, on the kinds of argument the recipes pass.

A small C++ program is compiled from the sources with the C++ compiler found
and times both over the same arrays, alternating, several rounds each; the
figure to quote is the ratio (best round against best round), which the
machine's noise touches far less than the times. From the repository root:

    python bench/bench_crmath.py
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

PROGRAM = r"""
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>
#include "catalogue/math/crmath.hpp"
namespace m = trovelin::crmath;

template <class F> double best_ns(const std::vector<double>& xs, F f) {
    double best = 1e30;
    for (int round = 0; round < 7; ++round) {
        volatile double sink = 0.0;
        const auto t0 = std::chrono::steady_clock::now();
        double acc = 0.0;
        for (double x : xs) acc += f(x);
        sink = acc;
        (void)sink;
        const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
        best = std::min(best, ns / static_cast<double>(xs.size()));
    }
    return best;
}

int main() {
    std::mt19937_64 g(1);
    std::vector<double> angle, decay, unit, drive;
    for (int p = 32; p <= 1024; p += 32)
        for (int i = 0; i < p; ++i) angle.push_back(6.283185307179586 * i / p * (1 + i % 5));
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < 200000; ++i) {
        decay.push_back(-u(g) / 0.3);
        unit.push_back(u(g));
        drive.push_back(4.0 * std::sin(6.283185307179586 * u(g)));
    }
    (void)m::sin(0.5);  // the tables are built on the first call
    struct Row { const char* name; double lib; double cr; };
    const Row rows[] = {
        {"sin   (loop angles)", best_ns(angle, [](double x) { return std::sin(x); }), best_ns(angle, [](double x) { return m::sin(x); })},
        {"cos   (loop angles)", best_ns(angle, [](double x) { return std::cos(x); }), best_ns(angle, [](double x) { return m::cos(x); })},
        {"exp   (decays)", best_ns(decay, [](double x) { return std::exp(x); }), best_ns(decay, [](double x) { return m::exp(x); })},
        {"pow   (x^6)", best_ns(unit, [](double x) { return std::pow(x, 6.0); }), best_ns(unit, [](double x) { return m::pow(x, 6.0); })},
        {"pow   (x^-1/6)", best_ns(unit, [](double x) { return std::pow(x + 0.5, -1.0 / 6.0); }), best_ns(unit, [](double x) { return m::pow(x + 0.5, -1.0 / 6.0); })},
        {"tanh  (4 sin t)", best_ns(drive, [](double x) { return std::tanh(x); }), best_ns(drive, [](double x) { return m::tanh(x); })},
        {"log1p (e^(6 sin t))", best_ns(drive, [](double x) { return std::log1p(std::exp(1.5 * x)); }), best_ns(drive, [](double x) { return m::log1p(std::exp(1.5 * x)); })},
        {"asin  (sin t / 2)", best_ns(unit, [](double x) { return std::asin(x * 0.5); }), best_ns(unit, [](double x) { return m::asin(x * 0.5); })},
        {"atan2 (quadrants)", best_ns(drive, [](double x) { return std::atan2(x, 1.5 - x); }), best_ns(drive, [](double x) { return m::atan2(x, 1.5 - x); })},
    };
    for (const Row& r : rows) std::printf("%-22s %6.1fx the platform's (%.1f ns against %.1f ns)\n", r.name, r.cr / r.lib, r.cr, r.lib);
}
"""


def main():
    cxx = next((shutil.which(c) for c in (os.environ.get("CXX"), "c++", "g++", "clang++") if c and shutil.which(c)), None)
    if cxx is None:
        sys.exit("no C++ compiler found")
    sources = sorted((ROOT / "src" / "catalogue" / "math").glob("*.cpp"))
    with tempfile.TemporaryDirectory() as tmp:
        main_cpp = Path(tmp) / "bench_crmath.cpp"
        main_cpp.write_text(PROGRAM)
        exe = Path(tmp) / "bench_crmath"
        subprocess.run([cxx, "-std=c++20", "-O2", "-ffp-contract=off", "-fno-fast-math", "-I", str(ROOT / "src"),
                        str(main_cpp), *map(str, sources), "-o", str(exe)], check=True)
        subprocess.run([str(exe)], check=True)


if __name__ == "__main__":
    main()
