// The files, transfers and programs an installation works with. The Windows build passes the
// real ones (install_services_win.cpp); tests pass fakes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/catalogue_answer.h"
#include "engine/installed_state.h"
#include "engine/zip_package.h"
#include "sys/sha256.h"

namespace ks {

// Where a download keeps its bytes until it is complete, and what it tells when it tries
// again.
struct DownloadPlan {
    std::string partFile;
    std::function<void(int retry)> onRetry;
};

class InstallServices {
public:
    using Progress = std::function<void(std::int32_t total, std::int32_t current)>;

    virtual ~InstallServices() = default;

    virtual bool FileExists(const std::string& path) = 0;
    // -1 when there is no such file.
    virtual std::int64_t FileSize(const std::string& path) = 0;
    // Overwrites the target.
    virtual bool CopyTo(const std::string& source, const std::string& target) = 0;
    // False when the file is still there afterwards.
    virtual bool RemoveFile(const std::string& path) = 0;
    // The SHA-256 of a file, read once; false when it cannot be read.
    virtual bool FileSha256(const std::string& path, Sha256Digest& digest) = 0;
    virtual bool ForceFolders(const std::string& folder) = 0;
    // A fresh folder below the temporary folder, with a trailing backslash; raises on failure.
    virtual std::string CreateWorkFolder(const std::string& prefix) = 0;
    virtual void DeleteTree(const std::string& path) = 0;

    // Fills the records from the server's catalogue when one was Read.
    virtual CatalogueAnswer RefreshPackages(TZipPackage& setup, TZipPackage& product) = 0;
    virtual std::string CatalogueUrl() = 0;
    // With a digest, also hashes the bytes as they arrive and puts their SHA-256 there.
    virtual bool Download(const std::string& url, const std::string& target, std::int32_t knownSize,
                          const Progress& progress, const DownloadPlan& plan,
                          Sha256Digest* digest) = 0;
    // False when the archive could not be read or any member failed.
    virtual bool Extract(const std::string& archive, const std::string& folder,
                         const std::string& mask) = 0;
    virtual void SaveSettings(const std::string& path, const InstallFolders& folders) = 0;

    // Shown; waits when asked and then puts the exit code in exitCode. False when it could
    // not be started; raises the system's error.
    virtual bool StartProgram(const std::string& file, const std::string& params, bool wait,
                              unsigned long* exitCode = nullptr) = 0;
    // "" without a version resource.
    virtual std::string FileVersion(const std::string& program) = 0;
    virtual std::string ProgramPath() = 0;
    virtual void RemoveUserKey() = 0;
    virtual void ActivateWindowOfClass(const std::string& windowClass) = 0;
    virtual void NotifyShellAssociations() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
};

} // namespace ks
