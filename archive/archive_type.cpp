#include "archive/archive_type.h"

#include <cstring>
#include <vector>

#include "archive/zip_format.h"

namespace ks::archive {
namespace {

constexpr std::int64_t kFirstWindow = 512;
constexpr std::int64_t kLargestWindow = 65536;

bool ReadHead(ByteSource& source, std::uint8_t* out, std::size_t size) {
    return source.ReadAt(0, out, size) == size;
}

std::string UpperExtension(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of("\\/:");
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = fileName.substr(dot);
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return ext;
}

bool HasGzipMagic(ByteSource& source) {
    std::uint8_t head[2];
    return ReadHead(source, head, 2) && head[0] == 0x1F && head[1] == 0x8B;
}

bool HasBzip2Magic(ByteSource& source) {
    std::uint8_t head[3];
    return ReadHead(source, head, 3) && std::memcmp(head, "BZh", 3) == 0;
}

bool HasCabinetMagic(ByteSource& source) {
    std::uint8_t head[4];
    return ReadHead(source, head, 4) && std::memcmp(head, "MSCF", 4) == 0;
}

bool HasTarMagic(ByteSource& source) {
    std::uint8_t magic[5];
    return source.ReadAt(257, magic, 5) == 5 && std::memcmp(magic, "ustar", 5) == 0;
}

} // namespace

bool StartsLikeProgram(std::uint32_t firstBytes) {
    return firstBytes == 0x464C457F || (firstBytes & 0xFFFF) == 0x5A4D;
}

std::int64_t FindEndRecord(ByteSource& source) {
    const auto fileSize = static_cast<std::int64_t>(source.Size());
    std::uint8_t record[kEndRecordSize];
    if (fileSize >= static_cast<std::int64_t>(kEndRecordSize)) {
        const std::int64_t at = fileSize - static_cast<std::int64_t>(kEndRecordSize);
        if (source.ReadAt(static_cast<std::uint64_t>(at), record, kEndRecordSize) ==
                kEndRecordSize &&
            Le32(record) == kEndRecordSignature && Le16(record + 20) == 0)
            return at;
    }
    std::vector<std::uint8_t> window;
    std::int64_t windowSize = kFirstWindow;
    std::int64_t distance = kFirstWindow; // from the end of the file back to the nominal start
    for (;;) {
        std::int64_t start = fileSize - distance;
        bool last = false;
        if (start <= 0) {
            start = 0;
            last = true;
        }
        window.resize(static_cast<std::size_t>(windowSize));
        const std::size_t got =
            source.ReadAt(static_cast<std::uint64_t>(start), window.data(), window.size());
        if (got < kEndRecordSize)
            return -1;
        for (std::int64_t i = static_cast<std::int64_t>(got - kEndRecordSize); i >= 0; --i) {
            const std::uint8_t* candidate = window.data() + i;
            if (Le32(candidate) != kEndRecordSignature)
                continue;
            const std::int64_t commentLength = Le16(candidate + 20);
            if (commentLength <= distance - i - static_cast<std::int64_t>(kEndRecordSize))
                return start + i;
        }
        if (last)
            return -1;
        windowSize = std::min(windowSize * 2, kLargestWindow);
        distance += windowSize - static_cast<std::int64_t>(kEndRecordSize);
    }
}

ArchiveKind KindFromExtension(const std::string& fileName) {
    const std::string ext = UpperExtension(fileName);
    if (ext == ".ZIP" || ext == ".JAR")
        return ArchiveKind::Zip;
    if (ext == ".EXE")
        return ArchiveKind::SelfExtractingZip;
    if (ext == ".TAR")
        return ArchiveKind::Tar;
    if (ext == ".GZ")
        return ArchiveKind::Gzip;
    if (ext == ".TGZ")
        return ArchiveKind::GzippedTar;
    if (ext == ".CAB")
        return ArchiveKind::Cabinet;
    if (ext == ".BZ2")
        return ArchiveKind::Bzip2;
    if (ext == ".TBZ")
        return ArchiveKind::BzippedTar;
    return ArchiveKind::Unknown;
}

ArchiveKind CheckZip(ByteSource& source) {
    std::uint8_t head[4];
    if (!ReadHead(source, head, 4))
        return ArchiveKind::Unknown;
    if (Le32(head) == kSpannedSignature)
        return ArchiveKind::SpannedZip;
    const std::int64_t at = FindEndRecord(source);
    if (at < 0)
        return ArchiveKind::Unknown;
    std::uint8_t record[kEndRecordSize];
    if (source.ReadAt(static_cast<std::uint64_t>(at), record, kEndRecordSize) != kEndRecordSize ||
        Le32(record) != kEndRecordSignature)
        return ArchiveKind::Unknown;
    return Le16(record + 4) != 0 ? ArchiveKind::SpannedZip : ArchiveKind::Zip;
}

ArchiveKind CheckSelfExtracting(ByteSource& source) {
    std::uint8_t head[4];
    if (!ReadHead(source, head, 4) || !StartsLikeProgram(Le32(head)))
        return ArchiveKind::Unknown;
    return CheckZip(source) == ArchiveKind::Zip ? ArchiveKind::SelfExtractingZip
                                                : ArchiveKind::Unknown;
}

ArchiveKind CheckArchiveKind(const std::string& fileName, ByteSource& content) {
    auto verified = [&](bool hit, ArchiveKind kind) { return hit ? kind : ArchiveKind::Unknown; };
    switch (KindFromExtension(fileName)) {
    case ArchiveKind::Zip:
        return CheckZip(content);
    case ArchiveKind::SelfExtractingZip:
        return CheckSelfExtracting(content);
    case ArchiveKind::Tar:
        return verified(HasTarMagic(content), ArchiveKind::Tar);
    case ArchiveKind::Gzip:
        return verified(HasGzipMagic(content), ArchiveKind::Gzip);
    case ArchiveKind::GzippedTar:
        return verified(HasGzipMagic(content), ArchiveKind::GzippedTar);
    case ArchiveKind::Cabinet:
        return verified(HasCabinetMagic(content), ArchiveKind::Cabinet);
    case ArchiveKind::Bzip2:
        return verified(HasBzip2Magic(content), ArchiveKind::Bzip2);
    case ArchiveKind::BzippedTar:
        return verified(HasBzip2Magic(content), ArchiveKind::BzippedTar);
    default:
        break;
    }
    if (const ArchiveKind sfx = CheckSelfExtracting(content); sfx != ArchiveKind::Unknown)
        return sfx;
    if (const ArchiveKind zip = CheckZip(content); zip != ArchiveKind::Unknown)
        return zip;
    if (HasTarMagic(content))
        return ArchiveKind::Tar;
    if (HasGzipMagic(content))
        return ArchiveKind::Gzip;
    if (HasBzip2Magic(content))
        return ArchiveKind::Bzip2;
    if (HasCabinetMagic(content))
        return ArchiveKind::Cabinet;
    return ArchiveKind::Unknown;
}

ArchiveKind CheckArchiveFile(const std::string& path) {
    if (FileSizeOf(path) <= 0)
        return KindFromExtension(path);
    InputFile file(path);
    return CheckArchiveKind(path, file);
}

} // namespace ks::archive
