// The rules of resumed and retried downloads, free of any platform call: what is kept beside
// a partial file, what a request for the rest asks, what its answer means, and when and how
// long to wait before a transfer is tried again.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ks {

// Kept beside a partial download: the validator its bytes came with and the size of the whole
// file (-1 when the server did not say).
struct PartRecord {
    std::string validator;
    std::int64_t expectedSize = -1;
    bool operator==(const PartRecord& other) const {
        return validator == other.validator && expectedSize == other.expectedSize;
    }
};

std::string FormatPartRecord(const PartRecord& record);
// Nothing for a text that FormatPartRecord did not write.
std::optional<PartRecord> ParsePartRecord(const std::string& text);

// The validator to resume with: the ETag when it is strong (If-Range takes no weak one),
// otherwise Last-Modified; "" when neither serves.
std::string ChooseValidator(const std::string& etag, const std::string& lastModified);

// The request headers asking for the bytes from offset on, only if they still are the ones
// validator names; "" when there is nothing to resume.
std::string ResumeRequestHeaders(std::int64_t offset, const std::string& validator);

struct ContentRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t total = -1; // -1 for "*"
};
// "bytes FIRST-LAST/TOTAL"; nothing when malformed.
std::optional<ContentRange> ParseContentRange(const std::string& text);

enum class ResumeAnswer {
    Append,   // 206 for exactly the bytes asked for: they follow the partial file
    Whole,    // the body is the whole file: the partial file starts over
    AskAgain, // nothing usable (416, or a part of another version): ask for the whole file
};

// What a 2xx or 416 answer to a request for the bytes from offset (0: the whole file) means.
// sentValidator is the one the request named, answerValidator the one the answer carries.
ResumeAnswer ClassifyResumeAnswer(std::uint32_t status, std::int64_t offset,
                                  const std::optional<ContentRange>& range,
                                  const std::string& sentValidator,
                                  const std::string& answerValidator);

// A transfer that failed is tried again this many times.
constexpr int kTransferRetries = 3;
constexpr unsigned kFirstRetryDelayMs = 1000;

// Error answers worth another try: the server says it is busy or its upstream timed out.
bool IsRetryableStatus(std::uint32_t status);
// The pause before retry number retry (1, 2, 3...): firstDelayMs, then twice as long each time.
unsigned RetryDelayMs(int retry, unsigned firstDelayMs);
// The first pause: KS_RETRY_DELAY_MS from the environment, read once (tests shorten it
// there), otherwise kFirstRetryDelayMs.
unsigned DefaultFirstRetryDelayMs();

} // namespace ks
