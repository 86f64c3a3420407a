// Resumed and retried downloads against the loopback server: cuts, stalls, changed or missing
// validators, error answers, and a partial file taken up by a later run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "net/net_utils.h"
#include "tests/common/test_paths.h"
#include "tests/net/loopback_win.h"

namespace ks {
namespace {

using kstest::Loopback;
using Calls = std::vector<std::pair<std::int32_t, std::int32_t>>;
constexpr std::int32_t kSize = 100000;

class Resumable : public testing::Test {
protected:
    Resumable() : folder_("net-resumable") {
        transfer_.partFile = folder_.File("package.zip.part");
        transfer_.firstRetryDelayMs = 10;
        transfer_.onRetry = [this](int retry) { retries_.push_back(retry); };
    }
    bool Download(const std::string& path) {
        return DownloadResumable(
            Loopback::Get().Url(path), Target(), kSize,
            [this](std::int32_t total, std::int32_t current) {
                calls_.emplace_back(total, current);
            },
            transfer_);
    }
    std::string Target() const { return folder_.File("package.zip"); }
    std::vector<std::string> Gets(const std::string& path) const {
        std::vector<std::string> gets;
        for (const std::string& line : Loopback::Get().Requests()) {
            if (line.rfind("GET /" + path, 0) == 0)
                gets.push_back(line.substr(5 + path.size()));
        }
        return gets;
    }
    void ExpectWhole() const {
        EXPECT_EQ(kstest::ReadFileBytes(Target()), kstest::PatternBytes(kSize));
        EXPECT_FALSE(kstest::FileExists(transfer_.partFile));
        EXPECT_FALSE(kstest::FileExists(transfer_.partFile + ".info"));
    }

    kstest::ScratchFolder folder_;
    ResumableTransfer transfer_;
    Calls calls_;
    std::vector<int> retries_;
};

TEST_F(Resumable, CutAtThirtyPercentResumesWithoutTheGaugeGoingBack) {
    KS_REQUIRE_LOOPBACK();
    const std::string path = "~first=1/~cut=30000/~bytes=100000/cut30.bin";
    ASSERT_TRUE(Download(path)) << LastInternetError;
    ExpectWhole();
    EXPECT_EQ(Gets(path), (std::vector<std::string>{"", " range=bytes=30000-"}));
    EXPECT_EQ(retries_, std::vector<int>{1});
    ASSERT_FALSE(calls_.empty());
    EXPECT_EQ(calls_.front(), std::make_pair(kSize, 0));
    EXPECT_EQ(calls_.back(), std::make_pair(kSize, kSize));
    for (std::size_t i = 1; i < calls_.size(); ++i)
        ASSERT_GE(calls_[i].second, calls_[i - 1].second) << "call " << i;
    EXPECT_NE(std::find(calls_.begin(), calls_.end(), std::make_pair(kSize, 30000)), calls_.end())
        << "the resumed attempt reports where it starts";
}

struct RetryCase {
    const char* name;
    const char* path;
    std::vector<std::string> gets; // what follows "GET /path" in the request log
};

class ResumeOrStartOver : public Resumable, public testing::WithParamInterface<RetryCase> {};

TEST_P(ResumeOrStartOver, EndsWithTheWholeFile) {
    KS_REQUIRE_LOOPBACK();
    SetTransferTimeout(1000);
    const bool done = Download(GetParam().path);
    SetTransferTimeout(kDefaultTransferTimeoutMs);
    ASSERT_TRUE(done) << LastInternetError;
    ExpectWhole();
    EXPECT_EQ(Gets(GetParam().path), GetParam().gets);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResumeOrStartOver,
    testing::Values(
        // If-Range names the old validator: the server sends the whole new file.
        RetryCase{"ChangedValidatorStartsOver",
                  "~first=1/~cut=30000/~etag=changing/~bytes=100000/changed.bin",
                  {"", " range=bytes=30000-"}},
        RetryCase{"ServerWithoutRangesStartsOver",
                  "~first=1/~cut=30000/~norange/~bytes=100000/norange.bin",
                  {"", " range=bytes=30000-"}},
        RetryCase{"LastModifiedServesWithoutEtag",
                  "~first=1/~cut=30000/~etag=none/~bytes=100000/noetag.bin",
                  {"", " range=bytes=30000-"}},
        // A read waits for all the bytes it asked for: those of the read that timed out are
        // lost, the whole reads before it are kept.
        RetryCase{"StallTimesOutAndResumes",
                  "~first=1/~stall=70000/~bytes=100000/stall.bin",
                  {"", " range=bytes=65536-"}},
        RetryCase{
            "BusyServerIsAskedAgain", "~first=1/~status=503/~bytes=100000/busy.bin", {"", ""}},
        RetryCase{"GatewayTimeoutIsAskedAgain",
                  "~first=1/~status=504/~bytes=100000/gateway.bin",
                  {"", ""}}),
    [](const auto& info) { return info.param.name; });

TEST_F(Resumable, RangePastTheEndStartsOver) {
    KS_REQUIRE_LOOPBACK();
    const std::string path = "~bytes=100000/past.bin";
    // The validator the server gives this body, and more bytes kept than it has.
    { std::ofstream(transfer_.partFile, std::ios::binary) << std::string(150000, 'x'); }
    {
        std::ofstream(transfer_.partFile + ".info", std::ios::binary)
            << "part 1\n-1\n\"186a0-3b9aca00\"\n";
    }
    ASSERT_TRUE(Download(path)) << LastInternetError;
    ExpectWhole();
    EXPECT_EQ(Gets(path), (std::vector<std::string>{" range=bytes=150000-", ""}));
    EXPECT_TRUE(retries_.empty());
}

TEST_F(Resumable, ThreeCutsFailKeepingThePartThatTheNextRunResumes) {
    KS_REQUIRE_LOOPBACK();
    const std::string path = "~first=4/~cut=20000/~bytes=100000/threecuts.bin";
    EXPECT_FALSE(Download(path));
    EXPECT_EQ(retries_, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(kstest::FileExists(Target())) << "never under its own name while incomplete";
    EXPECT_EQ(kstest::ReadFileBytes(transfer_.partFile), kstest::PatternBytes(80000));

    // The next run.
    ASSERT_TRUE(Download(path)) << LastInternetError;
    ExpectWhole();
    EXPECT_EQ(Gets(path),
              (std::vector<std::string>{"", " range=bytes=20000-", " range=bytes=40000-",
                                        " range=bytes=60000-", " range=bytes=80000-"}));
}

TEST_F(Resumable, ErrorAnswersAreNotRetried) {
    KS_REQUIRE_LOOPBACK();
    for (const std::string path : {"no/such/resumable.zip", "~status=500/~bytes=9/broken.bin"}) {
        EXPECT_FALSE(Download(path)) << path;
        EXPECT_EQ(Gets(path).size(), 1u) << path;
        EXPECT_FALSE(kstest::FileExists(Target())) << path;
    }
    EXPECT_TRUE(retries_.empty());
    EXPECT_NE(LastInternetError.find("500"), std::string::npos) << LastInternetError;
}

TEST_F(Resumable, DataGoesOnFromTheFirstByteAfterEveryRestart) {
    KS_REQUIRE_LOOPBACK();
    std::string seen;
    transfer_.onRestart = [&] { seen.clear(); };
    transfer_.onData = [&](const char* data, std::size_t size) { seen.append(data, size); };
    ASSERT_TRUE(Download("~first=2/~cut=30000/~bytes=100000/data.bin")) << LastInternetError;
    EXPECT_EQ(seen, kstest::PatternBytes(kSize));
}

} // namespace
} // namespace ks
