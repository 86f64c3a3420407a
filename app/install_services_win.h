// The real files, transfers and programs of an installation, through the engine and the
// system services. Failures go to the setup log with the system's error text.
#pragma once
#include <string>
#include <vector>

#include "app/install_services.h"
#include "app/setup_log.h"

namespace ks {

class TDMBase;

class WinInstallServices : public InstallServices {
public:
    WinInstallServices(TDMBase& engine, const SetupLog& log) : engine_(engine), log_(log) {}

    bool FileExists(const std::string& path) override;
    std::int64_t FileSize(const std::string& path) override;
    bool CopyTo(const std::string& source, const std::string& target) override;
    bool RemoveFile(const std::string& path) override;
    bool FileSha256(const std::string& path, Sha256Digest& digest) override;
    bool ForceFolders(const std::string& folder) override;
    std::string CreateWorkFolder(const std::string& prefix) override;
    void DeleteTree(const std::string& path) override;
    CatalogueAnswer RefreshPackages(TZipPackage& setup, TZipPackage& product) override;
    std::string CatalogueUrl() override;
    bool Download(const std::string& url, const std::string& target, std::int32_t knownSize,
                  const Progress& progress, const DownloadPlan& plan,
                  Sha256Digest* digest) override;
    bool Extract(const std::string& archive, const std::string& folder,
                 const std::string& mask) override;
    void SaveSettings(const std::string& path, const InstallFolders& folders) override;
    bool StartProgram(const std::string& file, const std::string& params, bool wait,
                      unsigned long* exitCode) override;
    std::string FileVersion(const std::string& program) override;
    std::string ProgramPath() override;
    void RemoveUserKey() override;
    void ActivateWindowOfClass(const std::string& windowClass) override;
    void NotifyShellAssociations() override;
    void Pause(unsigned milliseconds) override;

private:
    // Writes what failed with the system's text for the last error.
    void LogFailure(const std::string& what) const;
    // The same, naming the program that holds one of the paths when the failure is a lock.
    void LogLockedFailure(const std::string& what, const std::vector<std::string>& paths) const;

    TDMBase& engine_;
    const SetupLog& log_;
};

} // namespace ks
