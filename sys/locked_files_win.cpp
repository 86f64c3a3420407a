#include "sys/locked_files_win.h"

#include <restartmanager.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace ks {
namespace {

constexpr DWORD kFirstPauseMs = 20;
constexpr DWORD kLongestPauseMs = 250;

DWORD WaitFromEnvironment() {
    const char* text = std::getenv("KS_LOCK_WAIT_MS");
    if (!text || !*text)
        return kDefaultLockWaitMs;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    return *end == '\0' ? static_cast<DWORD>(value) : kDefaultLockWaitMs;
}

bool IsFinalDenial(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Null-terminated; empty when the path cannot be converted. A vector, not std::wstring: the
// wide-string library code would cost the program tens of kilobytes.
std::vector<wchar_t> Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

// Ends a Restart Manager session whatever way the query leaves.
class RestartSession {
public:
    RestartSession() {
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        started_ = RmStartSession(&handle_, 0, key) == ERROR_SUCCESS;
    }
    ~RestartSession() {
        if (started_)
            RmEndSession(handle_);
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;

    bool Started() const { return started_; }
    DWORD Handle() const { return handle_; }

private:
    DWORD handle_ = 0;
    bool started_ = false;
};

} // namespace

bool IsLockError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

DWORD LockWaitMs() {
    static const DWORD wait = WaitFromEnvironment();
    return wait;
}

bool RetryWhileLocked(const std::string& path, const std::function<bool()>& attempt) {
    return RetryWhileLocked(path, attempt, LockWaitMs());
}

bool RetryWhileLocked(const std::string& path, const std::function<bool()>& attempt, DWORD waitMs) {
    const ULONGLONG start = GetTickCount64();
    DWORD pause = kFirstPauseMs;
    for (;;) {
        if (attempt())
            return true;
        const DWORD error = GetLastError();
        if (!IsLockError(error) || (error == ERROR_ACCESS_DENIED && IsFinalDenial(path)))
            return false;
        const ULONGLONG waited = GetTickCount64() - start;
        if (waited >= waitMs) {
            SetLastError(error);
            return false;
        }
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(pause, waitMs - waited)));
        pause = std::min(pause * 2, kLongestPauseMs);
    }
}

std::string ProgramsHolding(const std::string& path) {
    RestartSession session;
    if (!session.Started())
        return {};
    const std::vector<wchar_t> wide = Wide(path);
    LPCWSTR files[] = {wide.data()};
    if (wide.empty() ||
        RmRegisterResources(session.Handle(), 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS)
        return {};
    std::vector<RM_PROCESS_INFO> found;
    UINT needed = 0;
    DWORD result = ERROR_MORE_DATA;
    // The list may grow between the two calls; a few rounds settle it.
    for (int round = 0; round < 3 && result == ERROR_MORE_DATA; ++round) {
        found.resize(needed);
        UINT count = needed;
        DWORD reasons = 0;
        result = RmGetList(session.Handle(), &needed, &count,
                           found.empty() ? nullptr : found.data(), &reasons);
        if (result == ERROR_SUCCESS)
            found.resize(count);
    }
    if (result != ERROR_SUCCESS)
        return {};
    std::string names;
    for (const RM_PROCESS_INFO& process : found) {
        const std::string name = Narrow(process.strAppName);
        if (name.empty())
            continue;
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}

std::string HolderNote(const std::string& path, DWORD error) {
    if (!IsLockError(error))
        return {};
    const std::string holders = ProgramsHolding(path);
    return holders.empty() ? std::string() : " (in use by " + holders + ")";
}

} // namespace ks
