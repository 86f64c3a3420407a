// Deflate64 fed in pieces of every size: real members decode to their CRC-32, and crafted
// streams of each fault class stop within bounds with what was decoded before the fault.
#include "archive/deflate64_decoder.h"
#include "tests/archive/legacy_test_support.h"

#include <ostream>

namespace {

using namespace kstest::legacy;
using ks::archive::Deflate64Decoder;
using ks::archive::Deflate64Status;

using Inflated = StepOutcome<Deflate64Status>;

Inflated Inflate64(const Bytes& input, std::uint64_t limit, std::size_t step) {
    VectorSink sink;
    Deflate64Decoder decoder(limit, sink);
    Deflate64Status status = Deflate64Status::NeedInput;
    for (std::size_t at = 0; at < input.size() && status == Deflate64Status::NeedInput; at += step)
        status = decoder.Feed(input.data() + at, std::min(step, input.size() - at));
    if (status == Deflate64Status::NeedInput)
        status = decoder.Finish();
    return {status, sink.bytes};
}

const RealMember kRealMembers[] = {
    {"ks_deflate64-7z.zip", "far.txt"},
    {"ks_deflate64-7z.zip", "zeros.bin"},
    {"ks_deflate64-zlib.zip", "one"},
    {"ks_deflate64-zlib.zip", "incompressible.bin"},
    {"cc_lorem-ipsum-deflate64.zip", "lorem-ipsum.txt"},
    {"cc_COMPRESS-380-dd.zip", "META-INF/MANIFEST.MF"},
};

class Deflate64Member : public ::testing::TestWithParam<RealMember> {};

// Regression: a declared size below the real one stops the output there, and a cut-off
// stream fails without producing more than it decoded.
TEST_P(Deflate64Member, DecodesInPiecesWithinDeclaredSizeAndInput) {
    const StoredMember m = Load(GetParam());
    ExpectDecodesInPiecesWithinBounds(GetParam(), 9, Inflate64, {1, 7, 4097, m.data.size()},
                                      Deflate64Status::StreamEnd, Deflate64Status::OutputOverflow,
                                      Deflate64Status::Malformed);
}

INSTANTIATE_TEST_SUITE_P(Archives, Deflate64Member, ::testing::ValuesIn(kRealMembers));

// Crafted streams. Fixed-code symbols go in most significant bit first, extra bits least.
void Fixed(BitWriter& w, unsigned symbol) {
    unsigned code = 0x30 + symbol;
    unsigned bits = 8;
    if (symbol >= 144 && symbol < 256) {
        code = 0x190 + symbol - 144;
        bits = 9;
    } else if (symbol >= 256 && symbol < 280) {
        code = symbol - 256;
        bits = 7;
    } else if (symbol >= 280) {
        code = 0xC0 + symbol - 280;
    }
    for (unsigned i = bits; i-- > 0;)
        w.Put((code >> i) & 1u, 1);
}

void FixedDistance(BitWriter& w, unsigned code, std::uint32_t extra, unsigned extraBits) {
    for (unsigned i = 5; i-- > 0;)
        w.Put((code >> i) & 1u, 1);
    w.Put(extra, extraBits);
}

// A stored block of `size` bytes (0, 1, 2... mod 251), not final, starting on a byte.
void Stored(BitWriter& w, std::size_t size, Bytes& expected) {
    w.Put(0, 3).Put(0, 5); // header, then padding to the byte boundary
    w.Put(static_cast<std::uint32_t>(size), 16).Put(static_cast<std::uint32_t>(~size & 0xFFFF), 16);
    for (std::size_t i = 0; i < size; ++i) {
        w.Byte(static_cast<std::uint8_t>(i % 251));
        expected.push_back(static_cast<std::uint8_t>(i % 251));
    }
}

void Match(Bytes& expected, std::size_t length, std::size_t distance) {
    for (std::size_t i = 0; i < length; ++i)
        expected.push_back(expected[expected.size() - distance]);
}

struct CraftedCase {
    const char* name;
    Bytes input;
    Bytes expected; // everything handed on, also when the stream fails
    std::uint64_t limit;
    Deflate64Status status;
};

std::ostream& operator<<(std::ostream& os, const CraftedCase& c) {
    return os << c.name;
}

CraftedCase FarAndLongMatch() {
    // 65,536 stored bytes, then a 65,538-byte match (code 285, 16 extra bits) reaching back
    // 65,536 (code 31, 14 extra bits) and one of 3 reaching back 32,769 (code 30).
    BitWriter w;
    Bytes expected;
    Stored(w, 65535, expected);
    Stored(w, 1, expected);
    w.Put(1, 1).Put(1, 2);
    Fixed(w, 285);
    w.Put(65535, 16);
    FixedDistance(w, 31, 16383, 14);
    Match(expected, 65538, 65536);
    Fixed(w, 257);
    FixedDistance(w, 30, 0, 14);
    Match(expected, 3, 32769);
    Fixed(w, 256);
    return {"FarAndLongMatch", w.Data(), expected, 1u << 20, Deflate64Status::StreamEnd};
}

// Regression: more output than the decoder buffers moves its window; matches reaching back
// the full 64 KiB across the move still find their bytes.
CraftedCase WindowMoves() {
    BitWriter w;
    Bytes expected;
    Stored(w, 65535, expected);
    Stored(w, 1, expected);
    w.Put(1, 1).Put(1, 2);
    for (int i = 0; i < 12; ++i) {
        Fixed(w, 285);
        w.Put(65533 - i, 16);
        FixedDistance(w, 31, 16383, 14);
        Match(expected, 65536 - i, 65536);
    }
    Fixed(w, 256);
    return {"WindowMoves", w.Data(), expected, 1u << 21, Deflate64Status::StreamEnd};
}

CraftedCase FixedBlock(const char* name, std::vector<unsigned> symbols, const char* expected,
                       Deflate64Status status, std::uint64_t limit = 100) {
    BitWriter w;
    w.Put(1, 1).Put(1, 2);
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        Fixed(w, symbols[i]);
        if (symbols[i] == 257) // length 3, then the distance code that follows
            FixedDistance(w, symbols[++i], 0, 0);
    }
    return {name, w.Data(), Text(expected), limit, status};
}

