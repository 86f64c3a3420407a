// The install procedures: Install (also run by the start-up decision), obtaining the product
// package, and installing a package named on the command line.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frm_install.h"
#include "app/package_cache.h"
#include "app/run_state.h"
#include "app/text_format.h"
#include "engine/installed_state.h"
#include "net/net_utils.h"
#include "resources/list_names.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/process_win.h"

namespace ks {
namespace {

constexpr char kNoConnection[] = "No internet connection: can not download install package!";
constexpr std::size_t kLocalFolderLength = 7;

// Whatever way the procedure ends, the inputs come back and the task line is cleared.
class InputsRestorer {
public:
    explicit InputsRestorer(TFrmInstall& form) : form_(form) {}
    ~InputsRestorer() {
        form_.SetControlsEnabled(true);
        form_.ShowTask("");
    }
    InputsRestorer(const InputsRestorer&) = delete;
    InputsRestorer& operator=(const InputsRestorer&) = delete;

private:
    TFrmInstall& form_;
};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& existing) {
        return lstrcmpiA(existing.c_str(), name.c_str()) == 0;
    });
}

// The agent's process may hold its working folder for a moment after its end was signalled,
// so a folder that survives the deletion gets a few more tries.
void DeleteWorkFolder(const std::string& folder) {
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 100;
    for (int attempt = 0; attempt < kAttempts && FolderExists(folder); ++attempt) {
        if (attempt > 0)
            Sleep(kPauseMs);
        DeletePathSilently(folder);
    }
}

} // namespace

void TFrmInstall::BtInstallClick(TSkinControl*) {
    TDMBase& engine = *engine_;
    SetControlsEnabled(false);
    InputsRestorer restorer(*this);

    const std::string work = CreateUniqueFolder(TempFolder(), engine.Word(word::kWorkPrefix));
    const std::string package = work + PackageFileName(engine.ProductPackage.FileName);
    if (!ObtainPackage(package)) {
        engine.AskText(kNoConnection, false);
        return;
    }
    ShowTask(engine.Message(msg::kUnpacking));
    // A package that does not unpack completely is never handed to an agent.
    if (!engine.ExtractArchive(package, work, "")) {
        engine.AskMessage(msg::kDamagedPackage, false);
        return;
    }

    const std::string agentName = engine.LibraryEntry(lib::kAgent);
    const std::string inner = work + engine.WordDotWord(word::kInnerArchive, word::kZip);
    std::string agent;
    if (FileExists(inner)) {
        engine.ExtractArchive(inner, work, agentName);
        agent = work + agentName;
    } else {
        agent = JoinPath(InstallFolder, agentName);
    }
    if (!FileExists(agent))
        return;

    SaveSettingsFile(work + engine.WordDotWord(word::kProduct, word::kSettingsExt));
    const std::string params =
        QuoteIfSpaced(engine.LibraryEntry(lib::kInstallCommand) + ":" + package) + " " +
        QuoteIfSpaced(ProgramFilePath());
    if (!StartProgram(agent, params, true, true))
        return;

    const std::string product = JoinPath(InstallFolder, engine.LibraryEntry(lib::kProductProgram));
    InstallDone = FileExists(product) &&
                  FileExists(work + engine.WordDotWord(word::kWorkPrefix, word::kMarkerExt));
    if (!InstallDone)
        return;
    engine.RemoveUserKey();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (SilentRun || engine.AskMessage(msg::kStartProduct, true)) {
        StartProgram(product, "", true, false);
        Sleep(100);
        ActivateWindowOfClass(engine.LibraryEntry(lib::kProductWindowClass));
        SetVisible(false);
    }
    DeleteWorkFolder(work);
    NotifyShellAssociations();
    Close();
}

bool TFrmInstall::ObtainPackage(const std::string& target) {
    TDMBase& engine = *engine_;
    const std::string name = engine.WordDotWord(word::kProduct, word::kZip);
    const std::string localFolder =
        FolderPart(ProgramFilePath()) +
        engine.LibraryEntry(lib::kCacheFolder).substr(0, kLocalFolderLength);
    const std::string local = JoinPath(localFolder, name);
    if (FileExists(local))
        return CopyFileTo(local, target, false);
    const std::string cache = PackageCacheFolder(DataFolder, engine);
    if (!cache.empty()) {
        const std::string cached = cache + FileNamePart(target);
        if (FileExists(cached))
            return CopyFileTo(cached, target, false);
    }
    const std::string url =
        engine.ServerUrl(FormatStrings(engine.LibraryEntry(lib::kServerPathFormat),
                                       {engine.Word(word::kProduct), engine.Word(word::kZip)}));
    ShowTask(engine.Message(msg::kDownloadingProduct));
    return DownloadToFile(url, target, engine.ProductPackage.Size,
                          [this](std::int32_t total, std::int32_t current) {
                              ShowTransferProgress(total, current);
                          }) &&
           FileExists(target);
}

void TFrmInstall::InstallGivenPackage() {
    TDMBase& engine = *engine_;
    SetControlsEnabled(false);
    const std::string package = CommandValue;
    const std::string folder = FolderPart(package);
    const std::string agent = folder + engine.LibraryEntry(lib::kAgent);
    // The folder is the user's: note what is there, so that only what this run adds goes.
    const std::vector<std::string> before = ListFolder(JoinPath(folder, "*.*"));
    CopyFileTo(InstallFolder + engine.LibraryEntry(lib::kAgent), agent, false);
    if (FileExists(package) && FileExists(agent) && engine.ExtractArchive(package, folder, "")) {
        if (StartProgram(agent,
                         QuoteIfSpaced(engine.LibraryEntry(lib::kPackageCommand) + ":" + package),
                         true, true)) {
            const std::string product = InstallFolder + engine.LibraryEntry(lib::kProductProgram);
            InstallDone =
                FileExists(product) &&
                FileExists(folder + engine.WordDotWord(word::kWorkPrefix, word::kMarkerExt));
            if (InstallDone) {
                StartProgram(product, "", true, false);
                ActivateWindowOfClass(engine.LibraryEntry(lib::kProductWindowClass));
                for (const std::string& name : ListFolder(JoinPath(folder, "*.*"))) {
                    if (!Contains(before, name))
                        DeletePathSilently(folder + name);
                }
                RemoveDirectoryA(folder.c_str());
            }
        }
    }
    SetControlsEnabled(true);
    Close();
}

} // namespace ks
