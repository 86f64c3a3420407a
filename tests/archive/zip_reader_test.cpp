// The directory reader and member decoding over crafted archives: end record search,
// ZIP64, versions, methods, size limits, stubs in front.
#include <gtest/gtest.h>

#include "archive/archive_type.h"
#include "archive/percentage.h"
#include "archive/zip_archive.h"
#include "tests/archive/reader_support.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;
using namespace kstest::zip;

std::int64_t EndRecordAt(const Bytes& bytes) {
    MemorySource source(bytes);
    return FindEndRecord(source);
}

Bytes OneMember(const Layout& layout = {}) {
    return Build({{"a.txt", "hello"}}, layout);
}

TEST(EndRecordSearch, FindsTheRecordWithoutComment) {
    const Bytes zip = OneMember();
    EXPECT_EQ(EndRecordAt(zip), static_cast<std::int64_t>(zip.size() - 22));
}

TEST(EndRecordSearch, FindsTheRecordBeforeComments) {
    for (const std::size_t length : {1u, 489u, 490u, 491u, 1500u, 65535u}) {
        Layout layout;
        layout.comment = Bytes(length, 'c');
        const Bytes zip = OneMember(layout);
        EXPECT_EQ(EndRecordAt(zip), static_cast<std::int64_t>(zip.size() - 22 - length))
            << "comment length " << length;
        EXPECT_EQ(Loaded(zip)->Footer().comment, layout.comment);
    }
}

TEST(EndRecordSearch, SearchesFurtherBackThan64KiB) {
    Layout layout;
    layout.trailer = Bytes(200000, 't');
    const Bytes zip = OneMember(layout);
    EXPECT_EQ(EndRecordAt(zip), static_cast<std::int64_t>(zip.size() - 200000 - 22));
    EXPECT_EQ(Decoded(*Loaded(zip), 0), "hello");
}

TEST(EndRecordSearch, PassesOverACandidateWhoseCommentRunsPastTheEnd) {
    // A second end signature inside the comment claims 500 comment bytes; only 30 follow.
    Bytes fake;
    Put32(fake, 0x06054B50);
    fake += Bytes(16, '\0');
    Put16(fake, 500);
    Layout layout;
    layout.comment = "lead" + fake + Bytes(30, 'x');
    const Bytes zip = OneMember(layout);
    EXPECT_EQ(EndRecordAt(zip), static_cast<std::int64_t>(zip.size() - 22 - layout.comment.size()));
}

TEST(EndRecordSearch, ReportsMissingRecord) {
    EXPECT_EQ(EndRecordAt(Bytes(100000, 'z')), -1);
    EXPECT_EQ(EndRecordAt(Bytes(10, 'z')), -1);
    EXPECT_EQ(ArchiveErrorOf([] { Loaded(Bytes(3000, 'z')); }), kNotPkZip);
}

TEST(DirectoryLoad, SaturatedEntryCountWithoutLocatorIsNotAZip) {
    Layout layout;
    layout.totalEntriesField = 0xFFFF;
    EXPECT_EQ(ArchiveErrorOf([&] { Loaded(OneMember(layout)); }), kNotPkZip);
}

TEST(DirectoryLoad, TakesSaturatedSizesFromTheZip64Field) {
    Entry big{"big.bin", Bytes(3000, 'b')};
    big.method = 8;
    big.zip64Sizes = true;
    auto archive = Loaded(Build({big}));
    const ZipMember& m = archive->Members().at(0);
    EXPECT_EQ(m.header.uncompressedSize, 0xFFFFFFFFu);
    EXPECT_EQ(m.uncompressedSize, 3000u);
    EXPECT_EQ(m.compressedSize, RawDeflate(big.data).size());
    EXPECT_EQ(Decoded(*archive, 0), big.data);
}

TEST(DirectoryLoad, TooShortZip64FieldFailsTheLoad) {
    Entry e{"x", "data"};
    e.zip64Sizes = true;
    Bytes zip = Build({e});
    // Shrink the sub-field's declared size from 16 to 8: the compressed size is missing.
    const std::size_t at = zip.find(std::string("\x01\x00\x10\x00", 4));
    ASSERT_NE(at, std::string::npos);
    zip[at + 2] = 8;
    EXPECT_THROW(Loaded(zip), StreamError);
}

TEST(DirectoryLoad, BadCentralSignatureIsNotAZip) {
    Bytes zip = OneMember();
    zip[zip.find(std::string("PK\x01\x02", 4)) + 3] = 9;
    EXPECT_EQ(ArchiveErrorOf([&] { Loaded(zip); }), kNotPkZip);
}

