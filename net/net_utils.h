// NetUtils: the installer's only network access. HTTP and HTTPS GET and HEAD requests through
// the platform's internet service, synchronous, on the calling thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "net/resume_rules.h"

namespace ks {

// Progress of a file download: a byte count out of Total when Total is above 0, otherwise a
// growing count of blocks read. An empty function reports nothing.
using TransferProgressEvent = std::function<void(std::int32_t Total, std::int32_t Current)>;
// The bytes of a file download in order, each as it is written, so that they can be looked at
// (hashed) without reading the file again. An empty function is not called.
using TransferDataEvent = std::function<void(const char* data, std::size_t size)>;

// "Internet Error %d : %s" of the last URL that could not be opened; a success keeps it.
extern std::string LastInternetError;

// How long a transfer waits for a connection or for the next bytes of an answer before it
// fails: a server that stalls must not hold the setup forever.
constexpr std::uint32_t kDefaultTransferTimeoutMs = 30000;

// Windows build. Opens the shared root handle when none is open; true when one is open.
bool OpenInternetRoot();
void CloseInternetRoot();
bool InternetRootIsOpen();
// Windows build. The connect, send and receive time-out of the root handle, for the open one
// and every one opened later.
void SetTransferTimeout(std::uint32_t milliseconds);

// Windows build. The platform's text for an internet or system error number, without
// trailing blanks and full stops; "" when there is none.
std::string InternetErrorText(std::uint32_t number);

// Windows build. The Content-Length a HEAD request answers, 0 when it is unknown. Borrows the
// root handle and never opens one. Never raises.
std::int32_t GetRemoteFileSize(const std::string& url);
// Windows build. The total a download of url reports: knownSize, or, when that is 0 and
// onProgress listens, GetRemoteFileSize. Reports (total, 0) to onProgress.
std::int32_t StartProgress(const std::string& url, std::int32_t knownSize,
                           const TransferProgressEvent& onProgress);

// Windows build. Downloads url into fileName on a fresh root handle. False when the URL
// cannot be opened or the server answers with a status outside 2xx (the file is not touched),
// or the body breaks off or stalls (the partial file is deleted). Raises OsError when the file
// cannot be created or written.
bool DownloadToFile(const std::string& url, const std::string& fileName, std::int32_t knownSize,
                    const TransferProgressEvent& onProgress, const TransferDataEvent& onData = {});

// How often and after which pauses a failed transfer is tried again.
struct RetrySchedule {
    int retries = kTransferRetries;
    unsigned firstRetryDelayMs = DefaultFirstRetryDelayMs();
    // Called with retry number 1, 2... before the pause ahead of that retry.
    std::function<void(int retry)> onRetry;
};

// How a resumable download keeps its bytes and tries again.
struct ResumableTransfer : RetrySchedule {
    // Where the bytes grow until the file is complete, with a record of their validator and
    // the whole size beside it (partFile + ".info"). Kept when the transfer fails, so that a
    // later one (in this run or the next) asks only for the rest.
    std::string partFile; // "": fileName + ".part"
    // The bytes of the file in order from its first one: every attempt that brings data
    // calls onRestart first, then gives the bytes kept from before (read back from the
    // partial file), then those that arrive. Empty functions are not called.
    std::function<void()> onRestart;
    TransferDataEvent onData;
};

// Windows build. Downloads url into fileName through transfer.partFile. A cut, reset or
// timed-out connection and a 503 or 504 answer are tried again transfer.retries times, with
// the pauses of RetryDelayMs; each attempt resumes with Range and If-Range where the kept
// bytes allow, and starts over on a 200, a changed validator or a 416. fileName is written
// only once every byte arrived. False when every attempt failed (the partial file stays) or
// the server answered with another error status. Progress as for DownloadToFile; a resumed
// attempt first reports the offset it resumes at. Raises OsError when a file cannot be
// created, written or moved.
bool DownloadResumable(const std::string& url, const std::string& fileName, std::int32_t knownSize,
                       const TransferProgressEvent& onProgress, const ResumableTransfer& transfer);

// Windows build. Appends the body to stream; false as for DownloadToFile.
bool DownloadToStream(const std::string& url, std::ostream& stream);

// Windows build. The body exactly as it came; nothing when the download failed.
std::optional<std::string> DownloadBytes(const std::string& url);
// Windows build. As above, with the failures and the tries of DownloadResumable; every
// attempt starts from the first byte.
std::optional<std::string> DownloadBytes(const std::string& url, const RetrySchedule& schedule);

// Windows build. The body split into lines; nothing when the download failed.
std::optional<std::vector<std::string>> DownloadLines(const std::string& url);

// Portable helpers of the functions above.

// A Content-Length text as a size: an optionally signed decimal number that fits 32 bits,
// anything else 0.
std::int32_t ContentLengthValue(const std::string& text);

// Drops trailing characters below 33 and full stops.
std::string TrimErrorText(std::string text);

// Formats "Internet Error %d : %s".
std::string FormatInternetError(std::uint32_t number, const std::string& text);
// Formats "HTTP Error %d : %s" for a status outside 2xx.
std::string FormatHttpStatusError(std::uint32_t status, const std::string& text);

// Splits at CR LF, LF or CR; a line end at the very end starts no further line.
std::vector<std::string> SplitResponseLines(const std::string& text);

} // namespace ks
