// Runs the LZMA decoder over a member's data window and turns its results into member
// failures.
#include "archive/archive_error.h"
#include "archive/lzma_decoder.h"

namespace ks::archive {
namespace {

constexpr std::size_t kInputChunk = 64 * 1024;
constexpr std::uint16_t kEndMarkerFlag = 0x0002;

[[noreturn]] void Raise(LzmaResult result) {
    switch (result) {
    case LzmaResult::BadHeader:
        throw DecoderError("LZMA error: unsupported properties");
    case LzmaResult::WindowTooLarge:
        throw DecoderError("LZMA error: dictionary larger than 256 MiB");
    case LzmaResult::Truncated:
        throw DecoderError("LZMA error: unexpected end of compressed data");
    case LzmaResult::OutputOverflow:
        throw DecoderError("Member data is larger than its declared size");
    default:
        throw DecoderError("LZMA error: invalid compressed data");
    }
}

} // namespace

void DecodeLzma(MemberInput& input, ByteSink& output, std::uint64_t size, std::uint16_t flags,
                DecoderScratch& scratch) {
    LzmaDecoder decoder(size, (flags & kEndMarkerFlag) != 0);
    std::vector<std::uint8_t>& buffer = scratch.Input();
    buffer.resize(kInputChunk);
    for (;;) {
        const std::size_t got = input.Read(buffer.data(), buffer.size());
        const std::uint8_t* next = buffer.data();
        const std::uint8_t* const end = next + got;
        for (;;) {
            const LzmaResult result = decoder.Decode(next, end, got == 0);
            std::size_t pending = 0;
            const std::uint8_t* data = decoder.Pending(pending);
            if (pending > 0) {
                output.Write(data, pending);
                decoder.Drained();
            }
            if (result == LzmaResult::Finished)
                return;
            if (result == LzmaResult::NeedInput)
                break;
            if (result != LzmaResult::WindowFull)
                Raise(result);
        }
    }
}

} // namespace ks::archive
