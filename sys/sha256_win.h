// SHA-256 through the system's CNG provider, fed in pieces of any size, so that a download
// can be hashed as it arrives and a resumed one can feed the part it already has first.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "sys/sha256.h"

namespace ks {

class Sha256 {
public:
    // Raises OsError when the provider cannot be opened.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    Sha256(Sha256&&) noexcept;
    Sha256& operator=(Sha256&&) noexcept;

    // Raises OsError when the provider refuses the data.
    void Update(const void* data, std::size_t size);
    // The digest of everything fed so far; the object then starts again from nothing.
    Sha256Digest Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest of a whole file, read once; false when it cannot be opened or read.
bool FileSha256(const std::string& path, Sha256Digest& digest);

} // namespace ks
