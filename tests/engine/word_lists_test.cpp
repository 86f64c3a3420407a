#include "engine/word_lists.h"

#include <gtest/gtest.h>

#include "engine/descrambler.h"

namespace ks {
namespace {

StringList Words(const StringList& decodedLines) {
    return SplitWords(decodedLines);
}

struct SplitCase {
    const char* name;
    StringList lines;
    StringList words;
};

class WordSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(WordSplitting, FollowsTheDelimiterRule) {
    EXPECT_EQ(Words(GetParam().lines), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordSplitting,
    ::testing::Values(
        SplitCase{"TwoWordsEachFollowedByBar", {"alpha|beta|"}, {"alpha", "beta", ""}},
        SplitCase{"LeadingBar", {"|alpha beta"}, {"", "alpha", "beta"}},
        SplitCase{"SpaceSeparates", {"alpha beta"}, {"alpha", "beta"}},
        SplitCase{"BarSpaceBar", {"alpha| |beta"}, {"alpha", "", "beta"}},
        SplitCase{"LinesSeparate", {"alpha", "beta", "gamma"}, {"alpha", "beta", "gamma"}},
        SplitCase{"BarAcrossLineEnd", {"alpha|", "beta"}, {"alpha", "beta"}},
        SplitCase{"TrailingBarOnLastLine", {"alpha", "beta|"}, {"alpha", "beta", ""}},
        SplitCase{"TrimmedEnds", {"   ", "  alpha  ", ""}, {"alpha"}},
        SplitCase{"EmptyText", {}, {}}, SplitCase{"TabsAreBlanks", {"a\tb"}, {"a", "b"}},
        SplitCase{"NulByteEndsSplitting", {std::string("a\0b", 3)}, {"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordSplitting, MarkersExpandBeforeSplitting) {
    // A stored "||" is a line break and so only separates; "_" becomes a space and splits.
    EXPECT_EQ(Words(DecodeLines({Scramble("one||two")})), (StringList{"one", "two"}));
    EXPECT_EQ(Words(DecodeLines({Scramble("one_two")})), (StringList{"one", "two"}));
}

TEST(SplitLines, LineEndsOfEveryKind) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (StringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (StringList{"a"}));
    EXPECT_EQ(SplitLines("a\n\nb"), (StringList{"a", "", "b"}));
    EXPECT_EQ(SplitLines(std::string("a\nb\0c\nd", 7)), (StringList{"a", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(DecodeLines, MessageKeepsEmbeddedLineBreak) {
    const StringList decoded = DecodeLines({Scramble("Installed.||Start_now?"), Scramble("x")});
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[0], "Installed.\r\nStart now?");
}

TEST(EmbeddedLists, MissingEntriesReadAsEmpty) {
    EmbeddedLists lists;
    lists.words = StringList(34, "w");
    lists.messages = StringList{"m0"};
    EXPECT_EQ(lists.Word(33), "w");
    EXPECT_EQ(lists.Word(34), "");
    EXPECT_EQ(lists.Word(-1), "");
    EXPECT_EQ(lists.UpperWord(34), "");
    EXPECT_EQ(lists.DotWord(-1), ".");
    EXPECT_EQ(lists.WordDotWord(40, 41), ".");
    EXPECT_EQ(lists.Message(0), "m0");
    EXPECT_EQ(lists.Message(1), "");
    EXPECT_EQ(lists.LibraryEntry(0), "") << "an absent list reads as empty";
    EXPECT_EQ(lists.GetEntry(0, 3), "") << "unknown list kind";
}

TEST(EmbeddedLists, UpperWordTouchesOnlyAsciiLetters) {
    EmbeddedLists lists;
    lists.words = StringList{std::string("ab\xe9z-9")};
    EXPECT_EQ(lists.UpperWord(0), std::string("AB\xe9Z-9"));
    EXPECT_EQ(lists.DotWord(0), std::string(".ab\xe9z-9"));
}

} // namespace
} // namespace ks
