// What the demo agent knows about an installation: the settings the setup hands over and the
// machine-wide record it leaves for the setup (and for its own removal run).
#pragma once
#include <string>
#include <vector>

namespace ks::demo {

struct InstallRecord {
    std::string appFolder; // each folder with a trailing backslash
    std::string pubData;
    std::string desktopIcon;
    std::string appMenu;
    bool allUser = true;
    std::vector<std::string> files; // installed names inside appFolder
};

// Reads the settings file the setup wrote; false when it has no install folder.
bool ReadSettingsFile(const std::string& path, InstallRecord& record);

// HKEY_LOCAL_MACHINE record, in the view the setup reads it through.
bool WriteRecord(const InstallRecord& record);
bool ReadRecord(InstallRecord& record);
bool DeleteRecord();

} // namespace ks::demo
