#include "sys/version.h"

#include <string>

namespace ks {
namespace {

constexpr std::size_t kPartTextLimit = 20;

// A whole decimal integer with an optional sign that fits 32 bits; false otherwise.
bool ParseInteger(const std::string& text, long long& value) {
    std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    const bool negative = i == 1 && text[0] == '-';
    if (i == text.size())
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (!negative && magnitude > 2147483647LL)
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

std::uint32_t VersionNumber(const std::string& text) {
    std::string rest = text + '.';
    std::uint32_t number = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = rest.find('.');
        long long value = 0;
        if (dot == std::string::npos || !ParseInteger(rest.substr(0, dot), value))
            break;
        number |= (static_cast<std::uint32_t>(value) & 0xFFu) << (8 * (3 - part));
        rest = rest.substr(dot + 1, kPartTextLimit);
    }
    return number;
}

std::string FormatFileVersion(std::uint32_t ms, std::uint32_t ls) {
    return std::to_string(ms >> 16) + '.' + std::to_string(ms & 0xFFFFu) + '.' +
           std::to_string(ls >> 16) + '.' + std::to_string(ls & 0xFFFFu);
}

} // namespace ks
