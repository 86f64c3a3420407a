// Fetching the catalogue, checking its signature, and filling the package records from it.
#include "engine/form_dm_base.h"

#include "engine/catalogue.h"
#include "net/net_utils.h"
#include "resources/list_names.h"
#include "sys/p256_signature.h"

namespace ks {

std::string TDMBase::CataloguePathOnServer() const {
    return CataloguePath(LibraryEntry(lib::kServerPathFormat), Word(word::kProduct),
                         Word(word::kCatalogueExt));
}

std::string TDMBase::CatalogueUrl() const {
    return SuffixedServerUrl(CataloguePathOnServer());
}

std::string TDMBase::CatalogueSignatureUrl() const {
    // The marker's channel picks the catalogue, so its signature comes from the same channel.
    return SuffixedServerUrl(CataloguePathOnServer() + DotWord(word::kSignatureExt));
}

FetchedCatalogue TDMBase::DownloadCatalogue(const std::function<void(int retry)>& onRetry) const {
    RetrySchedule schedule;
    schedule.onRetry = onRetry;
    std::optional<std::string> bytes = DownloadBytes(CatalogueUrl(), schedule);
    if (!bytes)
        return {CatalogueAnswer::Unreachable, {}};
    // Nothing of an empty reply is believed, so it needs no signature.
    if (bytes->empty())
        return {CatalogueAnswer::Empty, {}};
    const std::string key = LibraryEntry(lib::kCataloguePublicKey);
    if (!key.empty()) {
        const std::optional<std::string> signature =
            DownloadBytes(CatalogueSignatureUrl(), schedule);
        if (!signature || signature->empty())
            return {CatalogueAnswer::SignatureMissing, {}};
        if (!VerifyP256Signature(key, *bytes, *signature))
            return {CatalogueAnswer::SignatureWrong, {}};
    }
    return {CatalogueAnswer::Read, std::move(*bytes)};
}

CatalogueAnswer TDMBase::RefreshPackages(std::initializer_list<TZipPackage*> packages,
                                         const std::function<void(int retry)>& onRetry) {
    const FetchedCatalogue fetched = DownloadCatalogue(onRetry);
    if (fetched.answer != CatalogueAnswer::Read)
        return fetched.answer;
    const Catalogue catalogue = Catalogue::Read(SplitResponseLines(fetched.bytes));
    const CatalogueKeys keys{Word(word::kZip), LibraryEntry(lib::kVersionKey),
                             LibraryEntry(lib::kSizeKey), LibraryEntry(lib::kSha256Key)};
    for (TZipPackage* package : packages) {
        if (package)
            FillPackageFromCatalogue(catalogue, keys, *package);
    }
    return CatalogueAnswer::Read;
}

} // namespace ks
