// The P-256 signature check with the system's CNG functions (Windows Vista and later).
#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "sys/p256_signature.h"
#include "sys/unique_handle.h"

namespace ks {
namespace {

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
using UniqueAlgorithm = UniqueHandle<AlgorithmTraits>;

struct KeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle key) { BCryptDestroyKey(key); }
};
using UniqueKey = UniqueHandle<KeyTraits>;

struct HashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle hash) { BCryptDestroyHash(hash); }
};
using UniqueHash = UniqueHandle<HashTraits>;

constexpr std::size_t kSha256Bytes = 32;

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

PUCHAR Bytes(std::string_view text) {
    return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

std::optional<std::string> Sha256(std::string_view message) {
    UniqueAlgorithm algorithm;
    if (!Succeeded(
            BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return std::nullopt;
    UniqueHash hash;
    if (!Succeeded(BCryptCreateHash(algorithm.Get(), hash.Put(), nullptr, 0, nullptr, 0, 0)))
        return std::nullopt;
    // BCryptHashData takes a ULONG count: feed a large text in pieces.
    constexpr std::size_t kPiece = 1 << 30;
    for (std::size_t at = 0; at < message.size(); at += kPiece) {
        const std::string_view piece = message.substr(at, kPiece);
        if (!Succeeded(
                BCryptHashData(hash.Get(), Bytes(piece), static_cast<ULONG>(piece.size()), 0)))
            return std::nullopt;
    }
    std::string digest(kSha256Bytes, '\0');
    if (!Succeeded(BCryptFinishHash(hash.Get(), Bytes(digest), kSha256Bytes, 0)))
        return std::nullopt;
    return digest;
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
    const std::optional<std::string> digest = Sha256(message);
    if (!digest)
        return false;
    UniqueAlgorithm algorithm;
    if (!Succeeded(
            BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
        return false;
    const UniqueKey key = ImportPublicKey(algorithm.Get(), *point);
    if (!key)
        return false;
    return Succeeded(BCryptVerifySignature(key.Get(), nullptr, Bytes(*digest),
                                           static_cast<ULONG>(digest->size()), Bytes(*signature),
                                           static_cast<ULONG>(signature->size()), 0));
}

} // namespace ks
