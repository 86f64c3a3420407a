#include "engine/descrambler.h"

namespace ks {
namespace {

constexpr SubstitutionSeed kProgramSeed = {0x07, 0x03, 0x0B, 0x05, 0x0D};

// Any multiplier coprime with 224 gives a permutation of 0..223.
constexpr int kStartMultiplier = 97;
constexpr int kStartOffset = 31;

constexpr void SwapForward(SubstitutionTable& table, int a, int b) {
    const std::uint8_t first = table.forward[a];
    table.forward[a] = table.forward[b];
    table.forward[b] = first;
    table.inverse[table.forward[a]] = static_cast<std::uint8_t>(a);
    table.inverse[table.forward[b]] = static_cast<std::uint8_t>(b);
}

} // namespace

constexpr SubstitutionTable BuildSubstitutionTableImpl(const SubstitutionSeed& seed) {
    SubstitutionTable table{};
    for (int i = 0; i < kSubstitutionSize; ++i) {
        table.forward[i] =
            static_cast<std::uint8_t>((i * kStartMultiplier + kStartOffset) % kSubstitutionSize);
        table.inverse[table.forward[i]] = static_cast<std::uint8_t>(i);
    }
    for (std::uint8_t s : seed) {
        for (int i = 0; i < kSubstitutionSize; ++i) {
            if (s != 0 && i % s == 1) {
                SwapForward(table, i, (i * s + s) % kSubstitutionSize);
            }
        }
    }
    return table;
}

SubstitutionTable BuildSubstitutionTable(const SubstitutionSeed& seed) {
    return BuildSubstitutionTableImpl(seed);
}

namespace {
// Built at compile time, so no reader can ever see it unfilled.
constexpr SubstitutionTable kProgramTable = BuildSubstitutionTableImpl(kProgramSeed);
} // namespace

const SubstitutionTable& ProgramSubstitutionTable() {
    return kProgramTable;
}

std::string Descramble(std::string_view text) {
    const auto& inverse = kProgramTable.inverse;
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        // Bytes below 32 never occur in scrambled text; wrap them rather than read outside.
        const int index = (c - 32 + kSubstitutionSize) % kSubstitutionSize;
        out.push_back(static_cast<char>(inverse[index] + 32));
    }
    return out;
}

std::string Scramble(std::string_view text) {
    const auto& forward = kProgramTable.forward;
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        const int index = (c - 32 + kSubstitutionSize) % kSubstitutionSize;
        out.push_back(static_cast<char>(forward[index] + 32));
    }
    return out;
}

std::string ExpandMarkers(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|' && i + 1 < text.size() && text[i + 1] == '|') {
            lines += "\r\n";
            ++i;
        } else {
            lines.push_back(text[i]);
        }
    }
    for (char& c : lines) {
        if (c == '_')
            c = ' ';
    }
    return lines;
}

} // namespace ks
