#include "archive/deflate64_huffman.h"

#include <algorithm>
#include <array>

namespace ks::archive::deflate64 {
namespace {

struct SymbolTables {
    std::array<std::uint32_t, kLiteralSymbols> literal{};
    std::array<std::uint32_t, kDistanceSymbols> distance{};
    std::array<std::uint32_t, kCodeLengthSymbols> codeLength{};

    SymbolTables() {
        for (std::uint32_t s = 0; s < 256; ++s)
            literal[s] = MakeEntry(kLiteral, 0, 0, s);
        literal[256] = MakeEntry(kEndOfBlock, 0, 0, 0);
        for (std::uint32_t i = 0; i < 28; ++i) {
            const unsigned extra = i < 8 ? 0 : i / 4 - 1;
            const std::uint32_t base = i < 8 ? i + 3 : ((4 + (i & 3)) << extra) + 3;
            literal[257 + i] = MakeEntry(kBaseExtra, 0, extra, base);
        }
        // The last length code takes 16 extra bits, so one match reaches 65,538 bytes.
        literal[285] = MakeEntry(kBaseExtra, 0, 16, 3);
        literal[286] = literal[287] = MakeEntry(kInvalid, 0, 0, 0);
        // Codes 30 and 31 reach back into the second 32 KiB of the window.
        for (std::uint32_t c = 0; c < kDistanceSymbols; ++c) {
            const unsigned extra = c < 4 ? 0 : c / 2 - 1;
            const std::uint32_t base = c < 4 ? c + 1 : ((2 + (c & 1)) << extra) + 1;
            distance[c] = MakeEntry(kBaseExtra, 0, extra, base);
        }
        for (std::uint32_t s = 0; s < kCodeLengthSymbols; ++s)
            codeLength[s] = MakeEntry(kLiteral, 0, 0, s);
    }
};

const SymbolTables& Symbols() {
    static const SymbolTables tables;
    return tables;
}

} // namespace

const std::uint32_t* LiteralSymbols() {
    return Symbols().literal.data();
}
const std::uint32_t* DistanceSymbols() {
    return Symbols().distance.data();
}
const std::uint32_t* CodeLengthSymbols() {
    return Symbols().codeLength.data();
}

bool BuildTable(const std::uint8_t* lengths, unsigned count, const std::uint32_t* symbols,
                unsigned rootBits, std::uint32_t* table, std::size_t capacity) {
    unsigned counts[kMaxCodeBits + 1] = {};
    for (unsigned s = 0; s < count; ++s)
        ++counts[lengths[s]];
    counts[0] = 0;
    int left = 1;
    unsigned maxBits = 0;
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
        left = left * 2 - static_cast<int>(counts[bits]);
        if (left < 0)
            return false;
        if (counts[bits] > 0)
            maxBits = bits;
    }
    // Symbols in canonical order: by code length, then by symbol.
    unsigned offsets[kMaxCodeBits + 2] = {};
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits)
        offsets[bits + 1] = offsets[bits] + counts[bits];
    std::uint16_t sorted[kLiteralSymbols];
    for (unsigned s = 0; s < count; ++s) {
        if (lengths[s] != 0)
            sorted[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);
    }
    const unsigned used = offsets[kMaxCodeBits];

    const std::size_t rootSize = std::size_t{1} << rootBits;
    std::fill(table, table + rootSize, MakeEntry(kInvalid, rootBits, 0, 0));
    std::size_t next = rootSize;
    std::uint32_t code = 0; // canonical, most significant bit first
    unsigned codeBits = used > 0 ? lengths[sorted[0]] : 0;
    std::size_t subtableRoot = ~std::size_t{0};
    std::size_t subtableStart = 0;
    unsigned subtableBits = 0;
    for (unsigned i = 0; i < used; ++i) {
        const unsigned symbol = sorted[i];
        const unsigned bits = lengths[symbol];
        code <<= bits - codeBits;
        codeBits = bits;
        // The decoder reads codes least significant bit first.
        std::uint32_t reversed = 0;
        for (unsigned b = 0; b < bits; ++b)
            reversed |= ((code >> b) & 1u) << (bits - 1 - b);
        if (bits <= rootBits) {
            const std::uint32_t entry = symbols[symbol] | bits;
            for (std::size_t at = reversed; at < rootSize; at += std::size_t{1} << bits)
                table[at] = entry;
        } else {
            const std::size_t root = reversed & (rootSize - 1);
            if (root != subtableRoot) {
                // Wide enough for the longest code that shares these root bits.
                subtableBits = bits - rootBits;
                int room = 1 << subtableBits;
                while (subtableBits + rootBits < maxBits) {
                    room -= static_cast<int>(counts[subtableBits + rootBits]);
                    if (room <= 0)
                        break;
                    ++subtableBits;
                    room <<= 1;
                }
                subtableStart = next;
                next += std::size_t{1} << subtableBits;
                if (next > capacity)
                    return false;
                std::fill(table + subtableStart, table + next,
                          MakeEntry(kInvalid, subtableBits, 0, 0));
                table[root] = MakeEntry(kSubtable, rootBits, subtableBits,
                                        static_cast<std::uint32_t>(subtableStart));
                subtableRoot = root;
            }
            const std::uint32_t entry = symbols[symbol] | (bits - rootBits);
            for (std::size_t at = reversed >> rootBits; at < (std::size_t{1} << subtableBits);
                 at += std::size_t{1} << (bits - rootBits))
                table[subtableStart + at] = entry;
        }
        --counts[bits];
        ++code;
    }
    return true;
}

} // namespace ks::archive::deflate64
