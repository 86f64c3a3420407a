#include "sys/application.h"
#include "sys/main_window_win.h"

#include <windows.h>

namespace ks {
namespace {

bool quitPending = false;
HWND mainWindow = nullptr;

} // namespace

void ShowErrorBox(const std::string& message) {
    MessageBoxA(nullptr, ErrorBoxText(message).c_str(), ApplicationTitle().c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void RequestTermination() {
    quitPending = true;
    PostQuitMessage(0);
}

bool TerminationRequested() {
    return quitPending;
}

void SetMainWindowHandle(HWND window) {
    mainWindow = window;
}

HWND MainWindowHandle() {
    return mainWindow;
}

} // namespace ks
