#include "net/part_file_win.h"

#include <utility>

#include "net/body_pump_win.h"
#include "sys/locked_files_win.h"

namespace ks {
namespace {

UniqueFileHandle OpenWaiting(const std::string& path, DWORD access, DWORD share,
                             DWORD disposition) {
    UniqueFileHandle file;
    RetryWhileLocked(path, [&] {
        file.Reset(CreateFileA(path.c_str(), access, share, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.Valid();
    });
    return file;
}

std::int64_t SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

void RemoveWaiting(const std::string& path) {
    RetryWhileLocked(
        path, [&] { return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; });
}

} // namespace

PartFile::PartFile(std::string path) : path_(std::move(path)), recordPath_(path_ + ".info") {}

std::int64_t PartFile::Resumable(PartRecord& record) {
    std::string text;
    {
        const UniqueFileHandle file =
            OpenWaiting(recordPath_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        const std::int64_t size = file ? SizeOf(file.Get()) : -1;
        if (size > 0 && size < 4096) {
            text.resize(static_cast<std::size_t>(size));
            DWORD read = 0;
            if (!ReadFile(file.Get(), text.data(), static_cast<DWORD>(size), &read, nullptr) ||
                read != size)
                text.clear();
        }
    }
    const std::optional<PartRecord> kept = ParsePartRecord(text);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool present = GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data) &&
                         !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const std::int64_t size =
        present ? (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    if (!kept || !present || size == 0 || (kept->expectedSize >= 0 && size >= kept->expectedSize)) {
        Discard();
        return 0;
    }
    record = *kept;
    return size;
}

void PartFile::Begin(std::int64_t offset, const PartRecord& record) {
    data_ = OpenWaiting(path_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    if (!data_)
        RaiseFileError("Cannot create file", path_);
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    if (!SetFilePointerEx(data_.Get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(data_.Get()))
        RaiseFileError("Cannot write file", path_);
    size_ = offset;
    if (record.validator.empty()) {
        RemoveWaiting(recordPath_);
        return;
    }
    const UniqueFileHandle file =
        OpenWaiting(recordPath_, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    const std::string text = FormatPartRecord(record);
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        RaiseFileError("Cannot write file", recordPath_);
}

void PartFile::Append(const char* data, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(data_.Get(), data, static_cast<DWORD>(size), &written, nullptr) ||
        written != size)
        RaiseFileError("Cannot write file", path_);
    size_ += static_cast<std::int64_t>(size);
}

bool PartFile::ReadChunk(std::int64_t offset, char* buffer, std::size_t size) const {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    DWORD read = 0;
    return ReadFile(data_.Get(), buffer, static_cast<DWORD>(size), &read, &where) && read == size;
}

void PartFile::Discard() {
    data_.Reset();
    size_ = 0;
    RemoveWaiting(path_);
    RemoveWaiting(recordPath_);
}

void PartFile::Complete(const std::string& target) {
    data_.Reset();
    const bool moved = RetryWhileLocked(target, [&] {
        return MoveFileExA(path_.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
    });
    if (!moved)
        RaiseFileError("Cannot create file", target);
    RemoveWaiting(recordPath_);
}

} // namespace ks
