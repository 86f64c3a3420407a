// The text rules of NetUtils, free of any platform call.
#include "net/net_utils.h"

#include <cstdint>

namespace ks {

std::string LastInternetError;

std::int32_t ContentLengthValue(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return 0;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX + std::int64_t{1})
            return 0;
    }
    if (negative)
        value = -value;
    return value >= INT32_MIN && value <= INT32_MAX ? static_cast<std::int32_t>(value) : 0;
}

std::string TrimErrorText(std::string text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) < 33 || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string FormatInternetError(std::uint32_t number, const std::string& text) {
    return "Internet Error " + std::to_string(static_cast<std::int32_t>(number)) + " : " + text;
}

std::string FormatHttpStatusError(std::uint32_t status, const std::string& text) {
    return "HTTP Error " + std::to_string(status) + " : " + text;
}

std::vector<std::string> SplitResponseLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace ks
