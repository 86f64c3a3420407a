// The extraction component: opens one package at a time and writes the members that match
// a mask into a base folder, with overwrite confirmation, progress and per-member failures.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "archive/archive_error.h"
#include "archive/archive_type.h"
#include "archive/zip_archive.h"

namespace ks::archive {

enum class ProcessType { ptExtract };

struct ExtractOptionSet {
    bool eoCreateDirs = true;
    bool eoRestorePath = false;
};

class ZipExtractor {
public:
    using ArchiveProgressEvent =
        std::function<void(ZipExtractor& sender, int progress, bool& abort)>;
    using ItemProgressEvent =
        std::function<void(ZipExtractor& sender, const ZipMember& item, int progress, bool& abort)>;
    using ConfirmProcessItemEvent = std::function<void(ZipExtractor& sender, const ZipMember& item,
                                                       ProcessType type, bool& confirm)>;
    using ConfirmOverwriteEvent = std::function<void(std::string& name, bool& confirm)>;
    using ProcessItemFailureEvent =
        std::function<void(ZipExtractor& sender, const ZipMember& item, ProcessType type,
                           ErrorClass errorClass, int errorCode)>;
    using NeedPasswordEvent = std::function<void(ZipExtractor& sender, std::string& newPassword)>;
    using NotifyEvent = std::function<void(ZipExtractor& sender)>;

    ZipExtractor() = default;
    ZipExtractor(const ZipExtractor&) = delete;
    ZipExtractor& operator=(const ZipExtractor&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Opens the package (an empty name closes it). Raises 21, 17, 28, 15, 24, 9 or a stream
    // error; a failed load stays attached until the next assignment or release.
    void SetFileName(const std::string& name);
    const std::string& BaseDirectory() const { return baseDirectory_; }
    // With an archive open, normalised and checked (error 15).
    void SetBaseDirectory(const std::string& folder);
    const std::string& TempDirectory() const { return tempDirectory_; }
    void SetTempDirectory(const std::string& folder);

    ExtractOptionSet ExtractOptions;
    std::string Password;
    int PasswordRetries = 3;

    ArchiveProgressEvent OnArchiveProgress;
    ItemProgressEvent OnArchiveItemProgress;
    ConfirmProcessItemEvent OnConfirmProcessItem;
    ConfirmOverwriteEvent OnConfirmOverwrite;
    ProcessItemFailureEvent OnProcessItemFailure;
    NeedPasswordEvent OnNeedPassword;
    NotifyEvent OnLoad;
    NotifyEvent OnChange;

    // Raises error 23 with no archive open; member failures go to OnProcessItemFailure.
    void ExtractByMask(const std::string& mask);
    void ReleaseArchive();

    ZipArchive* Archive() { return archive_.get(); }
    ArchiveKind Kind() const { return kind_; }

private:
    void Extract(const std::string& mask, const std::string& exclude);
    void ExtractMember(const ZipMember& member);
    // The target path, or "" when the member is skipped.
    std::string TargetPath(const ZipMember& member);
    void CreateFolderLevels(const std::string& folder);
    void WriteMember(const ZipMember& member, const std::string& target);
    void ReportFailure(const ZipMember& member, const std::exception& error);
    void ReportArchiveProgress(int progress, bool& abort);
    void Attach(ZipArchive& archive);

    std::string fileName_;
    std::string baseDirectory_;
    std::string tempDirectory_;
    std::unique_ptr<ZipArchive> archive_;
    // The target folder last found or made in this run; flat runs ask once, not per member.
    std::string knownFolder_;
    ArchiveKind kind_ = ArchiveKind::Unknown;
};

} // namespace ks::archive
