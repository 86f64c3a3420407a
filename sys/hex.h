// Hexadecimal text to bytes, as digests and keys are written in settings and catalogues.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace ks {

// The bytes written by text, two digits of either case a byte; nothing when the length is odd
// or a character is not a digit.
std::optional<std::string> BytesFromHex(std::string_view text);

} // namespace ks
