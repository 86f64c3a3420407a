// Internet handles of the transfer module and the shared root handle.
#pragma once
#include <windows.h>

#include <wininet.h>

#include "sys/unique_handle.h"

namespace ks {

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { InternetCloseHandle(handle); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

// The root every connection and URL request hangs from; none until first opened.
extern UniqueInternetHandle InternetRoot;

// Sets the transfer time-outs on a handle; a request takes them only before it is sent.
void ApplyTransferTimeouts(HINTERNET handle);

// Sets LastInternetError from the calling thread's last error, right after a failed open.
void RecordOpenFailure();

} // namespace ks
