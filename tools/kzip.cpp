// kzip: command-line front end of the archive component.
//   kzip l ARCHIVE           method (number, or name for the newer ones), size, CRC-32 and
//                            name of every directory entry
//   kzip t ARCHIVE           decodes every entry without writing: "OK name" or "FAIL code name"
//   kzip x ARCHIVE DIR [MASK]  extracts as the setup engine does (flat, overwriting)
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <string>

#include "archive/file_access.h"
#include "archive/zip_extractor.h"

namespace {

using namespace ks::archive;

int Usage() {
    std::fprintf(stderr, "usage: kzip l ARCHIVE | kzip t ARCHIVE | kzip x ARCHIVE DIR [MASK]\n");
    return 2;
}

// Methods listed by name rather than number.
struct MethodName {
    int method;
    const char* name;
};
const MethodName kMethodNames[] = {
    {9, "Deflate64"},
    {12, "BZip2"},
    {14, "LZMA"},
    {98, "PPMd"},
};

std::string MethodText(int method) {
    for (const MethodName& entry : kMethodNames) {
        if (entry.method == method)
            return entry.name;
    }
    return std::to_string(method);
}

int List(ZipExtractor& zip) {
    for (const ZipMember& m : zip.Archive()->Members()) {
        std::printf("%s\t%" PRIu64 "\t%08x\t%s\n", MethodText(m.header.method).c_str(),
                    m.uncompressedSize, m.header.crc32, m.name.c_str());
    }
    return 0;
}

int Test(ZipExtractor& zip) {
    ZipArchive& archive = *zip.Archive();
    int failedCode = -1;
    zip.OnProcessItemFailure = [&failedCode](ZipExtractor&, const ZipMember&, ProcessType,
                                             ErrorClass, int code) { failedCode = code; };
    bool anyFailed = false;
    for (const ZipMember& m : archive.Members()) {
        failedCode = -1;
        try {
            MemberData data = archive.OpenMember(m);
            NullSink sink;
            archive.DecodeMember(m, data, sink);
        } catch (const std::exception& error) {
            const FailureKind kind = ClassifyFailure(error);
            failedCode = kind.errorClass == ErrorClass::ecArchive ? kind.code : 0;
        }
        if (failedCode >= 0) {
            anyFailed = true;
            std::printf("FAIL %d %s\n", failedCode, m.name.c_str());
        } else {
            std::printf("OK %s\n", m.name.c_str());
        }
    }
    return anyFailed ? 1 : 0;
}

int Extract(ZipExtractor& zip, const std::string& folder, const std::string& mask) {
    int failures = 0;
    zip.OnProcessItemFailure = [&failures](ZipExtractor&, const ZipMember& m, ProcessType,
                                           ErrorClass, int code) {
        ++failures;
        std::fprintf(stderr, "FAIL %d %s\n", code, m.name.c_str());
    };
    zip.SetBaseDirectory(folder);
    zip.ExtractByMask(mask.empty() ? "*.*" : mask);
    zip.ReleaseArchive();
    return failures > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    if ((command == "l" || command == "t") ? argc != 3 : (command != "x" || argc < 4 || argc > 5))
        return Usage();
    try {
        ZipExtractor zip;
        // The setup engine's overwrite answer: reset the attributes, then overwrite.
        zip.OnConfirmOverwrite = [](std::string& name, bool& confirm) {
            SetFileDosAttributes(name, 0x20);
            confirm = true;
        };
        zip.SetFileName(argv[2]);
        if (command == "l")
            return List(zip);
        if (command == "t")
            return Test(zip);
        return Extract(zip, argv[3], argc == 5 ? argv[4] : "");
    } catch (const ArchiveError& error) {
        std::fprintf(stderr, "error %d: %s\n", error.Code(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
    }
    return 2;
}
