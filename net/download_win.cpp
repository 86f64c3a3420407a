// File and line downloads of whole URLs.
#include <string>

#include "net/block_pump.h"
#include "net/body_pump_win.h"
#include "net/download_body_win.h"
#include "net/internet_handle_win.h"
#include "net/net_utils.h"
#include "net/open_url_win.h"
#include "net/transfer_retry_win.h"
#include "net/url.h"
#include "sys/errors.h"
#include "sys/locked_files_win.h"
#include "sys/unique_handle_win.h"

namespace ks {

namespace {

AttemptEnd TryBody(const std::string& url, const BlockPump::DataSink& data) {
    std::string normalized = url;
    NormalizeURL(normalized);
    OpenInternetRoot();
    const OpenedUrl opened = OpenUrl(normalized, INTERNET_FLAG_HYPERLINK);
    if (!opened)
        return OpenFailureEnd(opened);
    const auto noGauge = [](std::size_t) {};
    DWORD readError = 0;
    if (PumpBody(opened.request.Get(), data, noGauge, &readError))
        return AttemptEnd::Done;
    if (readError)
        LastInternetError = FormatInternetError(readError, InternetErrorText(readError));
    return AttemptEnd::Passing;
}

} // namespace

bool DownloadBody(const std::string& url, const BlockPump::DataSink& data) {
    return TryBody(url, data) == AttemptEnd::Done;
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

    UniqueFileHandle file;
    RetryWhileLocked(fileName, [&] {
        file.Reset(CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    });
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
    RetrySchedule once;
    once.retries = 0;
    return DownloadBytes(url, once);
}

std::optional<std::string> DownloadBytes(const std::string& url, const RetrySchedule& schedule) {
    std::string body;
    const bool done = RunWithRetries(schedule, [&] {
        body.clear();
        return TryBody(url, [&](const char* data, std::size_t size) { body.append(data, size); });
    });
    if (!done)
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
