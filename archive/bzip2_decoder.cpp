// Each block is read whole (its symbols are needed before the inverse transform can start),
// then undone into a 64 KiB output buffer that is checksummed and handed on as it fills.
#include "archive/bzip2_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/bzip2_block_walk.h"

namespace ks::archive {
namespace {

constexpr std::size_t kInputChunk = 64 * 1024;
constexpr std::size_t kOutputChunk = 64 * 1024;
constexpr std::uint64_t kBlockMagic = 0x314159265359;
constexpr std::uint64_t kStreamEndMagic = 0x177245385090;
constexpr std::uint32_t kLevelSize = 100000;
constexpr unsigned kMaxGroups = 6;
constexpr unsigned kGroupSize = 50;
constexpr unsigned kMaxCodeBits = 20;
constexpr unsigned kMaxAlphabet = 258;
// Enough groups of 50 for the largest block, plus the end-of-block symbol.
constexpr unsigned kMaxSelectors = 900000 / kGroupSize + 2;

// Most significant bit first, pulled from the input in 64 KiB pieces: the only code that
// touches the input. Past the end it yields zero bits and counts them.
class BitReader {
public:
    explicit BitReader(const Bzip2Input& input) : input_(input), buffer_(kInputChunk) {}

    std::uint32_t Get(unsigned n) {
        if (count_ < n)
            Refill();
        count_ -= n;
        return static_cast<std::uint32_t>((bits_ >> count_) & Mask(n));
    }
    // Up to 32 bits of look-ahead.
    std::uint32_t Peek(unsigned n) {
        if (count_ < n)
            Refill();
        return static_cast<std::uint32_t>((bits_ >> (count_ - n)) & Mask(n));
    }
    void Drop(unsigned n) { count_ -= n; }
    void AlignToByte() { count_ -= count_ % 8; }
    // True once a bit beyond the end of the input has been taken.
    bool Overrun() const { return count_ < padding_; }
    bool AtEnd() {
        if (count_ <= padding_ + 8)
            Refill();
        return count_ <= padding_;
    }

private:
    static std::uint64_t Mask(unsigned n) { return (std::uint64_t{1} << n) - 1; }
    void Refill() {
        while (count_ <= 56) {
            if (next_ == end_ && !ended_) {
                end_ = input_(buffer_.data(), buffer_.size());
                next_ = 0;
                ended_ = end_ == 0;
                continue;
            }
            bits_ <<= 8;
            if (next_ < end_)
                bits_ |= buffer_[next_++];
            else
                padding_ += 8;
            count_ += 8;
        }
    }

    const Bzip2Input& input_;
    std::vector<std::uint8_t> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned padding_ = 0;
};

// Canonical code of one table group: codes of up to kRootBits bits in one lookup, longer
// ones by their length's range.
class HuffmanGroup {
public:
    static constexpr unsigned kRootBits = 10;

    // False for an over-subscribed set.
    bool Build(const std::uint8_t* lengths, unsigned alphabetSize) {
        unsigned counts[kMaxCodeBits + 1] = {};
        for (unsigned s = 0; s < alphabetSize; ++s)
            ++counts[lengths[s]];
        std::uint32_t code = 0;
        unsigned offset = 0;
        maxBits_ = 0;
        for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
            firstCode_[bits] = code;
            offset_[bits] = static_cast<std::uint16_t>(offset);
            count_[bits] = static_cast<std::uint16_t>(counts[bits]);
            code += counts[bits];
            if (code > (1u << bits))
                return false;
            offset += counts[bits];
            code <<= 1;
            if (counts[bits] > 0)
                maxBits_ = bits;
        }
        unsigned next[kMaxCodeBits + 1];
        std::copy(std::begin(offset_), std::end(offset_), next);
        for (unsigned s = 0; s < alphabetSize; ++s)
            sorted_[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
        fast_.fill(0);
        for (unsigned bits = 1; bits <= kRootBits; ++bits) {
            for (unsigned i = 0; i < count_[bits]; ++i) {
                const std::uint32_t first = (firstCode_[bits] + i) << (kRootBits - bits);
                const auto entry =
                    static_cast<std::uint16_t>(sorted_[offset_[bits] + i] << 5 | bits);
                std::fill_n(fast_.begin() + first, 1u << (kRootBits - bits), entry);
            }
        }
        return true;
    }

