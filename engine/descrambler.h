// The byte substitution that keeps the embedded lists unreadable in the executable.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

// Scrambled text uses only bytes 32..255, so the tables cover 224 values.
constexpr int kSubstitutionSize = 224;

struct SubstitutionTable {
    std::array<std::uint8_t, kSubstitutionSize> forward{};
    std::array<std::uint8_t, kSubstitutionSize> inverse{};
};

using SubstitutionSeed = std::array<std::uint8_t, 5>;

SubstitutionTable BuildSubstitutionTable(const SubstitutionSeed& seed);

// The program's own table, built once from its seed before anything reads it.
const SubstitutionTable& ProgramSubstitutionTable();

// Decodes text byte by byte; the result has the input's length.
std::string Descramble(std::string_view text);

// The inverse of Descramble, used by the build tool that writes the list resources.
// Bytes below 32 have no scrambled form; the caller must not pass them.
std::string Scramble(std::string_view text);

// "||" becomes CR LF, then "_" becomes a space.
std::string ExpandMarkers(std::string_view text);

} // namespace ks
