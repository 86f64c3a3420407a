// Opens the fuzzer's bytes as a package and extracts it into a temporary folder, flat and
// with restored paths. Aborts when a file lands outside the base folder (the current folder,
// an empty folder of its own, included) or a file grows beyond the largest declared member
// size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/file_access.h"
#include "archive/zip_extractor.h"

namespace {

namespace fs = std::filesystem;
using namespace ks::archive;

// Relative paths land in the current folder: make it one the checks can see.
const fs::path& Root() {
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "kszipfuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        const fs::path made(pattern);
        fs::create_directories(made / "cwd");
        fs::current_path(made / "cwd");
        return made;
    }();
    return root;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path package = Root() / "package.zip";
    const fs::path base = Root() / "out";
    {
        std::ofstream file(package, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    fs::create_directories(base);

    std::uint64_t largestDeclared = 0;
    ZipExtractor zip;
    // The last byte picks the variant: restored paths, a password for encrypted members.
    zip.ExtractOptions.eoRestorePath = size > 0 && (data[size - 1] & 1);
    if (size > 0 && (data[size - 1] & 2))
        zip.Password = "secret";
    zip.OnConfirmOverwrite = [](std::string& name, bool& confirm) {
        SetFileDosAttributes(name, 0x20);
        confirm = true;
    };
    try {
        zip.SetFileName(package.string());
        for (const ZipMember& m : zip.Archive()->Members())
            largestDeclared = std::max(largestDeclared, m.uncompressedSize);
        zip.SetBaseDirectory(base.string());
        zip.ExtractByMask("*.*");
    } catch (const std::exception&) {
    }
    zip.ReleaseArchive();

    const fs::path current = Root() / "cwd";
    for (const auto& entry : fs::directory_iterator(Root()))
        Check(entry.path() == package || entry.path() == base || entry.path() == current,
              "file written outside the base");
    Check(fs::is_empty(current), "file written into the current folder");
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(base, ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        if (entry.is_regular_file(ignored))
            Check(entry.file_size(ignored) <= largestDeclared, "output beyond the declared size");
    }
    fs::remove_all(base, ignored);
    return 0;
}
