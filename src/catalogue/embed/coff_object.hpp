// A table of bytes as a COFF object, the object format of Windows linkers
// (MSVC's and MinGW-w64's alike): one read-only data section holding the
// bytes, 64-byte aligned, and one external symbol naming its start. External
// data symbols of an object are not exported from the DLL that links them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace trovelin::embed {

enum class CoffMachine : std::uint16_t {
    amd64 = 0x8664,
    arm64 = 0xaa64,
};

// The object file's bytes. Throws std::length_error for data of 4 GiB or more.
std::vector<unsigned char> coff_object(std::span<const unsigned char> data, std::string_view symbol,
                                       CoffMachine machine);

}  // namespace trovelin::embed
