// HEAD size queries: what the Content-Length answers give, the secure path for "HTTPS" in any
// letter case, and the host taken only from the authority.
#include <gtest/gtest.h>

#include "net/net_utils.h"
#include "tests/net/loopback_win.h"

namespace ks {
namespace {

using kstest::Loopback;

struct SizeCase {
    const char* name;
    const char* path;
    std::int32_t expected;
};

class RemoteSize : public testing::TestWithParam<SizeCase> {};

TEST_P(RemoteSize, ReadsTheContentLength) {
    KS_REQUIRE_LOOPBACK();
    OpenInternetRoot();
    EXPECT_EQ(GetRemoteFileSize(Loopback::Get().Url(GetParam().path)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoteSize,
    testing::Values(SizeCase{"RealSize", "~bytes=2500/a.bin", 2500},
                    SizeCase{"NineDigits", "~head=123456789/~bytes=1/b.bin", 123456789},
                    SizeCase{"TenDigits", "~head=1234567890/~bytes=1/c.bin", 0},
                    SizeCase{"Missing", "~head=none/~bytes=1/d.bin", 0},
                    SizeCase{"NotANumber", "~head=12ab/~bytes=1/e.bin", 0},
                    SizeCase{"ErrorStatusStillCounts", "~status=404/~bytes=77/f.bin", 77},
                    SizeCase{"AtInPathKeepsTheHost", "~bytes=9/files/a@b.bin", 9},
                    SizeCase{"ColonAndAtInPath", "~bytes=11/x:y@127.0.0.2/z", 11}),
    [](const auto& info) { return info.param.name; });

TEST(RemoteSizeUrl, SecureSchemeInCapitalsTakesTheSecurePath) {
    KS_REQUIRE_LOOPBACK();
    OpenInternetRoot();
    const std::string url = Loopback::Get().SecureUrl("~bytes=77/secure.bin");
    EXPECT_EQ(GetRemoteFileSize("HTTPS" + url.substr(5)), 77);
    EXPECT_EQ(GetRemoteFileSize("http" + url.substr(5)), 0) << "plain HTTP to a TLS port";
}

TEST(RemoteSizeUrl, CertificateForAnotherNameLeavesTheSizeUnknown) {
    KS_REQUIRE_LOOPBACK();
    OpenInternetRoot();
    EXPECT_EQ(GetRemoteFileSize(Loopback::Get().WrongNameHeadUrl("~bytes=55/name.bin")), 0);
}

TEST(RemoteSizeUrl, SchemelessUrlGetsHttp) {
    KS_REQUIRE_LOOPBACK();
    OpenInternetRoot();
    EXPECT_EQ(GetRemoteFileSize(Loopback::Get().Url("~bytes=31/plain.bin").substr(7)), 31);
}

TEST(RemoteSizeUrl, UnknownOrUnusableUrlsGiveZero) {
    KS_REQUIRE_LOOPBACK();
    OpenInternetRoot();
    const std::string base = Loopback::Get().Url("");
    EXPECT_EQ(GetRemoteFileSize(" " + base + "~bytes=5/lead.bin"), 0) << "no usable scheme";
    EXPECT_EQ(GetRemoteFileSize("http://127.0.0.1:99999/x"), 0) << "port out of range";
    EXPECT_EQ(GetRemoteFileSize("http://127.0.0.1:1/x"), 0) << "nothing listens";
}

TEST(RemoteSizeUrl, NeverOpensTheRootHandle) {
    KS_REQUIRE_LOOPBACK();
    CloseInternetRoot();
    EXPECT_EQ(GetRemoteFileSize(Loopback::Get().Url("~bytes=2500/noroot.bin")), 0);
    EXPECT_FALSE(InternetRootIsOpen());
    EXPECT_EQ(Loopback::Get().CountRequests("HEAD /~bytes=2500/noroot.bin"), 0);
}

} // namespace
} // namespace ks
