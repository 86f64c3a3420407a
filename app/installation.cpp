// The product's installation: obtain the package, unpack it, hand it to the install agent,
// check what the agent left.
#include "app/installation.h"

#include <algorithm>
#include <chrono>

#include "app/package_cache.h"
#include "app/text_format.h"
#include "net/resume_rules.h"
#include "resources/list_names.h"
#include "sys/paths.h"

namespace ks {
namespace {

constexpr char kNoConnection[] = "No internet connection: can not download install package!";
constexpr std::size_t kLocalFolderLength = 7;
constexpr unsigned kProductStartPauseMs = 100;

// Whatever way an installation ends, the inputs come back and the task line is cleared.
class InputsRestorer {
public:
    explicit InputsRestorer(InstallView& view) : view_(view) { view_.SetInputsEnabled(false); }
    ~InputsRestorer() {
        view_.SetInputsEnabled(true);
        view_.ShowTask("");
    }
    InputsRestorer(const InputsRestorer&) = delete;
    InputsRestorer& operator=(const InputsRestorer&) = delete;

private:
    InstallView& view_;
};

// Tenths of milliseconds: the benchmarks compare an unpack of some 60 ms from this line.
std::string Rate(std::int64_t bytes, std::chrono::steady_clock::duration elapsed) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    const std::int64_t perSecond = us > 0 ? bytes * 1000000 / us : bytes;
    return std::to_string(bytes) + " bytes in " + std::to_string(us / 1000) + "." +
           std::to_string(us / 100 % 10) + " ms (" + std::to_string(perSecond / 1024) + " KB/s)";
}

} // namespace

const char* OutcomeName(InstallOutcome outcome) {
    switch (outcome) {
    case InstallOutcome::Done:
        return "done";
    case InstallOutcome::NoPackage:
        return "no package";
    case InstallOutcome::DamagedPackage:
        return "damaged package";
    case InstallOutcome::NoAgent:
        return "no install agent";
    case InstallOutcome::AgentNotStarted:
        return "install agent not started";
    case InstallOutcome::Incomplete:
        return "incomplete";
    case InstallOutcome::MismatchedPackage:
        return "package does not match the catalogue";
    case InstallOutcome::UnverifiedPackage:
        return "package not vouched for by a signed catalogue";
    }
    return "";
}

Installation::Installation(const EmbeddedLists& lists, InstallServices& services, InstallView& view,
                           const SetupLog& log)
    : lists_(lists), services_(services), view_(view), log_(log) {}

std::string Installation::WorkFolder() {
    const std::string work = services_.CreateWorkFolder(lists_.Word(word::kWorkPrefix));
    log_.Write("work folder " + work);
    return work;
}

bool Installation::Unpack(const std::string& archive, const std::string& folder,
                          const std::string& mask) {
    const auto start = std::chrono::steady_clock::now();
    const bool unpacked = services_.Extract(archive, folder, mask);
    log_.Write((unpacked ? "unpacked " : "could not unpack ") + archive +
               (mask.empty() ? "" : " (" + mask + ")") + ": " +
               Rate(services_.FileSize(archive), std::chrono::steady_clock::now() - start));
    return unpacked;
}

bool Installation::Fetch(const std::string& url, const std::string& target,
                         const TZipPackage& offer, Sha256Digest* digest, const std::string& cache) {
    log_.Write("download " + RedactUrl(url) + " (" + std::to_string(offer.Size) +
               " bytes offered)");
    const auto start = std::chrono::steady_clock::now();
    const bool cacheReady = !cache.empty() && services_.ForceFolders(cache);
    DownloadPlan plan;
    plan.partFile = PartialDownloadPath(cacheReady ? cache : std::string(), FolderPart(target),
                                        FileNamePart(target));
    plan.onRetry = [this](int retry) {
        view_.ShowTask(FormatStrings(lists_.Message(msg::kRetryingDownload),
                                     {std::to_string(retry), std::to_string(kTransferRetries)}));
    };
    const bool fetched = services_.Download(
                             url, target, offer.Size,
                             [this](std::int32_t total, std::int32_t current) {
                                 view_.ShowTransferProgress(total, current);
                             },
                             plan, digest) &&
                         services_.FileExists(target);
    log_.Write(std::string(fetched ? "downloaded " : "download failed, ") +
               Rate(std::max<std::int64_t>(services_.FileSize(target), 0),
                    std::chrono::steady_clock::now() - start));
    return fetched;
}

