// Starting the test helper program (kstest_helper.exe, built next to the test programs).
#pragma once
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "sys/unique_handle_win.h"

namespace kstest {

inline std::string OwnFolder() {
    std::string path(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of('\\') + 1);
}

inline std::string HelperPath() {
    return OwnFolder() + "kstest_helper.exe";
}

// A helper process started directly (not through the shell), ended when the object goes.
class HelperProcess {
public:
    explicit HelperProcess(const std::string& arguments) {
        std::string commandLine = "\"" + HelperPath() + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info)) {
            process_.Reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    ~HelperProcess() {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.Get(), 1);
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Started() const { return process_.Valid(); }
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD Wait(DWORD milliseconds) {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.Get(), milliseconds) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.Get(), &code);
        return code;
    }

private:
    ks::UniqueKernelHandle process_;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits until the file exists (polling); false after the time-out.
inline bool WaitForFile(const std::string& path, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}

} // namespace kstest
