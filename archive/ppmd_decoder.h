// PPMd variant I revision 1 as ZIP stores it (method 98): a 2-byte properties word (order,
// model memory, restore method), then the range-coded symbols up to the declared size.
#pragma once
#include <cstdint>

#include "archive/member_decoding.h"
#include "archive/ppmd_model.h"

namespace ks::archive {

struct PpmdProperties {
    // The largest model the decoder allocates; the word can ask for up to 256 MB, more than
    // a 32-bit setup process should risk.
    static constexpr std::uint32_t kMaxMemoryMb = 192;

    unsigned order = 0;         // 2..16
    std::uint32_t memoryMb = 0; // 1..256
    unsigned restoreMethod = 0; // 0 restart, 1 cut off, 2 freeze
};

enum class PpmdResult {
    Ok,
    BadOrder,         // order 1
    BadRestoreMethod, // freeze (2) or a value no encoder writes
    MemoryTooLarge,   // above kMaxMemoryMb
    OutOfMemory,      // the model's memory could not be allocated
    Truncated,        // the input ended inside the stream
    Malformed,        // a count no encoder writes, or an end mark before the declared size
};

// The low four bits hold order - 1, the next eight memory in MB - 1, the top four the
// restore method.
PpmdResult ParsePpmdProperties(std::uint16_t word, PpmdProperties& properties);

// Decodes exactly `size` bytes; never writes more.
PpmdResult DecodePpmdStream(const PpmdReader& input, ByteSink& output, std::uint64_t size);

// A whole member; malformed or short data raise DecoderError.
void DecodePpmd(MemberInput& input, ByteSink& output, std::uint64_t size);

} // namespace ks::archive
