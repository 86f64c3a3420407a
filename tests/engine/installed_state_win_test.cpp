// The installed-state records against Wine's registry, profile files, atoms and windows.
#include "engine/installed_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "engine/form_dm_base.h"
#include "resources/list_names.h"
#include "sys/errors.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/process_win.h"
#include "sys/unique_handle_win.h"
#include "sys/version.h"
#include "tests/common/test_paths.h"
#include "tests/helpers/helper_program_win.h"

namespace ks {
namespace {

std::string Unique(const std::string& stem) {
    return stem + std::to_string(GetCurrentProcessId());
}

class InstalledStateTest : public ::testing::Test {
protected:
    InstallFolders state_;
    void SetUp() override {
        state_.installFolder = "before-install";
        state_.dataFolder = "before-data";
        state_.desktopFolder = "before-desktop";
        state_.menuFolder = "before-menu";
        state_.allUsers = false;
    }
    void TearDown() override {
        key_.Reset();
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), RegistryViewFlag(), 0);
    }
    void CreateRecord() {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | RegistryViewFlag(), nullptr, key_.Put(),
                                  nullptr),
                  ERROR_SUCCESS);
    }
    void SetText(const char* name, DWORD type, const std::string& text) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, type,
                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }
    void SetNumber(const char* name, DWORD value) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
    }
    void SetFolders() {
        SetText("AppFolder", REG_SZ, "C:\\Program Files\\Keltra");
        SetText("PubData", REG_EXPAND_SZ, "C:\\users\\Public\\Documents\\Keltra");
        SetText("DesktopIcon", REG_SZ, "C:\\users\\Public\\Desktop");
        SetText("AppMenu", REG_SZ, "C:\\ProgramData\\Start Menu\\Programs");
    }

    std::string path_ = "Software\\" + Unique("KsTestInstalled");
    UniqueRegKey key_;
};

TEST_F(InstalledStateTest, MissingRecordEmptiesOnlyTheInstallFolder) {
    ReadInstalledState(state_, path_);
    EXPECT_EQ(state_.installFolder, "");
    EXPECT_EQ(state_.dataFolder, "before-data");
    EXPECT_EQ(state_.desktopFolder, "before-desktop");
    EXPECT_EQ(state_.menuFolder, "before-menu");
    EXPECT_FALSE(state_.allUsers);
}

TEST_F(InstalledStateTest, ReadsTheFoldersAndTakesAMissingAllUserAsTrue) {
    CreateRecord();
    SetFolders();
    ReadInstalledState(state_, path_);
    EXPECT_EQ(state_.installFolder, "C:\\Program Files\\Keltra");
    EXPECT_EQ(state_.dataFolder, "C:\\users\\Public\\Documents\\Keltra");
    EXPECT_EQ(state_.desktopFolder, "C:\\users\\Public\\Desktop");
    EXPECT_EQ(state_.menuFolder, "C:\\ProgramData\\Start Menu\\Programs");
    EXPECT_TRUE(state_.allUsers);
}

TEST_F(InstalledStateTest, AllUserNumberDecidesTheFlag) {
    CreateRecord();
    SetText("AppFolder", REG_SZ, "C:\\K");
    SetNumber("AllUser", 0);
    state_.allUsers = true;
    ReadInstalledState(state_, path_);
    EXPECT_FALSE(state_.allUsers);
    EXPECT_EQ(state_.dataFolder, "") << "a missing folder value reads as empty";
    SetNumber("AllUser", 7);
    ReadInstalledState(state_, path_);
    EXPECT_TRUE(state_.allUsers);
}

TEST_F(InstalledStateTest, WrongTypeStopsTheReadingAtThatValue) {
    CreateRecord();
    SetText("AppFolder", REG_SZ, "C:\\K");
    SetNumber("PubData", 1);
    try {
        ReadInstalledState(state_, path_);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'PubData'");
    }
    EXPECT_EQ(state_.installFolder, "C:\\K");
    EXPECT_EQ(state_.desktopFolder, "before-desktop");
}

TEST_F(InstalledStateTest, AllUserOfAnotherTypeRaises) {
    CreateRecord();
    SetFolders();
    SetText("AllUser", REG_SZ, "1");
    try {
        ReadInstalledState(state_, path_);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'AllUser'");
    }
    EXPECT_EQ(state_.menuFolder, "C:\\ProgramData\\Start Menu\\Programs");
}

