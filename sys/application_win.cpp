#include "sys/application.h"

#include <windows.h>

namespace ks {
namespace {

bool quitPending = false;

} // namespace

void ShowErrorBox(const std::string& message) {
    MessageBoxA(nullptr, ErrorBoxText(message).c_str(), ApplicationTitle().c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void RequestTermination() {
    quitPending = true;
    PostQuitMessage(0);
}

bool TerminationRequested() { return quitPending; }

} // namespace ks