// A dynamic block header whose code-length code gives symbols 0 and 16 (or 18) one bit each.
CraftedCase Dynamic(const char* name, unsigned repeatSymbol, std::vector<std::uint32_t> codes) {
    BitWriter w;
    w.Put(1, 1).Put(2, 2).Put(0, 5).Put(0, 5).Put(0, 4); // 257 + 1 lengths, 4 length codes
    // Order 16, 17, 18, 0.
    w.Put(repeatSymbol == 16 ? 1 : 0, 3).Put(0, 3).Put(repeatSymbol == 18 ? 1 : 0, 3).Put(1, 3);
    for (std::uint32_t c : codes) // 0: symbol 0; otherwise 1 and seven extra bits (c - 1)
        c == 0 ? w.Put(0, 1) : w.Put(1, 1).Put(c - 1, repeatSymbol == 16 ? 2 : 7);
    return {name, w.Data(), {}, 100, Deflate64Status::Malformed};
}

const CraftedCase kCrafted[] = {
    FarAndLongMatch(),
    WindowMoves(),
    {"EmptyFinalStoredBlock", {0x01, 0x00, 0x00, 0xFF, 0xFF}, {}, 100, Deflate64Status::StreamEnd},
    FixedBlock("FixedLiteralsAndMatch", {'a', 'b', 257, 1, 256}, "ababa",
               Deflate64Status::StreamEnd),
    {"InvalidBlockType", {0x07}, {}, 100, Deflate64Status::Malformed},
    {"StoredLengthCheck", {0x01, 0x05, 0x00, 0x00, 0x00}, {}, 100, Deflate64Status::Malformed},
    FixedBlock("DistanceBeforeStart", {'a', 257, 1, 256}, "a", Deflate64Status::Malformed),
    FixedBlock("LiteralCode286", {'a', 286}, "a", Deflate64Status::Malformed),
    FixedBlock("CutOffBeforeEndOfBlock", {'a', 'b'}, "ab", Deflate64Status::Malformed),
    FixedBlock("DeclaredSizeExceeded", {'a', 'b', 257, 1, 256}, "abab",
               Deflate64Status::OutputOverflow, 4),
    {"OverSubscribedLengthCode",
     BitWriter().Put(1, 1).Put(2, 2).Put(0, 14).Put(1, 3).Put(1, 3).Put(1, 3).Put(1, 3).Data(),
     {},
     100,
     Deflate64Status::Malformed},
    Dynamic("RepeatWithoutPrevious", 16, {4}),
    Dynamic("LengthsRunPastTable", 18, {128, 128}),
    Dynamic("NoEndOfBlockCode", 18, {128, 110}),
};

class Deflate64Crafted : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(Deflate64Crafted, DecodesOrFailsWithinBounds) {
    const CraftedCase& c = GetParam();
    for (std::size_t step : {std::size_t{1}, std::size_t{3}, c.input.size() + 1}) {
        SCOPED_TRACE(step);
        const Inflated result = Inflate64(c.input, c.limit, step);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.output, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, Deflate64Crafted, ::testing::ValuesIn(kCrafted),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace ks::archive {
inline void PrintTo(Deflate64Status status, std::ostream* os) {
    static const char* const names[] = {"NeedInput", "StreamEnd", "Malformed", "OutputOverflow"};
    *os << names[static_cast<int>(status)];
}
} // namespace ks::archive
