#include "sys/background_sha256_win.h"

#include <algorithm>
#include <utility>

#include "sys/errors.h"

namespace ks {
namespace {

// Large enough that locking costs nothing per byte, small enough to start hashing at once.
constexpr std::size_t kBlockSize = 256 * 1024;
// How far the producer may run ahead of the worker: bounded memory for any stream length.
constexpr std::size_t kMostQueued = 16;

class Exclusive {
public:
    explicit Exclusive(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock_); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

private:
    SRWLOCK& lock_;
};

} // namespace

BackgroundSha256::BackgroundSha256() {
    pending_.reserve(kBlockSize);
    thread_.Reset(CreateThread(nullptr, 0, &BackgroundSha256::Run, this, 0, nullptr));
    if (!thread_)
        throw OsError(GetLastError(), "SHA-256: the hashing thread did not start");
}

BackgroundSha256::~BackgroundSha256() {
    Stop(true);
}

void BackgroundSha256::Update(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t piece = std::min(size, kBlockSize - pending_.size());
        pending_.insert(pending_.end(), bytes, bytes + piece);
        bytes += piece;
        size -= piece;
        if (pending_.size() == kBlockSize)
            pending_ = Queue(std::move(pending_));
    }
}

Sha256Digest BackgroundSha256::Finish() {
    if (!pending_.empty())
        Queue(std::move(pending_));
    pending_ = {};
    Stop(false);
    if (failure_)
        std::rethrow_exception(failure_);
    return hash_.Finish();
}

DWORD WINAPI BackgroundSha256::Run(void* self) {
    static_cast<BackgroundSha256*>(self)->Work();
    return 0;
}

void BackgroundSha256::Work() {
    std::vector<char> block;
    for (;;) {
        {
            Exclusive guard(lock_);
            if (block.capacity() > 0) {
                block.clear();
                spare_.push_back(std::move(block));
            }
            while (queued_.empty() && !closing_)
                SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
            if (queued_.empty())
                return;
            block = std::move(queued_.front());
            queued_.pop_front();
        }
        WakeAllConditionVariable(&changed_);
        try {
            hash_.Update(block.data(), block.size());
        } catch (...) {
            Exclusive guard(lock_);
            failure_ = std::current_exception();
            queued_.clear();
            closing_ = true;
            WakeAllConditionVariable(&changed_);
            return;
        }
    }
}

std::vector<char> BackgroundSha256::Queue(std::vector<char> block) {
    std::vector<char> next;
    {
        Exclusive guard(lock_);
        while (queued_.size() >= kMostQueued && !closing_)
            SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
        if (closing_) { // the worker failed; Finish reports it
            block.clear();
            return block;
        }
        queued_.push_back(std::move(block));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    WakeAllConditionVariable(&changed_);
    next.reserve(kBlockSize);
    return next;
}

void BackgroundSha256::Stop(bool dropQueued) {
    if (!thread_)
        return;
    {
        Exclusive guard(lock_);
        if (dropQueued)
            queued_.clear();
        closing_ = true;
    }
    WakeAllConditionVariable(&changed_);
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
}

} // namespace ks
