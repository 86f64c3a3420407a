// Shrink (method 1) on hand-made code streams: control codes, free-code rules, and the
// malformed streams that must fail without touching memory outside the tables.
#include "tests/archive/legacy_test_support.h"

#include <ostream>
#include <random>

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

// Straight from the format description: one table walk per code, a free code standing for the
// previous string plus its first byte. The decoder's faster paths must agree with it.
struct ReferenceShrink {
    Bytes output;
    bool malformed = false;

    explicit ReferenceShrink(const std::vector<std::uint32_t>& codes) {
        std::vector<int> prefix(8192, -1);
        std::vector<std::uint8_t> suffix(8192);
        for (unsigned c = 0; c <= 256; ++c) {
            prefix[c] = 0;
            suffix[c] = static_cast<std::uint8_t>(c);
        }
        unsigned width = 9, nextFree = 257, previous = codes[0];
        std::uint8_t lastFirst = static_cast<std::uint8_t>(codes[0]);
        if (codes[0] >= 256) {
            malformed = true;
            return;
        }
        output.push_back(lastFirst);
        for (std::size_t i = 1; i < codes.size(); ++i) {
            const unsigned code = codes[i];
            if (code == 256) {
                const unsigned control = i + 1 < codes.size() ? codes[++i] : 0;
                if (control == 1 && ++width > 13) {
                    malformed = true;
                    return;
                }
                if (control == 2) {
                    std::vector<bool> keep(8192, false);
                    for (unsigned c = 257; c < nextFree; ++c) {
                        if (prefix[c] >= 257 && static_cast<unsigned>(prefix[c]) < nextFree)
                            keep[static_cast<std::size_t>(prefix[c])] = true;
                    }
                    for (unsigned c = 257; c < nextFree; ++c) {
                        if (!keep[c])
                            prefix[c] = -1;
                    }
                    nextFree = 257;
                    while (nextFree < 8192 && prefix[nextFree] != -1)
                        ++nextFree;
                }
                continue;
            }
            Bytes stack;
            unsigned c = code;
            while (c > 256) {
                if (stack.size() == 8193) {
                    malformed = true;
                    return;
                }
                if (prefix[c] == -1) {
                    stack.push_back(lastFirst);
                    c = previous;
                } else {
                    stack.push_back(suffix[c]);
                    c = static_cast<unsigned>(prefix[c]);
                }
            }
            lastFirst = static_cast<std::uint8_t>(c);
            output.push_back(lastFirst);
            output.insert(output.end(), stack.rbegin(), stack.rend());
            if (nextFree < 8192) {
                prefix[nextFree] = static_cast<int>(previous);
                suffix[nextFree] = lastFirst;
                while (nextFree < 8192 && prefix[nextFree] != -1)
                    ++nextFree;
            }
            previous = code;
        }
    }
};

// Random code streams with widening, partial clears, reused and free codes: the output (and
// where it fails) matches the reference walk.
TEST(ShrinkReference, RandomStreamsMatchTheTableWalk) {
    for (unsigned seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 engine(seed);
        auto draw = [&engine](unsigned n) { return static_cast<unsigned>(engine() % n); };
        std::vector<std::uint32_t> codes(1, draw(256));
        unsigned width = 9;
        unsigned defined = 0;
        const unsigned count = 2000 + draw(30000);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned pick = draw(1000);
            const unsigned limit = std::min(1u << width, 8192u);
            if (pick < 2 && width < 13) {
                codes.insert(codes.end(), {256, 1});
                ++width;
            } else if (pick < 4 + seed % 3) {
                codes.insert(codes.end(), {256, 2});
            } else if (pick < 400) {
                codes.push_back(draw(256));
            } else if (pick < 700) {
                // Any code that may have been defined: after clears many of them are free.
                codes.push_back(257 + draw(std::max(1u, std::min(defined, limit - 257))));
            } else if (pick < 990) {
                // Codes defined lately, which make long strings.
                const unsigned span = std::max(1u, std::min(defined, limit - 257));
                const unsigned back = draw(std::min(span, 300u));
                codes.push_back(257 +
                                (std::min(defined, limit - 257) - 1 - std::min(back, span - 1)));
            } else {
                const std::uint32_t code = draw(limit);
                codes.push_back(code == 256 ? 257 : code);
            }
            defined = std::min(defined + 1, 8192u - 257);
        }
        const ReferenceShrink reference(codes);
        // Whole blocks take the decoder's fast paths; a few bytes at a time, the careful one.
        for (std::size_t step : {std::size_t{4096}, std::size_t{1 + seed % 7}}) {
            const Decoded decoded = Decode(1, 0, 1u << 30, Encode(codes), step);
            EXPECT_EQ(decoded.result,
                      reference.malformed ? LegacyResult::MalformedStream : LegacyResult::Ok);
            ASSERT_EQ(decoded.output.size(), reference.output.size());
            EXPECT_TRUE(decoded.output == reference.output);
        }
    }
}

} // namespace