bool Installation::Matches(const TZipPackage& offer, const std::string& file,
                           const Sha256Digest* streamed) {
    if (offer.Sha256State == DigestState::None)
        return true;
    if (offer.Sha256State == DigestState::Malformed) {
        log_.Write("the catalogue's SHA-256 of " + offer.Name + " is no digest: " + file +
                   " is not used");
        return false;
    }
    const std::int64_t size = services_.FileSize(file);
    if (offer.Size > 0 && size != offer.Size) {
        log_.Write(file + " has " + std::to_string(size) + " bytes, " + std::to_string(offer.Size) +
                   " offered");
        return false;
    }
    Sha256Digest digest{};
    if (streamed)
        digest = *streamed;
    else if (!services_.FileSha256(file, digest))
        return false;
    if (digest != offer.Sha256) {
        log_.Write(file + " has SHA-256 " + Sha256Hex(digest) + ", " + Sha256Hex(offer.Sha256) +
                   " offered");
        return false;
    }
    return true;
}

ObtainResult Installation::Download(const std::string& url, const std::string& target,
                                    const TZipPackage& offer, const std::string& cache) {
    // Hashed as it arrives: a package of hundreds of megabytes is not read a second time.
    Sha256Digest streamed{};
    Sha256Digest* digest = offer.Sha256State == DigestState::Valid ? &streamed : nullptr;
    if (!Fetch(url, target, offer, digest, cache))
        return ObtainResult::Missing;
    if (Matches(offer, target, digest))
        return ObtainResult::Ready;
    services_.RemoveFile(target);
    return ObtainResult::Mismatch;
}

void Installation::TellMismatch(const std::string& package) {
    view_.Ask(FormatStrings(lists_.Message(msg::kPackageMismatch), {package}), false);
}

bool Installation::Refused(const TZipPackage& offer, PackageSource source,
                           const std::string& file) {
    const bool keySet = !lists_.LibraryEntry(lib::kCataloguePublicKey).empty();
    const PackageTrust trust =
        TrustFor(keySet, catalogue_, source, offer.Sha256State != DigestState::None);
    if (trust != PackageTrust::Refused)
        return false;
    log_.Write(file + ": " + PackageTrustName(trust) + " (catalogue " +
               CatalogueAnswerName(catalogue_) + ")");
    return true;
}

InstallOutcome Installation::Damaged(const std::string& what) {
    log_.Write("damaged: " + what);
    view_.Ask(lists_.Message(msg::kDamagedPackage), false);
    return InstallOutcome::DamagedPackage;
}

bool Installation::RunAgent(const std::string& agent, const std::string& params) {
    log_.Write("agent: \"" + agent + "\" " + params);
    unsigned long exitCode = 0;
    bool started = false;
    try {
        started = services_.StartProgram(agent, params, true, &exitCode);
    } catch (const std::exception& error) {
        log_.Write(std::string("agent could not be started: ") + error.what());
        throw;
    }
    log_.Write(started ? "agent ended with exit code " + std::to_string(exitCode)
                       : std::string("agent could not be started"));
    return started;
}

bool Installation::ProductInPlace(const std::string& product, const std::string& marker) {
    const bool productThere = services_.FileExists(product);
    const bool markerThere = services_.FileExists(marker);
    log_.Write("check: " + product + (productThere ? " present" : " missing") + ", " + marker +
               (markerThere ? " present" : " missing"));
    return productThere && markerThere;
}

void Installation::StartProduct(const std::string& product) {
    services_.StartProgram(product, "", false);
    services_.Pause(kProductStartPauseMs);
    services_.ActivateWindowOfClass(lists_.LibraryEntry(lib::kProductWindowClass));
}

InstallOutcome Installation::Install(const InstallFolders& folders, bool silent) {
    InputsRestorer restorer(view_);
    log_.Write("install into " + folders.installFolder + ", data " + folders.dataFolder);
    const std::string work = WorkFolder();
    const std::string package = work + PackageFileName(product_.FileName);
    const ObtainResult obtained = ObtainPackage(package, folders.dataFolder);
    if (obtained == ObtainResult::Mismatch) {
        TellMismatch(FileNamePart(package));
        return InstallOutcome::MismatchedPackage;
    }
    if (obtained == ObtainResult::Refused) {
        view_.Ask(FormatStrings(lists_.Message(msg::kPackageUnverified), {FileNamePart(package)}),
                  false);
        return InstallOutcome::UnverifiedPackage;
    }
    if (obtained == ObtainResult::Missing) {
        view_.Ask(kNoConnection, false);
        return InstallOutcome::NoPackage;
    }
    view_.ShowTask(lists_.Message(msg::kUnpacking));
    // A package that does not unpack completely is never handed to an agent.
    if (!Unpack(package, work, ""))
        return Damaged(package);

    const std::string agentName = lists_.LibraryEntry(lib::kAgent);
    const std::string inner = work + lists_.WordDotWord(word::kInnerArchive, word::kZip);
    std::string agent = JoinPath(folders.installFolder, agentName);
    if (services_.FileExists(inner)) {
        if (!Unpack(inner, work, agentName))
            return Damaged(inner);
        agent = work + agentName;
    }
    if (!services_.FileExists(agent)) {
        log_.Write("no install agent at " + agent);
        return InstallOutcome::NoAgent;
    }

    services_.SaveSettings(work + lists_.WordDotWord(word::kProduct, word::kSettingsExt), folders);
    const std::string params =
        QuoteIfSpaced(lists_.LibraryEntry(lib::kInstallCommand) + ":" + package) + " " +
        QuoteIfSpaced(services_.ProgramPath());
    if (!RunAgent(agent, params))
        return InstallOutcome::AgentNotStarted;
    const std::string product =
        JoinPath(folders.installFolder, lists_.LibraryEntry(lib::kProductProgram));
    if (!ProductInPlace(product, work + lists_.WordDotWord(word::kWorkPrefix, word::kMarkerExt)))
        return InstallOutcome::Incomplete;

    services_.RemoveUserKey();
    view_.Repaint();
    if (silent || view_.Ask(lists_.Message(msg::kStartProduct), true)) {
        StartProduct(product);
        view_.Hide();
    }
    services_.DeleteTree(work);
    services_.NotifyShellAssociations();
    return InstallOutcome::Done;
}

