// Where downloaded packages are kept between runs.
#pragma once
#include <string>

namespace ks {

class TDMBase;

// The data folder's package cache with a trailing backslash; "" when there is no data folder,
// so that no cache ever lands at a drive root.
std::string PackageCacheFolder(const std::string& dataFolder, const TDMBase& engine);

} // namespace ks
