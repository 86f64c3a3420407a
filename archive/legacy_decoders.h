// Decoders for the PKWARE-era compression methods 1 (shrink), 2-5 (reduce) and 6 (implode).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace ks::archive {

// Fills the buffer with up to `size` compressed bytes; returns 0 at the end of the member's data.
using LegacyInput = std::function<std::size_t(std::uint8_t* buffer, std::size_t size)>;
// Receives decoded bytes in order, in blocks of up to 32,768 bytes.
using LegacyOutput = std::function<void(const std::uint8_t* data, std::size_t size)>;

enum class LegacyResult {
    Ok,                // ran to its end; the caller's CRC-32 check decides whether data is good
    UnsupportedMethod, // method outside 1..6
    MalformedStream, // a table or code the format cannot hold; nothing was read or written outside
                     // bounds
    OutputOverflow,  // the stream would produce more than the declared uncompressed size
};

// generalFlags: the member's general-purpose bit flag (bits 1 and 2 select implode's
// dictionary size and tree count). Never writes more than uncompressedSize bytes.
LegacyResult DecodeLegacyMember(int method, std::uint16_t generalFlags,
                                std::uint64_t uncompressedSize, const LegacyInput& input,
                                const LegacyOutput& output);

} // namespace ks::archive
