// Fetching the catalogue and filling the package records from it.
#include "engine/form_dm_base.h"

#include "engine/catalogue.h"
#include "net/net_utils.h"
#include "resources/list_names.h"

namespace ks {

std::string TDMBase::CatalogueUrl() const {
    return SuffixedServerUrl(CataloguePath(LibraryEntry(lib::kServerPathFormat),
                                           Word(word::kProduct), Word(word::kCatalogueExt)));
}

std::optional<std::vector<std::string>> TDMBase::DownloadCatalogue() const {
    return DownloadLines(CatalogueUrl());
}

bool TDMBase::RefreshPackages(std::initializer_list<TZipPackage*> packages) {
    const std::optional<std::vector<std::string>> lines = DownloadCatalogue();
    if (!lines)
        return false;
    // An empty answer offers nothing and changes nothing.
    if (lines->empty())
        return true;
    const Catalogue catalogue = Catalogue::Read(*lines);
    const CatalogueKeys keys{Word(word::kZip), LibraryEntry(lib::kVersionKey),
                             LibraryEntry(lib::kSizeKey), LibraryEntry(lib::kSha256Key)};
    for (TZipPackage* package : packages) {
        if (package)
            FillPackageFromCatalogue(catalogue, keys, *package);
    }
    return true;
}

} // namespace ks
