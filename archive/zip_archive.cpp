#include "archive/zip_archive.h"

#include <algorithm>

#include "archive/archive_type.h"
#include "archive/name_decoding.h"

namespace ks::archive {
namespace {

constexpr std::size_t kDirectoryBuffer = 64 * 1024;

// Sequential exact reads over a source, buffered for the many small directory records.
class SequentialReader {
public:
    SequentialReader(ByteSource& source, std::uint64_t start)
        : source_(&source), position_(start), buffer_(kDirectoryBuffer) {}

    void ReadExact(void* out, std::size_t size) {
        auto* target = static_cast<std::uint8_t*>(out);
        while (size > 0) {
            if (begin_ == end_) {
                begin_ = 0;
                end_ = source_->ReadAt(position_, buffer_.data(), buffer_.size());
                position_ += end_;
                if (end_ == 0)
                    throw StreamError("Stream read error");
            }
            const std::size_t part = std::min(size, end_ - begin_);
            std::copy_n(buffer_.data() + begin_, part, target);
            begin_ += part;
            target += part;
            size -= part;
        }
    }

    std::string ReadText(std::size_t size) {
        std::string text(size, '\0');
        ReadExact(text.data(), size);
        return text;
    }

private:
    ByteSource* source_;
    std::uint64_t position_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

} // namespace

ZipArchive::ZipArchive(std::string path, std::unique_ptr<ByteSource> source)
    : path_(std::move(path)), source_(std::move(source)) {}

void ZipArchive::CheckUsable() const {
    if (status_ == ArchiveStatus::Invalid)
        throw ArchiveError(kArchiveMissing);
}

void ZipArchive::ReportLoadProgress(int progress) {
    bool abort = false;
    if (notify.archiveProgress)
        notify.archiveProgress(progress, abort);
    if (abort) {
        status_ = ArchiveStatus::Invalid;
        throw ArchiveError(kAbortedByUser);
    }
}

void ZipArchive::Load() {
    members_.clear();
    shift_ = 0;
    const std::uint64_t size = source_->Size();
    if (size == 0)
        return;
    std::uint8_t head[4] = {};
    if (source_->ReadAt(0, head, 4) == 4)
        executable_ = StartsLikeProgram(Le32(head));

    const std::int64_t endAt = FindEndRecord(*source_);
    if (endAt < 0) {
        status_ = ArchiveStatus::Invalid;
        throw ArchiveError(kNotPkZip);
    }
    std::uint8_t record[kEndRecordSize];
    if (source_->ReadAt(static_cast<std::uint64_t>(endAt), record, kEndRecordSize) !=
            kEndRecordSize ||
        Le32(record) != kEndRecordSignature)
        throw ArchiveError(kNotPkZip);
    footer_ = ParseEndRecord(record);
    const std::uint64_t commentAt = static_cast<std::uint64_t>(endAt) + kEndRecordSize;
    footer_.comment.resize(
        static_cast<std::size_t>(std::min<std::uint64_t>(footer_.commentLength, size - commentAt)));
    footer_.comment.resize(
        source_->ReadAt(commentAt, footer_.comment.data(), footer_.comment.size()));

    // Where the directory ends: at the ZIP64 end record when there is one.
    std::uint64_t directoryEnd = static_cast<std::uint64_t>(endAt);
    if (NeedsZip64(footer_)) {
        const std::uint64_t locatorAt = FindZip64Locator(endAt);
        std::uint8_t locator[kZip64LocatorSize];
        source_->ReadAt(locatorAt, locator, kZip64LocatorSize);
        footer_.diskNumber = static_cast<std::uint32_t>(Le32(locator + 16) - 1);
        std::uint8_t zip64[kZip64EndRecordSize];
        directoryEnd = Le64(locator + 8);
        if (!ReadZip64EndRecord(directoryEnd, zip64)) {
            // Behind a stub the record's stated offset misses it; it ends at the locator.
            directoryEnd = locatorAt - kZip64EndRecordSize;
            if (locatorAt < kZip64EndRecordSize || !ReadZip64EndRecord(directoryEnd, zip64))
                throw ArchiveError(kNotPkZip);
        }
        ApplyZip64EndRecord(footer_, zip64);
    }
    // Spanned and multi-disk sets are not supported.
    if (footer_.diskNumber > 0)
        throw ArchiveError(kNotPkZip);
    shift_ = StubShift(static_cast<std::uint64_t>(endAt), directoryEnd);
    ReadDirectory();
}

bool ZipArchive::ReadZip64EndRecord(std::uint64_t at, std::uint8_t* record) {
    return source_->ReadAt(at, record, kZip64EndRecordSize) == kZip64EndRecordSize &&
           Le32(record) == kZip64EndRecordSignature;
}

bool ZipArchive::CentralHeaderAt(std::uint64_t at) {
    std::uint8_t signature[4];
    return source_->ReadAt(at, signature, 4) == 4 && Le32(signature) == kCentralHeaderSignature;
}

std::uint64_t ZipArchive::StubShift(std::uint64_t endRecordAt, std::uint64_t directoryEnd) {
    // Offsets are absolute whenever the directory is where they say, or cannot be found.
    const std::uint64_t stated = footer_.directoryOffset;
    if (footer_.totalEntries == 0 || CentralHeaderAt(stated))
        return 0;
    // The directory ends where the ZIP64 end record starts, when there is one, even if the
    // end record needs none of its values.
    const std::uint64_t zip64Size = kZip64LocatorSize + kZip64EndRecordSize;
    const std::uint64_t ends[] = {directoryEnd,
                                  endRecordAt >= zip64Size ? endRecordAt - zip64Size : 0};
    for (const std::uint64_t end : ends) {
        if (end < footer_.directorySize)
            continue;
        const std::uint64_t actual = end - footer_.directorySize;
        if (actual > stated && CentralHeaderAt(actual))
            return actual - stated;
    }
    return 0;
}

std::uint64_t ZipArchive::FindZip64Locator(std::int64_t endRecordAt) {
    // Backwards one byte per step, read in blocks so a long search stays cheap.
    std::vector<std::uint8_t> block;
    std::int64_t candidate = endRecordAt - static_cast<std::int64_t>(kZip64LocatorSize);
    while (candidate >= 0) {
        const std::int64_t blockStart = std::max<std::int64_t>(0, candidate - 65536);
        block.resize(static_cast<std::size_t>(candidate - blockStart) + kZip64LocatorSize);
        const std::size_t got =
            source_->ReadAt(static_cast<std::uint64_t>(blockStart), block.data(), block.size());
        for (; candidate >= blockStart; --candidate) {
            const auto offset = static_cast<std::size_t>(candidate - blockStart);
            if (offset + 4 <= got && Le32(block.data() + offset) == kZip64LocatorSignature &&
                offset + kZip64LocatorSize <= got)
                return static_cast<std::uint64_t>(candidate);
        }
    }
    throw ArchiveError(kNotPkZip);
}

void ZipArchive::ReadDirectory() {
    SequentialReader reader(*source_, footer_.directoryOffset + shift_);
    const std::uint64_t total = footer_.totalEntries;
    while (members_.size() < total) {
        std::uint8_t fixed[kCentralHeaderSize];
        reader.ReadExact(fixed, kCentralHeaderSize);
        ZipMember member;
        member.header = ParseCentralHeader(fixed);
        member.rawName = reader.ReadText(member.header.nameLength);
        member.extra = reader.ReadText(member.header.extraLength);
        member.comment = reader.ReadText(member.header.commentLength);
        if (member.header.signature != kCentralHeaderSignature)
            throw ArchiveError(kNotPkZip);
        member.name = DecodeMemberName(member.rawName, member.header.flags, member.extra,
                                       member.HostSystem());
        const Zip64Values values = ResolveZip64(member.header, member.extra);
        member.uncompressedSize = values.uncompressedSize;
        member.compressedSize = values.compressedSize;
        member.localHeaderOffset = values.localHeaderOffset + shift_;
        member.diskStart = values.diskStart;
        members_.push_back(std::move(member));
        ReportLoadProgress(static_cast<int>(members_.size() * 100 / total));
    }
    ReportLoadProgress(100);
}

MemberData ZipArchive::OpenMember(const ZipMember& member) {
    CheckUsable();
    if ((member.header.versionNeeded & 0xFF) >= 64)
        throw ArchiveError(kNewerVersionRequired);
    std::uint8_t local[kLocalHeaderSize];
    if (source_->ReadAt(member.localHeaderOffset, local, kLocalHeaderSize) != kLocalHeaderSize)
        throw StreamError("Stream read error");
    if (Le32(local) != kLocalHeaderSignature)
        throw ArchiveError(kNotPkZip);
    const std::uint64_t dataStart =
        member.localHeaderOffset + kLocalHeaderSize + Le16(local + 26) + Le16(local + 28);
    MemberData data(*source_, dataStart, member.compressedSize);
    if (member.IsEncrypted()) {
        // Streamed members carry their CRC after the data; the header time checks instead.
        const std::uint32_t checkValue = (Le16(local + 6) & 0x0008)
                                             ? static_cast<std::uint32_t>(Le16(local + 10)) << 16
                                             : member.header.crc32;
        OpenEncrypted(data, checkValue);
    }
    return data;
}

void ZipArchive::OpenEncrypted(MemberData& data, std::uint32_t checkValue) {
    if (password.empty() && notify.needPassword)
        notify.needPassword(password);
    if (password.empty())
        throw ArchiveError(kInvalidPassword);
    std::uint8_t header[kEncryptionHeaderSize];
    if (data.Window().Read(header, sizeof header) != sizeof header)
        throw StreamError("Stream read error");
    ZipCryptoKeys keys("");
    int failedChecks = 0;
    while (!CheckEncryptionHeader(header, password, checkValue, keys)) {
        if (++failedChecks > passwordRetries)
            throw ArchiveError(kInvalidPassword);
        if (notify.needPassword)
            notify.needPassword(password);
        if (password.empty())
            throw ArchiveError(kAbortedByUser);
    }
    data.Decrypt(keys);
}

std::size_t MemberData::Read(std::uint8_t* buffer, std::size_t size) {
    const std::size_t got = window_.Read(buffer, size);
    if (keys_) {
        for (std::size_t i = 0; i < got; ++i)
            buffer[i] = keys_->Decrypt(buffer[i]);
    }
    return got;
}

void ZipArchive::DecodeMember(const ZipMember& member, MemberData& data, ByteSink& sink) {
    CheckUsable();
    if (member.uncompressedSize == 0)
        return;
    CountingOutput::Progress progress;
    if (notify.memberProgress) {
        progress = [this, &member](int percent, bool& abort) {
            notify.memberProgress(member, percent, abort);
        };
    }
    CountingOutput output(sink, member.uncompressedSize, std::move(progress));
    try {
        DecodeMethod(member.DecoderMethod(), member.header.flags, member.uncompressedSize,
                     data.Input(), output, scratch_);
    } catch (const ArchiveError& error) {
        if (error.Code() == kAbortedByUser)
            status_ = ArchiveStatus::Invalid;
        throw;
    }
    if (output.Crc() != member.header.crc32) {
        if (!notify.memberFailure)
            throw ArchiveError(kCrcFailed);
        notify.memberFailure(member, ErrorClass::ecArchive, kCrcFailed);
    }
}

} // namespace ks::archive
