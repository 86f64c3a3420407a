#include "app/package_cache.h"

#include "engine/form_dm_base.h"
#include "sys/paths.h"

namespace ks {

namespace {
constexpr int kLibCacheFolder = 19;
}

std::string PackageCacheFolder(const std::string& dataFolder, const TDMBase& engine) {
    if (ExcludeTrailingBackslash(dataFolder).empty())
        return {};
    return JoinFolder(dataFolder, engine.LibraryEntry(kLibCacheFolder));
}

} // namespace ks
