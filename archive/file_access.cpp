// Ownership of the open files: the same on every platform, whatever the handle is.
#include "archive/file_access.h"

namespace ks::archive {

InputFile::~InputFile() {
    Close();
}

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), size_(other.size_) {
    other.handle_ = kClosed;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        size_ = other.size_;
        other.handle_ = kClosed;
    }
    return *this;
}

OutputFile::~OutputFile() {
    Close();
}

OutputFile::OutputFile(OutputFile&& other) noexcept : handle_(other.handle_) {
    other.handle_ = kClosed;
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = kClosed;
    }
    return *this;
}

} // namespace ks::archive
