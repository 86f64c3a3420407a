#include "app/install_services_win.h"

#include <windows.h>

#include <optional>

#include "archive/file_access.h"
#include "engine/form_dm_base.h"
#include "net/net_utils.h"
#include "sys/background_sha256_win.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/locked_files_win.h"
#include "sys/os_error_win.h"
#include "sys/process_win.h"
#include "sys/version.h"

namespace ks {

void WinInstallServices::LogFailure(const std::string& what) const {
    const DWORD error = GetLastError();
    log_.Write(what + ": " + SystemErrorText(error) + " (" + std::to_string(error) + ")");
}

void WinInstallServices::LogLockedFailure(const std::string& what,
                                          const std::vector<std::string>& paths) const {
    const DWORD error = GetLastError();
    std::string note;
    for (const std::string& path : paths) {
        if (note.empty())
            note = HolderNote(path, error);
    }
    log_.Write(what + ": " + SystemErrorText(error) + " (" + std::to_string(error) + ")" + note);
}

bool WinInstallServices::FileExists(const std::string& path) {
    return ks::FileExists(path);
}

std::int64_t WinInstallServices::FileSize(const std::string& path) {
    return archive::FileSizeOf(path);
}

bool WinInstallServices::CopyTo(const std::string& source, const std::string& target) {
    const bool copied = CopyFileTo(source, target, false);
    if (!copied)
        LogLockedFailure("cannot copy " + source + " to " + target, {target, source});
    return copied;
}

bool WinInstallServices::RemoveFile(const std::string& path) {
    if (DeleteFileA(path.c_str()) || !ks::FileExists(path))
        return true;
    LogFailure("cannot delete " + path);
    return false;
}

bool WinInstallServices::FileSha256(const std::string& path, Sha256Digest& digest) {
    const bool hashed = ks::FileSha256(path, digest);
    if (!hashed)
        LogFailure("cannot read " + path);
    return hashed;
}

bool WinInstallServices::ForceFolders(const std::string& folder) {
    const bool made = ks::ForceFolders(folder);
    if (!made)
        LogFailure("cannot create " + folder);
    return made;
}

std::string WinInstallServices::CreateWorkFolder(const std::string& prefix) {
    const std::string folder = CreateUniqueFolder(TempFolder(), prefix);
    if (!FolderExists(folder))
        LogFailure("cannot create the work folder " + folder);
    return folder;
}

void WinInstallServices::DeleteTree(const std::string& path) {
    // A program that just ended may hold its working folder a moment longer.
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 100;
    for (int attempt = 0; attempt < kAttempts && FolderExists(path); ++attempt) {
        if (attempt > 0)
            Sleep(kPauseMs);
        DeletePathSilently(path);
    }
    if (FolderExists(path))
        LogFailure("cannot delete " + path);
}

CatalogueAnswer WinInstallServices::RefreshPackages(TZipPackage& setup, TZipPackage& product) {
    // The window is not shown yet: the log alone tells of the retries.
    const RetrySchedule schedule;
    const CatalogueAnswer answer = engine_.RefreshPackages({&setup, &product}, [&](int retry) {
        log_.Write("catalogue: " + LastInternetError + "; retry " + std::to_string(retry) + " of " +
                   std::to_string(schedule.retries) + " in " +
                   std::to_string(RetryDelayMs(retry, schedule.firstRetryDelayMs)) + " ms");
    });
    if (answer == CatalogueAnswer::Unreachable || answer == CatalogueAnswer::SignatureMissing)
        log_.Write("catalogue: " + LastInternetError);
    return answer;
}

std::string WinInstallServices::CatalogueUrl() {
    return engine_.CatalogueUrl();
}

bool WinInstallServices::Download(const std::string& url, const std::string& target,
                                  std::int32_t knownSize, const Progress& progress,
                                  const DownloadPlan& plan, Sha256Digest* digest) {
    ResumableTransfer transfer;
    transfer.partFile = plan.partFile;
    transfer.onRetry = [&](int retry) {
        log_.Write("download: " + LastInternetError + "; retry " + std::to_string(retry) + " of " +
                   std::to_string(transfer.retries) + " in " +
                   std::to_string(RetryDelayMs(retry, transfer.firstRetryDelayMs)) + " ms");
        if (plan.onRetry)
            plan.onRetry(retry);
    };
    // A resumed attempt gives the kept bytes again first, so the digest covers the whole file.
    std::optional<BackgroundSha256> hash;
    if (digest) {
        hash.emplace();
        transfer.onRestart = [&hash] { hash.emplace(); };
        transfer.onData = [&hash](const char* data, std::size_t size) { hash->Update(data, size); };
    }
    const bool downloaded = DownloadResumable(url, target, knownSize, progress, transfer);
    if (!downloaded)
        log_.Write("download: " + LastInternetError);
    else if (digest)
        *digest = hash->Finish();
    return downloaded;
}

bool WinInstallServices::Extract(const std::string& archive, const std::string& folder,
                                 const std::string& mask) {
    return engine_.ExtractArchive(archive, folder, mask);
}

void WinInstallServices::SaveSettings(const std::string& path, const InstallFolders& folders) {
    SaveSettingsFile(path, folders);
}

bool WinInstallServices::StartProgram(const std::string& file, const std::string& params, bool wait,
                                      unsigned long* exitCode) {
    try {
        return ks::StartProgram(file, params, true, wait, exitCode);
    } catch (const std::exception& error) {
        log_.Write("cannot start " + file + ": " + error.what());
        throw;
    }
}

std::string WinInstallServices::FileVersion(const std::string& program) {
    return FileVersionString(program);
}

std::string WinInstallServices::ProgramPath() {
    return ProgramFilePath();
}

void WinInstallServices::RemoveUserKey() {
    engine_.RemoveUserKey();
}

void WinInstallServices::ActivateWindowOfClass(const std::string& windowClass) {
    ks::ActivateWindowOfClass(windowClass);
}

void WinInstallServices::NotifyShellAssociations() {
    ks::NotifyShellAssociations();
}

void WinInstallServices::Pause(unsigned milliseconds) {
    Sleep(milliseconds);
}

} // namespace ks
