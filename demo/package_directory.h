// Member names of a ZIP package, read from its central directory. The agent is an outside
// program of its own, so it reads the little it needs without the setup's archive component.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks::demo {

// The archive's end: the last bytes of the file (at most 65,557) and where they start.
struct ZipTail {
    std::string_view bytes;
    std::uint64_t offset = 0;
};

// Finds the end-of-directory record in the tail; false when there is none. On success the
// directory's offset, size and entry count are filled.
bool FindZipDirectory(ZipTail tail, std::uint64_t& offset, std::uint32_t& size,
                      std::uint32_t& entries);

// Names of the directory entries; false when the directory is damaged.
bool ParseZipDirectory(std::string_view directory, std::uint32_t entries,
                       std::vector<std::string>& names);

// Both steps on a file; an empty list when it cannot be read as an archive.
std::vector<std::string> ReadZipMemberNames(const std::string& path);

} // namespace ks::demo
