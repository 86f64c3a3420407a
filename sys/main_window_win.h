// The application's main window, as the system services use it for owner windows.
#pragma once
#include <windows.h>

namespace ks {

// Set by the main window when it is created and cleared when it is destroyed.
void SetMainWindowHandle(HWND window);
HWND MainWindowHandle();

} // namespace ks
