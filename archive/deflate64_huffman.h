// Lookup tables for the canonical Huffman codes of deflate with a 64 KiB window: one entry
// per root-bits pattern, with second-level tables for longer codes, each entry saying what
// the code means and how many bits it takes.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ks::archive::deflate64 {

// Entry layout: bits 0-4 code bits at this level, 5-7 kind, 8-12 extra bits (or, for a
// subtable link, the subtable's index bits), 16-31 value.
enum EntryKind : std::uint32_t {
    kLiteral = 0u << 5,
    kBaseExtra = 1u << 5, // a length or distance: value is the base, extra bits follow
    kEndOfBlock = 2u << 5,
    kSubtable = 3u << 5, // value is the subtable's first index
    kInvalid = 4u << 5,  // no code, or a symbol the format does not allow
};
constexpr std::uint32_t kKindMask = 7u << 5;

constexpr std::uint32_t MakeEntry(std::uint32_t kind, unsigned bits, unsigned extra,
                                  std::uint32_t value) {
    return value << 16 | extra << 8 | kind | bits;
}
inline unsigned EntryBits(std::uint32_t e) {
    return e & 31u;
}
inline std::uint32_t EntryKindOf(std::uint32_t e) {
    return e & kKindMask;
}
inline unsigned EntryExtra(std::uint32_t e) {
    return (e >> 8) & 31u;
}
inline std::uint32_t EntryValue(std::uint32_t e) {
    return e >> 16;
}

constexpr unsigned kMaxCodeBits = 15;
constexpr unsigned kLiteralRootBits = 10;
constexpr unsigned kDistanceRootBits = 8;
constexpr unsigned kCodeLengthRootBits = 7;
constexpr unsigned kLiteralSymbols = 288;
constexpr unsigned kDistanceSymbols = 32;
constexpr unsigned kCodeLengthSymbols = 19;

// Every subtable holds at least one symbol and at most 2^(15 - root) entries.
constexpr std::size_t kLiteralTableSize =
    (1u << kLiteralRootBits) + kLiteralSymbols * (1u << (kMaxCodeBits - kLiteralRootBits));
constexpr std::size_t kDistanceTableSize =
    (1u << kDistanceRootBits) + kDistanceSymbols * (1u << (kMaxCodeBits - kDistanceRootBits));
constexpr std::size_t kCodeLengthTableSize = 1u << kCodeLengthRootBits;

// The entries (without their bit counts) each alphabet's symbols decode to.
const std::uint32_t* LiteralSymbols();
const std::uint32_t* DistanceSymbols();
const std::uint32_t* CodeLengthSymbols();

// Fills `table` for the code `lengths` describe. False for an over-subscribed set; patterns an
// incomplete set leaves unused decode as kInvalid once all of their bits are present.
bool BuildTable(const std::uint8_t* lengths, unsigned count, const std::uint32_t* symbols,
                unsigned rootBits, std::uint32_t* table, std::size_t capacity);

} // namespace ks::archive::deflate64
