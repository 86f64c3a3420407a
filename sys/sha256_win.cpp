// SHA-256 with CNG. The hash object's memory is ours, as Vista's provider requires.
#include "sys/sha256_win.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "sys/bcrypt_handles_win.h"
#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

void Check(NTSTATUS status, const char* what) {
    if (!BCRYPT_SUCCESS(status))
        throw OsError(static_cast<std::uint32_t>(status),
                      std::string("SHA-256: ") + what + " failed");
}

constexpr DWORD kFileReadSize = 256 * 1024;

} // namespace

struct Sha256::State {
    UniqueAlgorithm algorithm;
    std::vector<UCHAR> object;
    UniqueHash hash;

    void Start() {
        hash.Reset();
        Check(BCryptCreateHash(algorithm.Get(), hash.Put(), object.data(),
                               static_cast<ULONG>(object.size()), nullptr, 0, 0),
              "BCryptCreateHash");
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    Check(BCryptOpenAlgorithmProvider(state_->algorithm.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0),
          "BCryptOpenAlgorithmProvider");
    DWORD objectLength = 0;
    ULONG got = 0;
    Check(BCryptGetProperty(state_->algorithm.Get(), BCRYPT_OBJECT_LENGTH,
                            reinterpret_cast<PUCHAR>(&objectLength), sizeof(objectLength), &got, 0),
          "BCryptGetProperty");
    state_->object.resize(objectLength);
    state_->Start();
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(const void* data, std::size_t size) {
    auto bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG piece =
            static_cast<ULONG>(std::min<std::size_t>(size, std::numeric_limits<ULONG>::max()));
        Check(BCryptHashData(state_->hash.Get(), bytes, piece, 0), "BCryptHashData");
        bytes += piece;
        size -= piece;
    }
}

Sha256Digest Sha256::Finish() {
    Sha256Digest digest{};
    Check(BCryptFinishHash(state_->hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0),
          "BCryptFinishHash");
    // A finished hash object takes no more data.
    state_->Start();
    return digest;
}

bool FileSha256(const std::string& path, Sha256Digest& digest) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    Sha256 hash;
    std::vector<char> buffer(kFileReadSize);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.data(), kFileReadSize, &got, nullptr))
            return false;
        if (got == 0)
            break;
        hash.Update(buffer.data(), got);
    }
    digest = hash.Finish();
    return true;
}

} // namespace ks
