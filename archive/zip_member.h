// One central directory entry: the header as read, the decoded name, the 64-bit values and
// the properties the extractor derives from them.
#pragma once
#include <cstdint>
#include <string>

#include "archive/zip_format.h"

namespace ks::archive {

struct ZipMember {
    CentralHeader header;
    std::string rawName;
    std::string extra;
    std::string comment;
    std::string name; // decoded, separators as stored
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    std::uint32_t diskStart = 0;

    bool IsDirectory() const;
    bool IsEncrypted() const { return header.flags & 0x0001; }
    int HostSystem() const { return header.versionMadeBy >> 8; }
    // DOS date in the high half, time in the low half; read as local time.
    std::uint32_t DosDateTime() const {
        return (static_cast<std::uint32_t>(header.date) << 16) | header.time;
    }
    std::uint32_t NativeAttributes() const;
    // The low byte of the method field; its low seven bits select the decoder.
    int Method() const { return header.method & 0xFF; }
    int DecoderMethod() const { return header.method & 0x7F; }
};

// DOS attribute bits for a Unix mode (the upper half of the external attributes).
std::uint32_t AttributesFromUnixMode(std::uint32_t mode);

} // namespace ks::archive
