// Command-line argument parsing and re-joining.
#include "sys/params.h"

#include <gtest/gtest.h>

namespace {

struct ParamCase {
    const char* name;
    std::string text;
    std::string key;
    std::string value;
};

std::ostream& operator<<(std::ostream& out, const ParamCase& c) {
    return out << c.name;
}

class ParseParamTest : public ::testing::TestWithParam<ParamCase> {};

TEST_P(ParseParamTest, SplitsKeyAndValue) {
    const ks::ParamPair pair = ks::ParseParam(GetParam().text);
    EXPECT_EQ(pair.key, GetParam().key);
    EXPECT_EQ(pair.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseParamTest,
    ::testing::Values(ParamCase{"WordAndValue", "install:C:\\pkg.zip", "INSTALL", "C:\\pkg.zip"},
                      ParamCase{"QuotedTwoColons", "\"data:C:\\My Data\"", "DATA", "C:\\My Data"},
                      ParamCase{"NoColonKeepsCase", "Silent", "Silent", ""},
                      ParamCase{"Empty", "", "", ""}, ParamCase{"LoneQuote", "\"", "", ""},
                      ParamCase{"OnlyClosingQuote", "remove:x\"", "REMOVE", "x"},
                      ParamCase{"OnlyOpeningQuote", "\"remove:x", "REMOVE", "x"},
                      ParamCase{"TwoQuotes", "\"\"", "", ""},
                      ParamCase{"EmptyValue", "remove:", "REMOVE", ""},
                      ParamCase{"EmptyKey", ":value", "", "value"},
                      ParamCase{"InnerQuotesKept", "a:\"b\" c", "A", "\"b\" c"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseParamTest, LongValueIsKeptWhole) {
    const std::string longValue = "C:\\" + std::string(300, 'v') + "\\Keltra.zip";
    EXPECT_EQ(ks::ParseParam("package:" + longValue).value, longValue);
}

TEST(JoinParamsTest, QuotesArgumentsWithBlanks) {
    EXPECT_EQ(ks::JoinParams({"install:C:\\a", "C:\\My Data"}), "install:C:\\a \"C:\\My Data\"");
    EXPECT_EQ(ks::JoinParams({}), "");
    EXPECT_EQ(ks::JoinParams({"one"}), "one");
}

TEST(JoinParamsTest, TrimsBlanksAndControlCharactersAtTheEnds) {
    EXPECT_EQ(ks::JoinParams({"a\t", "b\r\n"}), "a\t b");
    EXPECT_EQ(ks::JoinParams({"", "x"}), "x");
}

TEST(JoinParamsTest, RoundTripsThroughParseParam) {
    const std::string line = ks::JoinParams({"data:C:\\Program Files\\K"});
    EXPECT_EQ(ks::ParseParam(line).value, "C:\\Program Files\\K");
    EXPECT_EQ(ks::ParseParam(line).key, "DATA");
}

} // namespace
