#include "engine/descrambler.h"

#include <gtest/gtest.h>

#include <set>

namespace ks {
namespace {

TEST(SubstitutionTable, InverseUndoesForwardForEverySeed) {
    const SubstitutionSeed seeds[] = {{1, 1, 1, 1, 1}, {7, 3, 11, 5, 13}, {255, 2, 9, 200, 4}};
    for (const SubstitutionSeed& seed : seeds) {
        const SubstitutionTable table = BuildSubstitutionTable(seed);
        std::set<int> values;
        for (int i = 0; i < kSubstitutionSize; ++i) {
            values.insert(table.forward[i]);
            EXPECT_EQ(table.inverse[table.forward[i]], i);
        }
        EXPECT_EQ(values.size(), static_cast<std::size_t>(kSubstitutionSize))
            << "not a permutation";
    }
}

TEST(SubstitutionTable, SeedChangesThePermutation) {
    EXPECT_NE(BuildSubstitutionTable({2, 3, 5, 7, 11}).forward,
              BuildSubstitutionTable({3, 3, 5, 7, 11}).forward);
}

TEST(Descramble, RoundTripsEveryStorableByteAndKeepsLength) {
    std::string all;
    for (int c = 32; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    const std::string scrambled = Scramble(all);
    ASSERT_EQ(scrambled.size(), all.size());
    for (unsigned char c : scrambled)
        EXPECT_GE(c, 32) << "scrambled text must hold no line-end bytes";
    EXPECT_NE(scrambled, all);
    EXPECT_EQ(Descramble(scrambled), all);
}

TEST(Descramble, ByteBelowThirtyTwoStaysInsideTheTable) {
    EXPECT_EQ(Descramble(std::string("\x01\x1f", 2)).size(), 2u);
}

TEST(ExpandMarkers, LineBreaksThenSpaces) {
    EXPECT_EQ(ExpandMarkers("Hello_world||next"), "Hello world\r\nnext");
    EXPECT_EQ(ExpandMarkers("a|||b"), "a\r\n|b");
    EXPECT_EQ(ExpandMarkers("|"), "|");
    EXPECT_EQ(ExpandMarkers("__"), "  ");
}

} // namespace
} // namespace ks
