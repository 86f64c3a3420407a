// The start-up table and the argument rules, decided without a window.
#include "app/run_decision.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

struct RunCase {
    const char* name;
    bool installed;
    std::vector<std::string> arguments;
    RunKind kind;
    std::string detail; // removal word, package path or silent data folder
};

const CommandWords kWords{"REMOVE", "INSTALL", "DATA", "PACKAGE"};
const std::string kLong(300, 'x');

const RunCase kRunCases[] = {
    // The start-up table, one row each.
    {"NotInstalledIgnoresArguments", false, {"REMOVE"}, RunKind::FirstInstall, ""},
    {"NotInstalledSilentPair", false, {"INSTALL", "DATA:C:\\d"}, RunKind::FirstInstall, ""},
    {"Removal", true, {"REMOVE", "ignored"}, RunKind::Removal, "REMOVE"},
    {"SilentWithDataFolder",
     true,
     {"INSTALL", "DATA:C:\\silent data"},
     RunKind::SilentReinstall,
     "C:\\silent data"},
    {"SilentWordAlone", true, {"INSTALL"}, RunKind::AskReinstall, ""},
    {"SilentWordThenPackage",
     true,
     {"INSTALL", "PACKAGE:C:\\p.zip"},
     RunKind::GivenPackage,
     "C:\\p.zip"},
    {"SilentWordThenOtherWord", true, {"INSTALL", "OTHER:x"}, RunKind::AskReinstall, ""},
    {"GivenPackage",
     true,
     {"PACKAGE:C:\\dl\\Keltra.zip"},
     RunKind::GivenPackage,
     "C:\\dl\\Keltra.zip"},
    {"NoArguments", true, {}, RunKind::AskReinstall, ""},
    {"OtherWord", true, {"HELLO"}, RunKind::AskReinstall, ""},
    // The argument rules.
    {"WordBeforeColonIsUpperCased", true, {"remove:"}, RunKind::Removal, "REMOVE"},
    {"WordWithoutColonKeepsItsCase", true, {"remove"}, RunKind::AskReinstall, ""},
    {"QuotesAroundTheArgumentGo",
     true,
     {"\"PACKAGE:C:\\a b.zip\""},
     RunKind::GivenPackage,
     "C:\\a b.zip"},
    {"LongValueIsKeptWhole", true, {"PACKAGE:" + kLong}, RunKind::GivenPackage, kLong},
    {"DrivePathSplitsAtTheDriveColon", true, {"c:\\REMOVE"}, RunKind::AskReinstall, ""},
    {"SilentDataWithoutFolder", true, {"INSTALL", "DATA:"}, RunKind::SilentReinstall, ""},
    {"DataWordFirstIsNoSilentRun", true, {"DATA:C:\\d", "INSTALL"}, RunKind::AskReinstall, ""},
};

class DecideRunTable : public ::testing::TestWithParam<RunCase> {};

TEST_P(DecideRunTable, GivesTheRun) {
    const RunCase& c = GetParam();
    const RunDecision run = DecideRun(c.installed, c.arguments, kWords);
    EXPECT_EQ(RunKindName(run.kind), std::string(RunKindName(c.kind)));
    EXPECT_EQ(run.checkForUpdate, c.kind != RunKind::Removal);
    const std::string detail = run.kind == RunKind::Removal        ? run.removalWord
                               : run.kind == RunKind::GivenPackage ? run.packagePath
                                                                   : run.silentDataFolder;
    EXPECT_EQ(detail, c.detail);
}

INSTANTIATE_TEST_SUITE_P(StartUpTable, DecideRunTable, ::testing::ValuesIn(kRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecideRun, EmptyCommandWordsMatchNoArgument) {
    EXPECT_EQ(DecideRun(true, {}, CommandWords{}).kind, RunKind::AskReinstall);
}

} // namespace
} // namespace ks
