// The ZIP records the reader takes apart: fixed layouts, little-endian fields, the extra
// field walk and the ZIP64 replacement of saturated values.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ks::archive {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndRecordSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t kSpannedSignature = 0x08074B50;

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;

constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint16_t kUnicodePathExtraId = 0x7075;
constexpr std::uint16_t kUnicodeNameExtraId = 0x554E;

inline std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t Le64(const std::uint8_t* p) {
    return Le32(p) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
inline std::uint32_t Le32(const char* p) {
    return Le32(reinterpret_cast<const std::uint8_t*>(p));
}

// The directory footer, 64-bit once ZIP64 values have replaced saturated ones.
struct EndRecord {
    std::uint32_t signature = 0;
    std::uint64_t diskNumber = 0;
    std::uint64_t startDisk = 0;
    std::uint64_t entriesOnDisk = 0;
    std::uint64_t totalEntries = 0;
    std::uint64_t directorySize = 0;
    std::uint64_t directoryOffset = 0;
    std::uint16_t commentLength = 0;
    std::string comment;
};

EndRecord ParseEndRecord(const std::uint8_t* bytes);
// Whether any footer value is saturated, so that the ZIP64 record must be found.
bool NeedsZip64(const EndRecord& record);
// Replaces the saturated values of `record` with those of the 56-byte ZIP64 record.
void ApplyZip64EndRecord(EndRecord& record, const std::uint8_t* zip64Record);

struct CentralHeader {
    std::uint32_t signature = 0;
    std::uint16_t versionMadeBy = 0;
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    std::uint16_t commentLength = 0;
    std::uint16_t diskStart = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::uint32_t localHeaderOffset = 0;
};

CentralHeader ParseCentralHeader(const std::uint8_t* bytes);

// The first sub-field with this identifier; a sub-field that claims more bytes than the
// field holds ends at the end of the field.
std::optional<std::string_view> FindExtraField(std::string_view extra, std::uint16_t id);

struct Zip64Values {
    std::uint64_t uncompressedSize;
    std::uint64_t compressedSize;
    std::uint64_t localHeaderOffset;
    std::uint32_t diskStart;
};

// Takes each saturated header value from the 0x0001 sub-field, in the order uncompressed,
// compressed, offset, disk. Raises StreamError when the sub-field is too short.
Zip64Values ResolveZip64(const CentralHeader& header, std::string_view extra);

} // namespace ks::archive
