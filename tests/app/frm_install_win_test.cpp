// The setup window under Wine: its layout against the control table, the installation type,
// the terms, the progress display, the enabling of the inputs and the drag band.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "app/frm_install_layout.h"
#include "engine/installed_state.h"
#include "resources/list_names.h"
#include "skin/picture_scale.h"
#include "skin/picture_win.h"
#include "sys/folders.h"
#include "sys/paths.h"
#include "sys/process_win.h"
#include "sys/unique_handle_win.h"
#include "tests/app/install_form_fixture_win.h"
#include "tests/common/test_paths.h"

namespace kstest {
namespace {

using ks::install_form::ControlId;
using ks::install_form::Entry;

std::map<ControlId, ks::TSkinControl*> WindowedControls(ks::TFrmInstall& form) {
    return {{ControlId::BtTerms, &form.BtTerms},    {ControlId::BtInstall, &form.BtInstall},
            {ControlId::BtClose, &form.BtClose},    {ControlId::btSafe, &form.btSafe},
            {ControlId::Barra, &form.Barra},        {ControlId::chTerms, &form.chTerms},
            {ControlId::cbUser, &form.cbUser},      {ControlId::InsFolder, &form.InsFolder},
            {ControlId::DatFolder, &form.DatFolder}};
}

std::map<ControlId, ks::TGraphicControl*> GraphicControls(ks::TFrmInstall& form) {
    return {{ControlId::Mask, &form.Mask},
            {ControlId::lbInstall, &form.lbInstall},
            {ControlId::lbInsType, &form.lbInsType},
            {ControlId::lbData, &form.lbData},
            {ControlId::IcoBin, &form.IcoBin},
            {ControlId::IcoData, &form.IcoData},
            {ControlId::lbProgress, &form.lbProgress},
            {ControlId::lbTask, &form.lbTask}};
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using MainWindowTest = InstallFormTest;

TEST_F(MainWindowTest, WindowIsABorderlessCentredPanelOfTheClientSize) {
    HWND window = Form().Handle();
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof(caption));
    EXPECT_STREQ(caption, "keltra setup");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 595);
    EXPECT_EQ(client.bottom, 360);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER), 0);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 595);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 595) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 360) / 2);
}

