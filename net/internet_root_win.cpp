// The shared root handle and the platform's error texts.
#include "net/internet_handle_win.h"

#include <memory>

#include "net/net_utils.h"

namespace ks {

UniqueInternetHandle InternetRoot;

namespace {

std::uint32_t transferTimeoutMs = kDefaultTransferTimeoutMs;

} // namespace

void ApplyTransferTimeouts(HINTERNET handle) {
    DWORD value = transferTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(handle, option, &value, sizeof(value));
}

bool OpenInternetRoot() {
    if (!InternetRoot) {
        InternetRoot.Reset(
            InternetOpenA("Mozilla/5.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (InternetRoot)
            ApplyTransferTimeouts(InternetRoot.Get());
    }
    return InternetRoot.Valid();
}

void SetTransferTimeout(std::uint32_t milliseconds) {
    transferTimeoutMs = milliseconds;
    if (InternetRoot)
        ApplyTransferTimeouts(InternetRoot.Get());
}

void CloseInternetRoot() {
    InternetRoot.Reset();
}

bool InternetRootIsOpen() {
    return InternetRoot.Valid();
}

std::string InternetErrorText(std::uint32_t number) {
    struct LocalFreeDeleter {
        void operator()(char* text) const { LocalFree(text); }
    };
    char* raw = nullptr;
    // Internet error numbers find their texts in wininet.dll; other numbers fall back to the
    // system's table.
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                        FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                        FORMAT_MESSAGE_ARGUMENT_ARRAY;
    const DWORD length = FormatMessageA(flags, GetModuleHandleA("wininet.dll"), number, 0,
                                        reinterpret_cast<char*>(&raw), 4, nullptr);
    const std::unique_ptr<char, LocalFreeDeleter> owned(raw);
    if (length == 0 || !raw)
        return {};
    return TrimErrorText(std::string(raw, length));
}

void RecordOpenFailure() {
    const DWORD number = GetLastError();
    LastInternetError = FormatInternetError(number, InternetErrorText(number));
}

} // namespace ks
