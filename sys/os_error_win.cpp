#include "sys/os_error_win.h"

#include "sys/errors.h"

namespace ks {

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string OsErrorMessage(DWORD code) {
    return "System Error.  Code: " + std::to_string(code) + ".\r\n" + SystemErrorText(code);
}

void RaiseOsError(DWORD code) {
    throw OsError(code, OsErrorMessage(code));
}

} // namespace ks
