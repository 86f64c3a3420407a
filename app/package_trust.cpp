#include "app/package_trust.h"

namespace ks {

PackageTrust TrustFor(bool keySet, CatalogueAnswer catalogue, PackageSource source,
                      bool digestOffered) {
    const bool read = catalogue == CatalogueAnswer::Read;
    if (read && digestOffered)
        return PackageTrust::MatchDigest;
    if (!keySet)
        return PackageTrust::Unchecked;
    // Offline media keep working: with no catalogue at all, a package beside the program is
    // the vendor's as much as the program itself is.
    if (!read && source == PackageSource::BesideProgram)
        return PackageTrust::Unchecked;
    return PackageTrust::Refused;
}

const char* PackageTrustName(PackageTrust trust) {
    switch (trust) {
    case PackageTrust::Unchecked:
        return "unchecked";
    case PackageTrust::MatchDigest:
        return "must match the catalogue's digest";
    case PackageTrust::Refused:
        return "refused: no digest from a signed catalogue";
    }
    return "";
}

} // namespace ks
