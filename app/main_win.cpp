// Program entry: the application title, the main window, the message loop.
#include <windows.h>

#include "app/frm_install.h"
#include "skin/control.h"
#include "sys/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ks::SetApplicationTitle("keltrasetup");
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
