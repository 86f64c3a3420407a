// Server URLs of the engine: package downloads and the catalogue request.
#include "engine/form_dm_base.h"

#include "engine/catalogue.h"
#include "resources/list_names.h"

namespace ks {

std::string TDMBase::ServerUrl(const std::string& path) const {
    return LibraryEntry(lib::kServerBase) + path;
}

std::string TDMBase::SuffixedServerUrl(const std::string& path) const {
    return markerFlag_ ? ServerUrl(path) + CatalogueUrlSuffix() : ServerUrl(path);
}

} // namespace ks
