// Downloads of whole URLs into memory.
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

} // namespace ks
