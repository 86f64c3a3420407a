// Fetching the catalogue and filling the package records from it.
#include "engine/form_dm_base.h"

#include "engine/catalogue.h"
#include "net/net_utils.h"

namespace ks {

std::optional<Catalogue> TDMBase::DownloadCatalogue() const {
    const std::string path = CataloguePath(LibraryEntry(13), Word(32), Word(4));
    const std::vector<std::string> lines = DownloadLines(SuffixedServerUrl(path));
    if (lines.empty())
        return std::nullopt;
    return Catalogue::Read(lines);
}

void TDMBase::RefreshPackages(std::initializer_list<TZipPackage*> packages) {
    const std::optional<Catalogue> catalogue = DownloadCatalogue();
    if (!catalogue)
        return;
    const CatalogueKeys keys{Word(3), LibraryEntry(9), LibraryEntry(11)};
    for (TZipPackage* package : packages) {
        if (package)
            FillPackageFromCatalogue(*catalogue, keys, *package);
    }
}

} // namespace ks
