// File, stream and line downloads against the loopback server: progress sequences, failures
// to open, broken bodies and error pages.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

#include "net/net_utils.h"
#include "sys/errors.h"
#include "tests/common/test_paths.h"
#include "tests/net/loopback_win.h"

namespace ks {
namespace {

using kstest::Loopback;
using Calls = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Recorder {
    Calls calls;
    TransferProgressEvent Event() {
        return [this](std::int32_t total, std::int32_t current) {
            calls.emplace_back(total, current);
        };
    }
};

struct SequenceCase {
    const char* name;
    const char* path;
    std::int32_t knownSize;
    std::size_t bodySize;
    Calls expected;
};

class ProgressSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(ProgressSequence, ReportsEachBlockAndTheFinalEmptyRead) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-sequence");
    const std::string target = folder.File("body.bin");
    OpenInternetRoot(); // so the size query, when there is one, finds a root handle
    Recorder recorder;
    ASSERT_TRUE(DownloadToFile(Loopback::Get().Url(GetParam().path), target, GetParam().knownSize,
                               recorder.Event()));
    EXPECT_EQ(recorder.calls, GetParam().expected);
    EXPECT_EQ(kstest::ReadFileBytes(target), kstest::PatternBytes(GetParam().bodySize));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressSequence,
    testing::Values(
        SequenceCase{"KnownSize",
                     "~bytes=2500/known.bin",
                     2500,
                     2500,
                     {{2500, 0}, {2500, 1024}, {2500, 2048}, {2500, 2500}, {2500, 2500}}},
        SequenceCase{"SizeFromHead",
                     "~bytes=2500/head.bin",
                     0,
                     2500,
                     {{2500, 0}, {2500, 1024}, {2500, 2048}, {2500, 2500}, {2500, 2500}}},
        SequenceCase{"UnknownSizeCountsReads",
                     "~nolength/~head=none/~bytes=2500/unknown.bin",
                     0,
                     2500,
                     {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}},
        SequenceCase{"TenDigitHeadCountsReads",
                     "~head=1234567890/~bytes=2500/ten.bin",
                     0,
                     2500,
                     {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}},
        SequenceCase{"EmptyBodyKnownTotal", "~bytes=0/empty1.bin", 7, 0, {{7, 0}, {7, 0}}},
        SequenceCase{"EmptyBodyUnknownTotal", "~bytes=0/empty2.bin", 0, 0, {{0, 0}, {0, 1}}},
        SequenceCase{"ExactBlocks",
                     "~bytes=2048/exact.bin",
                     2048,
                     2048,
                     {{2048, 0}, {2048, 1024}, {2048, 2048}, {2048, 2048}}}),
    [](const auto& info) { return info.param.name; });

// The data hook sees every byte, in order, as it is written: a hash taken from it needs no
// second read of the file.
TEST(DownloadToFile, LargeBodyGivesOneCallPerBlock) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-large");
    const std::string target = folder.File("large.bin");
    constexpr std::int32_t kSize = 1000000;
    Recorder recorder;
    std::string seen;
    ASSERT_TRUE(DownloadToFile(
        Loopback::Get().Url("~bytes=1000000/large.bin"), target, kSize, recorder.Event(),
        [&](const char* data, std::size_t size) { seen.append(data, size); }));
    EXPECT_EQ(seen, kstest::PatternBytes(kSize));
    ASSERT_EQ(recorder.calls.size(), 2 + (kSize + 1023) / 1024u);
    for (std::size_t i = 1; i + 1 < recorder.calls.size(); ++i) {
        EXPECT_EQ(recorder.calls[i].first, kSize);
        EXPECT_EQ(recorder.calls[i].second, std::min<std::int32_t>(kSize, 1024 * i)) << i;
    }
    EXPECT_EQ(recorder.calls.back(), std::make_pair(kSize, kSize));
    EXPECT_EQ(kstest::ReadFileBytes(target), kstest::PatternBytes(kSize));
}

