// The sort undone by several walks at once gives back the block whatever its size and shape,
// including a repeating block whose rows form several cycles.
#include "archive/bzip2_block_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

struct WalkCase {
    const char* name;
    std::string block;
};

std::ostream& operator<<(std::ostream& os, const WalkCase& c) {
    return os << c.name;
}

std::string RandomText(std::size_t size, unsigned letters) {
    std::mt19937 random(7);
    std::string text(size, 'a');
    for (char& c : text)
        c = static_cast<char>('a' + random() % letters);
    return text;
}

std::string Repeat(const std::string& unit, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

const WalkCase kBlocks[] = {
    {"OneByte", "x"},
    {"FewerRowsThanWalks", "walk"},
    {"Text", RandomText(5000, 26)},
    {"TwoLetters", RandomText(70001, 2)},
    {"AllSame", std::string(3000, 'z')},
    {"RepeatingUnit", Repeat("abcab", 999)},
    {"RepeatingTwoBytes", Repeat("ba", 4097)},
};

class Bzip2BlockWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Bzip2BlockWalk, GivesBackTheBlock) {
    const std::string& text = GetParam().block;
    const auto n = static_cast<std::uint32_t>(text.size());
    // Sorted rotations (equal ones by position), their last column and the row of the text.
    std::vector<std::uint32_t> rows(n);
    std::iota(rows.begin(), rows.end(), 0u);
    const std::string doubled = text + text;
    std::stable_sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
        return doubled.compare(a, n, doubled, b, n) < 0;
    });
    std::vector<std::uint32_t> links(n);
    std::uint32_t origin = 0;
    std::uint32_t counts[256] = {};
    for (std::uint32_t r = 0; r < n; ++r) {
        links[r] = static_cast<unsigned char>(text[(rows[r] + n - 1) % n]);
        ++counts[links[r]];
        if (rows[r] == 0)
            origin = r;
    }
    std::uint32_t start[256];
    std::exclusive_scan(counts, counts + 256, start, 0u);
    for (std::uint32_t i = 0; i < n; ++i)
        links[start[links[i] & 0xFF]++] |= i << 8;

    std::vector<std::uint8_t> scratch(ks::archive::BlockWalkScratchSize(n));
    std::string out(n, '\0');
    ks::archive::WalkBlock(links.data(), n, links[origin] >> 8,
                           reinterpret_cast<std::uint8_t*>(out.data()), scratch.data());
    EXPECT_EQ(out, text);
}

INSTANTIATE_TEST_SUITE_P(Blocks, Bzip2BlockWalk, ::testing::ValuesIn(kBlocks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
