#include "demo/package_directory.h"

#include <cstdio>
#include <memory>

namespace ks::demo {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kMaxTail = kEndSize + 0xFFFF;

std::uint32_t Read16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8;
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

} // namespace

bool FindZipDirectory(ZipTail tail, std::uint64_t& offset, std::uint32_t& size,
                      std::uint32_t& entries) {
    const std::string_view bytes = tail.bytes;
    if (bytes.size() < kEndSize)
        return false;
    // Scan backwards: the record is followed only by its own comment.
    for (std::size_t at = bytes.size() - kEndSize + 1; at-- > 0;) {
        if (Read32(bytes, at) != kEndSignature)
            continue;
        if (at + kEndSize + Read16(bytes, at + 20) != bytes.size())
            continue;
        entries = Read16(bytes, at + 10);
        size = Read32(bytes, at + 12);
        offset = Read32(bytes, at + 16);
        return offset + size <= tail.offset + at;
    }
    return false;
}

bool ParseZipDirectory(std::string_view directory, std::uint32_t entries,
                       std::vector<std::string>& names) {
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        if (directory.size() - at < kEntrySize || Read32(directory, at) != kEntrySignature)
            return false;
        const std::size_t nameLength = Read16(directory, at + 28);
        const std::size_t rest =
            nameLength + Read16(directory, at + 30) + Read16(directory, at + 32);
        if (directory.size() - at - kEntrySize < rest)
            return false;
        names.emplace_back(directory.substr(at + kEntrySize, nameLength));
        at += kEntrySize + rest;
    }
    return true;
}

std::vector<std::string> ReadZipMemberNames(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return {};
    const long end = std::ftell(file.get());
    if (end < 0)
        return {};
    const std::uint64_t fileSize = static_cast<std::uint64_t>(end);
    const std::uint64_t tailSize = fileSize < kMaxTail ? fileSize : kMaxTail;
    std::string tail(static_cast<std::size_t>(tailSize), '\0');
    if (std::fseek(file.get(), static_cast<long>(fileSize - tailSize), SEEK_SET) != 0 ||
        std::fread(tail.data(), 1, tail.size(), file.get()) != tail.size())
        return {};
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t entries = 0;
    if (!FindZipDirectory({tail, fileSize - tailSize}, offset, size, entries))
        return {};
    std::string directory(size, '\0');
    if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fread(directory.data(), 1, directory.size(), file.get()) != directory.size())
        return {};
    std::vector<std::string> names;
    if (!ParseZipDirectory(directory, entries, names))
        return {};
    return names;
}

} // namespace ks::demo
