// The engine's catalogue requests against the loopback server. A copy of this program with
// its server base (library entry 2) re-pointed by listtool runs the child cases below, with
// or without the marker file beside it; the parent checks what the server was asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "engine/form_dm_base.h"
#include "net/net_utils.h"
#include "resources/list_names.h"
#include "tests/common/test_paths.h"

namespace ks {
namespace {

constexpr char kCaseVariable[] = "KS_CATALOGUE_CASE";

// A key pair made with openssl, and its signatures over the catalogue the parent serves.
constexpr char kVendorKey[] = "e8f58bfc06bde9a38eb9d952197abc785c71f5b12d4f68d90948c2efb23f654b"
                              "6df0ce47b77ba1e0fa143cb72023d825cb9af02125eacc20da327b63d6bda400";
constexpr char kVendorSignature[] =
    "3045022100fa61830c6a8bf119a70d4f7e8e790e43733e273f68edcde69d187921e2c4e42002206c52026c2193"
    "ee5c01364d3c4e676d8dc31a4b7f1eeea22a87a041bf2e26f1ae";
constexpr char kOtherKeysSignature[] =
    "3044022072a3b47e4655761eeb5796de55660d54d85aaeb16aad7db1ccf86547e98e6c4202200917f2927d1c12"
    "aed098abfc3225fcbf17d52c14f038b4b5f1c098e21117c93d";

std::string Bytes(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ServerFolder() {
    const char* dir = std::getenv("KS_NET_SERVER_DIR");
    std::string folder =
        "Z:" + (dir ? std::string(dir) : std::string(KS_BINARY_DIR) + "/tests/net/server");
    for (char& c : folder)
        c = c == '/' ? '\\' : c;
    return folder;
}

std::string HttpPort() {
    std::ifstream in(ServerFolder() + "\\ports");
    for (std::string name, value; in >> name >> value;) {
        if (name == "http")
            return value;
    }
    return {};
}

std::string OwnPath() {
    std::string path(32768, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// Runs a command line and returns its exit code (or -1 when it could not be started).
int RunProgram(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

int CountRequests(const std::string& line) {
    std::ifstream in(ServerFolder() + "\\requests.log", std::ios::binary);
    int count = 0;
    for (std::string request; std::getline(in, request);)
        count += request == line;
    return count;
}

class CatalogueRequests : public testing::Test {
protected:
    void SetUp() override {
        if (std::getenv(kCaseVariable))
            GTEST_SKIP() << "runs in the parent only";
        port_ = HttpPort();
        ASSERT_FALSE(port_.empty()) << "no loopback server below " << ServerFolder();
        std::filesystem::create_directories(ServerFolder() + "\\root\\packages");
        std::ofstream(ServerFolder() + "\\root\\packages\\Keltra.ini", std::ios::binary)
            << "; catalogue for the engine tests\r\n[keltrasetup]\r\nzip=keltrasetup-9.zip\r\n"
               "version=9.0.0.0\r\nsize=4096\r\n\r\n[KELTRA]\r\nZIP=keltra-5.zip\r\n"
               "Version=5.1\r\nSize=0x2000\r\n";
        ASSERT_TRUE(CopyFileA(OwnPath().c_str(), copy_.c_str(), FALSE));
    }

    // Re-points the copy at base (and gives it a catalogue key) and runs the named child
    // case in it.
    void RunChild(const std::string& base, const std::string& childCase, bool marker,
                  const std::string& key = "") {
        const std::string listtool = kstest::BinaryPath("bin\\listtool.exe");
        ASSERT_EQ(RunProgram("\"" + listtool + "\" set \"" + copy_ + "\" library " +
                             std::to_string(lib::kServerBase) + " " + base),
                  0)
            << "listtool could not re-point the copy";
        if (!key.empty()) {
            ASSERT_EQ(RunProgram("\"" + listtool + "\" set \"" + copy_ + "\" library " +
                                 std::to_string(lib::kCataloguePublicKey) + " " + key),
                      0);
        }
        const std::string markerFile = folder_.File("engine_copy.mrk");
        if (marker)
            std::ofstream(markerFile) << "";
        else
            DeleteFileA(markerFile.c_str());
        SetEnvironmentVariableA(kCaseVariable, childCase.c_str());
        SetEnvironmentVariableA("KS_RETRY_DELAY_MS", "10");
        const int code =
            RunProgram("\"" + copy_ + "\" --gtest_filter=CatalogueChild.*:-CatalogueRequests.*");
        SetEnvironmentVariableA(kCaseVariable, nullptr);
        SetEnvironmentVariableA("KS_RETRY_DELAY_MS", nullptr);
        EXPECT_EQ(code, 0) << "the child case " << childCase << " failed";
    }

    // The catalogue below root/<folder>/packages, with a signature when one is given.
    void ServeCopy(const std::string& folder, const std::string& signatureHex) {
        const std::string packages = ServerFolder() + "\\root\\" + folder + "\\packages\\";
        std::filesystem::create_directories(packages);
        CopyFileA((ServerFolder() + "\\root\\packages\\Keltra.ini").c_str(),
                  (packages + "Keltra.ini").c_str(), FALSE);
        DeleteFileA((packages + "Keltra.ini.sig").c_str());
        if (!signatureHex.empty())
            std::ofstream(packages + "Keltra.ini.sig", std::ios::binary) << Bytes(signatureHex);
    }

    std::string Base(const std::string& prefix = "") const {
        return "http://127.0.0.1:" + port_ + "/" + prefix;
    }

    kstest::ScratchFolder folder_{"engine-catalogue"};
    std::string copy_ = folder_.File("engine_copy.exe");
    std::string port_;
};

TEST_F(CatalogueRequests, MarkerAddsTheSuffixToTheCatalogueUrlOnly) {
    const int before = CountRequests("GET /packages/Keltra.ini?channel=preview");
    RunChild(Base(), "served-with-marker", true);
    EXPECT_EQ(CountRequests("GET /packages/Keltra.ini?channel=preview"), before + 1)
        << "one catalogue request for both records, with the suffix";
}

TEST_F(CatalogueRequests, WithoutMarkerTheUrlCarriesNoSuffix) {
    const int before = CountRequests("GET /plain/packages/Keltra.ini");
    std::filesystem::create_directories(ServerFolder() + "\\root\\plain\\packages");
    CopyFileA((ServerFolder() + "\\root\\packages\\Keltra.ini").c_str(),
              (ServerFolder() + "\\root\\plain\\packages\\Keltra.ini").c_str(), FALSE);
    RunChild(Base("plain/"), "served", false);
    EXPECT_EQ(CountRequests("GET /plain/packages/Keltra.ini"), before + 1);
}

TEST_F(CatalogueRequests, UnreachableServerLeavesTheRecords) {
    RunChild("http://127.0.0.1:1/", "unreachable", true);
}

TEST_F(CatalogueRequests, EmptyReplyLeavesTheRecordsWithoutFailure) {
    RunChild(Base("~bytes=0/"), "empty", false);
}

TEST_F(CatalogueRequests, ErrorPageCountsAsUnreachable) {
    const int before = CountRequests("GET /nothing-here/packages/Keltra.ini");
    RunChild(Base("nothing-here/"), "error-page", false);
    EXPECT_EQ(CountRequests("GET /nothing-here/packages/Keltra.ini"), before + 1)
        << "an error page is not asked for again";
}

TEST_F(CatalogueRequests, CutsAndBusyAnswersAreTriedAgainThreeTimes) {
    struct Row {
        const char* folder;
        const char* directives; // each applies to the catalogue and its signature alike
        const char* childCase;
        int gets;
    };
    for (const Row& row : {Row{"cut-once", "~first=1/~cut=20/", "served-after-retry", 2},
                           Row{"busy-once", "~first=1/~status=503/", "served-after-retry", 2},
                           Row{"cut-four-times", "~first=4/~cut=20/", "cut-four-times", 4}}) {
        ServeCopy(row.folder, kVendorSignature);
        const std::string path =
            std::string("GET /") + row.directives + row.folder + "/packages/Keltra.ini";
        const int before = CountRequests(path);
        const int signaturesBefore = CountRequests(path + ".sig");
        RunChild(Base(std::string(row.directives) + row.folder + "/"), row.childCase, false,
                 kVendorKey);
        EXPECT_EQ(CountRequests(path), before + row.gets) << row.folder;
        const bool served = row.gets < 4;
        EXPECT_EQ(CountRequests(path + ".sig"), signaturesBefore + (served ? row.gets : 0))
            << row.folder;
    }
}

TEST_F(CatalogueRequests, SignedCatalogueAndItsSignatureComeFromTheMarkersChannel) {
    ServeCopy("signed", kVendorSignature);
    const int before = CountRequests("GET /signed/packages/Keltra.ini.sig?channel=preview");
    RunChild(Base("signed/"), "served-signed", true, kVendorKey);
    EXPECT_EQ(CountRequests("GET /signed/packages/Keltra.ini.sig?channel=preview"), before + 1);
}

TEST_F(CatalogueRequests, WithAKeyAnUnsignedOrWronglySignedCatalogueIsNotReceived) {
    ServeCopy("unsigned", "");
    RunChild(Base("unsigned/"), "signature-missing", false, kVendorKey);
    ServeCopy("other-key", kOtherKeysSignature);
    RunChild(Base("other-key/"), "signature-wrong", false, kVendorKey);
}

TEST_F(CatalogueRequests, WithoutAKeyNoSignatureIsAskedFor) {
    ServeCopy("nokey", kOtherKeysSignature);
    const int before = CountRequests("GET /nokey/packages/Keltra.ini.sig");
    RunChild(Base("nokey/"), "served", false);
    EXPECT_EQ(CountRequests("GET /nokey/packages/Keltra.ini.sig"), before);
}

// The child side: runs only inside the re-pointed copy.
class CatalogueChild : public testing::Test {
protected:
    void SetUp() override {
        const char* value = std::getenv(kCaseVariable);
        if (!value)
            GTEST_SKIP() << "runs only in the re-pointed copy";
        childCase_ = value;
        setup_ = {"KELTRASETUP", "1.0.0.0", "old-setup.zip", "1.0.0.0", 11, false};
        product_ = {"KELTRA", "", "old.zip", "0.1", 22, true};
    }

    std::string childCase_;
    TZipPackage setup_;
    TZipPackage product_;
};

TEST_F(CatalogueChild, RefreshPackages) {
    TDMBase engine;
    const bool served = childCase_.rfind("served", 0) == 0;
    const bool marker = childCase_ == "served-with-marker" || childCase_ == "unreachable" ||
                        childCase_ == "served-signed";
    EXPECT_EQ(engine.MarkerFlag(), marker);
    const std::string base = engine.LibraryEntry(lib::kServerBase);
    EXPECT_EQ(engine.ServerUrl("packages/Keltra.zip"), base + "packages/Keltra.zip");
    EXPECT_EQ(engine.SuffixedServerUrl("packages/Keltra.ini"),
              base + "packages/Keltra.ini" + (marker ? "?channel=preview" : ""));

    const CatalogueAnswer answer = engine.RefreshPackages({&setup_, &product_});
    const bool fetched = CatalogueReceived(answer);
    const std::map<std::string, CatalogueAnswer> answers = {
        {"served", CatalogueAnswer::Read},
        {"served-with-marker", CatalogueAnswer::Read},
        {"served-signed", CatalogueAnswer::Read},
        {"empty", CatalogueAnswer::Empty},
        {"unreachable", CatalogueAnswer::Unreachable},
        {"error-page", CatalogueAnswer::Unreachable},
        {"served-after-retry", CatalogueAnswer::Read},
        {"cut-four-times", CatalogueAnswer::Unreachable},
        {"signature-missing", CatalogueAnswer::SignatureMissing},
        {"signature-wrong", CatalogueAnswer::SignatureWrong}};
    EXPECT_EQ(answer, answers.at(childCase_)) << CatalogueAnswerName(answer);

    const TZipPackage untouchedSetup{"KELTRASETUP", "1.0.0.0", "old-setup.zip",
                                     "1.0.0.0",     11,        false};
    if (served) {
        EXPECT_TRUE(fetched);
        EXPECT_EQ(setup_.FileName, "keltrasetup-9.zip");
        EXPECT_EQ(setup_.RemoteVersion, "9.0.0.0");
        EXPECT_EQ(setup_.Size, 4096);
        EXPECT_TRUE(setup_.UpdateNeeded);
        EXPECT_EQ(product_.FileName, "keltra-5.zip");
        EXPECT_EQ(product_.RemoteVersion, "5.1");
        EXPECT_EQ(product_.Size, 0x2000);
        EXPECT_TRUE(product_.UpdateNeeded);
    } else {
        // An empty body counts as fetched; an unreachable server and an error page do not.
        EXPECT_EQ(fetched, childCase_ == "empty") << childCase_;
        EXPECT_EQ(setup_.FileName, untouchedSetup.FileName);
        EXPECT_EQ(setup_.RemoteVersion, untouchedSetup.RemoteVersion);
        EXPECT_EQ(setup_.Size, untouchedSetup.Size);
        EXPECT_EQ(setup_.UpdateNeeded, untouchedSetup.UpdateNeeded);
        EXPECT_EQ(product_.FileName, "old.zip");
        EXPECT_EQ(product_.Size, 22);
        EXPECT_TRUE(product_.UpdateNeeded);
    }
}

} // namespace
} // namespace ks
