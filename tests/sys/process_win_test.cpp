// Starting programs, documents, windows of other programs, atoms and shell deletion, against
// Wine's shell, window manager and atom table.
#include "sys/process_win.h"

#include <gtest/gtest.h>

#include "sys/errors.h"
#include "sys/files.h"
#include "sys/os_error_win.h"
#include "sys/unique_handle_win.h"
#include "tests/common/test_paths.h"
#include "tests/helpers/helper_program_win.h"

namespace {

struct ShowCase {
    const char* name;
    bool show;
    int expected;
};

std::ostream& operator<<(std::ostream& out, const ShowCase& c) {
    return out << c.name;
}

class StartProgramTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(StartProgramTest, WaitsForTheEndAndPassesTheShowCommand) {
    kstest::ScratchFolder scratch("start");
    const std::string report = scratch.File("show.txt");
    const DWORD start = GetTickCount();
    ASSERT_TRUE(
        ks::StartProgram(kstest::HelperPath(), "show " + report + " 700", GetParam().show, true));
    EXPECT_GE(GetTickCount() - start, 700u);
    // The helper writes its report as its last act: after a waited start it must be there.
    EXPECT_EQ(kstest::ReadWholeFile(report), std::to_string(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, StartProgramTest,
                         ::testing::Values(ShowCase{"Hidden", false, SW_HIDE},
                                           ShowCase{"Shown", true, SW_SHOW}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartProgramTest, WithoutWaitReturnsAfterTheSettleTime) {
    kstest::ScratchFolder scratch("start-nowait");
    const std::string report = scratch.File("show.txt");
    const DWORD start = GetTickCount();
    ASSERT_TRUE(ks::StartProgram(kstest::HelperPath(), "show " + report + " 1500", true, false));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 100u);
    EXPECT_LT(elapsed, 1500u);
    EXPECT_FALSE(ks::FileExists(report));
    EXPECT_TRUE(kstest::WaitForFile(report, 10000));
}

TEST(StartProgramTest, MissingProgramRaisesTheSystemError) {
    kstest::ScratchFolder scratch("start-missing");
    try {
        ks::StartProgram(scratch.File("no-such-program.exe"), "", true, true);
        FAIL() << "no error";
    } catch (const ks::OsError& error) {
        EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(std::string(error.what()), ks::OsErrorMessage(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(std::string(error.what()).rfind("System Error.  Code: 2.\r\n", 0), 0u);
    }
}

TEST(StartProgramTest, LongParameterTextArrivesWhole) {
    // Parameters once went through 261-character buffers and were cut silently.
    kstest::ScratchFolder scratch("start-long");
    const std::string report = scratch.File("params.txt");
    const std::string argument = "data:" + std::string(600, 'p');
    SetEnvironmentVariableA("KSTEST_PARAMS_FILE", report.c_str());
    const bool started = ks::StartProgram(kstest::HelperPath(), argument, false, true);
    SetEnvironmentVariableA("KSTEST_PARAMS_FILE", nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(kstest::ReadWholeFile(report),
              "DATA\n" + std::string(600, 'p') + "\n\n\n" + argument + "\n");
}

TEST(StartProgramTest, OverlongProgramPathFailsCleanly) {
    kstest::ScratchFolder scratch("start-overlong");
    EXPECT_THROW(ks::StartProgram(scratch.File(std::string(400, 'x') + ".exe"), "", true, true),
                 ks::OsError);
}

TEST(OsErrorTest, MessageCarriesCodeAndSystemText) {
    const std::string text = ks::SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(ks::OsErrorMessage(ERROR_ACCESS_DENIED), "System Error.  Code: 5.\r\n" + text);
}

TEST(OpenDocumentTest, FailingResultsRaiseTheirText) {
    kstest::ScratchFolder scratch("open");
    const std::string unassociated = scratch.File("terms.kstestnoassoc");
    ks::UniqueFileHandle(
        CreateFileA(unassociated.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    try {
        ks::OpenDocument(unassociated, "");
        FAIL() << "no error";
    } catch (const ks::Error& error) {
        EXPECT_STREQ(error.what(),
                     "There is no application associated with the given filename extension.");
    }
    try {
        ks::OpenDocument(scratch.File("missing.kstestnoassoc"), "");
        FAIL() << "no error";
    } catch (const ks::Error& error) {
        EXPECT_STREQ(error.what(), "The specified file was not found.");
    }
}

TEST(OpenDocumentTest, AssociatedDocumentOpensAndReturnsTheResult) {
    kstest::ScratchFolder scratch("open-associated");
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string extension = ".kstestdoc" + pid;
    const std::string progId = "KsTestDocument" + pid;
    const std::string report = scratch.File("opened.txt");
    const std::string command = "\"" + kstest::HelperPath() + "\" show \"" + report + "\" 0";
    // Wine's shell reads associations from the classes root only, not from the user's classes.
    auto setDefault = [](const std::string& key, const std::string& value) {
        return RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>(value.size()));
    };
    ASSERT_EQ(setDefault(extension, progId), ERROR_SUCCESS);
    ASSERT_EQ(setDefault(progId + "\\shell\\open\\command", command), ERROR_SUCCESS);
    const std::string document = scratch.File("terms" + extension);
    ks::UniqueFileHandle(
        CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    INT_PTR result = 0;
    try {
        result = ks::OpenDocument(document, "");
    } catch (const ks::Error& error) {
        ADD_FAILURE() << error.what();
    }
    EXPECT_GT(result, 32);
    EXPECT_TRUE(kstest::WaitForFile(report, 20000)) << "the associated program did not run";
    RegDeleteTreeA(HKEY_CLASSES_ROOT, extension.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, progId.c_str());
}

TEST(DeletePathSilentlyTest, RemovesAFolderTree) {
    kstest::ScratchFolder scratch("delete");
    const std::string tree = scratch.File("tree");
    ASSERT_TRUE(ks::ForceFolders(tree + "\\a\\b"));
    ks::UniqueFileHandle(CreateFileA((tree + "\\a\\b\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr));
    EXPECT_TRUE(ks::DeletePathSilently(tree));
    EXPECT_FALSE(ks::FolderExists(tree));
    EXPECT_TRUE(ks::FolderExists(scratch.Path()));
}

TEST(DeletePathSilentlyTest, RemovesAFileAndAcceptsAMissingPath) {
    kstest::ScratchFolder scratch("delete-file");
    const std::string file = scratch.File("f.txt");
    ks::UniqueFileHandle(
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(ks::DeletePathSilently(file));
    EXPECT_FALSE(ks::FileExists(file));
    EXPECT_TRUE(ks::DeletePathSilently(scratch.File("never-there")));
}

class ProgramLoadedTest : public ::testing::Test {
protected:
    std::string name_ = "KsTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(ProgramLoadedTest, FindsTheAtomAndRemovesItOnce) {
    EXPECT_FALSE(ks::IsProgramLoaded(name_, false));
    const ATOM atom = GlobalAddAtomA(ks::LoadedAtomName(name_).c_str());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(ks::LoadedAtomName(name_), "App" + name_ + "IsLoaded");
    EXPECT_TRUE(ks::IsProgramLoaded(name_, false));
    EXPECT_TRUE(ks::IsProgramLoaded(name_, false));
    EXPECT_TRUE(ks::IsProgramLoaded(name_, true));
    EXPECT_FALSE(ks::IsProgramLoaded(name_, false));
}

TEST_F(ProgramLoadedTest, SeesTheAtomOfAnotherProcess) {
    kstest::HelperProcess add("atom add " + ks::LoadedAtomName(name_));
    ASSERT_EQ(add.Wait(20000), 0u);
    EXPECT_TRUE(ks::IsProgramLoaded(name_, true));
    EXPECT_FALSE(ks::IsProgramLoaded(name_, false));
}

TEST_F(ProgramLoadedTest, NamesTooLongForAnAtomReadAsNotLoaded) {
    // Old fixed buffers cut such names; now they are simply not found.
    EXPECT_FALSE(ks::IsProgramLoaded(std::string(300, 'n'), true));
    EXPECT_FALSE(ks::IsProgramLoaded(std::string(244, 'n'), false));
}

TEST(IsUserAdministratorTest, AgreesWithTheTokenMembershipCheck) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    ks::UniqueSid administrators;
    ASSERT_TRUE(AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         administrators.Put()));
    BOOL member = FALSE;
    ASSERT_TRUE(CheckTokenMembership(nullptr, administrators.Get(), &member));
    EXPECT_EQ(ks::IsUserAdministrator(), member != FALSE);
}

TEST(IsUserAdministratorTest, UsesTheThreadTokenWhenImpersonating) {
    ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation));
    const bool asThread = ks::IsUserAdministrator();
    RevertToSelf();
    EXPECT_EQ(asThread, ks::IsUserAdministrator());
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, kClass, "test", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(window_);
    }
    void TearDown() override { DestroyWindow(window_); }
    static constexpr const char* kClass = "KsTestFrontWindow";
    HWND window_ = nullptr;
};

TEST_F(WindowTest, MinimisedWindowIsRestoredAndBroughtToFront) {
    ShowWindow(window_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window_));
    EXPECT_TRUE(ks::BringWindowToFront(window_));
    EXPECT_FALSE(IsIconic(window_));
    EXPECT_EQ(GetForegroundWindow(), window_);
}

TEST_F(WindowTest, ActivatesTheWindowOfAClass) {
    ShowWindow(window_, SW_SHOW);
    EXPECT_TRUE(ks::ActivateWindowOfClass(kClass));
    EXPECT_EQ(GetForegroundWindow(), window_);
    EXPECT_FALSE(ks::ActivateWindowOfClass("KsTestNoSuchWindowClass"));
}

TEST(ActivateWindowOfClassTest, BringsAnotherProgramsWindowToFront) {
    kstest::ScratchFolder scratch("activate");
    const std::string className = "KsTestOther" + std::to_string(GetCurrentProcessId());
    kstest::HelperProcess other("window " + className + " ignore 20000 - " + scratch.File("ready") +
                                " -");
    ASSERT_TRUE(kstest::WaitForFile(scratch.File("ready"), 20000));
    EXPECT_TRUE(ks::ActivateWindowOfClass(className));
    EXPECT_EQ(GetForegroundWindow(), FindWindowA(className.c_str(), nullptr));
}

} // namespace

namespace {

TEST(ProgramFilePath, NamesThisTestProgram) {
    const std::string path = ks::ProgramFilePath();
    ASSERT_GT(path.size(), 14u);
    EXPECT_EQ(path.substr(path.size() - 14), "\\sys_tests.exe");
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
