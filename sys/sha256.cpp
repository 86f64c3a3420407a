// Digest text: written in lower case, read in either case.
#include "sys/sha256.h"

namespace ks {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string Sha256Hex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(digest.size() * 2);
    for (std::uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

bool ParseSha256Hex(std::string_view text, Sha256Digest& digest) {
    if (text.size() != digest.size() * 2)
        return false;
    Sha256Digest parsed{};
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        parsed[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    digest = parsed;
    return true;
}

} // namespace ks
