// Filling the placeholders of list texts.
#include "app/text_format.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

struct FormatCase {
    const char* name;
    const char* format;
    std::vector<std::string> args;
    const char* expected;
};

class FormatStringsTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatStringsTest, Fills) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatStrings(c.format, c.args), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FormatStringsTest,
    testing::Values(
        FormatCase{"ServerPath", "packages/%s.%s", {"Keltra", "zip"}, "packages/Keltra.zip"},
        FormatCase{
            "Caption", "Downloading %s...", {"KELTRASETUP.zip"}, "Downloading KELTRASETUP.zip..."},
        FormatCase{"MissingArgumentIsEmpty", "a%sb%sc", {"1"}, "a1bc"},
        FormatCase{"ExtraArgumentIgnored", "%s", {"1", "2"}, "1"},
        FormatCase{"PercentEscape", "100%% of %s", {"x"}, "100% of x"},
        FormatCase{"OtherDirectivesKept", "%d %n %x", {"1"}, "%d %n %x"},
        FormatCase{"TrailingPercent", "50%", {}, "50%"},
        FormatCase{"ArgumentNotReinterpreted", "%s", {"%s%n"}, "%s%n"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

} // namespace
} // namespace ks
