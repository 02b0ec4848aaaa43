// Builds the catalogue at compile time: runs every family recipe, rounds each
// coordinate to 12 decimal places, checks every entry, and writes
//   catalogue_rows.bin     rows of three doubles, back to back, catalogue order
//   catalogue_rows.obj     the same rows as a COFF object (with --object coff-*)
//   catalogue_entries.inc  the constant entry array and the sorted name index
//   catalogue_digests.txt  the SHA-256 of every entry's rows, one line each
//   catalogue_rows.sha256  the SHA-256 of all rows together
//   rudiment_trig.inc      the sines and cosines the rudiments read, as
//                          constant arrays (rudiments/trig_tables.hpp)
// Any entry that fails a check stops the build with the entry's name. With
// --expected FILE, tables whose digests differ from the recorded ones stop it
// too, naming them; --record FILE rewrites that record instead.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/embed/coff_object.hpp"
#include "catalogue/generator/checks.hpp"
#include "catalogue/generator/sha256.hpp"
#include "catalogue/math/crmath.hpp"
#include "catalogue/recipes/families.hpp"
#include "rudiments/trig_tables.hpp"

namespace fs = std::filesystem;
using trovelin::generator::Refusal;
using trovelin::generator::Sha256;
using trovelin::generator::check_shape;
using trovelin::generator::round12;
using trovelin::recipes::Point;
using trovelin::recipes::Shape;

// The tables are stored as the module reads them: little-endian doubles, the
// order of every platform the module is built for.
static_assert(std::endian::native == std::endian::little, "tables are written for little-endian targets");

namespace {

struct Options {
    fs::path out_dir;
    std::optional<trovelin::embed::CoffMachine> coff;
    std::optional<fs::path> expected;
    std::optional<fs::path> record;
};

constexpr const char* USAGE =
    "usage: catalogue_generator OUTPUT_DIR [--object coff-amd64|coff-arm64] [--expected FILE | --record FILE]\n";

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--object" && has_value) {
            const std::string& f = args[++i];
            if (f == "coff-amd64") {
                o.coff = trovelin::embed::CoffMachine::amd64;
            } else if (f == "coff-arm64") {
                o.coff = trovelin::embed::CoffMachine::arm64;
            } else {
                throw std::invalid_argument("unknown object format " + f);
            }
        } else if (a == "--expected" && has_value) {
            o.expected = args[++i];
        } else if (a == "--record" && has_value) {
            o.record = args[++i];
        } else if (a.starts_with("--") || !o.out_dir.empty()) {
            throw std::invalid_argument("unexpected argument " + a);
        } else {
            o.out_dir = a;
        }
    }
    if (o.out_dir.empty() || (o.expected && o.record)) {
        throw std::invalid_argument("bad arguments");
    }
    return o;
}

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

std::span<const unsigned char> bytes_of(const std::vector<Point>& rows) {
    static_assert(sizeof(Point) == 3 * sizeof(double));
    return {reinterpret_cast<const unsigned char*>(rows.data()), rows.size() * sizeof(Point)};
}

// Written beside its final name and renamed, so an interrupted build never
// leaves a half-written file that looks complete.
void write_file(const fs::path& path, std::span<const unsigned char> data) {
    const fs::path tmp = path.string() + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out) {
            throw std::runtime_error("cannot write " + path.string());
        }
    }
    fs::rename(tmp, path);
}

void write_text(const fs::path& path, const std::string& text) {
    write_file(path, {reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

// "digest  name" lines, catalogue order.
std::string digest_lines(const std::vector<Shape>& shapes, const std::vector<std::string>& digests) {
    std::string out;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        out += digests[i] + "  " + shapes[i].name + "\n";
    }
    return out;
}

std::map<std::string, std::string> read_digests(const fs::path& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read the recorded table digests " + path.string());
    }
    std::map<std::string, std::string> by_name;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string digest, name;
        fields >> digest >> name;
        by_name[name] = digest;
    }
    return by_name;
}

// Names every entry whose rows differ from the record, every entry the record
// lacks and every recorded entry no recipe makes; true if there are none.
bool matches_record(const std::vector<Shape>& shapes, const std::vector<std::string>& digests,
                    const fs::path& record) {
    std::map<std::string, std::string> expected = read_digests(record);
    std::vector<std::string> changed, added;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const auto it = expected.find(shapes[i].name);
        if (it == expected.end()) {
            added.push_back(shapes[i].name);
        } else {
            if (it->second != digests[i]) {
                changed.push_back(shapes[i].name);
            }
            expected.erase(it);
        }
    }
    if (changed.empty() && added.empty() && expected.empty()) {
        return true;
    }
    std::cerr << "catalogue tables differ from the recorded digests in " << record.string() << ":\n";
    for (const std::string& n : changed) {
        std::cerr << "  changed  " << n << "\n";
    }
    for (const std::string& n : added) {
        std::cerr << "  new      " << n << "\n";
    }
    for (const auto& [n, d] : expected) {
        std::cerr << "  missing  " << n << "\n";
    }
    std::cerr << changed.size() << " changed, " << added.size() << " new, " << expected.size()
              << " missing. If a recipe changed on purpose, record the new tables with\n"
              << "  cmake --build BUILD_DIR --target record_tables\n"
              << "and commit the file, so the change shows in review.\n";
    return false;
}