TEST(DirectoryLoad, ReportsProgressPerEntryThenOneHundred) {
    auto archive = std::make_unique<ZipArchive>(
        "m.zip", std::make_unique<MemorySource>(Build({{"a", "1"}, {"b", "2"}, {"c", "3"}})));
    std::vector<int> seen;
    archive->notify.archiveProgress = [&seen](int p, bool&) { seen.push_back(p); };
    archive->Load();
    EXPECT_EQ(seen, (std::vector<int>{33, 66, 100, 100}));
}

TEST(DirectoryLoad, AbortDuringLoadInvalidatesTheArchive) {
    auto archive = std::make_unique<ZipArchive>(
        "m.zip", std::make_unique<MemorySource>(Build({{"a", "1"}, {"b", "2"}})));
    archive->notify.archiveProgress = [](int, bool& abort) { abort = true; };
    EXPECT_EQ(ArchiveErrorOf([&] { archive->Load(); }), kAbortedByUser);
    EXPECT_EQ(archive->Status(), ArchiveStatus::Invalid);
}

struct MemberCase {
    const char* title;
    Entry entry;
    int expectedError; // -1: decodes to entry.data; -2: fails with a decoding error
};

std::ostream& operator<<(std::ostream& os, const MemberCase& c) {
    return os << c.title;
}

Entry With(Entry e, void (*change)(Entry&)) {
    change(e);
    return e;
}

const MemberCase kMemberCases[] = {
    {"stored", {"s", "stored bytes"}, -1},
    {"deflated", With({"d", Bytes(5000, 'q')}, [](Entry& e) { e.method = 8; }), -1},
    {"version63", With({"v", "x"}, [](Entry& e) { e.versionNeeded = 63; }), -1},
    {"version64", With({"v", "x"}, [](Entry& e) { e.versionNeeded = 64; }), kNewerVersionRequired},
    {"versionHighByteIgnored", With({"v", "x"}, [](Entry& e) { e.versionNeeded = 0x0314; }), -1},
    {"method7", With({"m", "x"}, [](Entry& e) { e.method = 7; }), kUnsupportedMethod},
    // Decoded now: a bare "x" is no stream of these methods, so it fails as damaged data.
    {"method9", With({"m", "x"}, [](Entry& e) { e.method = 9; }), -2},
    {"method12", With({"m", "x"}, [](Entry& e) { e.method = 12; }), -2},
    {"method14", With({"m", "x"}, [](Entry& e) { e.method = 14; }), -2},
    {"method98", With({"m", "x"}, [](Entry& e) { e.method = 98; }), -2},
    {"methodHighByteIgnored", With({"m", "x"}, [](Entry& e) { e.method = 0x0100; }), -1},
    {"encrypted", With({"e", "x"}, [](Entry& e) { e.flags = 1; }), kInvalidPassword},
    {"crcMismatch", With({"c", "abc"}, [](Entry& e) { e.crc = 1; }), kCrcFailed},
    {"shorterThanDeclaredWithGoodCrc",
     With({"d", "abc"},
          [](Entry& e) {
              e.method = 8;
              e.declaredSize = 10;
          }),
     -2},
};

class MemberDecoding : public ::testing::TestWithParam<MemberCase> {};

TEST_P(MemberDecoding, DecodesOrFailsWithItsCode) {
    const MemberCase& c = GetParam();
    auto archive = Loaded(Build({c.entry}));
    std::string out;
    const int error = ArchiveErrorOf([&] { out = Decoded(*archive, 0); });
    EXPECT_EQ(error, c.expectedError);
    if (c.expectedError == -1) {
        EXPECT_EQ(out, c.entry.data);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MemberDecoding, ::testing::ValuesIn(kMemberCases),
                         [](const auto& info) { return std::string(info.param.title); });

TEST(MemberDecodingLimits, EmptyMemberYieldsNothingAndIsNotChecked) {
    Entry e{"empty", ""};
    e.crc = 0x12345678;
    auto archive = Loaded(Build({e}));
    EXPECT_EQ(Decoded(*archive, 0), "");
}

TEST(MemberDecodingLimits, InflateStopsAtTheDeclaredSize) {
    Entry bomb{"bomb", Bytes(1 << 20, '\0')};
    bomb.method = 8;
    bomb.declaredSize = 1000;
    auto archive = Loaded(Build({bomb}));
    const ZipMember& m = archive->Members().at(0);
    MemberData data = archive->OpenMember(m);
    StringSink sink;
    EXPECT_THROW(archive->DecodeMember(m, data, sink), DecoderError);
    EXPECT_EQ(sink.text.size(), 1000u);
}

TEST(MemberDecodingLimits, StoredDataShorterThanDeclaredIsAReadError) {
    Entry e{"short", "12345"};
    e.declaredSize = 10;
    auto archive = Loaded(Build({e}));
    EXPECT_THROW(Decoded(*archive, 0), StreamError);
}

TEST(MemberDecodingLimits, TruncatedDeflateStreamFails) {
    Entry e{"cut", Bytes(100000, 'r')};
    e.method = 8;
    Bytes zip = Build({e});
    auto archive = Loaded(zip);
    // Point the window at fewer bytes than the stream needs.
    const_cast<ZipMember&>(archive->Members().at(0)).compressedSize = 10;
    EXPECT_THROW(Decoded(*archive, 0), DecoderError);
}

TEST(MemberDecodingLimits, BadLocalHeaderSignatureIsNotAZip) {
    Bytes zip = Build({{"a", "1"}});
    zip[2] = 'X';
    auto archive = Loaded(zip);
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(*archive, 0); }), kNotPkZip);
}

