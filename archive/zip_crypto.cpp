#include "archive/zip_crypto.h"

#include <zlib.h>

namespace ks::archive {
namespace {

std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    static const z_crc_t* const table = get_crc_table();
    return static_cast<std::uint32_t>(table[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
}

} // namespace

ZipCryptoKeys::ZipCryptoKeys(const std::string& password)
    : keys_{0x12345678, 0x23456789, 0x34567890} {
    for (const char c : password)
        Update(static_cast<std::uint8_t>(c));
}

void ZipCryptoKeys::Update(std::uint8_t plain) {
    keys_[0] = CrcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

std::uint8_t ZipCryptoKeys::Decrypt(std::uint8_t cipher) {
    const std::uint32_t temp = (keys_[2] | 2) & 0xFFFF;
    const auto plain = static_cast<std::uint8_t>(cipher ^ ((temp * (temp ^ 1)) >> 8));
    Update(plain);
    return plain;
}

bool CheckEncryptionHeader(const std::uint8_t* header, const std::string& password,
                           std::uint32_t checkValue, ZipCryptoKeys& keys) {
    ZipCryptoKeys trial(password);
    std::uint8_t last = 0;
    for (std::size_t i = 0; i < kEncryptionHeaderSize; ++i)
        last = trial.Decrypt(header[i]);
    if (last != static_cast<std::uint8_t>(checkValue >> 24))
        return false;
    keys = trial;
    return true;
}

} // namespace ks::archive
