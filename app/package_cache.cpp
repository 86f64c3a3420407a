#include "app/package_cache.h"

#include "engine/form_dm_base.h"
#include "resources/list_names.h"
#include "sys/paths.h"

namespace ks {

std::string PackageCacheFolder(const std::string& dataFolder, const TDMBase& engine) {
    if (ExcludeTrailingBackslash(dataFolder).empty())
        return {};
    return JoinFolder(dataFolder, engine.LibraryEntry(lib::kCacheFolder));
}

std::string PackageFileName(const std::string& catalogueName) {
    const std::size_t cut = catalogueName.find_last_of("\\/:");
    return cut == std::string::npos ? catalogueName : catalogueName.substr(cut + 1);
}

} // namespace ks
