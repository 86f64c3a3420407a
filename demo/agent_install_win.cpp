#include "demo/agent_install_win.h"

#include <shlobj.h>
#include <windows.h>

#include "demo/agent_record_win.h"
#include "demo/agent_shortcut_win.h"
#include "demo/demo_names.h"
#include "demo/package_directory.h"
#include "sys/unique_handle_win.h"

namespace ks::demo {
namespace {

#ifdef KS_AGENT_NO_MARKER
constexpr bool kLeaveMarker = false; // test variant: places the product, reports nothing
#else
constexpr bool kLeaveMarker = true;
#endif

std::string OwnPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool SameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(WithBackslash(a).c_str(), WithBackslash(b).c_str()) == 0;
}

bool MakeFolders(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    const int result = SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

bool HasFolder(const std::string& folder) {
    return !folder.empty() && folder != "\\";
}

std::string BaseName(const std::string& member) {
    const std::size_t slash = member.find_last_of("\\/");
    return slash == std::string::npos ? member : member.substr(slash + 1);
}

bool WriteMarker(const std::string& path) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    static constexpr char kText[] = "ok\r\n";
    DWORD written = 0;
    return WriteFile(file.Get(), kText, sizeof(kText) - 1, &written, nullptr) &&
           written == sizeof(kText) - 1;
}

void DeleteOrSchedule(const std::string& path) {
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

} // namespace

int RunInstall(const AgentCommand& command) {
    const std::string packageFolder = FolderOf(command.package);
    InstallRecord record;
    // A given package comes without settings: it goes where the product already is.
    const bool settings = ReadSettingsFile(packageFolder + kSettingsFile, record);
    if (!settings && (command.run != AgentRun::kInstallGiven || !ReadRecord(record)))
        return kAgentNoSettings;
    record.appFolder = WithBackslash(record.appFolder);
    if (!MakeFolders(record.appFolder))
        return kAgentCopyFailed;
    if (HasFolder(record.pubData))
        MakeFolders(record.pubData);

    const std::vector<std::string> members = ReadZipMemberNames(command.package);
    if (members.empty())
        return kAgentCopyFailed;
    record.files.clear();
    for (const std::string& member : members) {
        const std::string name = BaseName(member);
        if (!IsProductMember(name))
            continue;
        if (!CopyFileA((packageFolder + name).c_str(), (record.appFolder + name).c_str(), FALSE))
            return kAgentCopyFailed;
        record.files.push_back(name);
    }
    // Removal runs the agent from the install folder, so it stays there.
    const std::string self = OwnPath();
    if (!SameFolder(FolderOf(self), record.appFolder) &&
        !CopyFileA(self.c_str(), (record.appFolder + kAgentExe).c_str(), FALSE))
        return kAgentCopyFailed;
    record.files.push_back(kAgentExe);

    const std::string product = record.appFolder + kProductExe;
    if (HasFolder(record.desktopIcon))
        CreateShortcut(WithBackslash(record.desktopIcon) + kShortcut, product, record.appFolder,
                       kProduct);
    if (HasFolder(record.appMenu) && MakeFolders(record.appMenu))
        CreateShortcut(WithBackslash(record.appMenu) + kShortcut, product, record.appFolder,
                       kProduct);
    if (!WriteRecord(record))
        return kAgentRecordFailed;
    if (kLeaveMarker && !WriteMarker(packageFolder + kMarkerFile))
        return kAgentMarkerFailed;
    return kAgentOk;
}

int RunRemove() {
    InstallRecord record;
    if (!ReadRecord(record))
        return kAgentNotInstalled;
    const std::string folder = WithBackslash(record.appFolder);
    for (const std::string& name : record.files)
        DeleteOrSchedule(folder + name);
    if (HasFolder(record.desktopIcon))
        DeleteFileA((WithBackslash(record.desktopIcon) + kShortcut).c_str());
    if (HasFolder(record.appMenu)) {
        DeleteFileA((WithBackslash(record.appMenu) + kShortcut).c_str());
        RemoveDirectoryA(record.appMenu.c_str());
    }
    RemoveDirectoryA(folder.c_str());
    return DeleteRecord() ? kAgentOk : kAgentRecordFailed;
}

} // namespace ks::demo