    // The next symbol, or -1 for a bit pattern that is no code.
    int Decode(BitReader& reader) const {
        const std::uint32_t ahead = reader.Peek(kMaxCodeBits);
        const std::uint16_t entry = fast_[ahead >> (kMaxCodeBits - kRootBits)];
        if (entry != 0) {
            reader.Drop(entry & 31u);
            return entry >> 5;
        }
        for (unsigned bits = kRootBits + 1; bits <= maxBits_; ++bits) {
            const std::uint32_t rank = (ahead >> (kMaxCodeBits - bits)) - firstCode_[bits];
            if (rank < count_[bits]) {
                reader.Drop(bits);
                return sorted_[offset_[bits] + rank];
            }
        }
        return -1;
    }

private:
    std::array<std::uint16_t, 1u << kRootBits> fast_{};
    std::uint32_t firstCode_[kMaxCodeBits + 1] = {};
    std::uint16_t offset_[kMaxCodeBits + 1] = {};
    std::uint16_t count_[kMaxCodeBits + 1] = {};
    std::uint16_t sorted_[kMaxAlphabet] = {};
    unsigned maxBits_ = 0;
};

// The block and stream checksum: CRC-32 with the polynomial taken most significant bit first.
class BlockCrc {
public:
    BlockCrc() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i << 24;
            for (int k = 0; k < 8; ++k)
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
            table_[i] = c;
        }
    }
    std::uint32_t Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size) const {
        for (std::size_t i = 0; i < size; ++i)
            crc = (crc << 8) ^ table_[(crc >> 24) ^ data[i]];
        return crc;
    }

private:
    std::uint32_t table_[256];
};

const BlockCrc& Crc() {
    static const BlockCrc crc;
    return crc;
}

class Decoder {
public:
    Decoder(const Bzip2Input& input, ByteSink& output, std::uint64_t limit,
            std::vector<std::uint32_t>& workspace)
        : reader_(input), sink_(&output), limit_(limit), workspace_(&workspace) {}

    Bzip2Outcome Run() {
        bool first = true;
        while (first || !reader_.AtEnd()) {
            if (reader_.Get(24) != 0x425A68) { // "BZh"
                if (first)
                    return Fail("Not a bzip2 stream");
                break; // bytes after the last stream are not ours
            }
            first = false;
            const std::uint32_t level = reader_.Get(8) - '0';
            if (level < 1 || level > 9)
                return Fail("Invalid block size");
            blockSize_ = level * kLevelSize;
            Allot();
            std::uint32_t combined = 0;
            for (;;) {
                const std::uint64_t magic = std::uint64_t{reader_.Get(24)} << 24 | reader_.Get(24);
                if (magic == kStreamEndMagic)
                    break;
                if (magic != kBlockMagic)
                    return Fail("Invalid block signature");
                const std::uint32_t expected = reader_.Get(32);
                if (!DecodeBlock())
                    return outcome_;
                if (blockCrc_ != expected)
                    return Fail("Block CRC mismatch");
                combined = (combined << 1 | combined >> 31) ^ blockCrc_;
            }
            if (reader_.Get(32) != combined)
                return Fail("Stream CRC mismatch");
            if (reader_.Overrun())
                return Fail("Unexpected end of compressed data");
            reader_.AlignToByte();
        }
        return {Bzip2Result::Ok, ""};
    }

private:
    Bzip2Outcome Fail(const char* reason) {
        outcome_ = {Bzip2Result::Malformed, reason};
        return outcome_;
    }
    bool Failed(const char* reason) {
        Fail(reason);
        return false;
    }

    void Allot();
    bool ReadTables();
    bool ReadSymbols();
    bool Unpack();
    bool HandOn();

    bool DecodeBlock() {
        if (reader_.Get(1) != 0) {
            outcome_ = {Bzip2Result::Randomised, "Randomised blocks are not supported"};
            return false;
        }
        origin_ = reader_.Get(24);
        return ReadTables() && ReadSymbols() && Unpack();
    }

    BitReader reader_;
    ByteSink* sink_;
    std::uint64_t limit_;
    std::uint64_t produced_ = 0;
    std::vector<std::uint32_t>* workspace_;
    Bzip2Outcome outcome_{Bzip2Result::Ok, ""};

