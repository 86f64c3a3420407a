// The engine's requests to the running product: close it, and forget its per-user settings.
#include <windows.h>

#include "engine/form_dm_base.h"
#include "engine/installed_state.h"
#include "resources/list_names.h"
#include "sys/process_win.h"

namespace ks {
namespace {

constexpr WPARAM kCloseRequestCode = 99;

} // namespace

bool CloseRunningProgram(const std::string& name, const std::string& windowClass) {
    if (!IsProgramLoaded(name, false))
        return true;
    bool windowFound = true;
    for (int round = 0; round < kCloseRequestRounds && windowFound; ++round) {
        HWND window = FindWindowA(windowClass.c_str(), nullptr);
        windowFound = window != nullptr;
        if (windowFound)
            SendMessageA(window, kCloseRequestMessage, kCloseRequestCode, 0);
        Sleep(kCloseRequestPauseMs);
    }
    return !windowFound;
}

bool TDMBase::CloseRunningProduct() {
    return CloseRunningProgram(Word(word::kProduct), LibraryEntry(lib::kProductWindowClass));
}

void TDMBase::RemoveUserKey() {
    RemoveUserSubkey(LibraryEntry(lib::kUserSoftwareKey), Word(word::kProduct));
}

} // namespace ks
