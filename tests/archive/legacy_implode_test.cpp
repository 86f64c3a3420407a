// Implode (method 6) on hand-made streams: two and three trees, both dictionary sizes, the tree
// description and code assignment, references before the start, and malformed trees.
#include "tests/archive/legacy_test_support.h"

#include <functional>
#include <random>

namespace {

using namespace kstest::legacy;
using ks::archive::LegacyResult;

constexpr std::uint16_t kBigDictionary = 0x0002;
constexpr std::uint16_t kThreeTrees = 0x0004;

// A tree as written in the stream (description bytes) and the codes a reader must derive
// from it, worked out by hand: code(value) = {bits, length}, first bit = top bit.
struct TestTree {
    Bytes description; // count - 1, then (repeat - 1) << 4 | (length - 1) per byte
    std::function<std::pair<std::uint32_t, unsigned>(unsigned)> code;
};

// Every value the same length: the highest value gets code 0, the lowest the all-ones code.
TestTree Uniform(unsigned values, unsigned length) {
    TestTree tree;
    const unsigned bytes = values / 16;
    tree.description.push_back(static_cast<std::uint8_t>(bytes - 1));
    for (unsigned i = 0; i < bytes; ++i)
        tree.description.push_back(static_cast<std::uint8_t>(0xF0 | (length - 1)));
    tree.code = [values, length](unsigned v) { return std::make_pair(values - 1 - v, length); };
    return tree;
}

// Lengths 1, 2, 3, 3 for values 0 to 3, nothing else: codes 1, 01, 001, 000.
TestTree Mixed() {
    TestTree tree;
    tree.description = {2, 0x00, 0x01, 0x12};
    tree.code = [](unsigned v) {
        const std::pair<std::uint32_t, unsigned> codes[] = {{1, 1}, {1, 2}, {1, 3}, {0, 3}};
        return codes[v];
    };
    return tree;
}

// Values 0 to 14 get lengths 1 to 15, values 15 and 16 length 16: value k < 16 is k zeros
// then a one, value 16 is sixteen zeros. Exercises codes longer than any look-up table.
TestTree Deep() {
    TestTree tree;
    tree.description.push_back(15);
    for (std::uint8_t k = 0; k < 15; ++k)
        tree.description.push_back(k);
    tree.description.push_back(0x1F);
    tree.code = [](unsigned v) {
        return v < 16 ? std::make_pair(std::uint32_t{1}, v + 1) : std::make_pair(0u, 16u);
    };
    return tree;
}

class ImplodeWriter {
public:
    ImplodeWriter(std::uint16_t flags, TestTree lengths = Uniform(64, 6),
                  TestTree distances = Uniform(64, 6))
        : three_((flags & kThreeTrees) != 0), lowBits_((flags & kBigDictionary) ? 7 : 6),
          literals_(Uniform(256, 8)), lengths_(std::move(lengths)),
          distances_(std::move(distances)) {
        if (three_)
            Raw(literals_.description);
        Raw(lengths_.description);
        Raw(distances_.description);
    }
    ImplodeWriter& Raw(const Bytes& bytes) {
        for (std::uint8_t b : bytes)
            bits_.Byte(b);
        return *this;
    }
    ImplodeWriter& Literal(std::uint8_t b) {
        bits_.Put(1, 1);
        if (three_)
            Code(literals_, b);
        else
            bits_.Byte(b);
        model_.push_back(b);
        return *this;
    }
    ImplodeWriter& Match(std::uint32_t distance, std::uint32_t length) {
        const std::uint32_t d = distance - 1;
        const std::uint32_t l = length - (three_ ? 3 : 2);
        bits_.Put(0, 1).Put(d & ((1u << lowBits_) - 1), lowBits_);
        Code(distances_, d >> lowBits_);
        if (l >= 63) {
            Code(lengths_, 63);
            bits_.Byte(static_cast<std::uint8_t>(l - 63));
        } else {
            Code(lengths_, l);
        }
        for (std::uint32_t i = 0; i < length; ++i)
            model_.push_back(distance > model_.size() ? 0 : model_[model_.size() - distance]);
        return *this;
    }
    // Raw bits, first bit = top bit of `code`.
    ImplodeWriter& Bits(std::uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            bits_.Put((code >> i) & 1u, 1);
        return *this;
    }
    const Bytes& Data() const { return bits_.Data(); }
    // What a correct decoder writes: literals, and copies with zeros before the start.
    const Bytes& Expected() const { return model_; }

private:
    void Code(const TestTree& tree, unsigned value) {
        const auto [code, length] = tree.code(value);
        Bits(code, length);
    }

