// The DPI windows are shown at. The newer calls are looked up at run time: the program must
// still start on Windows versions without them.
#pragma once
#include <windows.h>

namespace ks {

// The system DPI: GetDpiForSystem where it exists, else the screen's LOGPIXELSX.
int SystemDpi();
// The DPI of the window's monitor under per-monitor awareness (GetDpiForWindow), else the
// system DPI.
int WindowDpi(HWND window);

} // namespace ks
