// POSIX file access: Windows-style paths with '\' become '/' paths.
#include "archive/file_access.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/archive_error.h"

namespace ks::archive {
namespace {

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

std::string ErrorText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

} // namespace

InputFile::InputFile(const std::string& path) {
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileOpenError(ErrorText("Cannot open file", path));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileOpenError("Cannot open file \"" + path + "\"");
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
}

void InputFile::Close() noexcept {
    if (handle_ != kClosed)
        ::close(static_cast<int>(handle_));
    handle_ = kClosed;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (handle_ == kClosed)
        throw StreamError("Stream read error");
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size && offset + done < size_) {
        const ssize_t got = ::pread(static_cast<int>(handle_), out + done, size - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw StreamError("Stream read error");
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

OutputFile::OutputFile(const std::string& path) {
    const int fd = ::open(NativePath(path).c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        throw FileCreateError(ErrorText("Cannot create file", path));
    handle_ = fd;
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (handle_ == kClosed)
        throw StreamError("Stream write error");
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(static_cast<int>(handle_), in, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw StreamError("Stream write error");
        in += put;
        size -= static_cast<std::size_t>(put);
    }
}

void OutputFile::Close() noexcept {
    if (handle_ != kClosed)
        ::close(static_cast<int>(handle_));
    handle_ = kClosed;
}

// A link counts as a file of its own: whatever it points to is never a target.
bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(NativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return ::lstat(NativePath(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    if (::stat(NativePath(path).c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

void CreateFolder(const std::string& path) {
    if (::mkdir(NativePath(path).c_str(), 0777) != 0 && errno != EEXIST)
        throw InOutError(static_cast<std::uint32_t>(errno),
                         ErrorText("Cannot create folder", path));
}

bool RemoveFile(const std::string& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool SetFileDosTime(const std::string& path, std::uint32_t dosDateTime) {
    const std::uint32_t date = dosDateTime >> 16;
    const std::uint32_t time = dosDateTime & 0xFFFF;
    std::tm local{};
    local.tm_year = static_cast<int>(80 + (date >> 9));
    local.tm_mon = static_cast<int>(((date >> 5) & 15)) - 1;
    local.tm_mday = static_cast<int>(date & 31);
    local.tm_hour = static_cast<int>(time >> 11);
    local.tm_min = static_cast<int>((time >> 5) & 63);
    local.tm_sec = static_cast<int>((time & 31) * 2);
    // Local to UTC through the zone offset at that moment; unlike mktime this does not
    // re-read the zone file for every member.
    const std::time_t asUtc = timegm(&local);
    if (asUtc == static_cast<std::time_t>(-1))
        return false;
    std::time_t seconds = asUtc;
    for (int pass = 0; pass < 2; ++pass) {
        std::tm zone{};
        if (!localtime_r(&seconds, &zone))
            return false;
        seconds = asUtc - zone.tm_gmtoff;
    }
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = seconds;
    return ::utimensat(AT_FDCWD, NativePath(path).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SetFileDosAttributes(const std::string& path, std::uint32_t attributes) {
    const std::string native = NativePath(path);
    struct stat info {};
    if (::lstat(native.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return false;
    const mode_t current = info.st_mode & 07777;
    const mode_t wanted = (attributes & 0x01) ? (current & ~mode_t{0222}) : (current | S_IWUSR);
    // No-follow again, in case a link took the file's place since the lstat.
    return wanted == current ||
           ::fchmodat(AT_FDCWD, native.c_str(), wanted, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace ks::archive
