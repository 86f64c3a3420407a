// Native system information (Windows build).
#pragma once
#include <windows.h>

namespace ks {

// Fills `info` with GetNativeSystemInfo when kernel32 has it (true), else GetSystemInfo (false).
bool ReadNativeSystemInfo(SYSTEM_INFO& info);

} // namespace ks
