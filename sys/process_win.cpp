#include "sys/process_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "sys/files.h"
#include "sys/main_window_win.h"
#include "sys/os_error_win.h"
#include "sys/paths.h"
#include "sys/shell_result.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

constexpr DWORD kStartSettleMs = 100;
// The longest name the global atom table takes.
constexpr std::size_t kMaxAtomName = 255;

// The folder of a program file: without trailing backslash unless it is a root.
std::string ProgramFolder(const std::string& fileName) {
    std::string folder = FolderPart(fileName);
    if (folder.size() > 1 && folder.back() == '\\') {
        const char before = folder[folder.size() - 2];
        if (before != '\\' && before != ':')
            folder.pop_back();
    }
    return folder;
}

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

bool IsForeground(HWND window) {
    return GetForegroundWindow() == window;
}

bool NewerThanWindows4() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return true;
#pragma GCC diagnostic pop
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return version.dwMajorVersion > 4;
    return version.dwMajorVersion > 4 ||
           (version.dwMajorVersion == 4 && version.dwMinorVersion > 0);
}

void RaiseToTop(HWND window) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

} // namespace

bool StartProgram(const std::string& fileName, const std::string& params, bool show, bool wait,
                  unsigned long* exitCode) {
    const std::string folder = ProgramFolder(fileName);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // Without FLAG_NO_UI the shell shows its own error dialog as well as ours.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = MainWindowHandle();
    info.lpFile = fileName.c_str();
    info.lpParameters = OrNull(params);
    info.lpDirectory = OrNull(folder);
    info.nShow = show ? SW_SHOW : SW_HIDE;

    const bool started = ShellExecuteExA(&info) != FALSE;
    const DWORD error = started ? 0 : GetLastError();
    UniqueKernelHandle process(info.hProcess);
    Sleep(kStartSettleMs);
    if (started && wait && process)
        WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    if (started && wait && process && exitCode && GetExitCodeProcess(process.Get(), &code))
        *exitCode = code;
    if (!started && error != 0)
        RaiseOsError(error);
    return started;
}

INT_PTR OpenDocument(const std::string& fileName, const std::string& params) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = MainWindowHandle();
    info.lpVerb = "open";
    info.lpFile = fileName.c_str();
    info.lpParameters = OrNull(params);
    info.nShow = SW_SHOWDEFAULT;
    ShellExecuteExA(&info);
    const INT_PTR result = reinterpret_cast<INT_PTR>(info.hInstApp);
    CheckShellExecuteResult(result);
    return result;
}

bool BringWindowToFront(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    if (IsForeground(window))
        return true;
    if (!NewerThanWindows4()) {
        RaiseToTop(window);
        return IsForeground(window);
    }
    // Windows refuses focus changes from a background process unless its input is attached
    // to the foreground thread, or the foreground lock time-out is lifted for a moment.
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD targetThread = GetWindowThreadProcessId(window, nullptr);
    bool inFront = false;
    if (AttachThreadInput(targetThread, foregroundThread, TRUE)) {
        RaiseToTop(window);
        AttachThreadInput(targetThread, foregroundThread, FALSE);
        inFront = IsForeground(window);
    }
    if (!inFront) {
        DWORD savedTimeout = 0;
        SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        RaiseToTop(window);
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(savedTimeout)),
                              SPIF_SENDCHANGE);
    }
    return IsForeground(window);
}

bool ActivateWindowOfClass(const std::string& className) {
    HWND window = FindWindowA(className.c_str(), nullptr);
    return window && BringWindowToFront(window);
}

bool DeletePathSilently(const std::string& path) {
    if (!FileExists(path) && !FolderExists(path))
        return true;
    // The shell takes a list of paths ended by an empty one.
    std::string from = path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = MainWindowHandle();
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.pTo = "\0";
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&operation) == 0;
}

std::string LoadedAtomName(const std::string& name) {
    return "App" + name + "IsLoaded";
}

bool IsProgramLoaded(const std::string& name, bool remove) {
    const std::string atomName = LoadedAtomName(name);
    if (atomName.size() > kMaxAtomName)
        return false;
    const ATOM atom = GlobalFindAtomA(atomName.c_str());
    if (atom && remove)
        GlobalDeleteAtom(atom);
    return atom != 0;
}

bool IsUserAdministrator() {
    UniqueKernelHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Put())) {
        if (GetLastError() != ERROR_NO_TOKEN ||
            !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
            return false;
    }
    // Ask for the size first: a user in many groups must not read as a non-administrator.
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size);
    if (size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(), size, &size))
        return false;
    token.Reset();

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid administrators;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, administrators.Put()))
        return false;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (EqualSid(groups->Groups[i].Sid, administrators.Get()))
            return true;
    return false;
}

void NotifyShellAssociations() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::string ProgramFilePath() {
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

} // namespace ks
