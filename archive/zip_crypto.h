// Traditional PKWARE decryption of member data.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace ks::archive {

class ZipCryptoKeys {
public:
    explicit ZipCryptoKeys(const std::string& password);
    std::uint8_t Decrypt(std::uint8_t cipher);

private:
    void Update(std::uint8_t plain);
    std::uint32_t keys_[3];
};

constexpr std::size_t kEncryptionHeaderSize = 12;

// Whether the password opens a member: the last byte of the decrypted 12-byte header must
// equal the high byte of the check value. On success `keys` stand after the header.
bool CheckEncryptionHeader(const std::uint8_t* header, const std::string& password,
                           std::uint32_t checkValue, ZipCryptoKeys& keys);

} // namespace ks::archive
