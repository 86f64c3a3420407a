// SHA-256 of a stream, hashed on a worker thread: a download then waits for the network and
// the disk while the other core hashes, instead of for all three in turn.
#pragma once
#include <windows.h>

#include <cstddef>
#include <deque>
#include <exception>
#include <vector>

#include "sys/sha256_win.h"
#include "sys/unique_handle_win.h"

namespace ks {

class BackgroundSha256 {
public:
    // Raises OsError when the provider cannot be opened or the thread cannot start.
    BackgroundSha256();
    // Stops the worker; whatever is still queued is dropped.
    ~BackgroundSha256();
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;

    // Copies the bytes; waits only when the worker is several blocks behind.
    void Update(const void* data, std::size_t size);
    // The digest of everything fed; raises what the provider raised on the worker.
    Sha256Digest Finish();

private:
    static DWORD WINAPI Run(void* self);
    void Work();
    // Queues a full block and gives back an empty one of block size to fill next.
    std::vector<char> Queue(std::vector<char> block);
    void Stop(bool dropQueued);

    Sha256 hash_;
    std::vector<char> pending_;
    std::deque<std::vector<char>> queued_;
    // Blocks the worker is done with, filled again instead of allocated anew: a fresh block
    // costs the system a page fault for every 4 KB of it.
    std::vector<std::vector<char>> spare_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    bool closing_ = false;
    std::exception_ptr failure_;
    UniqueKernelHandle thread_;
};

} // namespace ks
