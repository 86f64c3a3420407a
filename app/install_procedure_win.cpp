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
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/process_win.h"

namespace ks {
namespace {

constexpr char kNoConnection[] = "No internet connection: can not download install package!";
constexpr int kMsgStartProduct = 0;
constexpr int kMsgDownloading = 24;
constexpr int kMsgUnpacking = 27;
constexpr int kMsgDamagedPackage = 30;
constexpr int kLibWindowClass = 3;
constexpr int kLibProductProgram = 8;
constexpr int kLibWordPackage = 10;
constexpr int kLibPathFormat = 13;
constexpr int kLibCacheFolder = 19;
constexpr int kLibAgent = 20;
constexpr int kLibWordInstall = 22;
constexpr int kWordMarkerExt = 2;
constexpr int kWordZip = 3;
constexpr int kWordWorkPrefix = 7;
constexpr int kWordInnerArchive = 8;
constexpr int kWordSettingsExt = 15;
constexpr int kWordProduct = 32;
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

    const std::string work = CreateUniqueFolder(TempFolder(), engine.Word(kWordWorkPrefix));
    const std::string package = work + PackageFileName(engine.ProductPackage.FileName);
    if (!ObtainPackage(package)) {
        engine.AskText(kNoConnection, false);
        return;
    }
    ShowTask(engine.Message(kMsgUnpacking));
    // A package that does not unpack completely is never handed to an agent.
    if (!engine.ExtractArchive(package, work, "")) {
        engine.AskMessage(kMsgDamagedPackage, false);
        return;
    }

    const std::string agentName = engine.LibraryEntry(kLibAgent);
    const std::string inner = work + engine.WordDotWord(kWordInnerArchive, kWordZip);
    std::string agent;
    if (FileExists(inner)) {
        engine.ExtractArchive(inner, work, agentName);
        agent = work + agentName;
    } else {
        agent = JoinPath(InstallFolder, agentName);
    }
    if (!FileExists(agent))
        return;

    SaveSettingsFile(work + engine.WordDotWord(kWordProduct, kWordSettingsExt));
    const std::string params = QuoteIfSpaced(engine.LibraryEntry(kLibWordInstall) + ":" + package) +
                               " " + QuoteIfSpaced(ProgramFilePath());
    if (!StartProgram(agent, params, true, true))
        return;

    const std::string product = JoinPath(InstallFolder, engine.LibraryEntry(kLibProductProgram));
    InstallDone = FileExists(product) &&
                  FileExists(work + engine.WordDotWord(kWordWorkPrefix, kWordMarkerExt));
    if (!InstallDone)
        return;
    engine.RemoveUserKey();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (SilentRun || engine.AskMessage(kMsgStartProduct, true)) {
        StartProgram(product, "", true, false);
        Sleep(100);
        ActivateWindowOfClass(engine.LibraryEntry(kLibWindowClass));
        SetVisible(false);
    }
    DeleteWorkFolder(work);
    NotifyShellAssociations();
    Close();
}

bool TFrmInstall::ObtainPackage(const std::string& target) {
    TDMBase& engine = *engine_;
    const std::string name = engine.WordDotWord(kWordProduct, kWordZip);
    const std::string localFolder =
        FolderPart(ProgramFilePath()) +
        engine.LibraryEntry(kLibCacheFolder).substr(0, kLocalFolderLength);
    const std::string local = JoinPath(localFolder, name);
    if (FileExists(local))
        return CopyFileTo(local, target, false);
    const std::string cache = PackageCacheFolder(DataFolder, engine);
    if (!cache.empty()) {
        const std::string cached = cache + FileNamePart(target);
        if (FileExists(cached))
            return CopyFileTo(cached, target, false);
    }
    const std::string url = engine.ServerUrl(FormatStrings(
        engine.LibraryEntry(kLibPathFormat), {engine.Word(kWordProduct), engine.Word(kWordZip)}));
    ShowTask(engine.Message(kMsgDownloading));
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
    const std::string agent = folder + engine.LibraryEntry(kLibAgent);
    // The folder is the user's: note what is there, so that only what this run adds goes.
    const std::vector<std::string> before = ListFolder(JoinPath(folder, "*.*"));
    CopyFileTo(InstallFolder + engine.LibraryEntry(kLibAgent), agent, false);
    if (FileExists(package) && FileExists(agent) && engine.ExtractArchive(package, folder, "")) {
        if (StartProgram(agent, QuoteIfSpaced(engine.LibraryEntry(kLibWordPackage) + ":" + package),
                         true, true)) {
            const std::string product = InstallFolder + engine.LibraryEntry(kLibProductProgram);
            InstallDone = FileExists(product) &&
                          FileExists(folder + engine.WordDotWord(kWordWorkPrefix, kWordMarkerExt));
            if (InstallDone) {
                StartProgram(product, "", true, false);
                ActivateWindowOfClass(engine.LibraryEntry(kLibWindowClass));
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