TEST_F(InstalledStateTest, ReadsTheRegistryViewOfThePlatform) {
    // Written through the other view only: the reader must not see it.
    const std::uint16_t otherView =
        RegistryViewFlag() == kRegistryView64 ? kRegistryView32 : kRegistryView64;
    UniqueRegKey other;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | otherView, nullptr, other.Put(), nullptr),
              ERROR_SUCCESS);
    const std::string text = "C:\\OtherView";
    RegSetValueExA(other.Get(), "AppFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    other.Reset();
    ReadInstalledState(state_, path_);
    const bool viewsShared = state_.installFolder == text;
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), otherView, 0);
    if (!IsWindows64())
        GTEST_SKIP() << "one registry view on 32-bit Windows";
    EXPECT_FALSE(viewsShared);
    EXPECT_EQ(state_.installFolder, "");
}

class SettingsFileTest : public InstalledStateTest {
protected:
    std::string Read(const std::string& section, const std::string& key) {
        char value[1024] = {};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", value, sizeof value,
                                 path_.c_str());
        return value;
    }
    kstest::ScratchFolder scratch_{"settings"};
    std::string path_ = scratch_.File("Keltra.ini");
};

TEST_F(SettingsFileTest, WritesFoldersWithOneTrailingBackslash) {
    state_.installFolder = "C:\\A";
    state_.dataFolder = "C:\\Data\\";
    state_.desktopFolder = "";
    state_.menuFolder = "C:\\Menu Folder";
    state_.allUsers = true;
    SaveSettingsFile(path_, state_);
    EXPECT_EQ(Read("Keltra", "AppFolder"), "C:\\A\\");
    EXPECT_EQ(Read("Keltra", "PubData"), "C:\\Data\\");
    EXPECT_EQ(Read("Keltra", "DesktopIcon"), "\\");
    EXPECT_EQ(Read("Keltra", "AppMenu"), "C:\\Menu Folder\\");
    EXPECT_EQ(Read("Keltra", "AllUser"), "1");
    state_.allUsers = false;
    SaveSettingsFile(path_, state_);
    EXPECT_EQ(Read("Keltra", "AllUser"), "0");
}

TEST_F(SettingsFileTest, KeepsWhatElseTheFileHolds) {
    WritePrivateProfileStringA("Keltra", "Extra", "kept", path_.c_str());
    WritePrivateProfileStringA("Other", "AppFolder", "untouched", path_.c_str());
    WritePrivateProfileStringA("Keltra", "AppFolder", "old", path_.c_str());
    state_.installFolder = "C:\\New";
    SaveSettingsFile(path_, state_);
    EXPECT_EQ(Read("Keltra", "AppFolder"), "C:\\New\\");
    EXPECT_EQ(Read("Keltra", "Extra"), "kept");
    EXPECT_EQ(Read("Other", "AppFolder"), "untouched");
}

TEST_F(SettingsFileTest, SectionIsTheFileNameWithoutExtension) {
    const std::string other = scratch_.File("agent.settings.ini");
    state_.installFolder = "C:\\X";
    SaveSettingsFile(other, state_);
    char value[64] = {};
    GetPrivateProfileStringA("agent.settings", "AppFolder", "", value, sizeof value, other.c_str());
    EXPECT_STREQ(value, "C:\\X\\");
}

TEST_F(SettingsFileTest, UnwritableFileRaisesWithItsPath) {
    const std::string blocked = scratch_.File("missing-folder\\Keltra.ini");
    try {
        SaveSettingsFile(blocked, state_);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + blocked);
    }
}

TEST(SharedDocumentsFolderTest, ExistsFromTheStartBelowTheCommonDocuments) {
    EXPECT_EQ(SharedDocumentsFolder(), JoinFolder(GetSystemFolder(fkCommonDocuments), "Keltra"));
    EXPECT_EQ(SharedDocumentsFolder().back(), '\\');
    EXPECT_TRUE(FolderExists(SharedDocumentsFolder()));
}

class UserKeyTest : public ::testing::Test {
protected:
    void CreateKey(const std::string& path) {
        UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
    }
    bool KeyExists(const std::string& path) {
        UniqueRegKey key;
        return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put()) ==
               ERROR_SUCCESS;
    }
};

