// Fetching the catalogue and filling the package records from it.
#include "engine/form_dm_base.h"

#include "engine/catalogue.h"
#include "net/net_utils.h"
#include "resources/list_names.h"

namespace ks {

std::optional<Catalogue> TDMBase::DownloadCatalogue() const {
    const std::string path = CataloguePath(LibraryEntry(lib::kServerPathFormat),
                                           Word(word::kProduct), Word(word::kCatalogueExt));
    const std::vector<std::string> lines = DownloadLines(SuffixedServerUrl(path));
    if (lines.empty())
        return std::nullopt;
    return Catalogue::Read(lines);
}

void TDMBase::RefreshPackages(std::initializer_list<TZipPackage*> packages) {
    const std::optional<Catalogue> catalogue = DownloadCatalogue();
    if (!catalogue)
        return;
    const CatalogueKeys keys{Word(word::kZip), LibraryEntry(lib::kVersionKey),
                             LibraryEntry(lib::kSizeKey)};
    for (TZipPackage* package : packages) {
        if (package)
            FillPackageFromCatalogue(*catalogue, keys, *package);
    }
}

} // namespace ks