TEST(DownloadToFile, WithoutCallbackMakesNoSizeQuery) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-nocallback");
    OpenInternetRoot();
    ASSERT_TRUE(DownloadToFile(Loopback::Get().Url("~bytes=300/nocallback.bin"),
                               folder.File("a.bin"), 0, nullptr));
    EXPECT_EQ(Loopback::Get().CountRequests("HEAD /~bytes=300/nocallback.bin"), 0);
    EXPECT_EQ(Loopback::Get().CountRequests("GET /~bytes=300/nocallback.bin"), 1);
    EXPECT_EQ(kstest::ReadFileBytes(folder.File("a.bin")), kstest::PatternBytes(300));
}

// A package is saved where the caller asks; a second copy in the user's internet cache would
// cost as much disk again.
TEST(DownloadToFile, LeavesNoCopyInTheInternetCache) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-nocache");
    const std::string url = Loopback::Get().Url("~bytes=4000/uncached.bin");
    ASSERT_TRUE(DownloadToFile(url, folder.File("a.bin"), 0, nullptr));
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(DownloadToFile, FirstCallOfTheRunFindsNoRootForTheSizeQuery) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-firstcall");
    CloseInternetRoot();
    Recorder recorder;
    ASSERT_TRUE(DownloadToFile(Loopback::Get().Url("~bytes=2500/firstcall.bin"),
                               folder.File("first.bin"), 0, recorder.Event()));
    EXPECT_EQ(recorder.calls, (Calls{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}));
    EXPECT_EQ(Loopback::Get().CountRequests("HEAD /~bytes=2500/firstcall.bin"), 0);
    EXPECT_TRUE(InternetRootIsOpen()) << "the download leaves its fresh root open";
}

TEST(DownloadToFile, SchemelessUrlFailsWithoutTouchingTheFile) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-schemeless");
    const std::string target = folder.File("keep.bin");
    Loopback::Get().PutFile("schemeless.txt", "served");
    { std::ofstream(target, std::ios::binary) << "untouched"; }
    std::string url = Loopback::Get().Url("schemeless.txt").substr(7); // "127.0.0.1:port/..."
    LastInternetError.clear();
    Recorder recorder;
    EXPECT_FALSE(DownloadToFile(url, target, 6, recorder.Event()));
    EXPECT_EQ(kstest::ReadFileBytes(target), "untouched");
    EXPECT_EQ(recorder.calls, (Calls{{6, 0}}));
    const std::string failure = LastInternetError;
    EXPECT_EQ(failure.rfind("Internet Error ", 0), 0u) << failure;

    // The stream download puts "http://" in front and succeeds; the error text stays.
    std::ostringstream stream;
    stream << "head:";
    EXPECT_TRUE(DownloadToStream(url, stream));
    EXPECT_EQ(stream.str(), "head:served");
    EXPECT_EQ(LastInternetError, failure);
}

TEST(DownloadToFile, UnreachableServerRecordsTheErrorText) {
    kstest::ScratchFolder folder("net-unreachable");
    LastInternetError.clear();
    EXPECT_FALSE(
        DownloadToFile("http://127.0.0.1:1/nothing.bin", folder.File("x.bin"), 0, nullptr));
    EXPECT_FALSE(kstest::FileExists(folder.File("x.bin")));
    const std::string prefix = "Internet Error ";
    ASSERT_EQ(LastInternetError.rfind(prefix, 0), 0u) << LastInternetError;
    const std::size_t separator = LastInternetError.find(" : ");
    ASSERT_NE(separator, std::string::npos);
    const std::uint32_t number =
        std::stoul(LastInternetError.substr(prefix.size(), separator - prefix.size()));
    EXPECT_NE(number, 0u);
    EXPECT_EQ(LastInternetError.substr(separator + 3), InternetErrorText(number));
}