    std::uint32_t blockSize_ = 0;
    std::uint32_t origin_ = 0;
    std::uint32_t blockCrc_ = 0;
    unsigned inUse_ = 0;
    std::uint8_t symbolBytes_[256] = {};
    unsigned groupCount_ = 0;
    unsigned selectorCount_ = 0;
    std::uint8_t selectors_[kMaxSelectors] = {};
    HuffmanGroup groups_[kMaxGroups];
    std::uint32_t used_ = 0; // symbols in the block
    std::uint32_t byteCounts_[256] = {};
    // In the workspace. Per symbol: its byte in the low 8 bits, after Unpack's first pass the
    // link to the next symbol above them.
    std::uint32_t* tt_ = nullptr;
    std::uint8_t* bytes_ = nullptr; // the block's bytes before the run-length stage
    std::uint8_t* walkScratch_ = nullptr;
    std::uint8_t out_[kOutputChunk + 256] = {};
    std::size_t outFill_ = 0;
};

// Grown, never shrunk, and not cleared: every entry is written before it is read.
void Decoder::Allot() {
    const std::size_t byteWords = (blockSize_ + 3) / 4;
    const std::size_t words = blockSize_ + byteWords + (BlockWalkScratchSize(blockSize_) + 3) / 4;
    if (workspace_->size() < words)
        workspace_->resize(words);
    tt_ = workspace_->data();
    bytes_ = reinterpret_cast<std::uint8_t*>(tt_ + blockSize_);
    walkScratch_ = reinterpret_cast<std::uint8_t*>(tt_ + blockSize_ + byteWords);
}

bool Decoder::ReadTables() {
    const std::uint32_t ranges = reader_.Get(16);
    inUse_ = 0;
    for (unsigned range = 0; range < 16; ++range) {
        if (!(ranges & (0x8000u >> range)))
            continue;
        const std::uint32_t present = reader_.Get(16);
        for (unsigned i = 0; i < 16; ++i) {
            if (present & (0x8000u >> i))
                symbolBytes_[inUse_++] = static_cast<std::uint8_t>(range * 16 + i);
        }
    }
    if (inUse_ == 0)
        return Failed("Block uses no bytes");
    groupCount_ = reader_.Get(3);
    if (groupCount_ < 2 || groupCount_ > kMaxGroups)
        return Failed("Invalid number of tables");
    const std::uint32_t declaredSelectors = reader_.Get(15);
    if (declaredSelectors == 0)
        return Failed("No selectors");
    std::uint8_t order[kMaxGroups] = {0, 1, 2, 3, 4, 5};
    selectorCount_ = std::min(declaredSelectors, kMaxSelectors);
    for (std::uint32_t i = 0; i < declaredSelectors; ++i) {
        unsigned rank = 0;
        while (reader_.Get(1)) {
            if (++rank >= groupCount_)
                return Failed("Invalid selector");
        }
        const std::uint8_t group = order[rank];
        std::memmove(order + 1, order, rank);
        order[0] = group;
        // Selectors beyond the largest block's need are read and dropped.
        if (i < kMaxSelectors)
            selectors_[i] = group;
        if (reader_.Overrun())
            return Failed("Unexpected end of compressed data");
    }
    const unsigned alphabet = inUse_ + 2;
    std::uint8_t lengths[kMaxAlphabet];
    for (unsigned g = 0; g < groupCount_; ++g) {
        int length = static_cast<int>(reader_.Get(5));
        for (unsigned s = 0; s < alphabet; ++s) {
            for (;;) {
                if (length < 1 || length > static_cast<int>(kMaxCodeBits))
                    return Failed("Invalid code length");
                if (!reader_.Get(1))
                    break;
                length += reader_.Get(1) ? -1 : 1;
                if (reader_.Overrun())
                    return Failed("Unexpected end of compressed data");
            }
            lengths[s] = static_cast<std::uint8_t>(length);
        }
        if (!groups_[g].Build(lengths, alphabet))
            return Failed("Over-subscribed code");
    }
    return true;
}