TEST_F(MainWindowTest, WindowedControlsSitWhereTheTableSaysWithTheirStartState) {
    for (const auto& [id, control] : WindowedControls(Form())) {
        const auto& entry = Entry(id);
        SCOPED_TRACE(entry.name);
        ASSERT_NE(control->Handle(), nullptr);
        EXPECT_EQ(GetParent(control->Handle()), Form().Handle());
        RECT rect;
        GetWindowRect(control->Handle(), &rect);
        MapWindowPoints(nullptr, Form().Handle(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, entry.bounds.left);
        EXPECT_EQ(rect.top, entry.bounds.top);
        EXPECT_EQ(rect.right - rect.left, entry.bounds.width);
        EXPECT_EQ(rect.bottom - rect.top, entry.bounds.height);
        const bool visible = (GetWindowLongA(control->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
        EXPECT_EQ(visible, entry.visible);
        // The install folder is open only to administrators.
        const bool enabled = id == ControlId::InsFolder ? ks::IsUserAdministrator() : entry.enabled;
        EXPECT_EQ(IsWindowEnabled(control->Handle()) != FALSE, enabled);
        if (entry.tabOrder >= 0) {
            EXPECT_EQ(control->TabOrder(), entry.tabOrder);
        }
    }
    for (const auto& [id, control] : GraphicControls(Form())) {
        const auto& b = Entry(id).bounds;
        SCOPED_TRACE(Entry(id).name);
        EXPECT_EQ(control->Left(), b.left);
        EXPECT_EQ(control->Top(), b.top);
        EXPECT_EQ(control->Width(), b.width);
        EXPECT_EQ(control->Height(), b.height);
    }
}

TEST_F(MainWindowTest, LaterControlsLieAboveEarlierOnes) {
    std::map<HWND, int> creationIndex;
    for (const auto& [id, control] : WindowedControls(Form()))
        creationIndex[control->Handle()] = static_cast<int>(id);
    std::vector<int> topToBottom;
    for (HWND child = GetWindow(Form().Handle(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto found = creationIndex.find(child);
        if (found != creationIndex.end())
            topToBottom.push_back(found->second);
    }
    ASSERT_EQ(topToBottom.size(), creationIndex.size());
    for (std::size_t i = 1; i < topToBottom.size(); ++i)
        EXPECT_GT(topToBottom[i - 1], topToBottom[i]);
}

TEST_F(MainWindowTest, ContentsAndLooksAtStart) {
    EXPECT_EQ(Form().BtTerms.Caption(), "&Terms && conditions");
    EXPECT_EQ(Form().BtInstall.Caption(), "Install");
    EXPECT_EQ(Form().BtClose.Caption(), "&Close");
    EXPECT_EQ(Form().btSafe.Caption(), "Safe Configuration");
    EXPECT_EQ(Form().chTerms.Caption(), "I have read && agree the terms && conditions");
    EXPECT_EQ(Form().lbInstall.Caption(), "Installation folder:");
    EXPECT_EQ(Form().lbInsType.Caption(), "Installation type:");
    EXPECT_EQ(Form().lbData.Caption(), "Data folder:");
    EXPECT_EQ(Form().lbProgress.Caption(), "Installation progress:");
    EXPECT_EQ(Form().lbTask.Caption(), "");
    EXPECT_EQ(Form().lbInstall.Font().color, ks::clWhite);

    EXPECT_EQ(Form().cbUser.Items(), (std::vector<std::string>{"All users", "Current user"}));
    EXPECT_EQ(Form().cbUser.ItemIndex(), 0);
    EXPECT_FALSE(Form().chTerms.Checked());
    EXPECT_EQ(Form().chTerms.Layout(), ks::checkboxRight);
    EXPECT_TRUE(Form().chTerms.Transparent());

    EXPECT_EQ(Form().BtInstall.Color(), ks::Rgb(6, 123, 10));
    EXPECT_EQ(Form().BtInstall.ColorBorder(), ks::clWhite);
    EXPECT_EQ(Form().BtInstall.NumGlyphs(), 2);
    EXPECT_EQ(Form().BtInstall.Glyph().width, 32);
    EXPECT_EQ(Form().BtInstall.Layout(), ks::blGlyphLeft);
    EXPECT_EQ(Form().btSafe.ColorBorder(), ks::clBlack);
    EXPECT_EQ(Form().BtTerms.TransparentMode(), ks::tmNotFocused);
    EXPECT_EQ(Form().BtClose.Color(), ks::Rgb(255, 128, 0));

    EXPECT_EQ(Form().Barra.MaxValue(), 100);
    EXPECT_EQ(Form().Barra.Progress(), 0);
    EXPECT_EQ(Form().Barra.BackColor(), ks::Rgb(160, 160, 164));
    EXPECT_EQ(Form().Barra.ForeColor(), ks::Rgb(0, 0, 128));

    EXPECT_FALSE(Form().InsFolder.DirectInput());
    EXPECT_EQ(Form().InsFolder.ButtonWidth(), 24);
    EXPECT_EQ(Form().InsFolder.BorderStyle(), ks::ebsNone);
    EXPECT_TRUE(Form().DatFolder.DirectInput());
    EXPECT_EQ(Form().DatFolder.BorderStyle(), ks::ebsNone);

    EXPECT_FALSE(Form().Mask.Picture().Empty());
    EXPECT_EQ(Form().Mask.Picture().width, 595);
    EXPECT_TRUE(Form().IcoBin.Picture().Empty());
    EXPECT_TRUE(Form().IcoData.Picture().Empty());
}

TEST_F(MainWindowTest, AllUsersTakesTheCommonFoldersAndTheDefaultInstallFolder) {
    Form().cbUserChange(nullptr);
    const std::string install = ks::JoinPath(ks::GetSystemFolder(ks::fkProgramFiles), "Keltra");
    EXPECT_EQ(Form().Folders().installFolder, install);
    EXPECT_EQ(Form().InsFolder.Text(), install);
    const std::string data = ks::JoinPath(ks::GetSystemFolder(ks::fkCommonDocuments), "Keltra");
    EXPECT_EQ(Form().Folders().dataFolder, data);
    EXPECT_EQ(Form().DatFolder.Text(), data);
    EXPECT_EQ(Form().Folders().menuFolder,
              ks::JoinPath(ks::GetSystemFolder(ks::fkCommonPrograms),
                           Form().Engine()->LibraryEntry(ks::lib::kMenuGroup)));
    EXPECT_EQ(Form().Folders().desktopFolder, ks::GetSystemFolder(ks::fkCommonDesktop));
    EXPECT_TRUE(Form().Folders().allUsers);
    EXPECT_TRUE(Shows(Form().IcoData, "OKICON"));
}

TEST_F(MainWindowTest, CurrentUserChangesTheDataFolderAndKeepsTheInstallFolder) {
    ScratchFolder scratch("app-scope");
    Form().Folders().installFolder = ks::JoinPath(scratch.Path(), "Keltra");
    Form().cbUserChange(nullptr);
    const std::string install = Form().InsFolder.Text();
    EXPECT_EQ(install, Form().Folders().installFolder);

    Form().cbUser.SetItemIndex(1);
    Form().cbUserChange(&Form().cbUser);
    const std::string data = ks::JoinPath(ks::GetSystemFolder(ks::fkPersonal), "Keltra");
    EXPECT_EQ(Form().Folders().dataFolder, data);
    EXPECT_EQ(Form().DatFolder.Text(), data);
    EXPECT_EQ(Form().InsFolder.Text(), install);
    EXPECT_EQ(Form().Folders().installFolder, install);
    EXPECT_EQ(Form().Folders().menuFolder,
              ks::JoinPath(ks::GetSystemFolder(ks::fkPrograms),
                           Form().Engine()->LibraryEntry(ks::lib::kMenuGroup)));
    EXPECT_EQ(Form().Folders().desktopFolder, ks::GetSystemFolder(ks::fkDesktop));
    EXPECT_FALSE(Form().Folders().allUsers);
}

bool HoldsFocus(const ks::TSkinControl& control) {
    const HWND focus = GetFocus();
    return focus && (focus == control.Handle() || IsChild(control.Handle(), focus));
}

TEST_F(MainWindowTest, TabMovesThroughTheInputsInTabOrder) {
    Form().InsFolder.SetEnabled(true);
    Form().SetVisible(true);
    SetForegroundWindow(Form().Handle());
    Form().InsFolder.SetFocus();
    ASSERT_TRUE(HoldsFocus(Form().InsFolder));
    const ks::TSkinControl* const order[] = {&Form().cbUser, &Form().DatFolder, &Form().chTerms,
                                             &Form().InsFolder};
    for (const ks::TSkinControl* expected : order) {
        MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        EXPECT_TRUE(ks::IsSkinDialogMessage(Form().Handle(), tab));
        EXPECT_TRUE(HoldsFocus(*expected))
            << "expected tab order position of " << expected->TabOrder();
    }
}

TEST_F(MainWindowTest, TickingTheTermsBoxEnablesInstallAndUntickingDisablesIt) {
    HWND box = Form().chTerms.Handle();
    RECT client;
    GetClientRect(box, &client);
    // The box sits at the right edge of the control.
    const LPARAM onBox = MAKELPARAM(client.right - 6, 8);
    for (bool expected : {true, false, true}) {
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, onBox);
        SendMessageA(box, WM_LBUTTONUP, 0, onBox);
        EXPECT_EQ(Form().chTerms.Checked(), expected);
        EXPECT_EQ(Form().BtInstall.Enabled(), expected);
        EXPECT_EQ(IsWindowEnabled(Form().BtInstall.Handle()) != FALSE, expected);
    }
    Form().chTerms.SetChecked(false);
    EXPECT_FALSE(Form().BtInstall.Enabled());
}

struct ViewerSearch {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK VisitViewerCandidate(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ViewerSearch*>(context);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof(title));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() &&
        std::string(title).find(search->name) != std::string::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The top-level window of another process whose title names the document.
HWND FindViewerOf(const std::string& documentName) {
    ViewerSearch search{documentName, nullptr};
    EnumWindows(VisitViewerCandidate, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes the viewer the test caused to be started, and waits for its process to end.
void CloseViewer(HWND viewer) {
    DWORD processId = 0;
    GetWindowThreadProcessId(viewer, &processId);
    ks::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 1);
}

TEST_F(MainWindowTest, TermsButtonOpensTheDocumentWhileInstallIsDisabled) {
    ASSERT_FALSE(Form().BtInstall.Enabled());
    const std::string name = Form().Engine()->LibraryEntry(ks::lib::kTermsFile);
    const std::string written = ks::JoinPath(ks::TempFolder(), name);
    DeleteFileA(written.c_str());

    Form().BtTerms.Click();

    const std::string terms = ReadAll(SourcePath("resources/terms.rtf"));
    ASSERT_FALSE(terms.empty());
    EXPECT_EQ(ReadAll(written), terms);
    // The system's RTF viewer shows it.
    HWND viewer = nullptr;
    for (int i = 0; i < 200 && !viewer; ++i) {
        Sleep(50);
        viewer = FindViewerOf(name);
    }
    ASSERT_NE(viewer, nullptr);
    CloseViewer(viewer);
}

TEST_F(MainWindowTest, KnownSizeDownloadShowsPercentagesAndKeepsTheMaximum) {
    EXPECT_EQ(Form().Barra.BackColor(), ks::Rgb(160, 160, 164));
    Form().ShowTransferProgress(4096, 0);
    EXPECT_EQ(Form().Barra.BackColor(), ks::clWhite);
    EXPECT_EQ(Form().Barra.Progress(), 0);
    const int expected[] = {0, 25, 50, 75, 100};
    for (int block = 0; block <= 4; ++block) {
        Form().ShowTransferProgress(4096, block * 1024);
        EXPECT_EQ(Form().Barra.Progress(), expected[block]);
        EXPECT_EQ(Form().Barra.MaxValue(), 100);
    }
}

TEST_F(MainWindowTest, UnknownSizeDownloadAfter45ReadsShowsMaximum60) {
    for (int reads = 0; reads <= 45; ++reads)
        Form().ShowTransferProgress(0, reads);
    EXPECT_EQ(Form().Barra.MaxValue(), 60);
    EXPECT_EQ(Form().Barra.Progress(), 45);
    EXPECT_EQ(Form().Barra.BackColor(), ks::clWhite);
}

TEST_F(MainWindowTest, ArchiveProgressTurnsTheGaugeWhiteAndNeverAborts) {
    bool abort = false;
    Form().ShowArchiveProgress(nullptr, 37, abort);
    EXPECT_EQ(Form().Barra.Progress(), 37);
    EXPECT_EQ(Form().Barra.BackColor(), ks::clWhite);
    EXPECT_FALSE(abort);
}

TEST_F(MainWindowTest, CreationBindsTheEnginesExtractionToTheGauge) {
    ks::TDMBase* engine = Form().Engine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->UnZipper.TempDirectory(), ks::TempFolder());
    ASSERT_TRUE(engine->UnZipper.OnArchiveProgress);
    bool abort = false;
    engine->UnZipper.OnArchiveProgress(engine->UnZipper, 64, abort);
    EXPECT_EQ(Form().Barra.Progress(), 64);
    EXPECT_EQ(Form().Barra.BackColor(), ks::clWhite);
    EXPECT_FALSE(abort);
}

TEST_F(MainWindowTest, SetControlsEnabledSwitchesTheSevenInputsAndLeavesSafeAlone) {
    ks::TSkinControl* const seven[] = {&Form().InsFolder, &Form().DatFolder, &Form().cbUser,
                                       &Form().BtInstall, &Form().BtTerms,   &Form().BtClose,
                                       &Form().chTerms};
    Form().btSafe.SetEnabled(false);
    Form().SetControlsEnabled(true);
    for (ks::TSkinControl* control : seven)
        EXPECT_TRUE(control->Enabled());
    EXPECT_FALSE(Form().btSafe.Enabled());

    Form().btSafe.SetEnabled(true);
    Form().SetControlsEnabled(false);
    for (ks::TSkinControl* control : seven) {
        EXPECT_FALSE(control->Enabled());
        EXPECT_FALSE(IsWindowEnabled(control->Handle()));
    }
    EXPECT_TRUE(Form().btSafe.Enabled());
}

// Holds the left mouse button down (as the system sees it) away from the window.
class LeftButtonHeld {
public:
    LeftButtonHeld() { Send(MOUSEEVENTF_LEFTDOWN); }
    ~LeftButtonHeld() {
        Send(MOUSEEVENTF_LEFTUP);
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
    }
    LeftButtonHeld(const LeftButtonHeld&) = delete;
    LeftButtonHeld& operator=(const LeftButtonHeld&) = delete;

private:
    static void Send(DWORD flags) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    }
};

TEST_F(MainWindowTest, OnlyTheTop160PixelsDragTheWindow) {
    HWND window = Form().Handle();
    RECT frame;
    GetWindowRect(window, &frame);
    const auto hitAt = [&](int clientY) {
        return SendMessageA(window, WM_NCHITTEST, 0,
                            MAKELPARAM(frame.left + 300, frame.top + clientY));
    };
    EXPECT_EQ(hitAt(10), HTCLIENT); // nothing drags without the button down
    SetCursorPos(0, 0);
    LeftButtonHeld held;
    ASSERT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(hitAt(0), HTCAPTION);
    EXPECT_EQ(hitAt(159), HTCAPTION);
    EXPECT_EQ(hitAt(160), HTCLIENT);
    EXPECT_EQ(hitAt(359), HTCLIENT);
}

TEST_F(MainWindowTest, DpiChangeLaysEverythingOutAgainInTheSuggestedRectangle) {
    // What Windows sends when the window moves to a monitor of another DPI.
    constexpr UINT kDpiChanged = 0x02E0;
    HWND window = Form().Handle();
    SetCursorPos(0, 0);
    LeftButtonHeld held;
    const ks::TPicture single = ks::LoadPictureResource("BACKGROUND");
    const ks::TPicture doubled = ks::LoadPictureResource("BACKGROUND2X");
    for (int dpi : {192, 144, 96}) {
        SCOPED_TRACE(dpi);
        RECT suggested = {10, 20, 10 + ks::ScaleLength(595, dpi), 20 + ks::ScaleLength(360, dpi)};
        SendMessageA(window, kDpiChanged, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT frame;
        GetWindowRect(window, &frame);
        EXPECT_TRUE(EqualRect(&frame, &suggested));
        for (const auto& [id, control] : WindowedControls(Form())) {
            SCOPED_TRACE(Entry(id).name);
            const auto b = ks::install_form::ScaleBounds(Entry(id).bounds, dpi);
            RECT rect;
            GetWindowRect(control->Handle(), &rect);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, b.left);
            EXPECT_EQ(rect.top, b.top);
            EXPECT_EQ(rect.right - rect.left, b.width);
            EXPECT_EQ(rect.bottom - rect.top, b.height);
            EXPECT_EQ(control->Dpi(), dpi);
        }
        for (const auto& [id, control] : GraphicControls(Form())) {
            SCOPED_TRACE(Entry(id).name);
            const auto b = ks::install_form::ScaleBounds(Entry(id).bounds, dpi);
            EXPECT_EQ(control->Left(), b.left);
            EXPECT_EQ(control->Top(), b.top);
            EXPECT_GE(control->Width(), b.width); // a label may grow to fit its caption
            EXPECT_EQ(control->Dpi(), dpi);
        }
        EXPECT_EQ(Form().Mask.Shown().width, suggested.right - suggested.left);
        // The double-size art comes in with the first DPI that shows it.
        EXPECT_EQ(Form().Mask.Shown().pixels, ks::ArtForDpi(single, doubled, dpi).pixels);
        const int band = ks::ScaleLength(160, dpi);
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(300, 20 + band - 1)), HTCAPTION);
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(300, 20 + band)), HTCLIENT);
    }
}

TEST_F(MainWindowTest, CloseButtonEndsTheProgramOnceTheWindowIsTheMainWindow) {
    ASSERT_TRUE(Form().IsMainForm());
    Form().BtClose.Click();
    EXPECT_EQ(Form().Handle(), nullptr);
    EXPECT_EQ(Form().Engine(), nullptr); // the engine goes with the window
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
} // namespace kstest
