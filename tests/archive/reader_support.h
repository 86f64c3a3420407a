// Runs the reader over archives held in memory.
#pragma once
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "archive/zip_archive.h"
#include "tests/archive/zip_builder.h"

namespace kstest::zip {

class MemorySource : public ks::archive::ByteSource {
public:
    explicit MemorySource(Bytes bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset >= bytes_.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(size, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.data() + offset, n);
        return n;
    }

private:
    Bytes bytes_;
};

class StringSink : public ks::archive::ByteSink {
public:
    void Write(const std::uint8_t* data, std::size_t size) override {
        text.append(reinterpret_cast<const char*>(data), size);
    }
    std::string text;
};

inline std::unique_ptr<ks::archive::ZipArchive> Loaded(const Bytes& bytes) {
    auto archive = std::make_unique<ks::archive::ZipArchive>("memory.zip",
                                                             std::make_unique<MemorySource>(bytes));
    archive->Load();
    return archive;
}

// The member's decoded bytes; failures raise as they do for the extractor.
inline std::string Decoded(ks::archive::ZipArchive& archive, std::size_t index) {
    const ks::archive::ZipMember& member = archive.Members().at(index);
    ks::archive::MemberData data = archive.OpenMember(member);
    StringSink sink;
    archive.DecodeMember(member, data, sink);
    return sink.text;
}

// The archive error code a call raises, or -1 when it raises none (or something else).
template <typename Call> int ArchiveErrorOf(Call&& call) {
    try {
        call();
    } catch (const ks::archive::ArchiveError& error) {
        return error.Code();
    } catch (...) {
        return -2;
    }
    return -1;
}

} // namespace kstest::zip
