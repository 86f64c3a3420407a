#include "tools/list_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "engine/descrambler.h"
#include "resources/list_names.h"
#include "tests/common/test_paths.h"

namespace ks {
namespace {

class MapReader : public ResourceReader {
public:
    std::map<std::string, std::string> resources;
    bool Read(const std::string& name, std::string& bytes) override {
        const auto found = resources.find(name);
        if (found == resources.end())
            return false;
        bytes = found->second;
        return true;
    }
};

std::string Packed(const std::string& source) {
    std::string resource;
    std::string error;
    EXPECT_TRUE(PackList(source, resource, error)) << error;
    return resource;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(PackList, RefusesControlBytes) {
    std::string resource;
    std::string error;
    EXPECT_FALSE(PackList("good\nbad\tline\n", resource, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
}

TEST(PackEntries, ReadsBackEveryEntryAsGiven) {
    std::string resource;
    std::string error;
    const StringList messages = {"Keltra is here.\r\nStart it?", "", "a|b", "last"};
    ASSERT_TRUE(PackEntries(messages, kMessageList, resource, error)) << error;
    EXPECT_EQ(DecodeLines(SplitLines(resource)), messages);
    const StringList words = {"keltra", "C:\\", "mrk"};
    ASSERT_TRUE(PackEntries(words, kWordList, resource, error)) << error;
    EXPECT_EQ(SplitWords(DecodeLines(SplitLines(resource))), words);
}

struct RefusedEntry {
    const char* name;
    ListKind kind;
    std::string text;
};

std::ostream& operator<<(std::ostream& out, const RefusedEntry& c) {
    return out << c.name;
}

class PackEntriesRefuses : public ::testing::TestWithParam<RefusedEntry> {};

// Each of these would cut the list short, split or drop an entry, or change its text.
TEST_P(PackEntriesRefuses, ATextThatWouldNotReadBack) {
    std::string resource;
    std::string error;
    EXPECT_FALSE(PackEntries({"first", GetParam().text, "last"}, GetParam().kind, resource, error));
    EXPECT_NE(error.find(" 1: "), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, PackEntriesRefuses,
                         ::testing::Values(RefusedEntry{"Tab", kMessageList, "a\tb"},
                                           RefusedEntry{"LoneCr", kMessageList, "a\rb"},
                                           RefusedEntry{"LoneLf", kLibraryList, "a\nb"},
                                           RefusedEntry{"Underscore", kMessageList, "a_b"},
                                           RefusedEntry{"DoubleBar", kLibraryList, "a||b"},
                                           RefusedEntry{"BarBeforeLineBreak", kMessageList,
                                                        "a|\r\nb"},
                                           RefusedEntry{"BlankInWord", kWordList, "two words"},
                                           RefusedEntry{"BarInWord", kWordList, "a|b"},
                                           RefusedEntry{"EmptyWord", kWordList, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadLists, FindsTheListsTheWayTheProgramDoes) {
    MapReader reader;
    reader.resources["EXE"] = Packed("a b c d e lib\n");
    reader.resources["LIB"] = Packed("first_entry||second line\n");
    const EmbeddedLists lists = ReadLists(reader, "C:\\setup\\keltrasetup.exe");
    ASSERT_TRUE(lists.words);
    EXPECT_EQ(lists.Word(word::kLibraryResource), "lib");
    EXPECT_FALSE(lists.messages) << "word 25 is missing, so there is no message resource name";
    EXPECT_EQ(lists.LibraryEntry(0), "first entry\r\nsecond line");
}

TEST(ReadLists, RenamedExecutableFindsNoWords) {
    MapReader reader;
    reader.resources["EXE"] = Packed("a\n");
    EXPECT_FALSE(ReadLists(reader, "keltrasetup.ex_").words);
}

TEST(EncodeMarkers, RoundTripsADecodedEntry) {
    const std::string stored = "Keltra_is_installed.||Start_it?";
    EXPECT_EQ(EncodeMarkers(ExpandMarkers(stored)), stored);
}

// The shipped lists must fill every role the program reads.
TEST(ShippedLists, HoldEveryEntryInUse) {
    MapReader reader;
    // The packer's input: the list sources without their entry names.
    reader.resources["EXE"] = Packed(ReadFile(kstest::BinaryPath("resources/lists/words.txt")));
    reader.resources["MSG"] = Packed(ReadFile(kstest::BinaryPath("resources/lists/messages.txt")));
    reader.resources["LIB"] = Packed(ReadFile(kstest::BinaryPath("resources/lists/library.txt")));
    const EmbeddedLists lists = ReadLists(reader, "keltrasetup.exe");
    ASSERT_TRUE(lists.words && lists.messages && lists.library);
    EXPECT_EQ(lists.words->size(), static_cast<std::size_t>(word::kCount));
    EXPECT_EQ(lists.messages->size(), static_cast<std::size_t>(msg::kCount));
    EXPECT_EQ(lists.library->size(), static_cast<std::size_t>(lib::kCount));
    for (int i : {word::kMarkerExt, word::kZip, word::kCatalogueExt, word::kLibraryResource,
                  word::kWorkPrefix, word::kInnerArchive, word::kSafeDataFolder,
                  word::kTermsResource, word::kProbe, word::kSettingsExt, word::kMessageResource,
                  word::kSafeDrive, word::kSetupPackage, word::kProduct, word::kUrlMarkerExt})
        EXPECT_FALSE(lists.Word(i).empty()) << "word " << i;
    for (int i : {msg::kStartProduct, msg::kDownloadingSetup, msg::kCatalogueUnreachable,
                  msg::kDownloadingProduct, msg::kUnpacking, msg::kReinstall,
                  msg::kProductStillRunning, msg::kDamagedPackage, msg::kPackageMismatch})
        EXPECT_FALSE(lists.Message(i).empty()) << "message " << i;
    for (int i : {lib::kMenuGroup, lib::kServerBase, lib::kProductWindowClass, lib::kSetupProgram,
                  lib::kProductProgram, lib::kVersionKey, lib::kPackageCommand, lib::kSizeKey,
                  lib::kUserSoftwareKey, lib::kServerPathFormat, lib::kCacheFolder, lib::kAgent,
                  lib::kTermsFile, lib::kInstallCommand, lib::kRemoveCommand, lib::kDataCommand,
                  lib::kLogFile, lib::kSha256Key})
        EXPECT_FALSE(lists.LibraryEntry(i).empty()) << "library entry " << i;
    for (int i : {msg::kDownloadingSetup, msg::kPackageMismatch})
        EXPECT_NE(lists.Message(i).find("%s"), std::string::npos) << "message " << i;
    EXPECT_GE(lists.LibraryEntry(lib::kCacheFolder).size(), 7u);
    // Command words are compared after the parser upper-cases them.
    for (int i :
         {lib::kPackageCommand, lib::kInstallCommand, lib::kRemoveCommand, lib::kDataCommand})
        EXPECT_EQ(lists.LibraryEntry(i), AsciiUpper(lists.LibraryEntry(i)));
}

} // namespace
} // namespace ks
