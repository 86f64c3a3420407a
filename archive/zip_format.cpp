#include "archive/zip_format.h"

#include <algorithm>

#include "archive/archive_error.h"

namespace ks::archive {
namespace {

constexpr std::uint32_t kSaturated16 = 0xFFFF;
constexpr std::uint32_t kSaturated32 = 0xFFFFFFFF;

const std::uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

} // namespace

EndRecord ParseEndRecord(const std::uint8_t* b) {
    EndRecord record;
    record.signature = Le32(b);
    record.diskNumber = Le16(b + 4);
    record.startDisk = Le16(b + 6);
    record.entriesOnDisk = Le16(b + 8);
    record.totalEntries = Le16(b + 10);
    record.directorySize = Le32(b + 12);
    record.directoryOffset = Le32(b + 16);
    record.commentLength = Le16(b + 20);
    return record;
}

bool NeedsZip64(const EndRecord& r) {
    return r.diskNumber >= kSaturated16 || r.startDisk >= kSaturated16 ||
           r.entriesOnDisk >= kSaturated16 || r.totalEntries >= kSaturated16 ||
           r.directorySize == kSaturated32 || r.directoryOffset == kSaturated32;
}

void ApplyZip64EndRecord(EndRecord& r, const std::uint8_t* z) {
    if (r.diskNumber == kSaturated16)
        r.diskNumber = Le32(z + 16);
    if (r.startDisk == kSaturated16)
        r.startDisk = Le32(z + 20);
    if (r.entriesOnDisk == kSaturated16)
        r.entriesOnDisk = Le64(z + 24);
    if (r.totalEntries == kSaturated16)
        r.totalEntries = Le64(z + 32);
    if (r.directorySize == kSaturated32)
        r.directorySize = Le64(z + 40);
    if (r.directoryOffset == kSaturated32)
        r.directoryOffset = Le64(z + 48);
}

CentralHeader ParseCentralHeader(const std::uint8_t* b) {
    CentralHeader h;
    h.signature = Le32(b);
    h.versionMadeBy = Le16(b + 4);
    h.versionNeeded = Le16(b + 6);
    h.flags = Le16(b + 8);
    h.method = Le16(b + 10);
    h.time = Le16(b + 12);
    h.date = Le16(b + 14);
    h.crc32 = Le32(b + 16);
    h.compressedSize = Le32(b + 20);
    h.uncompressedSize = Le32(b + 24);
    h.nameLength = Le16(b + 28);
    h.extraLength = Le16(b + 30);
    h.commentLength = Le16(b + 32);
    h.diskStart = Le16(b + 34);
    h.internalAttributes = Le16(b + 36);
    h.externalAttributes = Le32(b + 38);
    h.localHeaderOffset = Le32(b + 42);
    return h;
}

std::optional<std::string_view> FindExtraField(std::string_view extra, std::uint16_t id) {
    std::size_t at = 0;
    while (extra.size() - at >= 4) {
        const std::uint16_t fieldId = Le16(Bytes(extra) + at);
        const std::size_t declared = Le16(Bytes(extra) + at + 2);
        const std::size_t size = std::min(declared, extra.size() - at - 4);
        if (fieldId == id)
            return extra.substr(at + 4, size);
        at += 4 + size;
    }
    return std::nullopt;
}

Zip64Values ResolveZip64(const CentralHeader& h, std::string_view extra) {
    Zip64Values values{h.uncompressedSize, h.compressedSize, h.localHeaderOffset, h.diskStart};
    const auto field = FindExtraField(extra, kZip64ExtraId);
    if (!field)
        return values;
    std::size_t at = 0;
    auto take = [&](std::size_t width) {
        if (field->size() - at < width)
            throw StreamError("Stream read error");
        const std::uint8_t* p = Bytes(*field) + at;
        at += width;
        return width == 8 ? Le64(p) : Le32(p);
    };
    if (h.uncompressedSize == kSaturated32)
        values.uncompressedSize = take(8);
    if (h.compressedSize == kSaturated32)
        values.compressedSize = take(8);
    if (h.localHeaderOffset == kSaturated32)
        values.localHeaderOffset = take(8);
    if (h.diskStart == kSaturated16)
        values.diskStart = static_cast<std::uint32_t>(take(4));
    return values;
}

} // namespace ks::archive
