// Operating-system error texts and the error the system layer raises for them.
#pragma once
#include <windows.h>

#include <string>

namespace ks {

// The system's text for an error code, without trailing line breaks; "" when it has none.
std::string SystemErrorText(DWORD code);
// "System Error.  Code: <code>." followed by a line break and the system text.
std::string OsErrorMessage(DWORD code);
// Raises OsError with OsErrorMessage(code).
[[noreturn]] void RaiseOsError(DWORD code);

} // namespace ks
