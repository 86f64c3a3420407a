// The size of a remote file from a HEAD request.
#include "net/internet_handle_win.h"

#include "net/net_utils.h"
#include "net/url.h"

namespace ks {
namespace {

constexpr DWORD kPlainHeadFlags =
    INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_PRAGMA_NOCACHE;
// The certificate is checked as for a download: the platform keeps the connection for the
// download that follows, and a check skipped here would be skipped there too. A bad
// certificate leaves the size unknown.
constexpr DWORD kSecureHeadFlags = kPlainHeadFlags | INTERNET_FLAG_SECURE;

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

std::int32_t GetRemoteFileSize(const std::string& url) {
    std::string normalized = url;
    NormalizeURL(normalized);
    const UrlParts parts = SplitURL(normalized);

    std::string scheme = parts.Scheme;
    for (char& c : scheme)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    DWORD flags = 0;
    int port = -1;
    if (scheme == "https") {
        flags = kSecureHeadFlags;
        port = ConnectionPort(parts, INTERNET_DEFAULT_HTTPS_PORT);
    } else if (scheme == "http") {
        flags = kPlainHeadFlags;
        port = ConnectionPort(parts, INTERNET_DEFAULT_HTTP_PORT);
    }
    if (port < 0)
        return 0;

    // Borrows the root handle: without one the connection fails and the size stays unknown.
    const UniqueInternetHandle connection(InternetConnectA(
        InternetRoot.Get(), parts.Host.c_str(), static_cast<INTERNET_PORT>(port),
        OrNull(parts.UserName), OrNull(parts.Password), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return 0;
    const char* acceptTypes[] = {"*/*", nullptr};
    // The split path has lost its separator; a request target starts with one.
    const std::string target = "/" + parts.Path;
    const UniqueInternetHandle request(HttpOpenRequestA(connection.Get(), "HEAD", target.c_str(),
                                                        nullptr, nullptr, acceptTypes, flags, 0));
    if (!request)
        return 0;
    ApplyTransferTimeouts(request.Get());
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0))
        return 0;
    // Ten bytes hold at most nine digits: a longer length counts as unknown.
    char buffer[10] = {};
    DWORD length = sizeof(buffer);
    DWORD index = 0;
    if (!HttpQueryInfoA(request.Get(), HTTP_QUERY_CONTENT_LENGTH, buffer, &length, &index))
        return 0;
    return ContentLengthValue(std::string(buffer, strnlen(buffer, sizeof(buffer))));
}

std::int32_t StartProgress(const std::string& url, std::int32_t knownSize,
                           const TransferProgressEvent& onProgress) {
    std::int32_t total = knownSize;
    if (onProgress) {
        if (total == 0)
            total = GetRemoteFileSize(url);
        onProgress(total, 0);
    }
    return total;
}

} // namespace ks
