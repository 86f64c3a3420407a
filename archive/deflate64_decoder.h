// Deflate with a 64 KiB window (method 9): a streaming decoder that takes its input in
// pieces of any size, stops and resumes at any byte, and never produces more than the
// member's declared size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/member_decoding.h"

namespace ks::archive {

enum class Deflate64Status {
    NeedInput,      // every byte given was used; more is needed
    StreamEnd,      // the final block ended; everything decoded was handed on
    Malformed,      // a code, length or distance the format cannot hold, or a cut-off stream
    OutputOverflow, // the stream would produce more than the declared size
};

class Deflate64Decoder {
public:
    Deflate64Decoder(std::uint64_t outputLimit, ByteSink& output);
    ~Deflate64Decoder();
    Deflate64Decoder(const Deflate64Decoder&) = delete;
    Deflate64Decoder& operator=(const Deflate64Decoder&) = delete;

    // Decodes `data`; bytes after the end of the stream are ignored. Once a call has returned
    // anything but NeedInput, further calls return the same.
    Deflate64Status Feed(const std::uint8_t* data, std::size_t size);
    // The input has ended: hands on what is left; Malformed unless the stream was complete.
    Deflate64Status Finish();
    // Why decoding stopped, for messages.
    const char* Reason() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Decodes one member's data; a malformed or oversized stream raises DecoderError.
void DecodeDeflate64(MemberInput& input, ByteSink& output, std::uint64_t uncompressedSize,
                     DecoderScratch& scratch);

} // namespace ks::archive
