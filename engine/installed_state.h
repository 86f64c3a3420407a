// The install state and its records: the product's machine-wide registry record (read) and the
// settings file handed to the install agent (written).
#pragma once
#include <string>

namespace ks {

// The folders an installation uses and the all-users flag.
struct InstallFolders {
    std::string installFolder;
    std::string dataFolder;
    std::string desktopFolder;
    std::string menuFolder;
    bool allUsers = false;
};

// The product's record below HKEY_LOCAL_MACHINE.
constexpr const char* kInstalledStateKey = "Software\\Keltra";
// The product's folder below the all-users documents folder.
constexpr const char* kSharedFolderName = "Keltra";

// Loads the folders from the record, read through RegistryViewFlag. Without the record the
// install folder becomes "" and the rest is kept. Raises "Invalid data type for '%s'" or
// "Failed to get data for '%s'" for a value of the wrong type.
void ReadInstalledState(InstallFolders& folders, const std::string& keyPath = kInstalledStateKey);

// Writes the folders into the private-profile file, section BaseFileName(path); folders end
// in a backslash, AllUser is 1 or 0. Raises "Unable to write to %s".
void SaveSettingsFile(const std::string& path, const InstallFolders& folders);

// The all-users documents folder's product folder, with a trailing backslash; created when the
// program starts.
const std::string& SharedDocumentsFolder();

// Deletes HKEY_CURRENT_USER\<parent>\<name> with every key below it; the parent stays. Nothing
// is reported; an empty parent or name deletes nothing.
void RemoveUserSubkey(const std::string& parent, const std::string& name);

// The close request a running product receives: message WM_USER + 73 with 99 and 0.
constexpr unsigned kCloseRequestMessage = 0x0400 + 73;
constexpr int kCloseRequestRounds = 51;
constexpr unsigned kCloseRequestPauseMs = 100;

// When the atom App<name>IsLoaded exists, asks the top-level window of `windowClass` to close
// (up to 51 rounds of the close request and a 100 ms pause) and returns whether no window of
// that class remains. Without the atom, true at once.
bool CloseRunningProgram(const std::string& name, const std::string& windowClass);

} // namespace ks
