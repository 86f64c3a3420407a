// The engine's archive extraction: opens a package under its archive name, extracts the
// members matching a mask and reports whether everything arrived.
#include "archive/file_access.h"
#include "engine/form_dm_base.h"
#include "sys/paths.h"

namespace ks {
namespace {

constexpr std::uint32_t kArchiveAttribute = 0x20;

} // namespace

bool TDMBase::ExtractArchive(const std::string& filePath, const std::string& targetFolder,
                             const std::string& mask) {
    const std::string archiveName = DropInnerExtensions(filePath);
    const bool needsRename = archiveName != filePath;
    const bool renamed = needsRename && archive::RenameFile(filePath, archiveName);
    // A failed rename must not open whatever else already carries the archive name.
    if (needsRename && !renamed)
        return false;

    // Member failures do not escape the component; the engine still must not call a
    // package with a missing or damaged member a success.
    bool memberFailed = false;
    auto previousHandler = UnZipper.OnProcessItemFailure;
    UnZipper.OnProcessItemFailure =
        [&memberFailed](archive::ZipExtractor&, const archive::ZipMember&, archive::ProcessType,
                        archive::ErrorClass, int) { memberFailed = true; };
    bool extracted = false;
    try {
        // The folder first: opening checks the base folder it holds, and the one of an
        // earlier run may have been removed since.
        UnZipper.SetBaseDirectory(targetFolder);
        UnZipper.SetFileName(archiveName);
        UnZipper.ExtractByMask(mask.empty() ? "*.*" : mask);
        UnZipper.ReleaseArchive();
        extracted = true;
    } catch (const std::exception&) {
        extracted = false;
    }
    // Released on failure too, so the package can take its own name back.
    UnZipper.ReleaseArchive();
    UnZipper.OnProcessItemFailure = std::move(previousHandler);
    if (renamed)
        archive::RenameFile(archiveName, filePath);
    return extracted && !memberFailed;
}

void TDMBase::UnZipperConfirmOverwrite(std::string& targetPath, bool& confirm) {
    archive::SetFileDosAttributes(targetPath, kArchiveAttribute);
    confirm = true;
}

} // namespace ks