TEST_F(UserKeyTest, RemovesTheSubkeyTreeAndKeepsItsParent) {
    const std::string parent = "Software\\" + Unique("KsTestUser");
    CreateKey(parent + "\\Product\\Settings\\Deep");
    CreateKey(parent + "\\Sibling");
    RemoveUserSubkey(parent, "Product");
    EXPECT_FALSE(KeyExists(parent + "\\Product"));
    EXPECT_TRUE(KeyExists(parent + "\\Sibling"));
    RemoveUserSubkey(parent, "Product");
    RemoveUserSubkey(parent, "");
    EXPECT_TRUE(KeyExists(parent + "\\Sibling"));
    RemoveUserSubkey("Software\\" + Unique("KsTestNoParent"), "Product");
    RegDeleteTreeA(HKEY_CURRENT_USER, parent.c_str());
}

TEST_F(UserKeyTest, EngineRemovesTheProductsKeyBelowItsLibraryParent) {
    TDMBase engine;
    const std::string parent = engine.LibraryEntry(lib::kUserSoftwareKey);
    const std::string product = parent + "\\" + engine.Word(word::kProduct);
    ASSERT_FALSE(engine.Word(word::kProduct).empty());
    CreateKey(product + "\\Deep");
    engine.RemoveUserKey();
    EXPECT_FALSE(KeyExists(product));
    EXPECT_TRUE(KeyExists(parent));
}

// The running product: an atom says it runs, its window closes on request or keeps open.
class CloseRunningProgramTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (int i = 0; i < 10 && IsProgramLoaded(name_, true); ++i) {
        }
    }
    // Starts the helper's window and waits until it is there.
    void StartWindow(const char* mode, bool holdAtom) {
        helper_ = std::make_unique<kstest::HelperProcess>(
            std::string("window ") + className_ + " " + mode + " 30000 " +
            (holdAtom ? LoadedAtomName(name_) : "-") + " " + scratch_.File("ready") + " " +
            scratch_.File("count"));
        ASSERT_TRUE(helper_->Started());
        ASSERT_TRUE(kstest::WaitForFile(scratch_.File("ready"), 20000));
    }
    std::string Requests() { return kstest::ReadWholeFile(scratch_.File("count")); }

    std::string name_ = Unique("KsTestProduct");
    std::string className_ = Unique("KsTestProductWindow");
    kstest::ScratchFolder scratch_{"close"};
    std::unique_ptr<kstest::HelperProcess> helper_;
};

TEST_F(CloseRunningProgramTest, WithoutTheAtomReturnsAtOnceAndSendsNothing) {
    StartWindow("close", false);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(CloseRunningProgram(name_, className_));
    EXPECT_LT(GetTickCount() - start, 90u);
    EXPECT_EQ(Requests(), "");
    EXPECT_TRUE(FindWindowA(className_.c_str(), nullptr));
}

TEST_F(CloseRunningProgramTest, AtomWithoutWindowTakesOneRound) {
    ASSERT_NE(GlobalAddAtomA(LoadedAtomName(name_).c_str()), 0);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(CloseRunningProgram(name_, className_));
    const DWORD elapsed = GetTickCount() - start;
    // Sleep may wake a tick early under Wine; the bound only has to tell one pause from 51.
    EXPECT_GE(elapsed, 80u);
    EXPECT_LT(elapsed, 1000u) << "one round, not a wait for a window";
    EXPECT_TRUE(IsProgramLoaded(name_, false)) << "the atom is never removed here";
}

TEST_F(CloseRunningProgramTest, WindowThatClosesOnRequest) {
    StartWindow("close", true);
    EXPECT_TRUE(CloseRunningProgram(name_, className_));
    EXPECT_EQ(Requests(), "1");
    EXPECT_FALSE(FindWindowA(className_.c_str(), nullptr));
    EXPECT_EQ(helper_->Wait(10000), 0u);
}

TEST_F(CloseRunningProgramTest, WindowThatIgnoresTheRequestGets51AndFails) {
    StartWindow("ignore", true);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(CloseRunningProgram(name_, className_));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(Requests(), "51");
    EXPECT_GE(elapsed, 5100u - 100u);
    EXPECT_LT(elapsed, 15000u);
    EXPECT_TRUE(FindWindowA(className_.c_str(), nullptr));
}

TEST(EngineCloseRunningProductTest, NoRunningProductMeansClosed) {
    TDMBase engine;
    if (IsProgramLoaded(engine.Word(word::kProduct), false))
        GTEST_SKIP() << "a product runs on this display";
    const DWORD start = GetTickCount();
    EXPECT_TRUE(engine.CloseRunningProduct());
    EXPECT_LT(GetTickCount() - start, 90u);
}

} // namespace
} // namespace ks
