// The setup log: passwords never reach it, and it stays below its limit.
#include "app/setup_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "app/start_phases.h"

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

// The benchmarks time an install's and a start's phases from these lines.
TEST(SetupLog, LinesCarryTheTimeToTheMillisecond) {
    kstest::ScratchFolder folder("setup-log-time");
    SetupLog(folder.File("k.log")).Write("fresh");
    std::ifstream file(folder.File("k.log"));
    std::string line;
    std::getline(file, line);
    EXPECT_TRUE(
        std::regex_match(line, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} fresh\r?)")))
        << line;
}

TEST(StartPhases, LineHoldsEachPhaseAndTheTotal) {
    using std::chrono::microseconds;
    const StartPhases::Clock::time_point begin{};
    StartPhases phases(microseconds(1500), begin);
    phases.End("window", begin + microseconds(2000));
    phases.End("lists", begin + microseconds(5250));
    EXPECT_EQ(phases.Line(), "start: process 1.5 ms, window 2.0 ms, lists 3.2 ms, total 6.7 ms");
}

} // namespace
} // namespace ks
