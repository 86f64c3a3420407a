// Standard folders and the program's temporary folder (Windows build).
#pragma once
#include <cstdint>
#include <string>

namespace ks {

// The order of the values is fixed.
enum FolderKind : std::uint8_t {
    fkProgramFiles,
    fkDesktop,
    fkLocalAppData,
    fkPrograms,
    fkStartup,
    fkCommonDesktop,
    fkCommonDocuments,
    fkCommonPrograms,
    fkCommonStartup,
    fkPersonal,
    fkWindows,
    fkSystem,
    fkTemp,
    fkCommonAppData,
};
constexpr int kFolderKindCount = 14;

// The folder without trailing backslash (a drive root may keep one). Shell folders the shell
// does not know give ""; a failing Windows, system or temporary folder call gives "C:".
// Values outside the enumeration give "".
std::string GetSystemFolder(FolderKind kind);
// The file-system path of a shell folder (CSIDL value), "" when it has none.
std::string GetShellFolder(int csidl);

// The system temporary folder with a trailing backslash, determined at program start.
const std::string& TempFolder();

} // namespace ks
