// Opening a URL for a download: the request with its transfer time-outs, checked for a
// success status.
#pragma once
#include <string>

#include "net/internet_handle_win.h"

namespace ks {

struct OpenedUrl {
    // None when the platform opened the URL in one step (a scheme other than HTTP and HTTPS).
    UniqueInternetHandle connection;
    // Declared after the connection, so it is closed first.
    UniqueInternetHandle request;
    // The answer's status; 0 when none came (error then holds the platform's error number).
    DWORD status = 0;
    DWORD error = 0;
    explicit operator bool() const { return request.Valid(); }
};

// Opens url on the root handle with the given request flags and extra request headers (HTTP
// and HTTPS only). A URL that cannot be opened, or whose server answers with a status
// outside 2xx, gives no request and sets LastInternetError.
OpenedUrl OpenUrl(const std::string& url, DWORD flags, const std::string& headers = {});

} // namespace ks
