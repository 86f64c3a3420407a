// Archives written at test time by real tools (Info-ZIP zip, 7z, bsdtar, Python's zipfile),
// also behind a stub, extract flat, byte for byte, with the files' modification times.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "archive/zip_extractor.h"
#include "tests/archive/zip_builder.h"
#include "tests/common/test_paths.h"

namespace {

using namespace ks::archive;
namespace fs = std::filesystem;

struct Tool {
    const char* title;
    const char* command; // runs in the source folder, writes ../made.zip
};

std::ostream& operator<<(std::ostream& os, const Tool& t) {
    return os << t.title;
}

const char* const kPython =
    "python3 -c \"import zipfile,os,sys\n"
    "m={'stored':zipfile.ZIP_STORED,'bzip2':zipfile.ZIP_BZIP2}.get(sys.argv[1],zipfile.ZIP_"
    "DEFLATED)\n"
    "z=zipfile.ZipFile('../made.zip','w',m)\n"
    "z.comment=b'made by a test'\n"
    "for d,_,fs in os.walk('.'):\n"
    "  for f in sorted(fs):\n"
    "    p=os.path.join(d,f)[2:]\n"
    "    if sys.argv[2]=='zip64':\n"
    "      with open(p,'rb') as i, z.open(zipfile.ZipInfo.from_file(p),'w',force_zip64=True) as o: "
    "o.write(i.read())\n"
    "    else: z.write(p)\n"
    "z.close()\" ";

const std::vector<Tool> kTools = {
    {"InfoZipDeflate", "zip -q -r -X ../made.zip ."},
    {"InfoZipStored", "zip -q -r -0 -X ../made.zip ."},
    {"SevenZipDeflate", "7z a -tzip -bd -bso0 ../made.zip ."},
    {"SevenZipStored", "7z a -tzip -mx=0 -bd -bso0 ../made.zip ."},
    {"Bsdtar", "bsdtar --format zip -cf ../made.zip ."},
    {"BsdtarStored", "bsdtar --format zip --options zip:compression=store -cf ../made.zip ."},
    {"PythonDeflate", "PY deflated plain"},
    {"PythonStoredZip64", "PY stored zip64"},
    {"SevenZipDeflate64", "7z a -tzip -mm=Deflate64 -bd -bso0 ../made.zip ."},
    {"SevenZipBzip2", "7z a -tzip -mm=BZip2 -md=100k -bd -bso0 ../made.zip ."},
    {"PythonBzip2", "PY bzip2 plain"},
    // A program stub in front, offsets adjusted to count it; then offsets left relative.
    {"InfoZipSelfExtractor", "zip -q -r -X ../inner.zip . && (printf MZ; head -c 5000 /dev/zero; "
                             "cat ../inner.zip) >../made.zip && zip -q -A ../made.zip"},
    {"JunkInFront", "zip -q -r -X ../inner.zip . && (head -c 3000 /dev/urandom; cat ../inner.zip) "
                    ">../made.zip"},
};

std::string Random(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(generator());
    return out;
}

class ToolArchive : public ::testing::TestWithParam<Tool> {
protected:
    ToolArchive() : scratch_("tool-archives"), source_(scratch_.File("source")) {
        fs::create_directories(source_ + "/sub/deep");
        files_ = {{"text.txt", std::string(200000, 'k') + "tail"},
                  {"random.bin", Random(150000, 7)},
                  {"empty.dat", ""},
                  {"sub/deep/nested.txt", "nested content"},
                  {"sub/\xc3\xbcmlaut.txt", "utf-8 name"}};
        for (const auto& [name, content] : files_)
            kstest::zip::WriteFile(source_ + "/" + name, content);
    }

    kstest::ScratchFolder scratch_;
    std::string source_;
    std::vector<std::pair<std::string, std::string>> files_;
};

TEST_P(ToolArchive, ExtractsFlatWithContentAndTimes) {
    std::string command = GetParam().command;
    if (command.rfind("PY ", 0) == 0)
        command = kPython + command.substr(3);
    ASSERT_EQ(std::system(("cd '" + source_ + "' && " + command).c_str()), 0) << command;

    const std::string out = scratch_.File("out");
    fs::create_directories(out);
    ZipExtractor zip;
    int failures = 0;
    zip.OnProcessItemFailure = [&failures](ZipExtractor&, const ZipMember& m, ProcessType,
                                           ErrorClass, int code) {
        ++failures;
        ADD_FAILURE() << m.name << " failed with " << code;
    };
    zip.SetFileName(scratch_.File("made.zip"));
    zip.SetBaseDirectory(out);
    zip.ExtractByMask("*.*");
    zip.ReleaseArchive();
    EXPECT_EQ(failures, 0);

    for (const auto& [name, content] : files_) {
        const std::string flat = fs::path(name).filename().string();
        EXPECT_EQ(kstest::zip::ReadFile(out + "/" + flat), content) << flat;
        struct stat original {};
        struct stat extracted {};
        ASSERT_EQ(::stat((source_ + "/" + name).c_str(), &original), 0);
        ASSERT_EQ(::stat((out + "/" + flat).c_str(), &extracted), 0) << flat;
        EXPECT_LE(std::llabs(static_cast<long long>(original.st_mtime - extracted.st_mtime)), 2)
            << flat << ": DOS times have two-second steps";
    }
    EXPECT_FALSE(fs::exists(out + "/sub")) << "flat extraction creates no folders";
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolArchive, ::testing::ValuesIn(kTools),
                         [](const auto& info) { return std::string(info.param.title); });

} // namespace