bool Decoder::ReadSymbols() {
    const unsigned endOfBlock = inUse_ + 1;
    std::uint8_t front[256];
    std::copy_n(symbolBytes_, inUse_, front);
    std::fill(std::begin(byteCounts_), std::end(byteCounts_), 0);
    std::uint32_t* const tt = tt_;
    std::uint32_t used = 0;
    std::uint32_t run = 0;
    unsigned runBit = 0;
    unsigned groupIndex = 0;
    unsigned groupLeft = 0;
    const HuffmanGroup* group = nullptr;
    for (;;) {
        if (groupLeft == 0) {
            if (groupIndex >= selectorCount_)
                return Failed("Block runs past its selectors");
            group = &groups_[selectors_[groupIndex++]];
            groupLeft = kGroupSize;
        }
        --groupLeft;
        const int symbol = group->Decode(reader_);
        if (symbol < 0)
            return Failed("Invalid code");
        if (symbol <= 1) {
            // Run lengths in bijective base 2: RUNA adds 1, RUNB 2, at the current digit.
            run += static_cast<std::uint32_t>(symbol + 1) << runBit;
            if (++runBit > 20 || run > blockSize_ - used)
                return Failed("Run longer than the block");
            continue;
        }
        if (run > 0) {
            const std::uint8_t byte = front[0];
            byteCounts_[byte] += run;
            std::fill_n(tt + used, run, byte);
            used += run;
            run = 0;
            runBit = 0;
        }
        if (static_cast<unsigned>(symbol) == endOfBlock)
            break;
        if (used >= blockSize_)
            return Failed("Block longer than its declared size");
        const unsigned rank = static_cast<unsigned>(symbol) - 1;
        const std::uint8_t byte = front[rank];
        for (unsigned i = rank; i > 0; --i)
            front[i] = front[i - 1];
        front[0] = byte;
        ++byteCounts_[byte];
        tt[used++] = byte;
    }
    if (reader_.Overrun())
        return Failed("Unexpected end of compressed data");
    if (origin_ >= used)
        return Failed("Block start pointer out of range");
    used_ = used;
    return true;
}

bool Decoder::HandOn() {
    blockCrc_ = Crc().Update(blockCrc_, out_, outFill_);
    const std::uint64_t room = limit_ - produced_;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(outFill_, room));
    if (n > 0)
        sink_->Write(out_, n);
    produced_ += n;
    const bool fits = n == outFill_;
    outFill_ = 0;
    if (!fits)
        outcome_ = {Bzip2Result::OutputOverflow, "Member data is larger than its declared size"};
    return fits;
}

// Inverse transform and the final run-length stage: four equal bytes are followed by a
// count of further copies.
bool Decoder::Unpack() {
    std::uint32_t* const tt = tt_;
    std::uint8_t* const bytes = bytes_;
    std::uint32_t start[256];
    std::uint32_t sum = 0;
    for (unsigned b = 0; b < 256; ++b) {
        start[b] = sum;
        sum += byteCounts_[b];
    }
    // tt[j] gains the row that follows row j.
    for (std::uint32_t i = 0; i < used_; ++i) {
        const std::uint32_t j = start[tt[i] & 0xFF]++;
        tt[j] |= i << 8;
    }
    WalkBlock(tt, used_, tt[origin_] >> 8, bytes, walkScratch_);

    blockCrc_ = 0xFFFFFFFFu;
    int last = -1;
    unsigned same = 0;
    std::uint8_t* const out = out_;
    std::size_t fill = outFill_;
    for (std::uint32_t k = 0; k < used_;) {
        if (fill >= kOutputChunk) {
            outFill_ = fill;
            if (!HandOn())
                return false;
            fill = 0;
        }
        const std::uint8_t byte = bytes[k++];
        out[fill++] = byte;
        if (byte != last) {
            last = byte;
            same = 1;
            continue;
        }
        if (++same < 4)
            continue;
        if (k < used_) {
            const unsigned copies = bytes[k++];
            std::memset(out + fill, byte, copies);
            fill += copies;
        }
        last = -1;
        same = 0;
    }
    outFill_ = fill;
    if (!HandOn())
        return false;
    blockCrc_ = ~blockCrc_;
    return true;
}

} // namespace

Bzip2Outcome DecodeBzip2Stream(const Bzip2Input& input, ByteSink& output, std::uint64_t outputLimit,
                               std::vector<std::uint32_t>& workspace) {
    auto decoder = std::make_unique<Decoder>(input, output, outputLimit, workspace);
    return decoder->Run();
}

void DecodeBzip2(MemberInput& input, ByteSink& output, std::uint64_t uncompressedSize,
                 DecoderScratch& scratch) {
    const Bzip2Outcome outcome = DecodeBzip2Stream(
        [&input](std::uint8_t* buffer, std::size_t size) { return input.Read(buffer, size); },
        output, uncompressedSize, scratch.Words());
    if (outcome.result != Bzip2Result::Ok)
        throw DecoderError(std::string("bzip2 error: ") + outcome.reason);
}

} // namespace ks::archive
