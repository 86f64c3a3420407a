// The "other program" of the Windows tests. Usage:
//   exit CODE [DELAY_MS]                     exit with CODE after DELAY_MS
//   show FILE [DELAY_MS]                     after DELAY_MS write the show command it was given
// With KSTEST_PARAMS_FILE set in its environment it only writes SplitParam(1), SplitParam(2)
// and ParamsLine of its own command line into that file, whatever the arguments.
//   window CLASS close|ignore LIFETIME_MS ATOM READY COUNT
//       a top-level window of CLASS that closes on message 1097 (wParam 99) or ignores it; it
//       holds the global atom ATOM while it lives, writes READY once the window exists and
//       the number of 1097 messages to COUNT after each one ("-" skips any of the three)
//   atom add|delete NAME                     add or delete a global atom
//   hold FILE MS READY                       open FILE (made when missing) without sharing,
//                                            write READY, keep it open for MS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sys/params.h"

namespace {

constexpr UINT kCloseMessage = WM_USER + 73;
constexpr WPARAM kCloseRequest = 99;
constexpr UINT_PTR kLifetimeTimer = 1;

struct WindowState {
    bool closeOnRequest = false;
    std::string countFile;
    int requests = 0;
};
WindowState state;

bool WriteText(const std::string& path, const std::string& text) {
    if (path.empty() || path == "-")
        return true;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(text.data(), 1, text.size(), file);
    return std::fclose(file) == 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kCloseMessage:
        ++state.requests;
        WriteText(state.countFile, std::to_string(state.requests));
        if (state.closeOnRequest && wParam == kCloseRequest)
            DestroyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam == kLifetimeTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunWindow(const std::vector<std::string>& args) {
    if (args.size() < 7)
        return 2;
    const std::string& className = args[1];
    state.closeOnRequest = args[2] == "close";
    const UINT lifetime = static_cast<UINT>(std::strtoul(args[3].c_str(), nullptr, 10));
    const std::string atomName = args[4] == "-" ? std::string() : args[4];
    state.countFile = args[6];

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassA(&windowClass))
        return 3;
    HWND window = CreateWindowExA(0, className.c_str(), "kstest", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 4;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kLifetimeTimer, lifetime, nullptr);
    const ATOM atom = atomName.empty() ? 0 : GlobalAddAtomA(atomName.c_str());
    WriteText(args[5], "ready");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (atom)
        GlobalDeleteAtom(atom);
    return 0;
}

int ShowState(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return 2;
    if (args.size() > 2)
        Sleep(static_cast<DWORD>(std::strtoul(args[2].c_str(), nullptr, 10)));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    return WriteText(args[1], std::to_string(shown)) ? 0 : 5;
}

int WriteParams(const std::string& path) {
    const ks::ParamPair first = ks::SplitParam(1);
    const ks::ParamPair second = ks::SplitParam(2);
    const std::string text = first.key + "\n" + first.value + "\n" + second.key + "\n" +
                             second.value + "\n" + ks::ParamsLine() + "\n";
    return WriteText(path, text) ? 0 : 5;
}

int Atom(const std::vector<std::string>& args) {
    if (args.size() < 3)
        return 2;
    if (args[1] == "add")
        return GlobalAddAtomA(args[2].c_str()) ? 0 : 6;
    const ATOM atom = GlobalFindAtomA(args[2].c_str());
    return atom && GlobalDeleteAtom(atom) == 0 ? 0 : 6;
}

int Hold(const std::vector<std::string>& args) {
    if (args.size() < 4)
        return 2;
    HANDLE file = CreateFileA(args[1].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 7;
    WriteText(args[3], "ready");
    Sleep(static_cast<DWORD>(std::strtoul(args[2].c_str(), nullptr, 10)));
    CloseHandle(file);
    return 0;
}

} // namespace

int main() {
    if (const char* paramsFile = std::getenv("KSTEST_PARAMS_FILE"))
        return WriteParams(paramsFile);
    const std::vector<std::string> args = ks::ProgramArguments();
    if (args.empty())
        return 2;
    const std::string& command = args[0];
    if (command == "exit") {
        if (args.size() > 2)
            Sleep(static_cast<DWORD>(std::strtoul(args[2].c_str(), nullptr, 10)));
        return args.size() > 1 ? std::atoi(args[1].c_str()) : 0;
    }
    if (command == "show")
        return ShowState(args);
    if (command == "window")
        return RunWindow(args);
    if (command == "atom")
        return Atom(args);
    if (command == "hold")
        return Hold(args);
    return 2;
}
