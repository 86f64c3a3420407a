// bzip2 (method 12): Burrows-Wheeler blocks in one or more concatenated streams, every block
// CRC and every stream CRC checked, memory bounded by the block size the stream header
// declares (at most 900,000 symbols).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "archive/member_decoding.h"

namespace ks::archive {

enum class Bzip2Result {
    Ok,
    Malformed,      // bad magic, table, symbol, pointer or CRC, or a cut-off stream
    Randomised,     // a block in the obsolete randomised form, which is refused
    OutputOverflow, // the stream would produce more than the declared size
};

// Fills the buffer with up to `size` compressed bytes; 0 at the end of the member's data.
using Bzip2Input = std::function<std::size_t(std::uint8_t* buffer, std::size_t size)>;

struct Bzip2Outcome {
    Bzip2Result result;
    const char* reason; // for messages
};

// Decodes streams until the input ends; never writes more than `outputLimit` bytes. The block
// tables live in `workspace`, which grows to what the largest block needs and can be reused.
Bzip2Outcome DecodeBzip2Stream(const Bzip2Input& input, ByteSink& output, std::uint64_t outputLimit,
                               std::vector<std::uint32_t>& workspace);

// Decodes one member's data; a stream that cannot be decoded raises DecoderError.
void DecodeBzip2(MemberInput& input, ByteSink& output, std::uint64_t uncompressedSize,
                 DecoderScratch& scratch);

} // namespace ks::archive