ObtainResult Installation::ObtainPackage(const std::string& target, const std::string& dataFolder) {
    const std::string name = lists_.WordDotWord(word::kProduct, word::kZip);
    const std::string localFolder =
        FolderPart(services_.ProgramPath()) +
        lists_.LibraryEntry(lib::kCacheFolder).substr(0, kLocalFolderLength);
    const std::string local = JoinPath(localFolder, name);
    // Local copies are checked as copied, so the check covers the very bytes that get used.
    if (services_.FileExists(local)) {
        log_.Write("package beside the program: " + local + ", " +
                   std::to_string(services_.FileSize(local)) + " bytes");
        if (Refused(product_, PackageSource::BesideProgram, local))
            return ObtainResult::Refused;
        if (!services_.CopyTo(local, target))
            return ObtainResult::Missing;
        if (Matches(product_, target, nullptr))
            return ObtainResult::Ready;
        services_.RemoveFile(target);
        return ObtainResult::Mismatch;
    }
    const std::string url = lists_.LibraryEntry(lib::kServerBase) +
                            FormatStrings(lists_.LibraryEntry(lib::kServerPathFormat),
                                          {lists_.Word(word::kProduct), lists_.Word(word::kZip)});
    // The cache and the server answer to the same rule: nothing from either without a digest
    // the catalogue vouches for.
    if (Refused(product_, PackageSource::Server, url))
        return ObtainResult::Refused;
    const std::string cache = PackageCacheFolder(dataFolder, lists_);
    if (!cache.empty()) {
        const std::string cached = cache + FileNamePart(target);
        if (services_.FileExists(cached)) {
            log_.Write("package from the cache: " + cached + ", " +
                       std::to_string(services_.FileSize(cached)) + " bytes");
            if (!services_.CopyTo(cached, target))
                return ObtainResult::Missing;
            if (Matches(product_, target, nullptr))
                return ObtainResult::Ready;
            log_.Write("the cached package does not match the catalogue: deleted, downloading it");
            services_.RemoveFile(target);
            services_.RemoveFile(cached);
        }
    }
    view_.ShowTask(lists_.Message(msg::kDownloadingProduct));
    return Download(url, target, product_, cache);
}

InstallOutcome Installation::InstallGivenPackage(const std::string& package,
                                                 const InstallFolders& folders) {
    InputsRestorer restorer(view_);
    log_.Write("given package " + package + ", " + std::to_string(services_.FileSize(package)) +
               " bytes");
    // The package's folder is the user's: everything happens on a copy in a folder of our own.
    const std::string work = WorkFolder();
    const std::string copy = work + FileNamePart(package);
    if (!services_.FileExists(package) || !services_.CopyTo(package, copy)) {
        log_.Write("given package could not be copied to " + copy);
        return InstallOutcome::NoPackage;
    }
    if (!Unpack(copy, work, ""))
        return Damaged(package);
    const std::string agentName = lists_.LibraryEntry(lib::kAgent);
    const std::string agent = work + agentName;
    if (!services_.CopyTo(JoinPath(folders.installFolder, agentName), agent)) {
        log_.Write("no installed agent in " + folders.installFolder);
        return InstallOutcome::NoAgent;
    }
    if (!RunAgent(agent, QuoteIfSpaced(lists_.LibraryEntry(lib::kPackageCommand) + ":" + copy)))
        return InstallOutcome::AgentNotStarted;
    const std::string product =
        JoinPath(folders.installFolder, lists_.LibraryEntry(lib::kProductProgram));
    if (!ProductInPlace(product, work + lists_.WordDotWord(word::kWorkPrefix, word::kMarkerExt)))
        return InstallOutcome::Incomplete;
    StartProduct(product);
    services_.DeleteTree(work);
    return InstallOutcome::Done;
}

} // namespace ks
