#include "skin/pending_picture_win.h"

#include <utility>

#include "skin/picture_win.h"

namespace ks {

PendingPicture::PendingPicture(std::string name, HMODULE module)
    : name_(std::move(name)), module_(module) {
    thread_.Reset(CreateThread(nullptr, 0, &PendingPicture::Run, this, 0, nullptr));
}

PendingPicture::~PendingPicture() {
    Wait();
}

DWORD WINAPI PendingPicture::Run(void* self) {
    auto& pending = *static_cast<PendingPicture*>(self);
    try {
        pending.picture_ = LoadPictureResource(pending.name_, pending.module_);
    } catch (...) {
        pending.failure_ = std::current_exception();
    }
    pending.decoded_ = true;
    return 0;
}

void PendingPicture::Wait() {
    if (!thread_)
        return;
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
}

TPicture PendingPicture::Take() {
    Wait();
    if (!decoded_)
        Run(this);
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    return std::exchange(picture_, {});
}

} // namespace ks
