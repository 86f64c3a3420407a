// The installed product's registry record, the settings file and the shared documents folder.
#include "engine/installed_state.h"

#include <windows.h>

#include "sys/errors.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/registry_win.h"
#include "sys/unique_handle_win.h"
#include "sys/version.h"

namespace ks {
namespace {

void WriteSetting(const std::string& path, const std::string& section, const char* key,
                  const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key, value.c_str(), path.c_str()))
        throw Error("Unable to write to " + path);
}

// The product folder below the all-users documents exists from the program's start on.
[[maybe_unused]] const bool sharedFolderCreated = ForceFolders(SharedDocumentsFolder());

} // namespace

void ReadInstalledState(InstallFolders& folders, const std::string& keyPath) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | RegistryViewFlag(),
                      key.Put()) != ERROR_SUCCESS) {
        folders.installFolder.clear();
        return;
    }
    folders.installFolder = ReadRegistryString(key.Get(), "AppFolder");
    folders.dataFolder = ReadRegistryString(key.Get(), "PubData");
    folders.desktopFolder = ReadRegistryString(key.Get(), "DesktopIcon");
    folders.menuFolder = ReadRegistryString(key.Get(), "AppMenu");
    folders.allUsers = !RegistryValueExists(key.Get(), "AllUser") ||
                       ReadRegistryInteger(key.Get(), "AllUser") != 0;
}

void SaveSettingsFile(const std::string& path, const InstallFolders& folders) {
    const std::string section = BaseFileName(path);
    WriteSetting(path, section, "AppFolder", IncludeTrailingBackslash(folders.installFolder));
    WriteSetting(path, section, "PubData", IncludeTrailingBackslash(folders.dataFolder));
    WriteSetting(path, section, "DesktopIcon", IncludeTrailingBackslash(folders.desktopFolder));
    WriteSetting(path, section, "AppMenu", IncludeTrailingBackslash(folders.menuFolder));
    WriteSetting(path, section, "AllUser", folders.allUsers ? "1" : "0");
}

const std::string& SharedDocumentsFolder() {
    static const std::string folder =
        JoinFolder(GetSystemFolder(fkCommonDocuments), kSharedFolderName);
    return folder;
}

void RemoveUserSubkey(const std::string& parent, const std::string& name) {
    if (parent.empty() || name.empty())
        return;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, KEY_READ | KEY_WRITE | DELETE,
                      key.Put()) == ERROR_SUCCESS)
        DeleteRegistryTree(key.Get(), name);
}

} // namespace ks
