// Which package is used, and on what condition, with and without the catalogue key.
#include "app/package_trust.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

using A = CatalogueAnswer;
using S = PackageSource;
using T = PackageTrust;

struct TrustCase {
    const char* name;
    bool keySet;
    CatalogueAnswer catalogue;
    PackageSource source;
    bool digestOffered;
    PackageTrust expected;
};

std::ostream& operator<<(std::ostream& out, const TrustCase& c) {
    return out << c.name;
}

class TrustFor : public testing::TestWithParam<TrustCase> {};

TEST_P(TrustFor, Decides) {
    const TrustCase& c = GetParam();
    EXPECT_EQ(ks::TrustFor(c.keySet, c.catalogue, c.source, c.digestOffered), c.expected)
        << PackageTrustName(ks::TrustFor(c.keySet, c.catalogue, c.source, c.digestOffered));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrustFor,
    testing::Values(
        // Without a key: as before, plus the digest whenever the catalogue has one.
        TrustCase{"NoKeyOldCatalogue", false, A::Read, S::Server, false, T::Unchecked},
        TrustCase{"NoKeyDigest", false, A::Read, S::Cache, true, T::MatchDigest},
        TrustCase{"NoKeyNoCatalogue", false, A::Empty, S::Server, false, T::Unchecked},
        // With a key: only a digest from the verified catalogue lets a package in.
        TrustCase{"KeyDigestFromServer", true, A::Read, S::Server, true, T::MatchDigest},
        TrustCase{"KeyDigestBesideProgram", true, A::Read, S::BesideProgram, true, T::MatchDigest},
        TrustCase{"KeyNoDigestFromServer", true, A::Read, S::Server, false, T::Refused},
        TrustCase{"KeyNoDigestInCache", true, A::Read, S::Cache, false, T::Refused},
        TrustCase{"KeyNoDigestBesideProgram", true, A::Read, S::BesideProgram, false, T::Refused},
        TrustCase{"KeyNoCatalogueBesideProgram", true, A::Empty, S::BesideProgram, false,
                  T::Unchecked},
        TrustCase{"KeyNoCatalogueFromServer", true, A::Empty, S::Server, false, T::Refused},
        TrustCase{"KeyNoCatalogueInCache", true, A::Empty, S::Cache, false, T::Refused},
        TrustCase{"KeyUnverifiedDigestIsNoDigest", true, A::SignatureWrong, S::Server, true,
                  T::Refused}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace ks
