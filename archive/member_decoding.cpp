#include "archive/member_decoding.h"

#include <algorithm>
#include <string>
#include <zlib.h>

#include "archive/archive_error.h"
#include "archive/bzip2_decoder.h"
#include "archive/deflate64_decoder.h"
#include "archive/legacy_decoders.h"
#include "archive/lzma_decoder.h"
#include "archive/percentage.h"
#include "archive/ppmd_decoder.h"

namespace ks::archive {
namespace {

// Large enough to amortise system calls, small enough that inflate's output is still in
// cache when it is checksummed and written.
constexpr std::size_t kInputChunk = 128 * 1024;
constexpr std::size_t kOutputChunk = 256 * 1024;
constexpr std::size_t kCrcChunk = 1u << 30;

} // namespace

std::size_t DataWindow::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
    if (want == 0)
        return 0;
    const std::size_t got = source_->ReadAt(position_, buffer, want);
    position_ += got;
    remaining_ -= got;
    return got;
}

CountingOutput::CountingOutput(ByteSink& target, std::uint64_t declaredSize, Progress progress)
    : target_(&target), declaredSize_(declaredSize), progress_(std::move(progress)) {
    crc_ = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
}

void CountingOutput::Write(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t room = declaredSize_ - count_;
    const bool overflow = size > room;
    const auto accepted = static_cast<std::size_t>(std::min<std::uint64_t>(size, room));
    for (std::size_t done = 0; done < accepted;) {
        const std::size_t part = std::min(accepted - done, kCrcChunk);
        crc_ = static_cast<std::uint32_t>(crc32(crc_, data + done, static_cast<uInt>(part)));
        done += part;
    }
    if (accepted > 0)
        target_->Write(data, accepted);
    count_ += accepted;
    if (overflow)
        throw DecoderError("Member data is larger than its declared size");
    if (progress_) {
        const int percent = Percentage(count_, declaredSize_);
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            bool abort = false;
            progress_(percent, abort);
            if (abort)
                throw ArchiveError(kAbortedByUser);
        }
    }
}

struct DecoderScratch::InflateState {
    z_stream stream{};
    bool initialised = false;
    ~InflateState() {
        if (initialised)
            inflateEnd(&stream);
    }
};

DecoderScratch::DecoderScratch() = default;
DecoderScratch::~DecoderScratch() = default;

void* DecoderScratch::Inflater() {
    if (!inflate_)
        inflate_ = std::make_unique<InflateState>();
    if (!inflate_->initialised) {
        if (inflateInit2(&inflate_->stream, -MAX_WBITS) != Z_OK)
            throw DecoderError("Inflate error: out of memory");
        inflate_->initialised = true;
    } else if (inflateReset(&inflate_->stream) != Z_OK) {
        throw DecoderError("Inflate error: reset failed");
    }
    return &inflate_->stream;
}

void DecodeStored(MemberInput& input, ByteSink& output, std::uint64_t size,
                  DecoderScratch& scratch) {
    std::vector<std::uint8_t>& buffer = scratch.Output();
    buffer.resize(kOutputChunk);
    while (size > 0) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
        const std::size_t got = input.Read(buffer.data(), want);
        if (got == 0)
            throw StreamError("Stream read error");
        output.Write(buffer.data(), got);
        size -= got;
    }
}

void DecodeDeflate(MemberInput& input, ByteSink& output, DecoderScratch& scratch) {
    std::vector<std::uint8_t>& in = scratch.Input();
    std::vector<std::uint8_t>& out = scratch.Output();
    in.resize(kInputChunk);
    out.resize(kOutputChunk);
    auto* stream = static_cast<z_stream*>(scratch.Inflater());
    stream->avail_in = 0;
    bool inputEnded = false;
    for (;;) {
        if (stream->avail_in == 0 && !inputEnded) {
            const std::size_t got = input.Read(in.data(), in.size());
            stream->next_in = in.data();
            stream->avail_in = static_cast<uInt>(got);
            inputEnded = got == 0;
        }
        stream->next_out = out.data();
        stream->avail_out = static_cast<uInt>(out.size());
        const int result = inflate(stream, Z_NO_FLUSH);
        const std::size_t produced = out.size() - stream->avail_out;
        if (produced > 0)
            output.Write(out.data(), produced);
        if (result == Z_STREAM_END)
            return;
        if (result == Z_BUF_ERROR && inputEnded)
            throw DecoderError("Inflate error: unexpected end of compressed data");
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw DecoderError(std::string("Inflate error: ") +
                               (stream->msg ? stream->msg : "invalid compressed data"));
    }
}

void DecodeMethod(int decoderMethod, std::uint16_t flags, std::uint64_t uncompressedSize,
                  MemberInput& input, ByteSink& output, DecoderScratch& scratch) {
    switch (decoderMethod) {
    case 0:
        DecodeStored(input, output, uncompressedSize, scratch);
        return;
    case 8:
        DecodeDeflate(input, output, scratch);
        return;
    case 9:
        DecodeDeflate64(input, output, uncompressedSize, scratch);
        return;
    case 12:
        DecodeBzip2(input, output, uncompressedSize, scratch);
        return;
    case 14:
        DecodeLzma(input, output, uncompressedSize, flags, scratch);
        return;
    case 98:
        DecodePpmd(input, output, uncompressedSize);
        return;
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        break;
    default:
        throw ArchiveError(kUnsupportedMethod);
    }
    const LegacyResult result = DecodeLegacyMember(
        decoderMethod, flags, uncompressedSize,
        [&input](std::uint8_t* buffer, std::size_t size) { return input.Read(buffer, size); },
        [&output](const std::uint8_t* data, std::size_t size) { output.Write(data, size); });
    switch (result) {
    case LegacyResult::Ok:
        return;
    case LegacyResult::UnsupportedMethod:
        throw ArchiveError(kUnsupportedMethod);
    case LegacyResult::MalformedStream:
        throw DecoderError("Malformed compressed data");
    case LegacyResult::OutputOverflow:
        throw DecoderError("Member data is larger than its declared size");
    }
}

} // namespace ks::archive
