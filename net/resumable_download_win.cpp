// Downloads that survive a broken connection: the bytes grow in a partial file with its
// validator beside it, a failed attempt is tried again after a pause, and every attempt (in
// this run or a later one) asks only for the bytes still missing.
#include "net/body_pump_win.h"
#include "net/net_utils.h"
#include "net/open_url_win.h"
#include "net/part_file_win.h"
#include "net/transfer_retry_win.h"

namespace ks {
namespace {

// The body goes to the partial file; a copy in the user's internet cache would cost the
// package's size in disk space a second time, and a cached answer would not be the range.
constexpr DWORD kRequestFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;

enum class Attempt { Done, Retry, AskAgain, Fail };

std::string HeaderText(HINTERNET request, DWORD which) {
    std::string text(256, '\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(text.size());
        DWORD index = 0;
        if (HttpQueryInfoA(request, which, text.data(), &size, &index)) {
            text.resize(size);
            return text;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= text.size())
            return {};
        text.resize(size);
    }
}

// The gauge of one download across its attempts.
class Gauge {
public:
    Gauge(std::int32_t total, const TransferProgressEvent& onProgress)
        : total_(total), onProgress_(onProgress) {}

    // The bytes of a resumed attempt start at offset.
    void StartAt(std::int64_t offset) {
        if (total_ <= 0)
            return;
        current_ = static_cast<std::uint32_t>(offset);
        if (offset > 0 && onProgress_)
            onProgress_(total_, static_cast<std::int32_t>(current_));
    }
    void Block(std::size_t size) {
        ++reads_;
        current_ = total_ > 0 ? current_ + static_cast<std::uint32_t>(size) : reads_;
        if (onProgress_)
            onProgress_(total_, static_cast<std::int32_t>(current_));
    }

private:
    std::int32_t total_;
    const TransferProgressEvent& onProgress_;
    std::uint32_t reads_ = 0;
    std::uint32_t current_ = 0;
};

Attempt TryOnce(const std::string& url, PartFile& part, Gauge& gauge,
                const ResumableTransfer& transfer) {
    PartRecord kept;
    const std::int64_t offset = part.Resumable(kept);
    CloseInternetRoot();
    OpenInternetRoot();
    const OpenedUrl opened =
        OpenUrl(url, kRequestFlags, ResumeRequestHeaders(offset, kept.validator));
    if (!opened) {
        if (opened.status == 416)
            return Attempt::AskAgain;
        return OpenFailureEnd(opened) == AttemptEnd::Passing ? Attempt::Retry : Attempt::Fail;
    }
    const HINTERNET request = opened.request.Get();
    const std::string validator = ChooseValidator(HeaderText(request, HTTP_QUERY_ETAG),
                                                  HeaderText(request, HTTP_QUERY_LAST_MODIFIED));
    const std::optional<ContentRange> range =
        ParseContentRange(HeaderText(request, HTTP_QUERY_CONTENT_RANGE));
    const ResumeAnswer answer =
        ClassifyResumeAnswer(opened.status, offset, range, kept.validator, validator);
    if (answer == ResumeAnswer::AskAgain)
        return Attempt::AskAgain;

    PartRecord record{validator, -1};
    std::int64_t start = 0;
    if (answer == ResumeAnswer::Append) {
        start = offset;
        record.expectedSize = range->total >= 0 ? range->total : kept.expectedSize;
    } else {
        const long long announced = AnnouncedLength(request);
        record.expectedSize = announced >= 0 ? announced : -1;
    }
    part.Begin(start, record);
    if (transfer.onRestart)
        transfer.onRestart();
    if (transfer.onData && !part.ReadKept(start, transfer.onData))
        RaiseFileError("Cannot read file", part.Path());
    gauge.StartAt(start);

    DWORD readError = 0;
    const bool whole = PumpBody(
        request,
        [&](const char* data, std::size_t size) {
            part.Append(data, size);
            if (transfer.onData)
                transfer.onData(data, size);
        },
        [&](std::size_t size) { gauge.Block(size); }, &readError);
    if (readError)
        LastInternetError = FormatInternetError(readError, InternetErrorText(readError));
    const bool sized = record.expectedSize < 0 || part.Size() == record.expectedSize;
    part.Close();
    if (whole && sized)
        return Attempt::Done;
    // More bytes than the file has cannot be resumed.
    if (record.expectedSize >= 0 && part.Size() > record.expectedSize)
        return Attempt::AskAgain;
    return Attempt::Retry;
}

} // namespace

bool DownloadResumable(const std::string& url, const std::string& fileName, std::int32_t knownSize,
                       const TransferProgressEvent& onProgress, const ResumableTransfer& transfer) {
    const std::int32_t total = StartProgress(url, knownSize, onProgress);
    Gauge gauge(total, onProgress);
    PartFile part(transfer.partFile.empty() ? fileName + ".part" : transfer.partFile);
    bool askedAgain = false;
    const bool done = RunWithRetries(transfer, [&] {
        for (;;) {
            const Attempt attempt = TryOnce(url, part, gauge, transfer);
            if (attempt != Attempt::AskAgain) {
                return attempt == Attempt::Done    ? AttemptEnd::Done
                       : attempt == Attempt::Retry ? AttemptEnd::Passing
                                                   : AttemptEnd::Final;
            }
            part.Discard();
            // Once: a server that refuses the whole file too is not asked forever.
            if (askedAgain)
                return AttemptEnd::Passing;
            askedAgain = true;
        }
    });
    if (done)
        part.Complete(fileName);
    return done;
}

} // namespace ks
