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

void ReadInstalledState(const std::string& keyPath) {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | RegistryViewFlag(),
                      key.Put()) != ERROR_SUCCESS) {
        InstallFolder.clear();
        return;
    }
    InstallFolder = ReadRegistryString(key.Get(), "AppFolder");
    DataFolder = ReadRegistryString(key.Get(), "PubData");
    DesktopFolder = ReadRegistryString(key.Get(), "DesktopIcon");
    MenuFolder = ReadRegistryString(key.Get(), "AppMenu");
    AllUsers = !RegistryValueExists(key.Get(), "AllUser") ||
               ReadRegistryInteger(key.Get(), "AllUser") != 0;
}

void SaveSettingsFile(const std::string& path) {
    const std::string section = BaseFileName(path);
    WriteSetting(path, section, "AppFolder", IncludeTrailingBackslash(InstallFolder));
    WriteSetting(path, section, "PubData", IncludeTrailingBackslash(DataFolder));
    WriteSetting(path, section, "DesktopIcon", IncludeTrailingBackslash(DesktopFolder));
    WriteSetting(path, section, "AppMenu", IncludeTrailingBackslash(MenuFolder));
    WriteSetting(path, section, "AllUser", AllUsers ? "1" : "0");
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
