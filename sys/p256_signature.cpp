// The portable half of the P-256 signature check: reading the key text and the DER signature.
#include "sys/p256_signature.h"

#include "sys/hex.h"

namespace ks {
namespace {

constexpr unsigned char kSequenceTag = 0x30;
constexpr unsigned char kIntegerTag = 0x02;

// Reads DER in order; every read checks the bytes left first.
class DerReader {
public:
    explicit DerReader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return at_ == bytes_.size(); }

    // The contents of the next element with the given tag. A signature never needs the long
    // length form, so DER's shortest-form rule leaves only the short one.
    std::optional<std::string_view> Element(unsigned char tag) {
        if (bytes_.size() - at_ < 2 || static_cast<unsigned char>(bytes_[at_]) != tag)
            return std::nullopt;
        const std::size_t length = static_cast<unsigned char>(bytes_[at_ + 1]);
        if (length >= 0x80 || bytes_.size() - at_ - 2 < length)
            return std::nullopt;
        const std::string_view contents = bytes_.substr(at_ + 2, length);
        at_ += 2 + length;
        return contents;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// A non-negative, minimally encoded INTEGER as 32 big-endian bytes.
std::optional<std::string> FieldFromInteger(std::optional<std::string_view> integer) {
    if (!integer || integer->empty())
        return std::nullopt;
    std::string_view digits = *integer;
    if (static_cast<unsigned char>(digits[0]) >= 0x80)
        return std::nullopt;
    if (digits[0] == '\0' && digits.size() > 1) {
        // A leading zero is allowed only to keep the next byte's top bit from reading as a sign.
        if (static_cast<unsigned char>(digits[1]) < 0x80)
            return std::nullopt;
        digits.remove_prefix(1);
    }
    if (digits.size() > kP256FieldBytes)
        return std::nullopt;
    return std::string(kP256FieldBytes - digits.size(), '\0') + std::string(digits);
}

} // namespace

std::optional<std::string> P256PublicKeyFromText(std::string_view text) {
    if (text.size() == 4 * kP256FieldBytes + 2 && text.substr(0, 2) == "04")
        text.remove_prefix(2);
    if (text.size() != 4 * kP256FieldBytes)
        return std::nullopt;
    return BytesFromHex(text);
}

std::optional<std::string> P256SignatureFromDer(std::string_view der) {
    DerReader outer(der);
    const std::optional<std::string_view> sequence = outer.Element(kSequenceTag);
    if (!sequence || !outer.AtEnd())
        return std::nullopt;
    DerReader inner(*sequence);
    const std::optional<std::string> r = FieldFromInteger(inner.Element(kIntegerTag));
    const std::optional<std::string> s = FieldFromInteger(inner.Element(kIntegerTag));
    if (!r || !s || !inner.AtEnd())
        return std::nullopt;
    return *r + *s;
}

} // namespace ks
