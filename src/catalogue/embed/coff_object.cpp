#include "catalogue/embed/coff_object.hpp"

#include <limits>
#include <stdexcept>
#include <string>

namespace trovelin::embed {
namespace {

// Field sizes and flags of the object format.
constexpr std::uint32_t FILE_HEADER_SIZE = 20;
constexpr std::uint32_t SECTION_HEADER_SIZE = 40;
constexpr std::uint32_t SYMBOL_SIZE = 18;
constexpr std::uint32_t SCN_CNT_INITIALIZED_DATA = 0x00000040;
constexpr std::uint32_t SCN_ALIGN_64BYTES = 0x00700000;
constexpr std::uint32_t SCN_MEM_READ = 0x40000000;
constexpr std::uint8_t SYM_CLASS_EXTERNAL = 2;
constexpr std::uint8_t SYM_CLASS_STATIC = 3;

class Writer {
public:
    explicit Writer(std::vector<unsigned char>& out) : out_(out) {}

    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v & 0xffu));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xffffu));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void bytes(std::span<const unsigned char> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    // An 8-byte name field: the name itself, NUL-padded, if it fits; else
    // four zero bytes and the name's offset in the string table.
    void short_name(std::string_view name) {
        for (std::size_t i = 0; i < 8; ++i) {
            u8(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
        }
    }
    void long_name(std::uint32_t string_offset) {
        u32(0);
        u32(string_offset);
    }

private:
    std::vector<unsigned char>& out_;
};

}  // namespace

std::vector<unsigned char> coff_object(std::span<const unsigned char> data, std::string_view symbol,
                                       CoffMachine machine) {
    const std::uint32_t raw_at = FILE_HEADER_SIZE + SECTION_HEADER_SIZE;
    if (data.size() >= std::numeric_limits<std::uint32_t>::max() - raw_at) {
        throw std::length_error("table too large for one COFF section");
    }
    const auto size = static_cast<std::uint32_t>(data.size());
    const std::uint32_t symbols_at = raw_at + size;
    const bool symbol_is_long = symbol.size() > 8;

    std::vector<unsigned char> out;
    out.reserve(symbols_at + 3 * SYMBOL_SIZE + 4 + symbol.size() + 1);
    Writer w(out);

    // File header: one section, three symbol records (the section's symbol,
    // its auxiliary record, the table's symbol), no optional header.
    w.u16(static_cast<std::uint16_t>(machine));
    w.u16(1);
    w.u32(0);  // no time stamp, so the same table makes the same object
    w.u32(symbols_at);
    w.u32(3);
    w.u16(0);
    w.u16(0);

    // Section header: .rdata, raw data right after the headers.
    w.short_name(".rdata");
    w.u32(0);  // virtual size and address are 0 in objects
    w.u32(0);
    w.u32(size);
    w.u32(raw_at);
    w.u32(0);  // no relocations, no line numbers
    w.u32(0);
    w.u16(0);
    w.u16(0);
    w.u32(SCN_CNT_INITIALIZED_DATA | SCN_ALIGN_64BYTES | SCN_MEM_READ);

    w.bytes(data);

    // The section's own symbol and its auxiliary record (its length).
    w.short_name(".rdata");
    w.u32(0);
    w.u16(1);
    w.u16(0);
    w.u8(SYM_CLASS_STATIC);
    w.u8(1);
    w.u32(size);
    w.u16(0);  // relocations
    w.u16(0);  // line numbers
    w.u32(0);  // checksum
    w.u16(0);  // associated section
    w.u8(0);   // selection
    w.u8(0);
    w.u16(0);

    // The table's symbol: external, at offset 0 of section 1.
    if (symbol_is_long) {
        w.long_name(4);  // the first string, right after the table's size field
    } else {
        w.short_name(symbol);
    }
    w.u32(0);
    w.u16(1);
    w.u16(0);
    w.u8(SYM_CLASS_EXTERNAL);
    w.u8(0);

    // String table: its size (itself included), then NUL-terminated names.
    const std::uint32_t strings = symbol_is_long ? static_cast<std::uint32_t>(symbol.size()) + 1 : 0;
    w.u32(4 + strings);
    if (symbol_is_long) {
        for (char c : symbol) {
            w.u8(static_cast<std::uint8_t>(c));
        }
        w.u8(0);
    }
    return out;
}

}  // namespace trovelin::embed
