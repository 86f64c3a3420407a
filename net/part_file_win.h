// The partial file of a resumable download and the record kept beside it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "net/resume_rules.h"
#include "sys/unique_handle_win.h"

namespace ks {

class PartFile {
public:
    explicit PartFile(std::string path);

    // The bytes that can be resumed and the record they came with; 0 (after removing what is
    // there) when there is no record, it cannot be read, or the data outgrew it.
    std::int64_t Resumable(PartRecord& record);
    // Opens the data cut to offset bytes for appending and keeps the record; with no
    // validator to resume by, no record is kept. Raises OsError.
    void Begin(std::int64_t offset, const PartRecord& record);
    // Raises OsError.
    void Append(const char* data, std::size_t size);
    const std::string& Path() const { return path_; }
    std::int64_t Size() const { return size_; }
    // Reads the bytes kept so far to sink, from the first one on; false when they cannot be
    // read.
    template <typename Sink> bool ReadKept(std::int64_t count, Sink&& sink) const;
    void Close() { data_.Reset(); }
    // Removes the data and the record.
    void Discard();
    // Moves the complete data to target (replacing it) and removes the record. Raises
    // OsError.
    void Complete(const std::string& target);

private:
    bool ReadChunk(std::int64_t offset, char* buffer, std::size_t size) const;

    std::string path_;
    std::string recordPath_;
    UniqueFileHandle data_;
    std::int64_t size_ = 0;
};

template <typename Sink> bool PartFile::ReadKept(std::int64_t count, Sink&& sink) const {
    std::vector<char> buffer(64 * 1024);
    for (std::int64_t done = 0; done < count;) {
        const std::size_t size = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), count - done));
        if (!ReadChunk(done, buffer.data(), size))
            return false;
        sink(buffer.data(), size);
        done += static_cast<std::int64_t>(size);
    }
    return true;
}

} // namespace ks
