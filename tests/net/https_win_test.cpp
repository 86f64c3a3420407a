// Downloads over HTTPS: a certificate from the trusted test CA works, one for another name
// does not.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "net/net_utils.h"
#include "tests/common/test_paths.h"
#include "tests/net/loopback_win.h"

namespace ks {
namespace {

using kstest::Loopback;

TEST(Https, ValidCertificateDownloads) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-https");
    const std::string target = folder.File("secure.bin");
    int calls = 0;
    ASSERT_TRUE(DownloadToFile(Loopback::Get().SecureUrl("~bytes=3000/secure.bin"), target, 3000,
                               [&](std::int32_t, std::int32_t) { ++calls; }))
        << LastInternetError;
    EXPECT_EQ(calls, 1 + 3 + 1);
    EXPECT_EQ(kstest::ReadFileBytes(target), kstest::PatternBytes(3000));
}

TEST(Https, SchemeInCapitalsDownloads) {
    KS_REQUIRE_LOOPBACK();
    std::ostringstream stream;
    const std::string url = Loopback::Get().SecureUrl("~bytes=100/caps.bin");
    ASSERT_TRUE(DownloadToStream("HTTPS" + url.substr(5), stream)) << LastInternetError;
    EXPECT_EQ(stream.str(), kstest::PatternBytes(100));
}

TEST(Https, CertificateForAnotherNameFails) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-wrongname");
    const std::string target = folder.File("wrong.bin");
    LastInternetError.clear();
    EXPECT_FALSE(DownloadToFile(Loopback::Get().WrongNameUrl("~bytes=3000/wrong.bin"), target, 3000,
                                nullptr));
    EXPECT_FALSE(kstest::FileExists(target));
    EXPECT_EQ(LastInternetError.rfind("Internet Error ", 0), 0u);

    std::ostringstream stream;
    EXPECT_FALSE(DownloadToStream(Loopback::Get().WrongNameUrl("~bytes=3/wrong.txt"), stream));
    EXPECT_TRUE(stream.str().empty());
}

// A package of unknown size: its size query and its download go to the same server.
TEST(Https, SizeQueryKeepsTheCheckOfTheDownloadAfterIt) {
    KS_REQUIRE_LOOPBACK();
    kstest::ScratchFolder folder("net-wronghead");
    const std::string target = folder.File("wrong.bin");
    OpenInternetRoot(); // so the size query runs
    std::vector<std::int32_t> totals;
    EXPECT_FALSE(
        DownloadToFile(Loopback::Get().WrongNameHeadUrl("~bytes=3000/wrong.bin"), target, 0,
                       [&](std::int32_t total, std::int32_t) { totals.push_back(total); }));
    EXPECT_FALSE(kstest::FileExists(target));
    EXPECT_EQ(totals, std::vector<std::int32_t>{0}) << "a bad certificate leaves the size unknown";
}

} // namespace
} // namespace ks
