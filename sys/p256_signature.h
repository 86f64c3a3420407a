// ECDSA P-256 signatures over a text: the key's written form, the DER form openssl writes a
// signature in, and the check itself (Windows CNG).
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ks {

constexpr std::size_t kP256FieldBytes = 32;

// The public point X||Y (64 bytes) from its text: 128 hex digits, or 130 when they start with
// "04" (the uncompressed point as tools print it); either letter case. Nothing otherwise.
std::optional<std::string> P256PublicKeyFromText(std::string_view text);

// r||s (64 bytes, each big-endian and zero-padded) from SEQUENCE { INTEGER r, INTEGER s } in
// strict DER. Nothing when the encoding is malformed, has bytes left over, or a number is
// negative or does not fit 32 bytes.
std::optional<std::string> P256SignatureFromDer(std::string_view der);

// Windows build. True only when derSignature is a valid signature of message (SHA-256) by
// the key written as keyText. A malformed key or signature is simply not valid. Never raises.
bool VerifyP256Signature(std::string_view keyText, std::string_view message,
                         std::string_view derSignature);

} // namespace ks
