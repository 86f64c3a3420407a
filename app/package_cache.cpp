#include "app/package_cache.h"

#include "engine/word_lists.h"
#include "resources/list_names.h"
#include "sys/paths.h"

namespace ks {

std::string PackageCacheFolder(const std::string& dataFolder, const EmbeddedLists& lists) {
    if (ExcludeTrailingBackslash(dataFolder).empty())
        return {};
    return JoinFolder(dataFolder, lists.LibraryEntry(lib::kCacheFolder));
}

std::string PackageFileName(const std::string& catalogueName) {
    const std::size_t cut = catalogueName.find_last_of("\\/:");
    return cut == std::string::npos ? catalogueName : catalogueName.substr(cut + 1);
}

std::string PartialDownloadPath(const std::string& cacheFolder, const std::string& workFolder,
                                const std::string& fileName) {
    const std::string& folder = cacheFolder.empty() ? workFolder : cacheFolder;
    return IncludeTrailingBackslash(folder) + PackageFileName(fileName) + ".part";
}

} // namespace ks
