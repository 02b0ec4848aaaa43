// SHA-256, for the digests that record every catalogue table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace trovelin::generator {

class Sha256 {
public:
    Sha256();
    void update(std::span<const unsigned char> bytes);
    // The digest as 64 lower-case hex digits; the object is spent afterwards.
    std::string hex();

private:
    void block(const unsigned char* p);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace trovelin::generator