// Every table of rudiments/trig_tables.hpp, each value correctly rounded and
// written as its bits, so the compiler reads back exactly the double made here.
std::string rudiment_trig_source() {
    namespace rt = trovelin::rudiment_trig;
    std::ostringstream inc;
    inc << "// Generated at build time by the catalogue generator from rudiments/trig_tables.hpp. Do not edit.\n"
        << "#include <bit>\n#include <cstdint>\n\nnamespace trovelin::rudiment_trig {\n";
    std::size_t values = 0;
    for (const rt::Table& t : rt::TABLES) {
        inc << "\ninline constexpr double " << t.name << "[" << t.size << "] = {\n";
        for (int i = 0; i < t.size; ++i) {
            const double a = t.argument(i);
            const double v = t.function == rt::Function::sin ? trovelin::crmath::sin(a) : trovelin::crmath::cos(a);
            char bits[24];
            std::snprintf(bits, sizeof bits, "0x%016llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(v)));
            inc << "    std::bit_cast<double>(std::uint64_t{" << bits << "}),\n";
        }
        inc << "};\n";
        values += static_cast<std::size_t>(t.size);
    }
    inc << "\n}  // namespace trovelin::rudiment_trig\n";
    std::cout << "rudiments: " << values << " sines and cosines, correctly rounded\n";
    return inc.str();
}

void write_outputs(const std::vector<Shape>& shapes, const Options& o) {
    fs::create_directories(o.out_dir);
    std::vector<std::uint64_t> by_name(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        by_name[i] = i;
    }
    std::sort(by_name.begin(), by_name.end(),
              [&](std::uint64_t a, std::uint64_t b) { return shapes[a].name < shapes[b].name; });

    std::vector<unsigned char> rows;
    std::vector<std::string> digests;
    Sha256 all;
    std::ostringstream inc;
    inc << "// Generated at build time from the catalogue's family recipes. Do not edit.\n";
    inc << "constexpr CatalogueEntry CATALOGUE[] = {\n";
    std::uint64_t row_count = 0;
    for (const Shape& s : shapes) {
        inc << "    {{" << literal(s.name) << ", " << literal(s.description) << ", " << s.period << ", "
            << s.dimensions << "}, " << row_count << "},\n";
        const auto b = bytes_of(s.rows);
        rows.insert(rows.end(), b.begin(), b.end());
        all.update(b);
        Sha256 one;
        one.update(b);
        digests.push_back(one.hex());
        row_count += s.rows.size();
    }
    inc << "};\n\nconstexpr std::uint64_t CATALOGUE_BY_NAME[] = {\n";
    for (std::size_t i = 0; i < by_name.size(); ++i) {
        inc << (i % 16 == 0 ? "    " : " ") << by_name[i] << "," << (i % 16 == 15 ? "\n" : "");
    }
    inc << "\n};\n\nconstexpr std::size_t CATALOGUE_ROW_COUNT = " << row_count << ";\n";

    const std::string total = all.hex();
    std::cout << "catalogue: " << shapes.size() << " entries, " << row_count << " rows, tables sha256 " << total
              << "\n";
    if (o.record) {
        write_text(*o.record, digest_lines(shapes, digests));
        std::cout << "catalogue: recorded the digest of every table in " << o.record->string() << "\n";
    }
    if (o.expected && !matches_record(shapes, digests, *o.expected)) {
        throw std::runtime_error("catalogue tables not stored");
    }
    write_file(o.out_dir / "catalogue_rows.bin", rows);
    if (o.coff) {
        write_file(o.out_dir / "catalogue_rows.obj", trovelin::embed::coff_object(rows, "trovelin_catalogue_rows", *o.coff));
    }
    write_text(o.out_dir / "catalogue_digests.txt", digest_lines(shapes, digests));
    write_text(o.out_dir / "catalogue_rows.sha256", total + "\n");
    write_text(o.out_dir / "catalogue_entries.inc", inc.str());
    write_text(o.out_dir / "rudiment_trig.inc", rudiment_trig_source());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n" << USAGE;
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
        write_outputs(shapes, options);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
