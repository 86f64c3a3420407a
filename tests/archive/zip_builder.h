// Writes ZIP archives byte by byte, so tests can make what real tools will not: odd comments,
// saturated ZIP64 fields, wrong CRCs, stubs in front, unusual methods and versions.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kstest::zip {

using Bytes = std::string;

inline void Put16(Bytes& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
inline void Put64(Bytes& out, std::uint64_t v) {
    Put32(out, static_cast<std::uint32_t>(v));
    Put32(out, static_cast<std::uint32_t>(v >> 32));
}

inline std::uint32_t Crc(const Bytes& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline Bytes RawDeflate(const Bytes& data) {
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&s, static_cast<uLong>(data.size())), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

struct Entry {
    Entry(std::string entryName, Bytes content, int entryMethod = 0, std::uint16_t entryFlags = 0,
          std::uint16_t needed = 20, std::uint16_t madeBy = 20, std::uint32_t attributes = 0x20)
        : name(std::move(entryName)), data(std::move(content)), method(entryMethod),
          flags(entryFlags), versionNeeded(needed), versionMadeBy(madeBy),
          externalAttributes(attributes) {}

    std::string name;
    Bytes data;     // uncompressed content
    int method = 0; // 0 stored, 8 deflated; others store `data` as given
    std::uint16_t flags = 0;
    std::uint16_t versionNeeded = 20;
    std::uint16_t versionMadeBy = 20; // high byte: host system
    std::uint32_t externalAttributes = 0x20;
    std::uint16_t time = 0x6000; // 12:00:00
    std::uint16_t date = 0x5A21; // 2025-01-01
    Bytes extra;
    // Overrides for crafted cases; unset values follow the data.
    std::int64_t crc = -1;
    std::int64_t declaredSize = -1;
    bool zip64Sizes = false; // 0xFFFFFFFF sizes, real values in a 0x0001 field
};

struct Layout {
    Bytes prefix; // bytes before the first local header (offsets stay absolute)
    Bytes comment;
    std::int64_t commentLengthField = -1; // a lying comment length
    std::int64_t totalEntriesField = -1;
    Bytes trailer; // bytes after the end record
};

inline Bytes Build(const std::vector<Entry>& entries, const Layout& layout = {}) {
    Bytes out = layout.prefix;
    Bytes directory;
    for (const Entry& e : entries) {
        const Bytes stored = e.method == 8 ? RawDeflate(e.data) : e.data;
        const std::uint32_t crc = e.crc >= 0 ? static_cast<std::uint32_t>(e.crc) : Crc(e.data);
        const std::uint64_t size =
            e.declaredSize >= 0 ? static_cast<std::uint64_t>(e.declaredSize) : e.data.size();
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        Bytes extra = e.extra;
        if (e.zip64Sizes) {
            Bytes z;
            Put16(z, 1);
            Put16(z, 16);
            Put64(z, size);
            Put64(z, stored.size());
            extra = z + extra;
        }
        const std::uint32_t size32 = e.zip64Sizes ? 0xFFFFFFFF : static_cast<std::uint32_t>(size);
        const std::uint32_t csize32 =
            e.zip64Sizes ? 0xFFFFFFFF : static_cast<std::uint32_t>(stored.size());

        Put32(out, 0x04034B50);
        Put16(out, e.versionNeeded);
        Put16(out, e.flags);
        Put16(out, static_cast<std::uint32_t>(e.method));
        Put16(out, e.time);
        Put16(out, e.date);
        Put32(out, crc);
        Put32(out, csize32);
        Put32(out, size32);
        Put16(out, static_cast<std::uint32_t>(e.name.size()));
        Put16(out, 0);
        out += e.name;
        out += stored;

        Put32(directory, 0x02014B50);
        Put16(directory, e.versionMadeBy);
        Put16(directory, e.versionNeeded);
        Put16(directory, e.flags);
        Put16(directory, static_cast<std::uint32_t>(e.method));
        Put16(directory, e.time);
        Put16(directory, e.date);
        Put32(directory, crc);
        Put32(directory, csize32);
        Put32(directory, size32);
        Put16(directory, static_cast<std::uint32_t>(e.name.size()));
        Put16(directory, static_cast<std::uint32_t>(extra.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, e.externalAttributes);
        Put32(directory, offset);
        directory += e.name;
        directory += extra;
    }
    const std::uint32_t directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    const std::uint32_t count = layout.totalEntriesField >= 0
                                    ? static_cast<std::uint32_t>(layout.totalEntriesField)
                                    : static_cast<std::uint32_t>(entries.size());
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, count);
    Put16(out, count);
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, layout.commentLengthField >= 0
                   ? static_cast<std::uint32_t>(layout.commentLengthField)
                   : static_cast<std::uint32_t>(layout.comment.size()));
    out += layout.comment;
    out += layout.trailer;
    return out;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace kstest::zip
