// One opened ZIP package: its directory, loaded at once, and the operations that open and
// decode a member's data.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/file_access.h"
#include "archive/member_decoding.h"
#include "archive/zip_crypto.h"
#include "archive/zip_format.h"
#include "archive/zip_member.h"

namespace ks::archive {

enum class ArchiveStatus { Invalid = 0, Idle = 1, Busy = 2 };

// What the archive tells its owner; an empty function means "not attached".
struct ArchiveNotifications {
    std::function<void(int progress, bool& abort)> archiveProgress;
    std::function<void(const ZipMember& member, int progress, bool& abort)> memberProgress;
    std::function<void(const ZipMember& member, ErrorClass errorClass, int code)> memberFailure;
    std::function<void(std::string& password)> needPassword;
};

// A member's data, positioned after its local header and limited to its compressed size;
// decrypted on the way when the member is encrypted.
class MemberData : public MemberInput {
public:
    MemberData(ByteSource& source, std::uint64_t start, std::uint64_t limit)
        : window_(source, start, limit) {}

    std::size_t Read(std::uint8_t* buffer, std::size_t size) override;
    MemberInput& Input() { return *this; }
    DataWindow& Window() { return window_; }
    void Decrypt(const ZipCryptoKeys& keys) { keys_ = keys; }

private:
    DataWindow window_;
    std::optional<ZipCryptoKeys> keys_;
};

class ZipArchive {
public:
    ZipArchive(std::string path, std::unique_ptr<ByteSource> source);
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Reads the directory. Raises error 24 (and turns invalid) without an end record.
    void Load();

    const std::string& Path() const { return path_; }
    ArchiveStatus Status() const { return status_; }
    const std::vector<ZipMember>& Members() const { return members_; }
    const EndRecord& Footer() const { return footer_; }
    bool IsExecutable() const { return executable_; }
    // Bytes in front of an archive whose offsets count from its own start (a stub or junk);
    // 0 when the offsets are absolute positions in the file.
    std::uint64_t StubSize() const { return shift_; }

    std::string baseDirectory;
    std::string tempDirectory;
    std::string password;
    int passwordRetries = 3;
    ArchiveNotifications notify;

    // Raises error 23 when the archive is invalid.
    void CheckUsable() const;
    // Version check, local header and encryption; nothing is decoded yet.
    MemberData OpenMember(const ZipMember& member);
    // Decodes into `sink` and checks the CRC-32.
    void DecodeMember(const ZipMember& member, MemberData& data, ByteSink& sink);

private:
    void ReportLoadProgress(int progress);
    std::uint64_t FindZip64Locator(std::int64_t endRecordAt);
    void OpenEncrypted(MemberData& data, std::uint32_t checkValue);
    void ReadDirectory();
    bool ReadZip64EndRecord(std::uint64_t at, std::uint8_t* record);
    bool CentralHeaderAt(std::uint64_t at);
    std::uint64_t StubShift(std::uint64_t endRecordAt, std::uint64_t directoryEnd);

    std::string path_;
    std::unique_ptr<ByteSource> source_;
    ArchiveStatus status_ = ArchiveStatus::Idle;
    EndRecord footer_;
    bool executable_ = false;
    std::uint64_t shift_ = 0;
    std::vector<ZipMember> members_;
    DecoderScratch scratch_;
};

} // namespace ks::archive
