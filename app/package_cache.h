// Where downloaded packages are kept between runs.
#pragma once
#include <string>

namespace ks {

class EmbeddedLists;

// The data folder's package cache with a trailing backslash; "" when there is no data folder,
// so that no cache ever lands at a drive root.
std::string PackageCacheFolder(const std::string& dataFolder, const EmbeddedLists& lists);

// The file name a package is stored under, from the catalogue's name: its last part only, so a
// name such as "..\..\x.exe" or "C:\x.exe" cannot place a download outside its folder.
std::string PackageFileName(const std::string& catalogueName);

// Where the bytes of a download of fileName grow until it is complete: beside the cache when
// there is one (a later run resumes them), otherwise in the run's work folder.
std::string PartialDownloadPath(const std::string& cacheFolder, const std::string& workFolder,
                                const std::string& fileName);

} // namespace ks
