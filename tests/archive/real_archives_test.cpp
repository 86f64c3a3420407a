// Every entry of the public test archives (tests/data/zip/expected.tsv) read, decoded and
// checked as the extractor would: recorded size and CRC-32 for good entries, the right
// failure for damaged, encrypted and unsupported ones.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "archive/zip_archive.h"
#include "tests/archive/reader_support.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;

struct Row {
    std::string archive;
    std::string member; // raw bytes
    int method = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::size_t index = 0;
    std::string password;
    std::string expect;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.archive << "#" << r.index;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() + 0 && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<Row> LoadRows() {
    std::ifstream file(kstest::SourcePath("tests/data/zip/expected.tsv"));
    std::vector<Row> rows;
    std::string line;
    std::getline(file, line);
    while (std::getline(file, line)) {
        std::vector<std::string> cells;
        std::stringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');)
            cells.push_back(cell);
        if (cells.size() < 10)
            continue;
        Row r;
        r.archive = cells[0];
        r.member = Unescape(cells[1]);
        r.method = std::stoi(cells[2]);
        r.size = std::stoull(cells[3]);
        r.crc = static_cast<std::uint32_t>(std::stoul(cells[4], nullptr, 16));
        r.index = std::stoul(cells[5]);
        r.password = cells[8];
        r.expect = cells[9];
        rows.push_back(r);
    }
    return rows;
}

enum class Outcome { Good, CrcFailure, CorruptData, Unsupported, NoPassword };

Outcome Expected(const Row& r) {
    // No decoder for WavPack.
    if (r.method == 97)
        return Outcome::Unsupported;
    if (!r.password.empty())
        return Outcome::NoPassword;
    if (r.expect == "crc-error")
        return Outcome::CrcFailure;
    if (r.expect == "data-error")
        return Outcome::CorruptData;
    // Methods 1 to 6 included: the legacy decoders are part of the reader.
    return Outcome::Good;
}

class RealArchive : public ::testing::TestWithParam<Row> {};

TEST_P(RealArchive, EntryDecodesAsRecorded) {
    const Row& r = GetParam();
    const std::string path = kstest::SourcePath("tests/data/zip/" + r.archive);
    ZipArchive archive(path, std::make_unique<InputFile>(path));
    const Outcome expected = Expected(r);
    archive.Load();
    ASSERT_LT(r.index, archive.Members().size());
    const ZipMember& m = archive.Members()[r.index];
    EXPECT_EQ(m.rawName, r.member);
    EXPECT_EQ(m.header.method, r.method);
    EXPECT_EQ(m.uncompressedSize, r.size);
    EXPECT_EQ(m.header.crc32, r.crc);

    kstest::zip::StringSink sink;
    int archiveError = -1;
    bool decoderError = false;
    try {
        MemberData data = archive.OpenMember(m);
        archive.DecodeMember(m, data, sink);
    } catch (const ArchiveError& error) {
        archiveError = error.Code();
    } catch (const DecoderError&) {
        decoderError = true;
    }
    switch (expected) {
    case Outcome::Good:
        EXPECT_EQ(archiveError, -1);
        EXPECT_FALSE(decoderError);
        EXPECT_EQ(sink.text.size(), r.size);
        EXPECT_EQ(kstest::zip::Crc(sink.text), r.crc);
        break;
    case Outcome::CrcFailure:
        EXPECT_EQ(archiveError, kCrcFailed);
        EXPECT_EQ(sink.text.size(), r.size);
        break;
    case Outcome::CorruptData:
        EXPECT_TRUE(decoderError);
        EXPECT_LE(sink.text.size(), r.size);
        break;
    case Outcome::Unsupported:
        EXPECT_EQ(archiveError, kUnsupportedMethod);
        EXPECT_TRUE(sink.text.empty());
        break;
    case Outcome::NoPassword: {
        EXPECT_EQ(archiveError, kInvalidPassword);
        // With the right password the same entry decodes.
        archive.password = r.password;
        MemberData data = archive.OpenMember(m);
        kstest::zip::StringSink plain;
        archive.DecodeMember(m, data, plain);
        EXPECT_EQ(kstest::zip::Crc(plain.text), r.crc);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(ExpectedTsv, RealArchive, ::testing::ValuesIn(LoadRows()));

TEST(RealArchiveTable, CoversEveryArchive) {
    std::set<std::string> archives;
    for (const Row& r : LoadRows())
        archives.insert(r.archive);
    EXPECT_EQ(archives.size(), 47u);
}

} // namespace
