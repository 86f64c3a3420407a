// The folder fields under Wine: typing and picking, the product-folder suffix, the write test
// and its icons, the folder-error form and the safe configuration.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/frm_install.h"
#include "engine/installed_state.h"
#include "resources/list_names.h"
#include "sys/files.h"
#include "sys/paths.h"
#include "tests/app/install_form_fixture_win.h"
#include "tests/common/test_paths.h"

namespace kstest {
namespace {

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class FolderChoiceTest : public InstallFormTest {
protected:
    void SetUp() override {
        InstallFormTest::SetUp();
        // A file stands where a folder would have to be created: nothing can be written there.
        WriteFile(scratch_.File("blocker"), "x");
        // The install folder takes part in the tests whatever the user's rights.
        Form().InsFolder.SetEnabled(true);
    }

    std::string Path(const std::string& relative) const {
        return ks::JoinPath(scratch_.Path(), relative);
    }
    std::string Unwritable() const { return Path("blocker\\Keltra"); }

    ScratchFolder scratch_{"app-folders"};
};

TEST_F(FolderChoiceTest, TypedFolderIsCreatedTestedAndRemovedWhenEmpty) {
    Type(Form().DatFolder, Path("typed"));
    const std::string folder = Path("typed\\Keltra");
    EXPECT_EQ(Form().DatFolder.Text(), folder);
    EXPECT_TRUE(Shows(Form().IcoData, "OKICON"));
    EXPECT_FALSE(ks::FolderExists(folder));
    EXPECT_TRUE(ks::FolderExists(Path("typed"))); // parents made by the test stay
    EXPECT_FALSE(ks::FileExists(ks::JoinPath(folder, "probe.probe")));
    EXPECT_EQ(Form().Folders().dataFolder, folder); // what the window shows is what gets installed
}

TEST_F(FolderChoiceTest, FolderHoldingFilesStaysAndLosesOnlyTheProbe) {
    const std::string folder = Path("full\\Keltra");
    ASSERT_TRUE(ks::ForceFolders(folder));
    WriteFile(ks::JoinPath(folder, "keep.txt"), "data");
    Type(Form().DatFolder, folder);
    EXPECT_EQ(Form().DatFolder.Text(), folder);
    EXPECT_TRUE(Shows(Form().IcoData, "OKICON"));
    EXPECT_TRUE(ks::FileExists(ks::JoinPath(folder, "keep.txt")));
    EXPECT_EQ(ks::ListFolder(ks::JoinPath(folder, "*.*")).size(), 1u);
}

struct SuffixCase {
    const char* name;
    const char* typed;
    const char* shown;
};

class FolderSuffixTest : public FolderChoiceTest, public testing::WithParamInterface<SuffixCase> {};

TEST_P(FolderSuffixTest, FieldEndsInTheProductFolderUnlessItNamesItAlready) {
    Type(Form().DatFolder, Path(GetParam().typed));
    EXPECT_EQ(Form().DatFolder.Text(), Path(GetParam().shown));
    EXPECT_EQ(Form().Folders().dataFolder, Path(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderSuffixTest,
    testing::Values(SuffixCase{"Plain", "Apps", "Apps\\Keltra"},
                    SuffixCase{"TrailingBackslash", "Apps\\", "Apps\\Keltra"},
                    SuffixCase{"LowerCase", "apps\\keltra", "apps\\keltra"},
                    SuffixCase{"UpperCaseInside", "KELTRA-data\\x", "KELTRA-data\\x"}),
    [](const testing::TestParamInfo<SuffixCase>& info) { return info.param.name; });

// A recorded folder the program extends, too, is installed to as the field shows it.
TEST_F(FolderChoiceTest, ProgramChangesBecomeTheFolderTheFieldShows) {
    Form().Folders().dataFolder = "D:\\Before";
    Form().SetFolderText(Form().DatFolder, Path("set"));
    EXPECT_EQ(Form().DatFolder.Text(), Path("set\\Keltra"));
    EXPECT_EQ(Form().Folders().dataFolder, Path("set\\Keltra"));
}

struct RefusedCase {
    const char* name;
    const char* typed;
};

class RefusedFolderTest : public FolderChoiceTest,
                          public testing::WithParamInterface<RefusedCase> {};

// Neither an empty nor a relative text is adopted: the agent would resolve it inside the
// work folder, or write "\\" as the data folder.
TEST_P(RefusedFolderTest, KeepsTheFolderInUseAndShowsIt) {
    Type(Form().DatFolder, Path("before"));
    const std::string before = Form().DatFolder.Text();
    Type(Form().DatFolder, GetParam().typed);
    EXPECT_EQ(Form().DatFolder.Text(), before);
    EXPECT_EQ(Form().Folders().dataFolder, before);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedFolderTest,
                         testing::Values(RefusedCase{"Emptied", ""}, RefusedCase{"Relative", "D"},
                                         RefusedCase{"DriveRelative", "C:Apps"}),
                         [](const testing::TestParamInfo<RefusedCase>& info) {
                             return info.param.name;
                         });

TEST_F(FolderChoiceTest, SilentDataFolderIsShownAndUsedAsNamed) {
    const std::string named = Path("silent data");
    Form().UseSilentDataFolder(named);
    EXPECT_EQ(Form().DatFolder.Text(), named);
    EXPECT_EQ(Form().Folders().dataFolder, named);
}

TEST_F(FolderChoiceTest, UnwritableFolderShowsTheCross) {
    Form().SetFolderText(Form().InsFolder, Unwritable());
    EXPECT_TRUE(Shows(Form().IcoBin, "KOICON"));
    EXPECT_FALSE(Form().TestFolders(false));
}

TEST_F(FolderChoiceTest, NonAdministratorGetsTheTickWithoutATest) {
    Form().InsFolder.SetEnabled(false);
    const std::string untouched = Path("untouched\\Keltra");
    Form().SetFolderText(Form().InsFolder, untouched);
    EXPECT_TRUE(Shows(Form().IcoBin, "OKICON"));
    EXPECT_FALSE(ks::FolderExists(Path("untouched")));

    Form().SetFolderText(Form().InsFolder, Unwritable());
    EXPECT_TRUE(Shows(Form().IcoBin, "OKICON"));
    EXPECT_TRUE(Form().TestFolders(false));
}

TEST_F(FolderChoiceTest, EmptyFieldPassesAndKeepsItsIcon) {
    // An empty field is never adopted over a folder in use: start from a fresh window's.
    Form().IcoBin.SetPicture(ks::LoadBitmapResource("KOICON"));
    ASSERT_EQ(Form().InsFolder.Text(), "");
    EXPECT_TRUE(Shows(Form().IcoBin, "KOICON"));
    EXPECT_TRUE(Form().TestFolders(true));
}

// Answers the folder picker: checks its title, then cancels it or confirms a typed name.
HWND FindNameField(HWND dialog) {
    for (int id : {0x47c /* cmb13 */, 0x480 /* edt1 */}) {
        HWND item = GetDlgItem(dialog, id);
        if (!item)
            continue;
        if (HWND edit = FindWindowExA(item, nullptr, "Edit", nullptr))
            return edit;
        return item;
    }
    return nullptr;
}

TEST_F(FolderChoiceTest, CancellingThePickerChangesNothing) {
    Type(Form().DatFolder, Path("kept"));
    const std::string before = Form().DatFolder.Text();
    const std::string folderBefore = Form().Folders().dataFolder;
    std::string title;
    {
        ModalAnswer answer(Form().Handle(), [&](HWND dialog) {
            char text[128] = {};
            GetWindowTextA(dialog, text, sizeof(text));
            title = text;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        Form().InsFolderButtonClick(&Form().DatFolder);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(title, "Please select Data folder:");
    EXPECT_EQ(Form().DatFolder.Text(), before);
    EXPECT_EQ(Form().Folders().dataFolder, folderBefore);
    EXPECT_TRUE(Shows(Form().IcoData, "OKICON"));
}

TEST_F(FolderChoiceTest, PickedFolderBecomesTheInstallFolder) {
    const std::string picked = Path("picked");
    std::string title;
    {
        ModalAnswer answer(Form().Handle(), [&](HWND dialog) {
            char text[128] = {};
            GetWindowTextA(dialog, text, sizeof(text));
            title = text;
            HWND name = FindNameField(dialog);
            ASSERT_NE(name, nullptr);
            SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picked.c_str()));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        Form().InsFolderButtonClick(&Form().InsFolder);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(title, "Please select Installation folder:");
    EXPECT_EQ(Form().InsFolder.Text(), Path("picked\\Keltra"));
    EXPECT_EQ(Form().Folders().installFolder, Path("picked\\Keltra"));
    EXPECT_TRUE(Shows(Form().IcoBin, "OKICON"));
}

TEST_F(FolderChoiceTest, TypeChangeWithAnUnwritableFolderShowsTheErrorFormThenSafe) {
    Form().Folders().installFolder = Unwritable();
    {
        // Neither at start-up (no sender) nor behind a hidden window: no form.
        ModalAnswer unexpected(Form().Handle(),
                               [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
        Form().cbUserChange(nullptr);
        Form().cbUserChange(&Form().cbUser);
        EXPECT_FALSE(unexpected.Answered());
    }
    EXPECT_TRUE(Shows(Form().IcoBin, "KOICON"));
    EXPECT_FALSE(Form().btSafe.Visible());

    Form().SetVisible(true);
    RECT shown = {};
    {
        ModalAnswer answer(Form().Handle(), [&](HWND errorForm) {
            GetClientRect(errorForm, &shown);
            PostMessageA(errorForm, WM_CLOSE, 0, 0);
        });
        Form().cbUser.SetItemIndex(1);
        Form().cbUserChange(&Form().cbUser);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(shown.right, 476);
    EXPECT_EQ(shown.bottom, 267);
    EXPECT_TRUE(Form().btSafe.Visible());
    EXPECT_EQ(Form().Folders().installFolder, Unwritable());
}

TEST_F(FolderChoiceTest, SafeConfigurationMovesBothFoldersToTheDriveRoot) {
    const std::string install =
        Form().Engine()->Word(ks::word::kSafeDrive) + Form().Engine()->Word(ks::word::kProduct);
    const bool existedBefore = ks::FolderExists(install);
    Form().btSafe.SetVisible(true);
    Form().btSafe.Click();
    EXPECT_EQ(Form().Folders().installFolder, install);
    EXPECT_EQ(Form().InsFolder.Text(), install);
    const std::string data =
        ks::JoinPath(install, Form().Engine()->Word(ks::word::kSafeDataFolder));
    EXPECT_EQ(Form().Folders().dataFolder, data);
    EXPECT_EQ(Form().DatFolder.Text(), data);
    EXPECT_TRUE(Shows(Form().IcoBin, "OKICON"));
    EXPECT_TRUE(Shows(Form().IcoData, "OKICON"));
    if (!existedBefore) { // both were made for the test and, empty, are gone again
        EXPECT_FALSE(ks::FolderExists(data));
        EXPECT_FALSE(ks::FolderExists(install));
    }
}

} // namespace
} // namespace kstest
