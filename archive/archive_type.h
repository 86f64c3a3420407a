// Recognising a package file: the kind by extension and by content, and the backwards
// search for the end of central directory record.
#pragma once
#include <cstdint>
#include <string>

#include "archive/file_access.h"

namespace ks::archive {

enum class ArchiveKind {
    Unknown,
    Zip,
    SpannedZip,
    SelfExtractingZip,
    Tar,
    Gzip,
    GzippedTar,
    Cabinet,
    Bzip2,
    BzippedTar,
};

// Position of the end record, or -1. Grows its window from 512 bytes to 64 KiB, windows
// overlapping by 22 bytes, back to the start of the file.
std::int64_t FindEndRecord(ByteSource& source);

ArchiveKind KindFromExtension(const std::string& fileName);
ArchiveKind CheckZip(ByteSource& source);
ArchiveKind CheckSelfExtracting(ByteSource& source);
// The extension's kind verified by content; an unknown extension tries every content check.
ArchiveKind CheckArchiveKind(const std::string& fileName, ByteSource& content);
// Opens the file for the content checks when it exists and is not empty.
ArchiveKind CheckArchiveFile(const std::string& path);

// Whether the first four bytes start like a program ("MZ" or ELF).
bool StartsLikeProgram(std::uint32_t firstBytes);

} // namespace ks::archive
