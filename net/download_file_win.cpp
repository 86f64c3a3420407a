// Whole-URL downloads without retries for tools, tests and benchmarks; kept apart so the
// program does not carry them.
#include <string>

#include "net/body_pump_win.h"
#include "net/internet_handle_win.h"
#include "net/net_utils.h"
#include "net/open_url_win.h"
#include "sys/errors.h"
#include "sys/locked_files_win.h"
#include "sys/unique_handle_win.h"

namespace ks {

bool DownloadToFile(const std::string& url, const std::string& fileName, std::int32_t knownSize,
                    const TransferProgressEvent& onProgress, const TransferDataEvent& onData) {
    const std::int32_t total = StartProgress(url, knownSize, onProgress);

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

std::optional<std::vector<std::string>> DownloadLines(const std::string& url) {
    const std::optional<std::string> body = DownloadBytes(url);
    if (!body)
        return std::nullopt;
    return SplitResponseLines(*body);
}

} // namespace ks
