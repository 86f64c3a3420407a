// Whether a package may be used, and on what condition, once the library holds the vendor's
// catalogue key. Pure: the installation asks it for every package it is about to use.
#pragma once
#include "engine/catalogue_answer.h"

namespace ks {

enum class PackageSource { BesideProgram, Cache, Server };

enum class PackageTrust {
    Unchecked,   // used as it is: the catalogue gives nothing to check it against
    MatchDigest, // used only when it matches the catalogue's digest
    Refused,     // not used at all
};

// keySet: the catalogue key is set, so a Read catalogue is a verified one. digestOffered: the
// catalogue has a digest entry for the package (a malformed one included).
PackageTrust TrustFor(bool keySet, CatalogueAnswer catalogue, PackageSource source,
                      bool digestOffered);

const char* PackageTrustName(PackageTrust trust);

} // namespace ks
