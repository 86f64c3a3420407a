// Test support for the legacy decoders: finds a member's compressed bytes in a ZIP file through
// its central directory, writes crafted bit streams, and runs the decoder over a byte vector.
#pragma once
#include "archive/legacy_decoders.h"
#include "archive/member_decoding.h"
#include "tests/common/test_paths.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace kstest::legacy {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct StoredMember {
    int method = -1;
    std::uint16_t flags = 0;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    Bytes data; // compressed bytes
};

inline std::uint32_t Le(const Bytes& b, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | b.at(at + static_cast<std::size_t>(i));
    return value;
}

// Looks the member up by its raw name; method stays -1 when it is not there.
inline StoredMember FindMember(const Bytes& zip, const std::string& name) {
    StoredMember member;
    if (zip.size() < 22)
        return member;
    std::size_t end = zip.size() - 22;
    while (end > 0 && Le(zip, end, 4) != 0x06054B50u)
        --end;
    const std::size_t entries = Le(zip, end + 10, 2);
    std::size_t at = Le(zip, end + 16, 4);
    for (std::size_t i = 0; i < entries && Le(zip, at, 4) == 0x02014B50u; ++i) {
        const std::size_t nameLength = Le(zip, at + 28, 2);
        const std::size_t next = at + 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
        if (std::string(zip.begin() + static_cast<long>(at + 46),
                        zip.begin() + static_cast<long>(at + 46 + nameLength)) == name) {
            member.flags = static_cast<std::uint16_t>(Le(zip, at + 8, 2));
            member.method = static_cast<int>(Le(zip, at + 10, 2));
            member.crc = Le(zip, at + 16, 4);
            const std::size_t compressed = Le(zip, at + 20, 4);
            member.size = Le(zip, at + 24, 4);
            const std::size_t local = Le(zip, at + 42, 4);
            const std::size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
            member.data.assign(zip.begin() + static_cast<long>(data),
                               zip.begin() + static_cast<long>(data + compressed));
            return member;
        }
        at = next;
    }
    return member;
}

inline std::uint32_t Crc32(const Bytes& data) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), data.data(), static_cast<uInt>(data.size())));
}

struct Decoded {
    ks::archive::LegacyResult result = ks::archive::LegacyResult::Ok;
    Bytes output;
    std::size_t largestBlock = 0;
    std::size_t inputCalls = 0;
};

// Feeds `input` at most `step` bytes per call, so block boundaries fall anywhere.
inline Decoded Decode(int method, std::uint16_t flags, std::uint64_t size, const Bytes& input,
                      std::size_t step) {
    Decoded decoded;
    std::size_t offset = 0;
    ks::archive::LegacyInput in = [&](std::uint8_t* buffer, std::size_t capacity) {
        ++decoded.inputCalls;
        const std::size_t n = std::min({capacity, step, input.size() - offset});
        std::copy_n(input.begin() + static_cast<long>(offset), n, buffer);
        offset += n;
        return n;
    };
    ks::archive::LegacyOutput out = [&](const std::uint8_t* data, std::size_t n) {
        decoded.largestBlock = std::max(decoded.largestBlock, n);
        decoded.output.insert(decoded.output.end(), data, data + n);
    };
    decoded.result = ks::archive::DecodeLegacyMember(method, flags, size, in, out);
    return decoded;
}

// Packs values least significant bit first, the order the decoders read them in.
class BitWriter {
public:
    BitWriter& Put(std::uint32_t value, unsigned bits) {
        for (unsigned i = 0; i < bits; ++i) {
            if (used_ == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1u)
                bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (1u << used_));
            used_ = (used_ + 1) % 8;
        }
        return *this;
    }
    BitWriter& Byte(std::uint8_t value) { return Put(value, 8); }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
    unsigned used_ = 0;
};

inline Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class VectorSink : public ks::archive::ByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
    }
    Bytes bytes;
};

// What a decoder fed in steps ended with, and everything it handed on.
template <typename Status> struct StepOutcome {
    Status status;
    Bytes output;
};

struct RealMember {
    const char* archive;
    const char* member;
};

inline std::ostream& operator<<(std::ostream& os, const RealMember& m) {
    return os << m.archive << ":" << m.member;
}

inline StoredMember Load(const RealMember& m) {
    return FindMember(ReadWholeFile(kstest::SourcePath(std::string("tests/data/zip/") + m.archive)),
                      m.member);
}

// `run(input, declaredSize, step)` decodes a member of a real archive: it reaches its CRC-32
// in pieces of every size; half the declared size stops the output there, as the start of
// the full output; one byte less of input fails.
template <typename Status, typename Run>
void ExpectDecodesInPiecesWithinBounds(const RealMember& real, int method, Run run,
                                       std::initializer_list<std::size_t> steps, Status done,
                                       Status overflow, Status shortInput) {
    const StoredMember m = Load(real);
    ASSERT_EQ(m.method, method);
    for (std::size_t step : steps) {
        SCOPED_TRACE(step);
        const StepOutcome<Status> result = run(m.data, m.size, step);
        EXPECT_EQ(result.status, done);
        EXPECT_EQ(result.output.size(), m.size);
        EXPECT_EQ(Crc32(result.output), m.crc);
    }
    const StepOutcome<Status> full = run(m.data, m.size, 4096);
    const StepOutcome<Status> cut = run(m.data, m.size / 2, 4096);
    EXPECT_EQ(cut.status, overflow);
    ASSERT_EQ(cut.output.size(), m.size / 2);
    EXPECT_TRUE(std::equal(cut.output.begin(), cut.output.end(), full.output.begin()));
    const Bytes truncated(m.data.begin(), m.data.end() - 1);
    const StepOutcome<Status> shortened = run(truncated, m.size, 4096);
    EXPECT_EQ(shortened.status, shortInput);
    EXPECT_LE(shortened.output.size(), m.size);
}

} // namespace kstest::legacy

namespace ks::archive {
inline void PrintTo(LegacyResult result, std::ostream* os) {
    static const char* const names[] = {"Ok", "UnsupportedMethod", "MalformedStream",
                                        "OutputOverflow"};
    *os << names[static_cast<int>(result)];
}
} // namespace ks::archive
