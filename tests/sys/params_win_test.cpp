// The program's own arguments as the platform splits its command line.
#include "sys/params.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/common/test_paths.h"
#include "tests/helpers/helper_program_win.h"

namespace {

struct CommandLineCase {
    const char* name;
    const char* arguments;
    const char* report; // key 1, value 1, key 2, value 2, ParamsLine; one per line
};

std::ostream& operator<<(std::ostream& out, const CommandLineCase& c) {
    return out << c.name;
}

class SplitParamTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(SplitParamTest, ReadsTheArgumentsTheRuntimeSplit) {
    kstest::ScratchFolder scratch("params");
    const std::string report = scratch.File("params.txt");
    SetEnvironmentVariableA("KSTEST_PARAMS_FILE", report.c_str());
    kstest::HelperProcess helper(GetParam().arguments);
    SetEnvironmentVariableA("KSTEST_PARAMS_FILE", nullptr);
    ASSERT_TRUE(helper.Started());
    ASSERT_EQ(helper.Wait(20000), 0u);
    EXPECT_EQ(kstest::ReadWholeFile(report), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitParamTest,
    ::testing::Values(CommandLineCase{"None", "", "\n\n\n\n\n"},
                      CommandLineCase{"WordAndValue", "install:C:\\pkg.zip",
                                      "INSTALL\nC:\\pkg.zip\n\n\ninstall:C:\\pkg.zip\n"},
                      CommandLineCase{
                          "QuotedWithBlank", "\"data:C:\\My Data\\x:y\" Silent",
                          "DATA\nC:\\My Data\\x:y\nSilent\n\n\"data:C:\\My Data\\x:y\" Silent\n"},
                      CommandLineCase{"QuotesLeftByTheSplitting", "\\\"remove:C:\\a:b\\\"",
                                      "REMOVE\nC:\\a:b\n\n\n\"remove:C:\\a:b\"\n"},
                      CommandLineCase{"ThirdArgumentOnlyInTheLine", "a b c", "a\n\nb\n\na b c\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
