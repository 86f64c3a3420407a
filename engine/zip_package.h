// A package as the catalogue describes it, compared with the version at hand.
#pragma once
#include <cstdint>
#include <string>

#include "sys/sha256.h"

namespace ks {

// What the catalogue says of a package's SHA-256: nothing, a digest, or a value that is not
// one. A value that is not a digest is never taken as "nothing": the package then matches no
// file at all.
enum class DigestState { None, Valid, Malformed };

struct TZipPackage {
    std::string Name;
    std::string CurrentVersion;
    std::string FileName;
    std::string RemoteVersion;
    std::int32_t Size = 0;
    bool UpdateNeeded = false;
    DigestState Sha256State = DigestState::None;
    Sha256Digest Sha256{};
};

} // namespace ks