    bool three_;
    unsigned lowBits_;
    TestTree literals_, lengths_, distances_;
    BitWriter bits_;
    Bytes model_;
};

void ExpectDecodes(const ImplodeWriter& w, std::uint16_t flags, const Bytes& expected) {
    for (std::size_t step : {std::size_t{1}, std::size_t{5}, std::size_t{4096}}) {
        const Decoded decoded = Decode(6, flags, expected.size(), w.Data(), step);
        EXPECT_EQ(decoded.result, LegacyResult::Ok) << "step " << step;
        EXPECT_EQ(decoded.output, expected) << "step " << step;
    }
}

TEST(ImplodeTrees, TwoTreesReadPlainLiteralsAndMatchAtLeastTwo) {
    ImplodeWriter w(0);
    w.Literal('a').Literal('b').Match(2, 2);
    ExpectDecodes(w, 0, Text("abab"));
}

TEST(ImplodeTrees, ThreeTreesCodeLiteralsAndMatchAtLeastThree) {
    ImplodeWriter w(kThreeTrees);
    w.Literal('a').Literal('b').Match(2, 3);
    ExpectDecodes(w, kThreeTrees, Text("ababa"));
}

TEST(ImplodeTrees, MixedLengthsGetCodesFromTheLongestUp) {
    ImplodeWriter w(0, Mixed());
    w.Literal('x').Literal('y');
    for (std::uint32_t length = 2; length <= 5; ++length)
        w.Match(2, length);
    ExpectDecodes(w, 0, w.Expected());
}

TEST(ImplodeTrees, CodesUpToSixteenBits) {
    ImplodeWriter w(0, Uniform(64, 6), Deep());
    for (int i = 0; i < 1100; ++i)
        w.Literal(static_cast<std::uint8_t>(i * 7));
    for (std::uint32_t high : {0u, 1u, 9u, 13u, 14u, 15u, 16u})
        w.Match((high << 6) + 5, 4);
    ExpectDecodes(w, 0, w.Expected());
}

TEST(ImplodeMatches, LengthSixtyThreeTakesAnExtraByte) {
    for (std::uint16_t flags : {std::uint16_t{0}, std::uint16_t(kThreeTrees | kBigDictionary)}) {
        const std::uint32_t minimum = (flags & kThreeTrees) ? 3 : 2;
        ImplodeWriter w(flags);
        w.Literal('a').Literal('b').Match(2, 63 + minimum).Match(1, 63 + 255 + minimum);
        w.Match(2, 62 + minimum);
        ExpectDecodes(w, flags, w.Expected());
    }
}

TEST(ImplodeMatches, FirstMatchBeforeStartYieldsZeros) {
    for (std::uint16_t flags : {std::uint16_t{0}, kThreeTrees}) {
        ImplodeWriter w(flags);
        w.Match(5, 4).Literal('x').Match(4, 4);
        const Bytes expected = {0, 0, 0, 0, 'x', 0, 0, 0, 'x'};
        ASSERT_EQ(w.Expected(), expected);
        ExpectDecodes(w, flags, expected);
    }
}

TEST(ImplodeMatches, FullDictionaryDistance) {
    for (std::uint16_t flags : {std::uint16_t{0}, kBigDictionary}) {
        const std::uint32_t dictionary = (flags & kBigDictionary) ? 8192 : 4096;
        ImplodeWriter w(flags);
        for (std::uint32_t i = 0; i < dictionary; ++i)
            w.Literal(static_cast<std::uint8_t>(i ^ (i >> 8)));
        w.Match(dictionary, 10);
        ExpectDecodes(w, flags, w.Expected());
    }
}

// Long random streams cross the 32 KiB output blocks and the history many times over.
TEST(ImplodeMatches, RandomStreamsMatchASimpleModel) {
    for (std::uint16_t flags : {0, 2, 4, 6}) {
        SCOPED_TRACE(flags);
        std::mt19937 random(flags + 1u);
        const std::uint32_t dictionary = (flags & kBigDictionary) ? 8192 : 4096;
        const std::uint32_t minimum = (flags & kThreeTrees) ? 3 : 2;
        ImplodeWriter w(flags);
        while (w.Expected().size() < 150000) {
            if (random() % 3 == 0)
                w.Literal(static_cast<std::uint8_t>(random()));
            else
                w.Match(1 + random() % dictionary, minimum + random() % (63 + 256));
        }
        for (std::size_t step : {std::size_t{13}, std::size_t{4096}}) {
            const Decoded decoded = Decode(6, flags, w.Expected().size(), w.Data(), step);
            EXPECT_EQ(decoded.result, LegacyResult::Ok);
            EXPECT_TRUE(decoded.output == w.Expected());
            EXPECT_EQ(decoded.largestBlock, 32768u);
        }
    }
}

struct BadTree {
    const char* name;
    std::uint16_t flags;
    Bytes trees;
};

std::ostream& operator<<(std::ostream& os, const BadTree& c) {
    return os << c.name;
}

Bytes Repeated(std::uint8_t byte, std::size_t count, std::uint8_t countByte) {
    Bytes bytes(count, byte);
    bytes.insert(bytes.begin(), countByte);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const BadTree kBadTrees[] = {
    // 5 x 16 = 80 lengths for a 64-value tree.
    {"LengthTreeTooManyValues", 0, Repeated(0xF5, 5, 4)},
    {"DistanceTreeTooManyValues", 0, Concat({Repeated(0xF5, 4, 3), Repeated(0xF5, 5, 4)})},
    // 17 x 16 = 272 lengths for the 256-value literal tree.
    {"LiteralTreeTooManyValues", kThreeTrees, Repeated(0xF7, 17, 16)},
    // One byte claiming 16 repeats, twice past the end with 256 description bytes.
    {"MaximalDescription", kThreeTrees, Repeated(0xFF, 256, 255)},
};

class ImplodeBadTree : public ::testing::TestWithParam<BadTree> {};

TEST_P(ImplodeBadTree, FailsBeforeWritingAnything) {
    Bytes input = GetParam().trees;
    input.resize(input.size() + 64, 0xA5);
    const Decoded decoded = Decode(6, GetParam().flags, 1000, input, 4096);
    EXPECT_EQ(decoded.result, LegacyResult::MalformedStream);
    EXPECT_TRUE(decoded.output.empty());
}

INSTANTIATE_TEST_SUITE_P(Crafted, ImplodeBadTree, ::testing::ValuesIn(kBadTrees),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImplodeBadCode, BitsMatchingNoCodeFail) {
    // Length tree: only value 0, one bit long, code "0"; a "1" where a length is due matches
    // nothing.
    TestTree single;
    single.description = {0, 0x00};
    single.code = [](unsigned) { return std::make_pair(0u, 1u); };
    ImplodeWriter w(0, single);
    w.Literal('a').Literal('b').Match(2, 2);
    w.Bits(0, 1).Bits(0, 6).Bits(63, 6).Bits(1, 1).Raw(Bytes(16, 0xFF));
    const Decoded decoded = Decode(6, 0, 100, w.Data(), 3);
    EXPECT_EQ(decoded.result, LegacyResult::MalformedStream);
    EXPECT_EQ(decoded.output, Text("abab"));
}

TEST(ImplodeBadCode, SixteenBitsMatchingNothingFail) {
    // Values 0 to 13 at lengths 2 to 15 and values 14, 15 at 16 bits use only half the code
    // space: every code starts with 0, so a leading 1 matches nothing even after 16 bits.
    TestTree half;
    half.description = {14};
    for (std::uint8_t k = 0; k < 14; ++k)
        half.description.push_back(static_cast<std::uint8_t>(k + 1));
    half.description.push_back(0x1F);
    half.code = [](unsigned v) {
        return v < 15 ? std::make_pair(std::uint32_t{1}, v + 2) : std::make_pair(0u, 16u);
    };
    ImplodeWriter w(0, Uniform(64, 6), half);
    w.Literal('a').Literal('b').Match(2, 2).Match((15u << 6) + 1, 2);
    w.Bits(0, 1).Bits(0, 6).Bits(0xFFFF, 16).Raw(Bytes(16, 0xFF));
    const Decoded decoded = Decode(6, 0, 100, w.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::MalformedStream);
    EXPECT_EQ(decoded.output, w.Expected());
}

TEST(ImplodeLimit, MatchCrossingTheDeclaredSizeIsCutAndFails) {
    ImplodeWriter w(0);
    w.Literal('a').Match(1, 10);
    const Decoded decoded = Decode(6, 0, 5, w.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::OutputOverflow);
    EXPECT_EQ(decoded.output, Text("aaaaa"));
}

TEST(ImplodeLimit, StopsAtTheDeclaredSizeBeforeTheNextLiteral) {
    ImplodeWriter w(kThreeTrees);
    w.Literal('a').Literal('b').Literal('c');
    const Decoded decoded = Decode(6, kThreeTrees, 2, w.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::Ok);
    EXPECT_EQ(decoded.output, Text("ab"));
}

} // namespace
