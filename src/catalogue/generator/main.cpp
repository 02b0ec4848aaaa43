// Builds the catalogue at compile time: runs every family recipe, rounds each
// coordinate to 12 decimal places, checks every entry, and writes
//   catalogue_rows.bin     rows of three doubles, back to back, catalogue order
//   catalogue_entries.inc  the constant entry array and the sorted name index
// Any entry that fails a check stops the build with the entry's name.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/generator/checks.hpp"
#include "catalogue/recipes/families.hpp"

namespace fs = std::filesystem;
using trovelin::generator::Refusal;
using trovelin::generator::check_shape;
using trovelin::generator::round12;
using trovelin::recipes::Point;
using trovelin::recipes::Shape;

namespace {

// A C++ string literal with every byte outside plain printable ASCII escaped
// in octal (at most three digits, so a following digit cannot join it).
std::string literal(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?') {
            out += ch;
        } else {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\%03o", c);
            out += esc;
        }
    }
    return out + "\"";
}

void write_outputs(const std::vector<Shape>& shapes, const fs::path& dir) {
    fs::create_directories(dir);
    std::vector<std::uint64_t> by_name(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        by_name[i] = i;
    }
    std::sort(by_name.begin(), by_name.end(),
              [&](std::uint64_t a, std::uint64_t b) { return shapes[a].name < shapes[b].name; });

    const fs::path rows_tmp = dir / "catalogue_rows.bin.tmp";
    const fs::path inc_tmp = dir / "catalogue_entries.inc.tmp";
    std::uint64_t row_count = 0;
    {
        std::ofstream rows(rows_tmp, std::ios::binary);
        std::ofstream inc(inc_tmp);
        inc << "// Generated at build time from the catalogue's family recipes. Do not edit.\n";
        inc << "constexpr CatalogueEntry CATALOGUE[] = {\n";
        for (const Shape& s : shapes) {
            inc << "    {{" << literal(s.name) << ", " << literal(s.description) << ", " << s.period << ", "
                << s.dimensions << "}, " << row_count << "},\n";
            for (const Point& p : s.rows) {
                const double xyz[3] = {p.x, p.y, p.z};
                rows.write(reinterpret_cast<const char*>(xyz), sizeof xyz);
            }
            row_count += s.rows.size();
        }
        inc << "};\n\nconstexpr std::uint64_t CATALOGUE_BY_NAME[] = {\n";
        for (std::size_t i = 0; i < by_name.size(); ++i) {
            inc << (i % 16 == 0 ? "    " : " ") << by_name[i] << "," << (i % 16 == 15 ? "\n" : "");
        }
        inc << "\n};\n";
        if (!rows || !inc) {
            throw std::runtime_error("cannot write the catalogue into " + dir.string());
        }
    }
    fs::rename(rows_tmp, dir / "catalogue_rows.bin");
    fs::rename(inc_tmp, dir / "catalogue_entries.inc");
    std::cout << "catalogue: " << shapes.size() << " entries, " << row_count << " rows\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: catalogue_generator OUTPUT_DIR\n";
        return 2;
    }
    std::vector<Shape> shapes = trovelin::recipes::catalogue_shapes();
    std::set<std::string> names;
    bool ok = true;
    for (Shape& s : shapes) {
        for (Point& p : s.rows) {
            p = {round12(p.x), round12(p.y), round12(p.z)};
        }
        try {
            if (!names.insert(s.name).second) {
                throw Refusal("name appears twice");
            }
            check_shape(s);
        } catch (const Refusal& r) {
            std::cerr << "catalogue entry " << s.name << ": " << r.what() << "\n";
            ok = false;
        }
    }
    if (!ok) {
        return 1;
    }
    try {
        write_outputs(shapes, argv[1]);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
