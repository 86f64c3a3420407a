// The queue between a download and its hashing thread.
#include "sys/sha256_pipe_win.h"

#include <cstring>
#include <stdexcept>

namespace ks {
namespace {

// Enough for the hashing thread to catch up in large steps, small beside a package.
constexpr std::size_t kMaxQueuedBytes = 8 * 1024 * 1024;

} // namespace

Sha256Pipe::Sha256Pipe() : thread_([this] { Run(); }) {}

Sha256Pipe::~Sha256Pipe() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Sha256Pipe::Update(const void* data, std::size_t size) {
    if (size == 0)
        return;
    std::vector<char> piece(size);
    std::memcpy(piece.data(), data, size);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return error_ || queuedBytes_ < kMaxQueuedBytes; });
    if (error_)
        std::rethrow_exception(error_);
    if (ending_)
        throw std::logic_error("SHA-256: data after the end");
    queuedBytes_ += size;
    queue_.push_back(std::move(piece));
    lock.unlock();
    changed_.notify_all();
}

Sha256Digest Sha256Pipe::Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    ending_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return finished_ || error_; });
    if (error_)
        std::rethrow_exception(error_);
    return digest_;
}

void Sha256Pipe::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || ending_ || !queue_.empty(); });
        if (stopping_ || error_)
            return;
        if (queue_.empty()) { // ending, and everything hashed
            try {
                digest_ = hash_.Finish();
            } catch (...) {
                error_ = std::current_exception();
            }
            finished_ = true;
            changed_.notify_all();
            return;
        }
        std::vector<char> piece = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        std::exception_ptr failed;
        try {
            hash_.Update(piece.data(), piece.size());
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        queuedBytes_ -= piece.size();
        error_ = failed;
        changed_.notify_all();
    }
}

} // namespace ks