TEST(MemberDecodingLimits, ProgressReportsEveryChangeButNeverZero) {
    Entry e{"p", Bytes(400000, 'p')};
    auto archive = Loaded(Build({e}));
    std::vector<int> seen;
    archive->notify.memberProgress = [&seen](const ZipMember&, int p, bool&) { seen.push_back(p); };
    Decoded(*archive, 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_NE(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST(MemberDecodingLimits, AbortWhileDecodingInvalidatesTheArchive) {
    auto archive = Loaded(Build({{"a", Bytes(1000, 'a')}, {"b", "b"}}));
    archive->notify.memberProgress = [](const ZipMember&, int, bool& abort) { abort = true; };
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(*archive, 0); }), kAbortedByUser);
    EXPECT_EQ(archive->Status(), ArchiveStatus::Invalid);
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(*archive, 1); }), kArchiveMissing);
}

TEST(Encryption, WrongPasswordsAreRetriedThenRefused) {
    const std::string path = kstest::SourcePath("tests/data/zip/lf_test_password_abcde.zip");
    ZipArchive archive(path, std::make_unique<InputFile>(path));
    archive.Load();
    std::vector<std::string> answers = {"wrong1", "wrong2", "abcde"};
    archive.password = "first-guess";
    archive.notify.needPassword = [&answers](std::string& password) {
        password = answers.front();
        answers.erase(answers.begin());
    };
    EXPECT_EQ(Decoded(archive, 0).size(), 7u);
    EXPECT_TRUE(answers.empty());

    archive.password = "bad";
    archive.notify.needPassword = [](std::string& password) { password = "still-bad"; };
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(archive, 0); }), kInvalidPassword);

    archive.password = "bad";
    archive.notify.needPassword = [](std::string& password) { password.clear(); };
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(archive, 0); }), kAbortedByUser);

    archive.password.clear();
    archive.notify.needPassword = nullptr;
    EXPECT_EQ(ArchiveErrorOf([&] { Decoded(archive, 0); }), kInvalidPassword);
}

TEST(SelfExtracting, StubInFrontWithAbsoluteOffsetsExtracts) {
    Layout layout;
    layout.prefix = "MZ" + Bytes(4094, '\x90');
    const Bytes zip = Build({{"inside.txt", "payload"}}, layout);
    MemorySource source(zip);
    EXPECT_EQ(CheckArchiveKind("setup.exe", source), ArchiveKind::SelfExtractingZip);
    EXPECT_EQ(CheckArchiveKind("setup.bin", source), ArchiveKind::SelfExtractingZip);
    EXPECT_EQ(CheckArchiveKind("setup.zip", source), ArchiveKind::Zip);
    auto archive = Loaded(zip);
    EXPECT_TRUE(archive->IsExecutable());
    EXPECT_EQ(Decoded(*archive, 0), "payload");
}

// Bytes in front of an archive: offsets that already count them are read as they are;
// offsets relative to the archive's own start are shifted, but only when the directory is
// missing where they point and present where the shift puts it.
struct StubCase {
    const char* title;
    const char* realArchive; // "" for a built two-member archive
    Bytes front;
    bool offsetsAbsolute;
    bool directoryBroken;
    std::uint64_t stubSize;
    int error; // -1: every member decodes
};

std::ostream& operator<<(std::ostream& os, const StubCase& c) {
    return os << c.title;
}

