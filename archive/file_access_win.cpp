// Win32 file access: ANSI paths, the package shared for reading and writing, targets
// written exclusively, DOS times as local times. A file another program holds for a moment
// is waited for.
#include "archive/file_access.h"

#include <windows.h>

#include <algorithm>

#include "archive/archive_error.h"
#include "sys/locked_files_win.h"

namespace ks::archive {
namespace {

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

std::string ErrorText(const std::string& what, const std::string& path, DWORD code) {
    return what + " \"" + path + "\" (error " + std::to_string(code) + ")" + HolderNote(path, code);
}

HANDLE OpenWaiting(const std::string& path, DWORD access, DWORD share, DWORD disposition,
                   DWORD flags) {
    HANDLE file = INVALID_HANDLE_VALUE;
    RetryWhileLocked(path, [&] {
        file = CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
        return file != INVALID_HANDLE_VALUE;
    });
    return file;
}

} // namespace

InputFile::InputFile(const std::string& path) {
    HANDLE file = OpenWaiting(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        throw FileOpenError(ErrorText("Cannot open file", path, GetLastError()));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        const DWORD code = GetLastError();
        CloseHandle(file);
        throw FileOpenError(ErrorText("Cannot open file", path, code));
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    size_ = static_cast<std::uint64_t>(size.QuadPart);
}

void InputFile::Close() noexcept {
    if (handle_ != kClosed)
        CloseHandle(AsHandle(handle_));
    handle_ = kClosed;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (handle_ == kClosed)
        throw StreamError("Stream read error");
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size && offset + done < size_) {
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(AsHandle(handle_), out + done, want, &got, &where)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            throw StreamError("Stream read error");
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

OutputFile::OutputFile(const std::string& path) {
    HANDLE file = OpenWaiting(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        throw FileCreateError(ErrorText("Cannot create file", path, GetLastError()));
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (handle_ == kClosed)
        throw StreamError("Stream write error");
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(AsHandle(handle_), in, want, &put, nullptr) || put == 0)
            throw StreamError("Stream write error");
        in += put;
        size -= put;
    }
}

void OutputFile::Close() noexcept {
    if (handle_ != kClosed)
        CloseHandle(AsHandle(handle_));
    handle_ = kClosed;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::int64_t FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void CreateFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        const DWORD code = GetLastError();
        if (code != ERROR_ALREADY_EXISTS)
            throw InOutError(code, ErrorText("Cannot create folder", path, code));
    }
}

bool RemoveFile(const std::string& path) {
    return RetryWhileLocked(path, [&] { return DeleteFileA(path.c_str()) != 0; });
}

bool RenameFile(const std::string& from, const std::string& to) {
    return RetryWhileLocked(from, [&] { return MoveFileA(from.c_str(), to.c_str()) != 0; });
}

bool SetFileDosTime(const std::string& path, std::uint32_t dosDateTime) {
    FILETIME local{};
    FILETIME utc{};
    if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                               static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return false;
    HANDLE file = OpenWaiting(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool done = SetFileTime(file, nullptr, nullptr, &utc) != 0;
    CloseHandle(file);
    return done;
}

bool SetFileDosAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != 0;
}

} // namespace ks::archive
