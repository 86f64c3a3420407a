// The archive component's only door to the file system: one portable interface with a
// Win32 and a POSIX implementation. Paths are Windows-style; the POSIX side maps '\' to '/'.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace ks::archive {

// Random access to bytes, so the reader can run over a file or over memory alike.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to `size` bytes at `offset`; fewer only at the end. Raises StreamError.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A file opened read-only, sharing read and write with others.
class InputFile : public ByteSource {
public:
    InputFile() = default;
    // Raises FileOpenError.
    explicit InputFile(const std::string& path);
    ~InputFile() override;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const { return handle_ != kClosed; }
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    static constexpr std::intptr_t kClosed = -1;
    void Close() noexcept;
    std::intptr_t handle_ = kClosed;
    std::uint64_t size_ = 0;
};

// A file created (or truncated) for exclusive writing.
class OutputFile {
public:
    OutputFile() = default;
    // Raises FileCreateError; an existing file stays as it was when this fails.
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Raises StreamError.
    void Write(const void* data, std::size_t size);
    void Close() noexcept;

private:
    static constexpr std::intptr_t kClosed = -1;
    std::intptr_t handle_ = kClosed;
};

// True for anything at the path that is not a folder; a symbolic link is never followed.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The size of an existing file, or -1 when it cannot be read.
std::int64_t FileSizeOf(const std::string& path);
// A symbolic link (on Windows any reparse point, junctions included) at the path.
bool IsLink(const std::string& path);
// Creates one folder level; raises InOutError with the OS code.
void CreateFolder(const std::string& path);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
// These two never follow a symbolic link at the path: a link keeps what it points to as it is.
// Last-write time from a DOS date (high half) and time (low half) read as local time.
bool SetFileDosTime(const std::string& path, std::uint32_t dosDateTime);
// DOS attribute bits; the POSIX side maps read-only (0x01) to the write permission.
bool SetFileDosAttributes(const std::string& path, std::uint32_t attributes);

} // namespace ks::archive
