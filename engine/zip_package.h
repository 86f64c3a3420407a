// A package as the catalogue describes it, compared with the version at hand.
#pragma once
#include <cstdint>
#include <string>

namespace ks {

struct TZipPackage {
    std::string Name;
    std::string CurrentVersion;
    std::string FileName;
    std::string RemoteVersion;
    std::int32_t Size = 0;
    bool UpdateNeeded = false;
};

} // namespace ks
