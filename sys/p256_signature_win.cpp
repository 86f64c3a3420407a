// The P-256 signature check with the system's CNG functions (Windows Vista and later).
#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <exception>
#include <vector>

#include "sys/bcrypt_handles_win.h"
#include "sys/p256_signature.h"
#include "sys/sha256_win.h"

namespace ks {
namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

PUCHAR Bytes(std::string_view text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

std::optional<Sha256Digest> DigestOf(std::string_view message) {
    try {
        Sha256 hash;
        hash.Update(message.data(), message.size());
        return hash.Finish();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

UniqueKey ImportPublicKey(BCRYPT_ALG_HANDLE algorithm, const std::string& point) {
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + point.size());
    BCRYPT_ECCKEY_BLOB header{};
    header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = kP256FieldBytes;
    std::memcpy(blob.data(), &header, sizeof(header));
    std::memcpy(blob.data() + sizeof(header), point.data(), point.size());
    UniqueKey key;
    if (!Succeeded(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, key.Put(),
                                       blob.data(), static_cast<ULONG>(blob.size()), 0)))
        key.Reset();
    return key;
}

} // namespace

bool VerifyP256Signature(std::string_view keyText, std::string_view message,
                         std::string_view derSignature) {
    const std::optional<std::string> point = P256PublicKeyFromText(keyText);
    const std::optional<std::string> signature = P256SignatureFromDer(derSignature);
    if (!point || !signature)
        return false;
    std::optional<Sha256Digest> digest = DigestOf(message);
    if (!digest)
        return false;
    UniqueAlgorithm algorithm;
    if (!Succeeded(
            BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
        return false;
    const UniqueKey key = ImportPublicKey(algorithm.Get(), *point);
    if (!key)
        return false;
    return Succeeded(BCryptVerifySignature(key.Get(), nullptr, digest->data(),
                                           static_cast<ULONG>(digest->size()), Bytes(*signature),
                                           static_cast<ULONG>(signature->size()), 0));
}

} // namespace ks
