#include "sys/files.h"

#include <windows.h>

#include <ntsecapi.h>

#include "sys/locked_files_win.h"
#include "sys/os_error_win.h"
#include "sys/paths.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

// Attempts before CreateUniqueFolder gives up on a base folder that refuses every name.
constexpr int kUniqueFolderAttempts = 64;

bool IsDriveOnly(const std::string& path) {
    return path.size() == 2 && path[1] == ':';
}

// From the system's entropy source; should that fail, the clock and the process id still
// make two setups started together draw different names.
std::uint32_t RandomFolderNumber() {
    std::uint32_t value = 0;
    if (!RtlGenRandom(&value, sizeof value)) {
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        value = static_cast<std::uint32_t>(counter.LowPart) ^ (GetCurrentProcessId() << 16) ^
                GetTickCount();
    }
    return value % 2147483647u;
}

// Eight upper-case hex digits, as the work folders' names have always had.
std::string HexNumber(std::uint32_t value) {
    std::string text(8, '0');
    for (int digit = 7; digit >= 0; --digit, value >>= 4)
        text[static_cast<std::size_t>(digit)] = "0123456789ABCDEF"[value & 15u];
    return text;
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceFolders(const std::string& path) {
    const std::string folder = ExcludeTrailingBackslash(path);
    if (folder.empty() || IsDriveOnly(folder))
        return FolderExists(IncludeTrailingBackslash(folder));
    if (FolderExists(folder))
        return true;
    const std::string parent = ExcludeTrailingBackslash(FolderPart(folder));
    if (!parent.empty() && parent != folder && !ForceFolders(parent))
        return false;
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists) {
    return RetryWhileLocked(
        target, [&] { return CopyFileA(source.c_str(), target.c_str(), failIfExists) != 0; });
}

std::vector<std::string> ListFolder(const std::string& mask) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    UniqueFindHandle find(FindFirstFileA(mask.c_str(), &entry));
    if (!find)
        return names;
    do {
        if (entry.cFileName[0] != '.')
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

bool IsFolderEmpty(const std::string& folder) {
    return ListFolder(IncludeTrailingBackslash(folder) + "*.*").empty();
}

std::string CreateUniqueFolder(const std::string& base, const std::string& prefix) {
    return CreateUniqueFolder(base, prefix, RandomFolderNumber);
}

std::string CreateUniqueFolder(const std::string& base, const std::string& prefix,
                               const std::function<std::uint32_t()>& nextNumber) {
    const std::string parent = IncludeTrailingBackslash(base);
    ForceFolders(parent);
    for (int attempt = 0; attempt < kUniqueFolderAttempts; ++attempt) {
        const std::string candidate = parent + prefix + HexNumber(nextNumber());
        // CreateDirectory is the atomic test: it fails on any existing file or folder.
        if (CreateDirectoryA(candidate.c_str(), nullptr))
            return candidate + '\\';
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            return candidate + '\\';
    }
    RaiseOsError(ERROR_ALREADY_EXISTS);
}

} // namespace ks
