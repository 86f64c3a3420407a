// A SHA-256 digest and its text form, as package records and the catalogue carry it.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

using Sha256Digest = std::array<std::uint8_t, 32>;

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(const Sha256Digest& digest);

// Exactly 64 hexadecimal digits of either case; false for anything else, digest then unchanged.
bool ParseSha256Hex(std::string_view text, Sha256Digest& digest);

} // namespace ks
