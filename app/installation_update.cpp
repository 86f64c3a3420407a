// The setup program's own update: the catalogue at start-up and the hand-over to a newer setup
// program, which is used only when it is the one the catalogue offers.
#include "app/installation.h"

#include "app/package_cache.h"
#include "app/text_format.h"
#include "resources/list_names.h"
#include "sys/version.h"

namespace ks {
namespace {

constexpr unsigned kUnpackPauseMs = 100;

} // namespace

UpdateCheck Installation::CheckSetupUpdate(const std::string& runningVersion) {
    setup_.Name = lists_.UpperWord(word::kSetupPackage);
    setup_.CurrentVersion = runningVersion;
    product_.Name = lists_.UpperWord(word::kProduct);
    product_.CurrentVersion.clear();
    const std::string url = RedactUrl(services_.CatalogueUrl());
    catalogue_ = services_.RefreshPackages(setup_, product_);
    if (!CatalogueReceived(catalogue_)) {
        log_.Write("catalogue " + url + " " + CatalogueAnswerName(catalogue_));
        view_.Ask(lists_.Message(msg::kCatalogueUnreachable), false);
        return UpdateCheck::CatalogueUnreachable;
    }
    log_.Write("catalogue " + url + ": setup " + setup_.FileName + " " + setup_.RemoteVersion +
               " (" + std::to_string(setup_.Size) + " bytes), product " + product_.FileName + " " +
               product_.RemoteVersion + " (" + std::to_string(product_.Size) + " bytes)");
    log_.Write(setup_.UpdateNeeded ? "a newer setup program is offered"
                                   : "no newer setup program (running " + runningVersion + ")");
    return setup_.UpdateNeeded ? UpdateCheck::UpdateOffered : UpdateCheck::NoUpdate;
}

bool Installation::UnpackOfferedSetup(const std::string& package, const std::string& work) {
    const std::int64_t size = services_.FileSize(package);
    if (size != setup_.Size) {
        log_.Write("setup package " + package + " has " + std::to_string(size) + " bytes, " +
                   std::to_string(setup_.Size) + " offered");
        return false;
    }
    if (!Unpack(package, work, ""))
        return false;
    const std::string program = work + lists_.LibraryEntry(lib::kSetupProgram);
    const std::string version = services_.FileExists(program) ? services_.FileVersion(program) : "";
    // A setup that is not the one offered would offer the update again when started.
    if (version.empty() || VersionNumber(version) != VersionNumber(setup_.RemoteVersion)) {
        log_.Write("setup program " + program + " reports version \"" + version + "\", " +
                   setup_.RemoteVersion + " offered");
        return false;
    }
    return true;
}

bool Installation::RunSetupUpdate(const std::string& dataFolder, const std::string& arguments) {
    const std::string cache = PackageCacheFolder(dataFolder, lists_);
    const std::string fileName = PackageFileName(setup_.FileName);
    const std::string program = lists_.LibraryEntry(lib::kSetupProgram);
    const std::string cached = cache.empty() ? std::string() : cache + fileName;
    const std::string url =
        lists_.LibraryEntry(lib::kServerBase) +
        FormatStrings(lists_.LibraryEntry(lib::kServerPathFormat),
                      {lists_.UpperWord(word::kSetupPackage), lists_.Word(word::kZip)});
    // A setup program that is started runs with the user's rights: from the cache or the
    // server only with a digest the catalogue vouches for.
    if (Refused(setup_, PackageSource::Server, url)) {
        view_.Ask(FormatStrings(lists_.Message(msg::kPackageUnverified), {fileName}), false);
        return false;
    }
    if (!cached.empty() && services_.FileExists(cached)) {
        log_.Write("setup package in the cache: " + cached);
        const std::string work = WorkFolder();
        const bool matches = Matches(setup_, cached, nullptr);
        if (matches && UnpackOfferedSetup(cached, work))
            return services_.StartProgram(work + program, arguments, false);
        log_.Write("the cached setup package is not the one offered; fetching it again");
        services_.DeleteTree(work);
        if (!matches)
            services_.RemoveFile(cached);
    }

    const std::string work = WorkFolder();
    const std::string target = work + fileName;
    view_.ShowTask(FormatStrings(lists_.Message(msg::kDownloadingSetup), {setup_.FileName}));
    const ObtainResult fetched = Download(url, target, setup_, cache);
    if (fetched == ObtainResult::Mismatch) {
        services_.DeleteTree(work);
        TellMismatch(fileName);
        return false;
    }
    if (fetched == ObtainResult::Ready) {
        view_.ShowTask(lists_.Message(msg::kUnpacking));
        services_.Pause(kUnpackPauseMs);
    }
    if (fetched != ObtainResult::Ready || !UnpackOfferedSetup(target, work)) {
        services_.DeleteTree(work);
        return false;
    }
    // Only a package that proved to be the offered one is kept for later runs.
    if (!cache.empty() && services_.ForceFolders(cache) && !services_.CopyTo(target, cached))
        log_.Write("could not keep the setup package in " + cached);
    log_.Write("starting the new setup program " + work + program);
    return services_.StartProgram(work + program, arguments, false);
}

} // namespace ks
