// The setup program's own update: the catalogue check at start-up and the hand-over to a newer
// setup program.
#include <windows.h>

#include "app/frm_install.h"
#include "app/package_cache.h"
#include "app/run_state.h"
#include "app/text_format.h"
#include "engine/installed_state.h"
#include "net/net_utils.h"
#include "resources/list_names.h"
#include "sys/application.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/params.h"
#include "sys/process_win.h"
#include "sys/version.h"

namespace ks {

TZipPackage SetupPackage;

bool TFrmInstall::CheckSetupUpdate() {
    TDMBase& engine = *engine_;
    SetupPackage.Name = engine.UpperWord(word::kSetupPackage);
    SetupPackage.CurrentVersion = FileVersionString(ProgramFilePath());
    engine.ProductPackage.Name = engine.UpperWord(word::kProduct);
    engine.ProductPackage.CurrentVersion.clear();
    engine.RefreshPackages({&SetupPackage, &engine.ProductPackage});
    const bool result = SetupPackage.UpdateNeeded;
    if (TransferFailed) {
        engine.AskMessage(msg::kCatalogueUnreachable, false);
        RequestTermination();
    }
    return result;
}

bool TFrmInstall::RunSetupUpdate() {
    TDMBase& engine = *engine_;
    const std::string cache = PackageCacheFolder(DataFolder, engine);
    const std::string fileName = PackageFileName(SetupPackage.FileName);
    const std::string cached = cache.empty() ? std::string() : cache + fileName;
    const bool fromCache = !cached.empty() && FileExists(cached);
    // Even a cached package is unpacked into a fresh folder of its own.
    const std::string work = CreateUniqueFolder(TempFolder(), engine.Word(word::kWorkPrefix));
    std::string target = cached;
    if (!fromCache) {
        const std::string url = engine.ServerUrl(
            FormatStrings(engine.LibraryEntry(lib::kServerPathFormat),
                          {engine.UpperWord(word::kSetupPackage), engine.Word(word::kZip)}));
        target = work + fileName;
        ShowTask(FormatStrings(engine.Message(msg::kDownloadingSetup), {SetupPackage.FileName}));
        DownloadToFile(url, target, SetupPackage.Size,
                       [this](std::int32_t total, std::int32_t current) {
                           ShowTransferProgress(total, current);
                       });
    }
    if (!FileExists(target))
        return false;
    ShowTask(engine.Message(msg::kUnpacking));
    Sleep(100);
    if (!fromCache && !cache.empty() && ForceFolders(cache))
        CopyFileTo(target, cached, false);
    if (!engine.ExtractArchive(target, work, ""))
        return false;
    const std::string program = work + engine.LibraryEntry(lib::kSetupProgram);
    if (!FileExists(program))
        return false;
    return StartProgram(program, ParamsLine(), true, false);
}

} // namespace ks
