// File and line downloads of whole URLs.
#include <string>

#include "net/block_pump.h"
#include "net/download_body_win.h"
#include "net/internet_handle_win.h"
#include "net/net_utils.h"
#include "net/open_url_win.h"
#include "net/url.h"
#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

// The length the response announces, or -1 when it announces none.
long long AnnouncedLength(HINTERNET url) {
    std::string text(32, '\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(text.size());
        DWORD index = 0;
        if (HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH, text.data(), &size, &index)) {
            text.resize(size);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= text.size())
            return -1;
        text.resize(size);
    }
    if (text.empty() || text.size() > 18)
        return -1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Copies the body of an opened URL. False when a read failed or the body ended before the
// length the server announced.
bool PumpBody(HINTERNET url, const BlockPump::DataSink& data, const BlockPump::BlockSink& block) {
    const long long announced = AnnouncedLength(url);
    BlockPump pump(
        [url](char* buffer, std::size_t capacity, std::size_t& got) {
            DWORD read = 0;
            const BOOL ok = InternetReadFile(url, buffer, static_cast<DWORD>(capacity), &read);
            got = ok ? read : 0;
            return ok != FALSE;
        },
        data, block);
    const bool complete = pump.Run();
    return complete && (announced < 0 || static_cast<long long>(pump.Moved()) >= announced);
}

[[noreturn]] void RaiseFileError(const char* action, const std::string& fileName) {
    const DWORD number = GetLastError();
    throw OsError(number,
                  std::string(action) + " \"" + fileName + "\": " + InternetErrorText(number));
}

} // namespace

bool DownloadBody(const std::string& url, const BlockPump::DataSink& data) {
    std::string normalized = url;
    NormalizeURL(normalized);
    OpenInternetRoot();
    const OpenedUrl opened = OpenUrl(normalized, INTERNET_FLAG_HYPERLINK);
    if (!opened)
        return false;
    return PumpBody(opened.request.Get(), data, [](std::size_t) {});
}

bool DownloadToFile(const std::string& url, const std::string& fileName, std::int32_t knownSize,
                    const TransferProgressEvent& onProgress, const TransferDataEvent& onData) {
    std::int32_t total = knownSize;
    if (onProgress) {
        if (total == 0)
            total = GetRemoteFileSize(url);
        onProgress(total, 0);
    }

    CloseInternetRoot();
    OpenInternetRoot();
    // The body goes to the caller's file; a copy in the user's internet cache would cost the
    // package's size in disk space a second time.
    const OpenedUrl opened = OpenUrl(url, INTERNET_FLAG_NO_CACHE_WRITE);
    if (!opened)
        return false;

    UniqueFileHandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        RaiseFileError("Cannot create file", fileName);

    std::uint32_t reads = 0;
    std::uint32_t current = 0;
    const bool complete = PumpBody(
        opened.request.Get(),
        [&](const char* data, std::size_t size) {
            DWORD written = 0;
            if (!WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) ||
                written != size)
                RaiseFileError("Cannot write file", fileName);
            if (onData)
                onData(data, size);
        },
        [&](std::size_t size) {
            ++reads;
            current = total > 0 ? current + static_cast<std::uint32_t>(size) : reads;
            if (onProgress)
                onProgress(total, static_cast<std::int32_t>(current));
        });
    file.Reset();
    if (!complete)
        DeleteFileA(fileName.c_str());
    return complete;
}

std::optional<std::string> DownloadBytes(const std::string& url) {
    std::string body;
    OpenInternetRoot();
    if (!DownloadBody(url, [&](const char* data, std::size_t size) { body.append(data, size); }))
        return std::nullopt;
    return body;
}

std::optional<std::vector<std::string>> DownloadLines(const std::string& url) {
    const std::optional<std::string> body = DownloadBytes(url);
    if (!body)
        return std::nullopt;
    return SplitResponseLines(*body);
}

} // namespace ks