TEST(DownloadToFile, BodyCutMidwayFailsAndLeavesNoFile) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-cut");
    const std::string target = folder.File("cut.bin");
    { std::ofstream(target, std::ios::binary) << "old content"; }
    Recorder recorder;
    EXPECT_FALSE(DownloadToFile(Loopback::Get().Url("~cut=3000/~bytes=100000/cut.bin"), target,
                                100000, recorder.Event()));
    EXPECT_FALSE(kstest::FileExists(target)) << "a partial file must not be left behind";
    ASSERT_FALSE(recorder.calls.empty());
    EXPECT_LE(recorder.calls.back().second, 3000);

    std::ostringstream stream;
    EXPECT_FALSE(DownloadToStream(Loopback::Get().Url("~cut=3000/~bytes=100000/cut2.bin"), stream));
    EXPECT_FALSE(DownloadLines(Loopback::Get().Url("~cut=3000/~bytes=100000/cut3.bin")));
}

struct StatusCase {
    const char* name;
    const char* path;
    const char* status;
};

class ErrorStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(ErrorStatus, FailsAndNamesTheStatus) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-status");
    const std::string target = folder.File("page.html");
    const std::string url = Loopback::Get().Url(GetParam().path);
    EXPECT_FALSE(DownloadToFile(url, target, 0, nullptr));
    EXPECT_FALSE(kstest::FileExists(target));
    EXPECT_NE(LastInternetError.find(GetParam().status), std::string::npos) << LastInternetError;

    std::ostringstream stream;
    EXPECT_FALSE(DownloadToStream(url, stream));
    EXPECT_EQ(stream.str(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorStatus,
                         testing::Values(StatusCase{"NotFound", "no/such/package.zip", "404"},
                                         StatusCase{"ServerError", "~status=500/~bytes=9/x.bin",
                                                    "500"}),
                         [](const auto& info) { return info.param.name; });

TEST(DownloadToFile, StalledServerEndsTheTransfer) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-stall");
    const std::string target = folder.File("stall.bin");
    SetTransferTimeout(2000);
    EXPECT_FALSE(DownloadToFile(Loopback::Get().Url("~stall=3000/~bytes=100000/stall.bin"), target,
                                100000, nullptr));
    EXPECT_FALSE(kstest::FileExists(target));
    EXPECT_FALSE(DownloadLines(Loopback::Get().Url("~stall=3000/~bytes=100000/stall.txt")));
    SetTransferTimeout(kDefaultTransferTimeoutMs);
}

TEST(DownloadToFile, TargetThatCannotBeCreatedRaises) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-nofolder");
    EXPECT_THROW(DownloadToFile(Loopback::Get().Url("~bytes=10/x.bin"),
                                folder.File("missing\\folder\\x.bin"), 10, nullptr),
                 OsError);
}

TEST(DownloadLines, SplitsTheBodyAtEveryLineEnd) {
    KS_REQUIRE_LOOPBACK();
    Loopback::Get().PutFile("lines.txt", "[A]\r\nzip=a.zip\nversion=1.2\rsize=3\r\n");
    EXPECT_EQ(DownloadLines(Loopback::Get().Url("lines.txt")),
              (std::vector<std::string>{"[A]", "zip=a.zip", "version=1.2", "size=3"}));
    const auto empty = DownloadLines(Loopback::Get().Url("~bytes=0/empty.txt"));
    ASSERT_TRUE(empty) << "an empty body is no failed transfer";
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(DownloadLines("http://127.0.0.1:1/lines.txt"));
}

TEST(InternetErrorText, InternetAndSystemNumbers) {
    for (std::uint32_t number : {12007u, 12029u, 2u, 5u}) {
        const std::string text = InternetErrorText(number);
        EXPECT_FALSE(text.empty()) << number;
        if (!text.empty()) {
            EXPECT_NE(text.back(), '.') << number;
            EXPECT_GT(static_cast<unsigned char>(text.back()), 32) << number;
        }
    }
    EXPECT_EQ(InternetErrorText(0x2FFFFFF0u), "");
}

} // namespace
} // namespace ks
