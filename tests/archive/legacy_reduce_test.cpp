// Reduce (methods 2 to 5) on hand-made streams: follower sets, the escape-144 layer and its
// length and distance rules per factor, and malformed follower data.
#include "tests/archive/legacy_test_support.h"

#include <map>
#include <ostream>
#include <random>

namespace {

using namespace kstest::legacy;
using ks::archive::LegacyResult;

// Writes a reduce stream: follower sets first (255 down to 0), then each byte coded against
// the set of the byte before it.
class ReduceWriter {
public:
    explicit ReduceWriter(std::map<std::uint8_t, std::vector<std::uint8_t>> sets = {})
        : sets_(std::move(sets)) {
        for (int value = 255; value >= 0; --value) {
            const auto& set = sets_[static_cast<std::uint8_t>(value)];
            bits_.Put(static_cast<std::uint32_t>(set.size()), 6);
            for (std::uint8_t follower : set)
                bits_.Byte(follower);
        }
    }
    ReduceWriter& Bytes(std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes)
            Byte(b);
        return *this;
    }
    ReduceWriter& Byte(std::uint8_t b) {
        const auto& set = sets_[last_];
        last_ = b;
        if (set.empty()) {
            bits_.Byte(b);
            return *this;
        }
        for (std::size_t i = 0; i < set.size(); ++i) {
            if (set[i] == b) {
                bits_.Put(0, 1).Put(static_cast<std::uint32_t>(i), IndexWidth(set.size()));
                return *this;
            }
        }
        bits_.Put(1, 1).Byte(b);
        return *this;
    }
    // A raw follower index, valid or not.
    ReduceWriter& Index(std::uint32_t index) {
        bits_.Put(0, 1).Put(index, IndexWidth(sets_[last_].size()));
        return *this;
    }
    const kstest::legacy::Bytes& Data() const { return bits_.Data(); }

private:
    static unsigned IndexWidth(std::size_t n) {
        return n <= 2 ? 1 : n <= 4 ? 2 : n <= 8 ? 3 : n <= 16 ? 4 : 5;
    }

    std::map<std::uint8_t, std::vector<std::uint8_t>> sets_;
    std::uint8_t last_ = 0;
    BitWriter bits_;
};

struct EscapeCase {
    const char* name;
    int factor;
    std::vector<std::uint8_t> bytes; // after the follower sets (all empty)
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const EscapeCase& c) {
    return os << c.name;
}

std::string Repeat(const std::string& unit, std::size_t length) {
    std::string out;
    while (out.size() < length)
        out += unit[out.size() % unit.size()];
    return out;
}

const EscapeCase kEscapeCases[] = {
    {"EscapeThenZeroIsOne144", 1, {'x', 144, 0, 'y'}, "x\x90y"},
    {"TwoEscapedLiterals", 3, {144, 0, 144, 0}, "\x90\x90"},
    // Factor 1: length = low 7 bits, distance high part = bit 7. Length 2 + 3 = 5 from 2 back.
    {"ShortMatchFactor1", 1, {'a', 'b', 144, 0x02, 1}, "ab" + Repeat("ab", 5)},
    // A length field equal to the mask takes one more byte of length before the distance.
    {"LengthEqualsMaskFactor1", 1, {'a', 'b', 144, 0x7F, 2, 1}, "ab" + Repeat("ab", 127 + 2 + 3)},
    {"LengthEqualsMaskFactor2", 2, {'a', 'b', 144, 0x3F, 0, 1}, "ab" + Repeat("ab", 63 + 3)},
    {"LengthEqualsMaskFactor3", 3, {'a', 'b', 144, 0x1F, 5, 1}, "ab" + Repeat("ab", 31 + 5 + 3)},
    {"LengthEqualsMaskFactor4",
     4,
     {'a', 'b', 144, 0x0F, 255, 1},
     "ab" + Repeat("ab", 15 + 255 + 3)},
    // High distance bits: factor 2 takes bits 6-7, so 0x40 means 256 more. 259 back from
    // position 260 is position 1.
    {"DistanceHighBitsFactor2", 2,
     [] {
         std::vector<std::uint8_t> bytes;
         for (int i = 0; i < 260; ++i)
             bytes.push_back(static_cast<std::uint8_t>('A' + i % 26));
         bytes.insert(bytes.end(), {144, 0x40 | 1, 2});
         return bytes;
     }(),
     [] {
         std::string s;
         for (int i = 0; i < 260; ++i)
             s += static_cast<char>('A' + i % 26);
         return s + s.substr(1, 4);
     }()},
    // Positions before the first output byte read as zeros, also inside an otherwise real copy.
    {"MatchBeforeStartGivesZeros", 4, {'q', 144, 0xF1, 0}, std::string("q") + std::string(4, '\0')},
    {"MatchPartlyBeforeStart", 4, {'q', 144, 0x01, 2}, std::string("q\0\0q\0", 5)},
};

class ReduceEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(ReduceEscape, DecodesInTinySteps) {
    const EscapeCase& c = GetParam();
    ReduceWriter writer;
    for (std::uint8_t b : c.bytes)
        writer.Byte(b);
    for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
        const Decoded decoded = Decode(c.factor + 1, 0, c.expected.size(), writer.Data(), step);
        EXPECT_EQ(decoded.result, LegacyResult::Ok);
        EXPECT_EQ(decoded.output, Text(c.expected)) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Crafted, ReduceEscape, ::testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReduceFollowers, BytesComeFromTheSetOfThePreviousByte) {
    ReduceWriter writer(
        {{0, {'a', 'b', 'c'}}, {'b', {'c', 'x'}}, {'x', std::vector<std::uint8_t>(32, 'z')}});
    // 'b' from the set of 0, 'x' from the set of 'b', 'z' index 31 of a full set, then literals.
    writer.Bytes({'b', 'x', 'z', 'q', 'b', 'c'});
    const Decoded decoded = Decode(2, 0, 6, writer.Data(), 1);
    EXPECT_EQ(decoded.result, LegacyResult::Ok);
    EXPECT_EQ(decoded.output, Text("bxzqbc"));
}

TEST(ReduceFollowers, IndexBeyondTheSetFails) {
    ReduceWriter writer({{0, {'a', 'b', 'c'}}});
    writer.Index(3).Bytes({'a', 'a', 'a'});
    const Decoded decoded = Decode(3, 0, 10, writer.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::MalformedStream);
    EXPECT_TRUE(decoded.output.empty());
}

TEST(ReduceFollowers, MoreThan32FollowersFails) {
    BitWriter bits;
    bits.Put(33, 6);
    for (int i = 0; i < 33; ++i)
        bits.Byte('a');
    for (int i = 0; i < 300; ++i)
        bits.Byte(0);
    const Decoded decoded = Decode(4, 0, 10, bits.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::MalformedStream);
    EXPECT_TRUE(decoded.output.empty());
}

TEST(ReduceLimit, StopsBeforeALiteralAtTheDeclaredSize) {
    ReduceWriter writer;
    writer.Bytes({'a', 'b', 'c', 'd'});
    const Decoded decoded = Decode(5, 0, 2, writer.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::Ok);
    EXPECT_EQ(decoded.output, Text("ab"));
}

TEST(ReduceLimit, MatchCrossingTheDeclaredSizeIsCutAndFails) {
    ReduceWriter writer;
    writer.Bytes({'a', 'b', 144, 0x02, 1});
    const Decoded decoded = Decode(2, 0, 4, writer.Data(), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::OutputOverflow);
    EXPECT_EQ(decoded.output, Text("abab"));
}

TEST(ReduceMethod, FactorsOutsideOneToFourAreNotLegacyMethods) {
    for (int method : {0, 7, 8, -1}) {
        const Decoded decoded = Decode(method, 0, 10, Bytes(100, 0), 4096);
        EXPECT_EQ(decoded.result, LegacyResult::UnsupportedMethod) << method;
        EXPECT_TRUE(decoded.output.empty());
    }
}

// Long random streams over random follower sets: literals, escaped 144s and matches of every
// length and distance the factor allows, against a simple model of the output.
TEST(ReduceMatches, RandomStreamsMatchASimpleModel) {
    for (int factor = 1; factor <= 4; ++factor) {
        SCOPED_TRACE(factor);
        std::mt19937 engine(static_cast<unsigned>(factor));
        auto draw = [&engine](unsigned n) { return static_cast<unsigned>(engine() % n); };
        std::map<std::uint8_t, std::vector<std::uint8_t>> sets;
        for (int i = 0; i < 40; ++i) {
            std::vector<std::uint8_t>& set = sets[static_cast<std::uint8_t>(draw(256))];
            set.resize(1 + draw(32));
            for (std::uint8_t& b : set)
                b = static_cast<std::uint8_t>(draw(8) == 0 ? 144 : draw(256));
        }
        ReduceWriter writer(sets);
        Bytes model;
        const std::uint32_t mask = 0xFFu >> factor;
        const std::uint32_t longest = mask + 255 + 3;
        const std::uint32_t farthest = ((1u << factor) - 1) * 256 + 256;
        while (model.size() < 120000) {
            const unsigned pick = draw(10);
            if (pick < 5) {
                const std::uint8_t b = static_cast<std::uint8_t>(draw(256));
                writer.Byte(b);
                if (b == 144)
                    writer.Byte(0);
                model.push_back(b);
                continue;
            }
            const std::uint32_t distance = 1 + draw(farthest);
            std::uint32_t length = 3 + draw(pick == 9 ? longest - 2 : 20);
            // 144 then 0 means a literal 144: the shortest match needs a far distance.
            if (length == 3 && distance <= 256)
                length = 4;
            const std::uint32_t field = std::min(length - 3, mask);
            const std::uint32_t high = (distance - 1) >> 8;
            writer.Byte(144).Byte(static_cast<std::uint8_t>(field | (high << (8 - factor))));
            if (field == mask)
                writer.Byte(static_cast<std::uint8_t>(length - 3 - mask));
            writer.Byte(static_cast<std::uint8_t>((distance - 1) & 0xFF));
            for (std::uint32_t i = 0; i < length; ++i)
                model.push_back(distance > model.size() ? 0 : model[model.size() - distance]);
        }
        for (std::size_t step : {std::size_t{4096}, std::size_t{11}}) {
            const Decoded decoded = Decode(factor + 1, 0, model.size(), writer.Data(), step);
            EXPECT_EQ(decoded.result, LegacyResult::Ok);
            ASSERT_EQ(decoded.output.size(), model.size());
            EXPECT_TRUE(decoded.output == model);
        }
    }
}

} // namespace