const Bytes kExeStub = "MZ" + Bytes(4094, '\x90');

const StubCase kStubCases[] = {
    {"NoStub", "", "", false, false, 0, -1},
    {"ExeStubAbsoluteOffsets", "", kExeStub, true, false, 0, -1},
    {"ExeStubRelativeOffsets", "", kExeStub, false, false, 4096, -1},
    {"JunkRelativeOffsets", "", Bytes(777, 'j'), false, false, 777, -1},
    {"DirectoryFoundNowhere", "", Bytes(777, '\0'), false, true, 0, kNotPkZip},
    {"Zip64JunkRelativeOffsets", "lz_zip64.zip", Bytes(300, '\0'), false, false, 300, -1},
};

class StubLayout : public ::testing::TestWithParam<StubCase> {};

TEST_P(StubLayout, ShiftsOffsetsOnlyWhenTheDirectoryIsThere) {
    const StubCase& c = GetParam();
    Layout layout;
    if (c.offsetsAbsolute)
        layout.prefix = c.front;
    Bytes zip = *c.realArchive
                    ? ReadFile(kstest::SourcePath(std::string("tests/data/zip/") + c.realArchive))
                    : Build({{"a.txt", "first"}, {"b.txt", Bytes(3000, 'z'), 8}}, layout);
    if (!c.offsetsAbsolute)
        zip = c.front + zip;
    if (c.directoryBroken)
        zip[zip.find("PK\x01\x02")] = 'Q';
    ZipArchive archive("stub.exe", std::make_unique<MemorySource>(zip));
    EXPECT_EQ(ArchiveErrorOf([&] { archive.Load(); }), c.error);
    if (c.error >= 0)
        return;
    EXPECT_EQ(archive.StubSize(), c.stubSize);
    for (std::size_t i = 0; i < archive.Members().size(); ++i) {
        const std::string text = Decoded(archive, i);
        EXPECT_EQ(text.size(), archive.Members()[i].uncompressedSize);
        EXPECT_EQ(Crc(text), archive.Members()[i].header.crc32);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, StubLayout, ::testing::ValuesIn(kStubCases),
                         [](const auto& info) { return std::string(info.param.title); });

struct KindCase {
    const char* fileName;
    Bytes content;
    ArchiveKind kind;
};

class TypeCheck : public ::testing::TestWithParam<KindCase> {};

TEST_P(TypeCheck, ExtensionVerifiedByContent) {
    MemorySource source(GetParam().content);
    EXPECT_EQ(CheckArchiveKind(GetParam().fileName, source), GetParam().kind)
        << GetParam().fileName;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypeCheck,
    ::testing::Values(KindCase{"p.zip", OneMember(), ArchiveKind::Zip},
                      KindCase{"P.JAR", OneMember(), ArchiveKind::Zip},
                      KindCase{"p.ZIP", Bytes(500, 'n'), ArchiveKind::Unknown},
                      KindCase{"p.exe", OneMember(), ArchiveKind::Unknown},
                      KindCase{"p.dat", OneMember(), ArchiveKind::Zip},
                      KindCase{"p.zip", Bytes("PK\x07\x08", 4) + Bytes(40, '\0'),
                               ArchiveKind::SpannedZip},
                      KindCase{"p.gz", Bytes("\x1f\x8b\x08", 3), ArchiveKind::Gzip},
                      KindCase{"p.cab", "MSCF....", ArchiveKind::Cabinet},
                      KindCase{"p.cab", "nothing", ArchiveKind::Unknown},
                      KindCase{"p.dat", "BZh91AY", ArchiveKind::Bzip2},
                      KindCase{"dir.zip\\p", "x", ArchiveKind::Unknown}));

TEST(Percentage, RuleTable) {
    EXPECT_EQ(Percentage(0, 0), 0);
    EXPECT_EQ(Percentage(5, 0), 0);
    EXPECT_EQ(Percentage(1, 3), 33);
    EXPECT_EQ(Percentage(2, 3), 66);
    EXPECT_EQ(Percentage(3, 3), 100);
    EXPECT_EQ(Percentage(7, 3), 100);
    EXPECT_EQ(Percentage(16383999, 16384000), 99);
    // Above 16,384,000 both are scaled by 256 with rounding first.
    EXPECT_EQ(Percentage(20000000 - 100, 20000000), 100);
    EXPECT_EQ(Percentage(20000000 - 300, 20000000), 99);
    EXPECT_EQ(Percentage(1ull << 40, 1ull << 41), 50);
}

} // namespace
