// Shannon-Fano code of the implode method: read from its compact description of bit lengths,
// decoded with a look-up table for short codes and a per-length search for the rest.
#pragma once
#include "archive/legacy_bit_reader.h"

#include <cstdint>

namespace ks::archive {

class ShannonFanoTree {
public:
    static constexpr unsigned kMaxValues = 256;
    static constexpr unsigned kMaxBits = 16;

    enum class ReadResult { Ok, InputEnded, TooManyValues };

    // Reads a description for `valueCount` (<= kMaxValues) values and builds the codes.
    // Values the description leaves out get no code.
    ReadResult Read(LegacyBitReader& input, unsigned valueCount);
    // Builds the codes from explicit bit lengths (0 = no code).
    void Build(const std::uint8_t* bitLengths, unsigned valueCount);

    // The next value, or -1 when the bits match no code (or ran past the end of the input:
    // the caller tells the two apart with input.Exhausted()). Works on the reader and on its
    // Burst.
    template <class BitSource> int Decode(BitSource& input) const {
        input.Ensure(kMaxBits);
        const std::uint16_t entry = table_[input.Peek(tableBits_)];
        if (entry != 0) {
            input.Drop(entry >> 8);
            return entry & 0xFF;
        }
        const int value = DecodeLong(input.Peek(kMaxBits));
        // Consume what was examined, also on failure, so that running off the end of the input
        // shows as exhaustion rather than as a bad code.
        input.Drop(value >= 0 ? static_cast<unsigned>(value) >> 8 : Longest());
        return value >= 0 ? value & 0xFF : -1;
    }

private:
    static constexpr unsigned kMaxTableBits = 11;

    // For codes longer than the table: value | length << 8, or -1.
    int DecodeLong(std::uint32_t bits) const;
    unsigned Longest() const { return maxLength_ > tableBits_ ? maxLength_ : tableBits_; }
    // Value whose code of `length` bits is `code` (first bit read as the top bit), or -1.
    int Match(unsigned length, std::uint32_t code) const;

    // Values sorted by bit length, then value; each length's values form one run.
    std::uint8_t sorted_[kMaxValues] = {};
    std::uint16_t runStart_[kMaxBits + 1] = {};
    std::uint16_t runCount_[kMaxBits + 1] = {};
    // Code of the run's last (highest) value, in the run's bit length; the codes of the run
    // count up from there towards its first value.
    std::uint32_t runBase_[kMaxBits + 1] = {};
    unsigned maxLength_ = 0;
    unsigned tableBits_ = 1;
    // Indexed by the next tableBits_ input bits: value | length << 8, 0 when no code that short.
    std::uint16_t table_[1u << kMaxTableBits] = {};
};

} // namespace ks::archive
