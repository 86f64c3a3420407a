// The engine as the program creates it: lists from the executable's own resources, and the
// error box when the executable's name finds no word list.
#include "engine/form_dm_base.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "resources/list_names.h"
#include "sys/application.h"
#include "sys/errors.h"
#include "tests/common/test_paths.h"

namespace ks {
namespace {

constexpr char kRenamedRunVariable[] = "KS_RENAMED_ENGINE_RUN";

std::string OwnPath() {
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

TEST(Engine, LoadsItsThreeListsFromItsOwnResources) {
    if (std::getenv(kRenamedRunVariable))
        GTEST_SKIP() << "runs in the parent only";
    TDMBase engine;
    ASSERT_TRUE(engine.Lists().words && engine.Lists().messages && engine.Lists().library);
    EXPECT_EQ(engine.Word(word::kProduct), "Keltra");
    EXPECT_EQ(engine.UpperWord(word::kSetupPackage), "KELTRASETUP");
    EXPECT_EQ(engine.WordDotWord(word::kProduct, word::kZip), "Keltra.zip");
    EXPECT_EQ(engine.LibraryEntry(lib::kAgent), "kagent.exe");
    EXPECT_EQ(engine.Message(msg::kReinstall).find("\r\n") != std::string::npos, true)
        << "a stored || becomes an embedded line break";
    EXPECT_EQ(engine.Word(engine.Lists().words->size()), "");
    EXPECT_FALSE(engine.MarkerFlag()) << "no marker file beside the test program";
}

TEST(Engine, MissingResourceRaisesTheFatalText) {
    if (std::getenv(kRenamedRunVariable))
        GTEST_SKIP() << "runs in the parent only";
    TDMBase engine;
    try {
        engine.OpenListResource("NOSUCHLIST");
        FAIL() << "no error raised";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Fatal error: resources.dll not found");
    }
}

// Runs inside a copy of this program named "*.ex_": the word list is looked up as "EX_".
TEST(RenamedEngine, ShowsTheErrorBoxAndRunsWithEmptyLists) {
    if (!std::getenv(kRenamedRunVariable))
        GTEST_SKIP() << "runs only in the renamed copy";
    SetApplicationTitle("keltrasetup");
    std::string boxText;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        for (int i = 0; i < 200 && !done; ++i) {
            HWND box = FindWindowA("#32770", "keltrasetup");
            if (box) {
                char text[512] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
                boxText = text;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(50);
        }
    });
    TDMBase engine;
    done = true;
    watcher.join();
    EXPECT_EQ(boxText, "Fatal error: resources.dll not found.");
    EXPECT_FALSE(engine.Lists().words);
    EXPECT_FALSE(engine.Lists().messages);
    EXPECT_FALSE(engine.Lists().library);
    for (int i = 0; i < 34; ++i)
        EXPECT_EQ(engine.Word(i), "");
    EXPECT_EQ(engine.Message(msg::kStartProduct), "");
    EXPECT_EQ(engine.LibraryEntry(lib::kServerBase), "");
    EXPECT_FALSE(engine.MarkerFlag());
}

TEST(RenamedEngine, CopyEndingInExUnderscoreReportsMissingResources) {
    if (std::getenv(kRenamedRunVariable))
        GTEST_SKIP() << "runs in the parent only";
    kstest::ScratchFolder folder("renamed-engine");
    const std::string copy = folder.File("engine_copy.ex_");
    ASSERT_TRUE(CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE));
    SetEnvironmentVariableA(kRenamedRunVariable, "1");
    std::string command =
        "\"" + copy + "\" --gtest_filter=RenamedEngine.ShowsTheErrorBoxAndRunsWithEmptyLists";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kRenamedRunVariable, nullptr);
    ASSERT_TRUE(started) << GetLastError();
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the renamed copy's own checks failed";
}

} // namespace
} // namespace ks
