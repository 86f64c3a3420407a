// The demo agent's command lines and file-name rules.
#include "demo/agent_command.h"

#include <gtest/gtest.h>

namespace ks::demo {
namespace {

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    AgentRun run;
    const char* package;
    const char* setup;
};

class AgentCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(AgentCommandTest, Parses) {
    const CommandCase& c = GetParam();
    const AgentCommand command = ParseAgentCommand(c.args);
    EXPECT_EQ(command.run, c.run);
    EXPECT_EQ(command.package, c.package);
    EXPECT_EQ(command.setup, c.setup);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, AgentCommandTest,
    testing::Values(
        CommandCase{"Install",
                    {"INSTALL:C:\\T\\kst1\\Keltra.zip", "C:\\s\\keltrasetup.exe"},
                    AgentRun::kInstall,
                    "C:\\T\\kst1\\Keltra.zip",
                    "C:\\s\\keltrasetup.exe"},
        CommandCase{"InstallWithBlanks",
                    {"INSTALL:C:\\a b\\Keltra.zip", "C:\\x y\\s.exe"},
                    AgentRun::kInstall,
                    "C:\\a b\\Keltra.zip",
                    "C:\\x y\\s.exe"},
        CommandCase{
            "InstallWithoutSetup", {"INSTALL:C:\\p.zip"}, AgentRun::kInstall, "C:\\p.zip", ""},
        CommandCase{"GivenPackage",
                    {"PACKAGE:D:\\dl\\Keltra.zip"},
                    AgentRun::kInstallGiven,
                    "D:\\dl\\Keltra.zip",
                    ""},
        CommandCase{"Remove", {"REMOVE"}, AgentRun::kRemove, "", ""},
        CommandCase{"RemoveWithValueIsNoCommand", {"REMOVE:x"}, AgentRun::kInvalid, "", ""},
        CommandCase{"LowerCaseWordIsNoCommand", {"install:C:\\p.zip"}, AgentRun::kInvalid, "", ""},
        CommandCase{"InstallWithoutPackage", {"INSTALL:"}, AgentRun::kInvalid, "", ""},
        CommandCase{"NoArguments", {}, AgentRun::kInvalid, "", ""},
        CommandCase{"UnknownWord", {"DATA:C:\\d"}, AgentRun::kInvalid, "", ""}),
    [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(AgentPaths, FolderOfKeepsTrailingBackslash) {
    EXPECT_EQ(FolderOf("C:\\T\\kst1\\Keltra.zip"), "C:\\T\\kst1\\");
    EXPECT_EQ(FolderOf("Keltra.zip"), "");
    EXPECT_EQ(WithBackslash("C:\\A"), "C:\\A\\");
    EXPECT_EQ(WithBackslash("C:\\A\\"), "C:\\A\\");
}

TEST(AgentPaths, ProductMembersLeaveOutTheExchangeFiles) {
    EXPECT_TRUE(IsProductMember("keltra.exe"));
    EXPECT_TRUE(IsProductMember("readme.txt"));
    EXPECT_FALSE(IsProductMember("agent.zip"));
    EXPECT_FALSE(IsProductMember("AGENT.ZIP"));
    EXPECT_FALSE(IsProductMember("kagent.exe"));
    EXPECT_FALSE(IsProductMember("Keltra.ini"));
    EXPECT_FALSE(IsProductMember("kst.ok"));
    EXPECT_FALSE(IsProductMember("folder/"));
    EXPECT_FALSE(IsProductMember(""));
}

TEST(AgentPaths, FileListRoundTrips) {
    const std::vector<std::string> names = {"keltra.exe", "read me.txt", "kagent.exe"};
    EXPECT_EQ(JoinFileList(names), "keltra.exe|read me.txt|kagent.exe");
    EXPECT_EQ(SplitFileList(JoinFileList(names)), names);
    EXPECT_TRUE(SplitFileList("").empty());
    EXPECT_EQ(SplitFileList("a||b|"), (std::vector<std::string>{"a", "b"}));
}

} // namespace
} // namespace ks::demo
