// Opening download URLs. The platform takes the receive time-out of a request only before
// the request is sent, so HTTP and HTTPS requests are opened and sent in separate steps.
#include "net/open_url_win.h"

#include "net/net_utils.h"

namespace ks {
namespace {

// The URL as the platform splits it, each part a copy of its own.
struct CrackedUrl {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    std::string host;
    std::string user;
    std::string password;
    std::string target; // path and query
};

bool Crack(const std::string& url, CrackedUrl& cracked) {
    std::string host(INTERNET_MAX_HOST_NAME_LENGTH, '\0');
    std::string user(INTERNET_MAX_USER_NAME_LENGTH, '\0');
    std::string password(INTERNET_MAX_PASSWORD_LENGTH, '\0');
    std::string path(url.size() + 1, '\0');
    std::string query(url.size() + 1, '\0');
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = static_cast<DWORD>(host.size());
    parts.lpszUserName = user.data();
    parts.dwUserNameLength = static_cast<DWORD>(user.size());
    parts.lpszPassword = password.data();
    parts.dwPasswordLength = static_cast<DWORD>(password.size());
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = query.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(query.size());
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts))
        return false;
    cracked.scheme = parts.nScheme;
    cracked.port = parts.nPort;
    cracked.host = host.substr(0, parts.dwHostNameLength);
    cracked.user = user.substr(0, parts.dwUserNameLength);
    cracked.password = password.substr(0, parts.dwPasswordLength);
    cracked.target =
        path.substr(0, parts.dwUrlPathLength) + query.substr(0, parts.dwExtraInfoLength);
    return true;
}

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

OpenedUrl Send(const std::string& url, DWORD flags, const std::string& headers) {
    OpenedUrl opened;
    CrackedUrl cracked;
    if (!Crack(url, cracked) ||
        (cracked.scheme != INTERNET_SCHEME_HTTP && cracked.scheme != INTERNET_SCHEME_HTTPS)) {
        opened.request.Reset(
            InternetOpenUrlA(InternetRoot.Get(), url.c_str(), nullptr, 0, flags, 0));
        return opened;
    }
    opened.connection.Reset(InternetConnectA(InternetRoot.Get(), cracked.host.c_str(), cracked.port,
                                             OrNull(cracked.user), OrNull(cracked.password),
                                             INTERNET_SERVICE_HTTP, 0, 0));
    if (!opened.connection)
        return opened;
    if (cracked.scheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    const char* acceptTypes[] = {"*/*", nullptr};
    opened.request.Reset(HttpOpenRequestA(opened.connection.Get(), "GET", cracked.target.c_str(),
                                          nullptr, nullptr, acceptTypes, flags, 0));
    if (!opened.request)
        return opened;
    ApplyTransferTimeouts(opened.request.Get());
    if (!HttpSendRequestA(opened.request.Get(), OrNull(headers), static_cast<DWORD>(headers.size()),
                          nullptr, 0)) {
        const DWORD error = GetLastError();
        opened.request.Reset();
        SetLastError(error);
    }
    return opened;
}

} // namespace

OpenedUrl OpenUrl(const std::string& url, DWORD flags, const std::string& headers) {
    OpenedUrl opened = Send(url, flags, headers);
    if (!opened) {
        opened.error = GetLastError();
        RecordOpenFailure();
        return opened;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(opened.request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                        &status, &size, nullptr)) {
        // Only an answer of another protocol has no status.
        if (GetLastError() == ERROR_INTERNET_INCORRECT_HANDLE_TYPE)
            return opened;
        const DWORD error = GetLastError();
        RecordOpenFailure();
        OpenedUrl failed;
        failed.error = error;
        return failed;
    }
    if (status >= 200 && status < 300) {
        opened.status = status;
        return opened;
    }
    std::string reason(256, '\0');
    size = static_cast<DWORD>(reason.size());
    if (!HttpQueryInfoA(opened.request.Get(), HTTP_QUERY_STATUS_TEXT, reason.data(), &size,
                        nullptr))
        size = 0;
    reason.resize(size);
    LastInternetError = FormatHttpStatusError(status, reason);
    OpenedUrl failed;
    failed.status = status;
    return failed;
}

} // namespace ks
