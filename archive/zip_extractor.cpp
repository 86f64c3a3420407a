#include "archive/zip_extractor.h"

#include "archive/file_access.h"
#include "archive/mask_match.h"
#include "archive/percentage.h"
#include "archive/target_path.h"

namespace ks::archive {
namespace {

bool IsZipKind(ArchiveKind kind) {
    return kind == ArchiveKind::Zip || kind == ArchiveKind::SpannedZip ||
           kind == ArchiveKind::SelfExtractingZip;
}

// Whether a folder of a restored path, below the base, is a link that would take the member
// somewhere else.
bool RunsThroughLink(const std::string& baseDirectory, const std::string& targetName) {
    for (std::size_t cut = targetName.find('\\'); cut != std::string::npos;
         cut = targetName.find('\\', cut + 1)) {
        if (IsLink(JoinBase(baseDirectory, targetName.substr(0, cut))))
            return true;
    }
    return false;
}

} // namespace

void ZipExtractor::SetFileName(const std::string& name) {
    if (!name.empty()) {
        if (!FileExists(name))
            throw ArchiveError(kFileNotFound);
        if (FileSizeOf(name) <= 0)
            throw ArchiveError(kInvalidStream);
    }
    fileName_ = name;
    archive_.reset();
    if (name.empty())
        return;
    const ArchiveKind kind = CheckArchiveFile(name);
    if (!IsZipKind(kind))
        throw ArchiveError(kUnhandledArchiveType);
    archive_ = std::make_unique<ZipArchive>(name, std::make_unique<InputFile>(name));
    Attach(*archive_);
    if (!baseDirectory_.empty() && !FolderExists(baseDirectory_))
        throw ArchiveError(kDirectoryMissing);
    archive_->Load();
    kind_ = kind;
    if (OnLoad)
        OnLoad(*this);
    if (OnChange)
        OnChange(*this);
}

void ZipExtractor::Attach(ZipArchive& archive) {
    archive.baseDirectory = baseDirectory_;
    archive.tempDirectory = tempDirectory_;
    archive.password = Password;
    archive.passwordRetries = PasswordRetries;
    archive.notify.archiveProgress = [this](int progress, bool& abort) {
        ReportArchiveProgress(progress, abort);
    };
    archive.notify.memberProgress = [this](const ZipMember& member, int progress, bool& abort) {
        if (OnArchiveItemProgress)
            OnArchiveItemProgress(*this, member, progress, abort);
    };
    archive.notify.memberFailure = [this](const ZipMember& member, ErrorClass errorClass,
                                          int code) {
        if (OnProcessItemFailure)
            OnProcessItemFailure(*this, member, ProcessType::ptExtract, errorClass, code);
    };
    archive.notify.needPassword = [this](std::string& password) {
        if (OnNeedPassword)
            OnNeedPassword(*this, password);
    };
}

void ZipExtractor::SetBaseDirectory(const std::string& folder) {
    if (!archive_) {
        baseDirectory_ = folder;
        return;
    }
    const std::string normalised = NormaliseBaseDirectory(folder);
    if (!normalised.empty() && !FolderExists(normalised))
        throw ArchiveError(kDirectoryMissing);
    archive_->baseDirectory = normalised;
    baseDirectory_ = normalised;
}

void ZipExtractor::SetTempDirectory(const std::string& folder) {
    tempDirectory_ = folder;
    if (archive_)
        archive_->tempDirectory = folder;
}

void ZipExtractor::ReleaseArchive() {
    if (!fileName_.empty())
        SetFileName("");
}

void ZipExtractor::ReportArchiveProgress(int progress, bool& abort) {
    if (OnArchiveProgress)
        OnArchiveProgress(*this, progress, abort);
}

void ZipExtractor::ExtractByMask(const std::string& mask) {
    if (!archive_)
        throw ArchiveError(kArchiveMissing);
    Extract(mask, "");
}

void ZipExtractor::Extract(const std::string& mask, const std::string& exclude) {
    archive_->CheckUsable();
    knownFolder_.clear();
    const std::size_t count = archive_->Members().size();
    if (count == 0)
        return;
    for (std::size_t i = 0; i < count; ++i) {
        const ZipMember& member = archive_->Members()[i];
        const bool isDirectory = member.IsDirectory();
        if (MatchesMaskList(mask, member.name, isDirectory) &&
            !MatchesMaskList(exclude, member.name, isDirectory) &&
            (ExtractOptions.eoCreateDirs || !isDirectory))
            ExtractMember(member);
        bool abort = false;
        ReportArchiveProgress(Percentage(i + 1, count), abort);
        if (abort)
            throw ArchiveError(kAbortedByUser);
    }
    bool ignored = false;
    ReportArchiveProgress(100, ignored);
}

void ZipExtractor::ExtractMember(const ZipMember& member) {
    archive_->CheckUsable();
    bool confirm = true;
    if (OnConfirmProcessItem)
        OnConfirmProcessItem(*this, member, ProcessType::ptExtract, confirm);
    if (!confirm)
        return;
    const bool isDirectory = member.IsDirectory();
    const bool skipped =
        isDirectory && !(ExtractOptions.eoCreateDirs && ExtractOptions.eoRestorePath);
    if (!skipped) {
        const std::string name =
            MemberTargetName(member.name, isDirectory, ExtractOptions.eoRestorePath);
        const char* refusal = RefusedTargetName(name);
        if (!refusal && RunsThroughLink(archive_->baseDirectory, name))
            refusal = "Member path runs through a link";
        if (refusal) {
            ReportFailure(member, Error(refusal));
            return;
        }
    }
    const std::string target = TargetPath(member);
    if (target.empty())
        return;
    try {
        WriteMember(member, target);
    } catch (const std::exception& error) {
        ReportFailure(member, error);
    }
}

std::string ZipExtractor::TargetPath(const ZipMember& member) {
    const bool isDirectory = member.IsDirectory();
    if (isDirectory && !(ExtractOptions.eoCreateDirs && ExtractOptions.eoRestorePath))
        return {};
    std::string path = MemberTargetName(member.name, isDirectory, ExtractOptions.eoRestorePath);
    if (!IsAbsoluteTarget(path))
        path = JoinBase(archive_->baseDirectory, path);
    const std::string folder = FolderOf(path);
    if (!folder.empty() && folder != knownFolder_) {
        if (!FolderExists(folder)) {
            if (!ExtractOptions.eoCreateDirs)
                throw ArchiveError(kDirectoryMissing);
            CreateFolderLevels(folder);
        }
        knownFolder_ = folder;
    }
    if (!isDirectory && FileExists(path)) {
        bool confirm = true;
        if (OnConfirmOverwrite)
            OnConfirmOverwrite(path, confirm);
        if (!confirm)
            return {};
    }
    return path;
}

void ZipExtractor::CreateFolderLevels(const std::string& folder) {
    for (const std::string& level : FolderLevels(folder)) {
        if (!level.empty() && !FolderExists(level))
            CreateFolder(level);
    }
}

void ZipExtractor::WriteMember(const ZipMember& member, const std::string& target) {
    if (member.IsDirectory()) {
        CreateFolderLevels(target);
        SetFileDosTime(target, member.DosDateTime());
        SetFileDosAttributes(target, member.NativeAttributes());
        return;
    }
    MemberData data = archive_->OpenMember(member);
    OutputFile file(target);
    FileSink sink(file);
    try {
        archive_->DecodeMember(member, data, sink);
    } catch (...) {
        file.Close();
        RemoveFile(target);
        throw;
    }
    file.Close();
    SetFileDosTime(target, member.DosDateTime());
    SetFileDosAttributes(target, member.NativeAttributes());
}

void ZipExtractor::ReportFailure(const ZipMember& member, const std::exception& error) {
    const FailureKind kind = ClassifyFailure(error);
    if (OnProcessItemFailure)
        OnProcessItemFailure(*this, member, ProcessType::ptExtract, kind.errorClass, kind.code);
}

} // namespace ks::archive
