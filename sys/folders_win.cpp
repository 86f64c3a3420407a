#include "sys/folders.h"

#include <shlobj.h>
#include <windows.h>

#include "sys/version.h"

namespace ks {
namespace {

// Calls a "fill this buffer, return the length or the size needed" function until the text
// fits; "" when it fails.
template <typename Fill> std::string GrowingText(Fill fill) {
    std::string text(MAX_PATH + 1, '\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0)
            return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length + 1);
    }
}

constexpr int kShellFolderIds[kFolderKindCount] = {
    CSIDL_PROGRAM_FILES,
    CSIDL_DESKTOP,
    CSIDL_LOCAL_APPDATA,
    CSIDL_PROGRAMS,
    CSIDL_STARTUP,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTUP,
    CSIDL_PERSONAL,
    -1,
    -1,
    -1,
    CSIDL_COMMON_APPDATA,
};

// Module start: the registry view first, then the temporary folder.
[[maybe_unused]] const bool startedUp = (RegistryViewFlag(), !TempFolder().empty());

} // namespace

std::string GetShellFolder(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &items) != S_OK || !items)
        return {};
    // The shell's contract for this call is a MAX_PATH buffer; it never writes beyond it.
    char path[MAX_PATH + 1] = {};
    const BOOL ok = SHGetPathFromIDListA(items, path);
    CoTaskMemFree(items);
    if (!ok)
        return {};
    // Some shells report a folder with a trailing backslash; only a drive root keeps one.
    std::string folder = path;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

std::string GetSystemFolder(FolderKind kind) {
    switch (kind) {
    case fkWindows: {
        const std::string path = GrowingText(
            [](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
        return path.empty() ? "C:" : path;
    }
    case fkSystem: {
        const std::string path =
            GrowingText([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
        return path.empty() ? "C:" : path;
    }
    case fkTemp: {
        std::string path =
            GrowingText([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
        if (path.empty())
            return "C:";
        path.pop_back();
        return path;
    }
    default:
        if (static_cast<int>(kind) >= kFolderKindCount)
            return {};
        return GetShellFolder(kShellFolderIds[kind]);
    }
}

const std::string& TempFolder() {
    static const std::string folder = GetSystemFolder(fkTemp) + '\\';
    return folder;
}

} // namespace ks
