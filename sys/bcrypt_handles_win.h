// Move-only owners of the CNG handles the hashing and the signature check open.
#pragma once
#include <windows.h>

#include <bcrypt.h>

#include "sys/unique_handle.h"

namespace ks {

struct BCryptAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
};
using UniqueAlgorithm = UniqueHandle<BCryptAlgorithmTraits>;

struct BCryptHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle hash) { BCryptDestroyHash(hash); }
};
using UniqueHash = UniqueHandle<BCryptHashTraits>;

struct BCryptKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle key) { BCryptDestroyKey(key); }
};
using UniqueKey = UniqueHandle<BCryptKeyTraits>;

} // namespace ks
