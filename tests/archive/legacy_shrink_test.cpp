// Shrink (method 1) on hand-made code streams: control codes, free-code rules, and the
// malformed streams that must fail without touching memory outside the tables.
#include "tests/archive/legacy_test_support.h"

#include <ostream>

namespace {

using namespace kstest::legacy;
using ks::archive::LegacyResult;

struct ShrinkCase {
    const char* name;
    std::vector<std::uint32_t> codes; // 256 is followed by its control code
    std::string expected;             // everything written, also when the stream fails
    LegacyResult result;
};

std::ostream& operator<<(std::ostream& os, const ShrinkCase& c) {
    return os << c.name;
}

Bytes Encode(const std::vector<std::uint32_t>& codes) {
    BitWriter writer;
    unsigned width = 9;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        writer.Put(codes[i], width);
        if (codes[i] == 256 && i + 1 < codes.size()) {
            const std::uint32_t control = codes[++i];
            writer.Put(control, width);
            if (control == 1)
                ++width;
        }
    }
    return writer.Data();
}

std::vector<std::uint32_t> Join(std::initializer_list<std::vector<std::uint32_t>> parts) {
    std::vector<std::uint32_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::uint32_t> kWiden = {256, 1};
const std::vector<std::uint32_t> kClear = {256, 2};
const std::vector<std::uint32_t> kWidenTo13 = {256, 1, 256, 1, 256, 1, 256, 1};

const ShrinkCase kCases[] = {
    {"Literals", {'a', 'b', 'c'}, "abc", LegacyResult::Ok},
    // 257 = "ab" is defined after 'b'; 258 = "ba" after 257.
    {"DefinedCodes", {'a', 'b', 257, 258}, "ababba", LegacyResult::Ok},
    // The code being defined right now stands for previous string + its first byte.
    {"CodeBeingDefined", {'a', 257, 257}, "aaaaa", LegacyResult::Ok},
    {"WidenTo10Bits", Join({{'a'}, kWiden, {'b', 257}}), "abab", LegacyResult::Ok},
    {"WidenTo13Bits", Join({{'x'}, kWidenTo13, {'y', 257}}), "xyxy", LegacyResult::Ok},
    // 257 = "ab" is nobody's prefix: the clear frees it and the next string reuses 257.
    {"PartialClearFreesAllCodes", Join({{'a', 'b'}, kClear, {'c', 257}}), "abcbc",
     LegacyResult::Ok},
    // 259 = "abc" keeps its prefix 257 = "ab" alive; 258 and 259 are freed and 258 reused.
    {"PartialClearKeepsPrefixes", Join({{'a', 'b', 257, 'c'}, kClear, {257, 258}}), "ababcabca",
     LegacyResult::Ok},
    {"UnknownControlIgnored", Join({{'a'}, {256, 7}, {'b'}}), "ab", LegacyResult::Ok},
    {"WidthPast13Bits", Join({{'x'}, kWidenTo13, {256, 1}, {'y'}}), "x",
     LegacyResult::MalformedStream},
    {"FirstCodeNotAByte", {300, 'a'}, "", LegacyResult::MalformedStream},
    // 300 is free but is not the code being defined; once it is the previous code the walk
    // keeps landing on free codes, which must end at the stack limit.
    {"FreeCodeLoop", {'a', 300, 300}, "aaa", LegacyResult::MalformedStream},
};

class ShrinkStream : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ShrinkStream, DecodesInTinySteps) {
    const ShrinkCase& c = GetParam();
    const Bytes input = Encode(c.codes);
    for (std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
        const Decoded decoded = Decode(1, 0, 1000, input, step);
        EXPECT_EQ(decoded.result, c.result) << "step " << step;
        // Failing streams keep what was decoded before the fault.
        EXPECT_EQ(decoded.output, Text(c.expected)) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Crafted, ShrinkStream, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Shrink runs until its input ends; a string crossing the declared size is cut there.
TEST(ShrinkLimit, StringCrossingDeclaredSizeIsCutAndFails) {
    const Bytes input = Encode({'a', 'b', 257, 258});
    const Decoded decoded = Decode(1, 0, 3, input, 4096);
    EXPECT_EQ(decoded.result, LegacyResult::OutputOverflow);
    EXPECT_EQ(decoded.output, Text("aba"));
}

// Once every code up to 8191 is in use, no more are defined and decoding goes on.
TEST(ShrinkTable, FullTableStopsDefiningCodes) {
    std::vector<std::uint32_t> codes = {'a'};
    codes.insert(codes.end(), kWidenTo13.begin(), kWidenTo13.end());
    // Each literal defines one code: 257..8191 takes 7935 of them.
    std::string expected = "a";
    for (unsigned i = 0; i < 7935; ++i) {
        codes.push_back('b');
        expected += 'b';
    }
    // 8191 = prefix 'b' + 'b'; a further literal would have defined nothing.
    codes.push_back(8191);
    expected += "bb";
    codes.push_back('c');
    expected += 'c';
    const Decoded decoded = Decode(1, 0, expected.size(), Encode(codes), 4096);
    EXPECT_EQ(decoded.result, LegacyResult::Ok);
    EXPECT_EQ(decoded.output, Text(expected));
}

} // namespace
