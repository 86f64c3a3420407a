// SHA-256 of a stream taken on a thread of its own: Update only queues a copy of the bytes, so
// a download goes on reading while the system hashes what came before. Under Wine the
// provider hashes at about the speed of a loopback download, so hashing in line would nearly
// double the download's time.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "sys/sha256_win.h"

namespace ks {

class Sha256Pipe {
public:
    // Raises OsError when the provider cannot be opened.
    Sha256Pipe();
    // Stops the thread; what was queued is dropped.
    ~Sha256Pipe();
    Sha256Pipe(const Sha256Pipe&) = delete;
    Sha256Pipe& operator=(const Sha256Pipe&) = delete;

    // Waits while much is queued, so memory stays bounded. Raises what the hashing raised.
    void Update(const void* data, std::size_t size);
    // The digest of everything fed; waits for the queue to drain. Call it once.
    Sha256Digest Finish();

private:
    void Run();

    Sha256 hash_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<char>> queue_;
    std::size_t queuedBytes_ = 0;
    bool ending_ = false;
    bool stopping_ = false;
    bool finished_ = false;
    Sha256Digest digest_{};
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace ks
