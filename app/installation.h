// An installation as plain steps, each with its result: the setup program's own update,
// obtaining and unpacking the product package, the settings file, the install agent and the
// checks. The window shows what it reports and answers its questions (InstallView); files,
// transfers and programs come through InstallServices.
#pragma once
#include <string>

#include "app/install_services.h"
#include "app/install_view.h"
#include "app/package_trust.h"
#include "app/setup_log.h"
#include "engine/word_lists.h"
#include "engine/zip_package.h"

namespace ks {

enum class UpdateCheck { NoUpdate, UpdateOffered, CatalogueUnreachable };

enum class InstallOutcome {
    Done,              // the product is in place and the agent left its marker
    NoPackage,         // no local, cached or downloaded package
    DamagedPackage,    // the package or its inner archive did not unpack completely
    NoAgent,           // no install agent to run
    AgentNotStarted,   // the agent could not be started
    Incomplete,        // the agent ran, but the product or its marker is missing
    MismatchedPackage, // the package is not the one the catalogue describes
    UnverifiedPackage, // with a catalogue key, no signed catalogue vouches for the package
};

enum class ObtainResult {
    Ready,    // the package is at the target
    Missing,  // no local, cached or downloaded package
    Mismatch, // the package at hand or downloaded is not the one the catalogue describes
    Refused,  // with a catalogue key, no signed catalogue vouches for the package
};

const char* OutcomeName(InstallOutcome outcome);

class Installation {
public:
    Installation(const EmbeddedLists& lists, InstallServices& services, InstallView& view,
                 const SetupLog& log);

    // Reads the catalogue into both package records; tells the user when it cannot.
    UpdateCheck CheckSetupUpdate(const std::string& runningVersion);
    // Fetches (or takes from the cache) the offered setup program, checks it is the one
    // offered, and starts it with `arguments`; true when it was started.
    bool RunSetupUpdate(const std::string& dataFolder, const std::string& arguments);

    // The whole installation into `folders`; a silent one starts the product without asking.
    InstallOutcome Install(const InstallFolders& folders, bool silent);
    // Puts the product package at target: from beside the program, the cache or the server.
    // A cached copy that does not match the catalogue is deleted and downloaded again; a
    // package that does not match is never left at the target.
    ObtainResult ObtainPackage(const std::string& target, const std::string& dataFolder);
    // Installs a package file the user named, working on a copy in a fresh work folder.
    InstallOutcome InstallGivenPackage(const std::string& package, const InstallFolders& folders);

    const TZipPackage& SetupPackage() const { return setup_; }
    const TZipPackage& ProductPackage() const { return product_; }

private:
    std::string WorkFolder();
    bool Unpack(const std::string& archive, const std::string& folder, const std::string& mask);
    // Downloads into target; the partial data waits beside the cache when there is one.
    bool Fetch(const std::string& url, const std::string& target, const TZipPackage& offer,
               Sha256Digest* digest, const std::string& cache);
    // Whether file is the offered package: size and SHA-256 when the catalogue gives a digest,
    // anything when it gives none. streamed is the digest taken while downloading, if any.
    bool Matches(const TZipPackage& offer, const std::string& file, const Sha256Digest* streamed);
    // Downloads the offered package to target and keeps it only when it matches.
    ObtainResult Download(const std::string& url, const std::string& target,
                          const TZipPackage& offer, const std::string& cache);
    void TellMismatch(const std::string& package);
    // With a catalogue key set: true (and logged) when the trust rule refuses the package.
    bool Refused(const TZipPackage& offer, PackageSource source, const std::string& file);
    bool UnpackOfferedSetup(const std::string& package, const std::string& work);
    bool RunAgent(const std::string& agent, const std::string& params);
    bool ProductInPlace(const std::string& product, const std::string& marker);
    void StartProduct(const std::string& product);
    InstallOutcome Damaged(const std::string& what);

    const EmbeddedLists& lists_;
    InstallServices& services_;
    InstallView& view_;
    const SetupLog& log_;
    TZipPackage setup_;
    TZipPackage product_;
    CatalogueAnswer catalogue_ = CatalogueAnswer::Empty;
};

} // namespace ks
