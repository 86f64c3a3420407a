// Digest text: written in lower case, read in either case.
#include "sys/sha256.h"

#include <algorithm>

#include "sys/hex.h"

namespace ks {

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
    const std::optional<std::string> bytes = BytesFromHex(text);
    if (!bytes)
        return false;
    std::copy(bytes->begin(), bytes->end(), digest.begin());
    return true;
}

} // namespace ks
