// Streaming a member's data: the size-limited read window, the counting output that checks
// CRC-32 and the declared size, and the decoders for each compression method.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "archive/file_access.h"

namespace ks::archive {

// Where compressed bytes come from.
class MemberInput {
public:
    virtual ~MemberInput() = default;
    // Up to `size` bytes; 0 at the end of the member's data.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Member data from `start`, never past `start + limit` or the end of the source.
class DataWindow : public MemberInput {
public:
    DataWindow(ByteSource& source, std::uint64_t start, std::uint64_t limit)
        : source_(&source), position_(start), remaining_(limit) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

private:
    ByteSource* source_;
    std::uint64_t position_;
    std::uint64_t remaining_;
};

// Where decoded bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
};

class FileSink : public ByteSink {
public:
    explicit FileSink(OutputFile& file) : file_(&file) {}
    void Write(const std::uint8_t* data, std::size_t size) override { file_->Write(data, size); }

private:
    OutputFile* file_;
};

class NullSink : public ByteSink {
public:
    void Write(const std::uint8_t*, std::size_t) override {}
};

// Keeps CRC-32 and count of everything written and reports the member percentage when it
// changes. Output beyond the declared size is cut there and fails the member.
class CountingOutput : public ByteSink {
public:
    using Progress = std::function<void(int percent, bool& abort)>;
    CountingOutput(ByteSink& target, std::uint64_t declaredSize, Progress progress);
    void Write(const std::uint8_t* data, std::size_t size) override;
    std::uint32_t Crc() const { return crc_; }
    std::uint64_t Count() const { return count_; }

private:
    ByteSink* target_;
    std::uint64_t declaredSize_;
    Progress progress_;
    std::uint32_t crc_ = 0;
    std::uint64_t count_ = 0;
    int lastPercent_ = 0;
};

// Buffers and the inflate state, kept across members so small members cost no allocations.
class DecoderScratch {
public:
    DecoderScratch();
    ~DecoderScratch();
    DecoderScratch(const DecoderScratch&) = delete;
    DecoderScratch& operator=(const DecoderScratch&) = delete;

    std::vector<std::uint8_t>& Input() { return input_; }
    std::vector<std::uint8_t>& Output() { return output_; }
    // A decoder's large tables, kept so that every member does not fault them in afresh.
    std::vector<std::uint32_t>& Words() { return words_; }
    // A raw-inflate stream, reset for a new member.
    void* Inflater();

private:
    std::vector<std::uint8_t> input_;
    std::vector<std::uint8_t> output_;
    std::vector<std::uint32_t> words_;
    struct InflateState;
    std::unique_ptr<InflateState> inflate_;
};

// Copies exactly `size` bytes; fewer available is a stream read error.
void DecodeStored(MemberInput& input, ByteSink& output, std::uint64_t size,
                  DecoderScratch& scratch);
// Raw deflate (no zlib header) up to the end of the stream.
void DecodeDeflate(MemberInput& input, ByteSink& output, DecoderScratch& scratch);
// Chooses the decoder by the method's low seven bits; unknown methods raise error 2.
void DecodeMethod(int decoderMethod, std::uint16_t flags, std::uint64_t uncompressedSize,
                  MemberInput& input, ByteSink& output, DecoderScratch& scratch);

} // namespace ks::archive
