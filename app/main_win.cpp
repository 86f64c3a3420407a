// Program entry: the application title, the main window, the message loop.
#include <windows.h>

#include <objbase.h>

#include "app/frm_install.h"
#include "skin/control.h"
#include "sys/application.h"

namespace {

// Screen readers in other processes reach the windows' accessible objects through COM; the
// apartment outlives the windows.
struct ComApartment {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ks::SetApplicationTitle("keltrasetup");
    const ComApartment com;
    ks::TFrmInstall form;
    if (!form.Create(instance))
        return 1;
    if (!ks::TerminationRequested())
        ShowWindow(form.Handle(), SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (form.Handle() && ks::IsSkinDialogMessage(form.Handle(), message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
