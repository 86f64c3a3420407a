// The setup log: passwords never reach it, and it stays below its limit.
#include "app/setup_log.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/common/test_paths.h"

namespace ks {
namespace {

struct RedactCase {
    const char* name;
    const char* url;
    const char* logged;
};

class RedactUrlTest : public testing::TestWithParam<RedactCase> {};

TEST_P(RedactUrlTest, DropsOnlyThePassword) {
    EXPECT_EQ(RedactUrl(GetParam().url), GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RedactUrlTest,
    testing::Values(RedactCase{"Password", "https://u:pw@h:8/p", "https://u:***@h:8/p"},
                    RedactCase{"UserOnly", "http://u@h/p", "http://u@h/p"},
                    RedactCase{"NoUser", "http://h:80/p", "http://h:80/p"},
                    RedactCase{"AtInPath", "http://h/a:b@c", "http://h/a:b@c"},
                    RedactCase{"AtInPassword", "http://u:p@q@h/", "http://u:***@h/"},
                    RedactCase{"NoScheme", "u:pw@h/p", "u:***@h/p"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetupLog, FullLogMovesToOneOldFile) {
    kstest::ScratchFolder folder("setup-log-rotate");
    const SetupLog log(folder.File("k.log"));
    std::ofstream(folder.File("k.log.old")) << "older";
    std::ofstream(folder.File("k.log")) << std::string(SetupLog::kLimit, 'x');
    log.Write("fresh");
    std::ifstream old(folder.File("k.log.old"), std::ios::ate);
    EXPECT_EQ(old.tellg(), SetupLog::kLimit);
    std::ifstream current(folder.File("k.log"));
    std::string line;
    std::getline(current, line);
    EXPECT_NE(line.find(" fresh"), std::string::npos);
    EXPECT_LT(line.size(), 40u);
}

} // namespace
} // namespace ks
