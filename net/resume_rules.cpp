#include "net/resume_rules.h"

#include <cstdlib>

namespace ks {
namespace {

constexpr char kRecordHeader[] = "part 1";

// A whole decimal number of at most 18 digits; -1 otherwise.
std::int64_t Number(const std::string& text) {
    if (text.empty() || text.size() > 18)
        return -1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

} // namespace

std::string FormatPartRecord(const PartRecord& record) {
    return std::string(kRecordHeader) + "\n" + std::to_string(record.expectedSize) + "\n" +
           record.validator + "\n";
}

std::optional<PartRecord> ParsePartRecord(const std::string& text) {
    const std::string header = std::string(kRecordHeader) + "\n";
    if (text.compare(0, header.size(), header) != 0)
        return std::nullopt;
    const std::size_t sizeEnd = text.find('\n', header.size());
    if (sizeEnd == std::string::npos || text.back() != '\n')
        return std::nullopt;
    PartRecord record;
    const std::string size = text.substr(header.size(), sizeEnd - header.size());
    record.expectedSize = size == "-1" ? -1 : Number(size);
    if (record.expectedSize < 0 && size != "-1")
        return std::nullopt;
    record.validator = text.substr(sizeEnd + 1, text.size() - sizeEnd - 2);
    if (record.validator.empty() || HasLineBreak(record.validator))
        return std::nullopt;
    return record;
}

std::string ChooseValidator(const std::string& etag, const std::string& lastModified) {
    if (!etag.empty() && etag.compare(0, 2, "W/") != 0 && !HasLineBreak(etag))
        return etag;
    return HasLineBreak(lastModified) ? std::string() : lastModified;
}

std::string ResumeRequestHeaders(std::int64_t offset, const std::string& validator) {
    if (offset <= 0 || validator.empty())
        return {};
    return "Range: bytes=" + std::to_string(offset) + "-\r\nIf-Range: " + validator + "\r\n";
}

std::optional<ContentRange> ParseContentRange(const std::string& text) {
    const std::string unit = "bytes ";
    if (text.compare(0, unit.size(), unit) != 0)
        return std::nullopt;
    const std::size_t dash = text.find('-', unit.size());
    const std::size_t slash = text.find('/', unit.size());
    if (dash == std::string::npos || slash == std::string::npos || slash < dash)
        return std::nullopt;
    ContentRange range;
    range.first = Number(text.substr(unit.size(), dash - unit.size()));
    range.last = Number(text.substr(dash + 1, slash - dash - 1));
    const std::string total = text.substr(slash + 1);
    range.total = total == "*" ? -1 : Number(total);
    if (range.first < 0 || range.last < range.first || (total != "*" && range.total <= range.last))
        return std::nullopt;
    return range;
}

ResumeAnswer ClassifyResumeAnswer(std::uint32_t status, std::int64_t offset,
                                  const std::optional<ContentRange>& range,
                                  const std::string& sentValidator,
                                  const std::string& answerValidator) {
    if (status == 416)
        return ResumeAnswer::AskAgain;
    if (status != 206)
        return ResumeAnswer::Whole;
    // A part we did not ask for, or one of another version of the file, cannot follow ours.
    const bool fits = offset > 0 && range && range->first == offset &&
                      (answerValidator.empty() || answerValidator == sentValidator);
    return fits ? ResumeAnswer::Append : ResumeAnswer::AskAgain;
}

bool IsRetryableStatus(std::uint32_t status) {
    return status == 503 || status == 504;
}

unsigned RetryDelayMs(int retry, unsigned firstDelayMs) {
    return retry < 1 ? 0 : firstDelayMs << (retry - 1 < 16 ? retry - 1 : 16);
}

unsigned DefaultFirstRetryDelayMs() {
    static const unsigned delay = [] {
        const char* text = std::getenv("KS_RETRY_DELAY_MS");
        if (!text || !*text)
            return kFirstRetryDelayMs;
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 10);
        return *end == '\0' ? static_cast<unsigned>(value) : kFirstRetryDelayMs;
    }();
    return delay;
}

} // namespace ks
