// The message forms under Wine: answers, the one-button variant, the quit rule, dragging, the
// rounded region, release, and screenshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/folder_error_form.h"
#include "engine/form_dm_base.h"
#include "engine/msg_base_form.h"
#include "engine/msg_base_form_win.h"
#include "resources/list_names.h"
#include "skin/paint_win.h"
#include "skin/picture_win.h"
#include "sys/application.h"
#include "tests/common/test_paths.h"

namespace ks {
namespace {

// Runs an action from inside the next modal loop (a one-shot thread timer).
std::function<void()> pendingAction;
UINT_PTR actionTimer = 0;

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, actionTimer);
    actionTimer = 0;
    auto action = std::move(pendingAction);
    pendingAction = nullptr;
    if (action)
        action();
}

void DuringModal(std::function<void()> action) {
    pendingAction = std::move(action);
    actionTimer = SetTimer(nullptr, 0, 10, RunPendingAction);
}

void ClickButton(TFlatButton& button) {
    SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST(MsgBaseForm, YesAnswersTrueNoAnswersFalse) {
    {
        TFrmMsgBase form;
        DuringModal([&form] { ClickButton(form.Controls().btOk); });
        EXPECT_TRUE(form.Ask("Keltra is ready.", true));
        EXPECT_EQ(form.ModalResult(), mrOk);
    }
    {
        TFrmMsgBase form;
        DuringModal([&form] { ClickButton(form.Controls().btKo); });
        EXPECT_FALSE(form.Ask("Keltra is ready.", true));
        EXPECT_EQ(form.ModalResult(), mrCancel);
    }
}

TEST(MsgBaseForm, ClosingOtherwiseAnswersFalse) {
    TFrmMsgBase form;
    DuringModal([&form] { PostMessageA(static_cast<HWND>(form.Handle()), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(form.Ask("Close me.", true));
}

TEST(MsgBaseForm, TwoButtonLayout) {
    TFrmMsgBase form;
    TFrmMsgBase::Parts& p = form.Controls();
    bool checked = false;
    DuringModal([&] {
        EXPECT_TRUE(p.btOk.Visible());
        EXPECT_EQ(p.btOk.Caption(), "Yes");
        EXPECT_EQ(p.btKo.Caption(), "No");
        EXPECT_EQ(p.btOk.Left(), 264);
        EXPECT_EQ(p.btKo.Left(), 368);
        EXPECT_EQ(p.lbMsg.Caption(), "Question?");
        EXPECT_TRUE(p.btOk.Focused()); // tab order 0
        RECT client;
        GetClientRect(static_cast<HWND>(form.Handle()), &client);
        EXPECT_EQ(client.right, 499);
        EXPECT_EQ(client.bottom, 134);
        EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(form.Handle()), GWL_EXSTYLE) & WS_EX_TOPMOST);
        checked = true;
        ClickButton(p.btKo);
    });
    form.Ask("Question?", true);
    EXPECT_TRUE(checked);
}

TEST(MsgBaseForm, OneButtonVariantShowsOkAtTheRight) {
    TFrmMsgBase form;
    TFrmMsgBase::Parts& p = form.Controls();
    DuringModal([&] {
        EXPECT_FALSE(p.btOk.Visible());
        EXPECT_FALSE(IsWindowVisible(p.btOk.Handle()));
        EXPECT_EQ(p.btKo.Caption(), "Ok");
        EXPECT_EQ(p.btKo.Left(), 368);
        EXPECT_TRUE(p.btKo.Focused());
        ClickButton(p.btKo);
    });
    EXPECT_TRUE(form.Ask("Notice.", false));
    EXPECT_EQ(form.GetSingleButtonCaption(), "Ok");
}

TEST(MsgBaseForm, OtherWindowsAreDisabledWhileItIsShown) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    TFrmMsgBase form;
    bool wasDisabled = false;
    DuringModal([&] {
        wasDisabled = !IsWindowEnabled(other);
        ClickButton(form.Controls().btOk);
    });
    form.Ask("Modal.", true);
    EXPECT_TRUE(wasDisabled);
    EXPECT_TRUE(IsWindowEnabled(other));
    DestroyWindow(other);
}

TEST(MsgBaseForm, ReleasedExactlyOnce) {
    int destroyed = 0;
    HWND window = nullptr;
    {
        TFrmMsgBase form;
        form.Controls().onWindowDestroyed = [&destroyed] { ++destroyed; };
        window = static_cast<HWND>(form.Handle());
        DuringModal([&form] { ClickButton(form.Controls().btOk); });
        form.Ask("Once.", true);
        EXPECT_EQ(destroyed, 1); // released when the modal loop returned
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(form.Handle(), nullptr); // not made again
    }
    EXPECT_EQ(destroyed, 1); // the owner's destruction does not release it again
    {
        TFrmMsgBase never;
        never.Controls().onWindowDestroyed = [&destroyed] { ++destroyed; };
        ASSERT_NE(never.Handle(), nullptr);
    }
    EXPECT_EQ(destroyed, 2); // a form never shown goes with its owner
}

TEST(MsgBaseForm, RoundedRegionFollowsTheFormSize) {
    const auto check = [](TFrmMsgBase& form, int width, int height) {
        UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(static_cast<HWND>(form.Handle()), region.Get()), ERROR);
        RECT box;
        GetRgnBox(region.Get(), &box);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        // GDI's rounded rectangle from (0, 0) to (width, height) leaves out its right and
        // bottom edge.
        EXPECT_EQ(box.right, width - 1);
        EXPECT_EQ(box.bottom, height - 1);
        EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)); // rounded corners
        EXPECT_FALSE(PtInRegion(region.Get(), width - 2, height - 2));
        EXPECT_TRUE(PtInRegion(region.Get(), 4, 4));
        EXPECT_TRUE(PtInRegion(region.Get(), width / 2, 0));
        EXPECT_TRUE(PtInRegion(region.Get(), 0, height / 2));
    };
    TFrmMsgBase base;
    check(base, 499, 134);
    TFrmFolderError folder;
    check(folder, 476, 267);
}

class HitTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = static_cast<HWND>(form.Handle());
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    LRESULT At(int x, int y) {
        POINT point = {x, y};
        ClientToScreen(window, &point);
        return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }
    static void LeftButton(bool down) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        // Let the input reach the key state.
        MSG message;
        for (int i = 0; i < 50 && (((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) != down); ++i) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(10);
        }
    }
    TFrmMsgBase form;
    HWND window = nullptr;
};

TEST_F(HitTest, WithoutTheButtonEveryPointIsClient) {
    ASSERT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
    EXPECT_EQ(At(250, 10), HTCLIENT);
    EXPECT_EQ(At(2, 2), HTCLIENT);
    EXPECT_EQ(At(250, 64), HTCLIENT);
}

TEST_F(HitTest, WithTheButtonDownTheFrameIsACaption) {
    // Press where no window of ours is, so that the press itself starts nothing.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    LeftButton(true);
    const bool down = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    const LRESULT top = At(250, 10);
    const LRESULT middle = At(250, 64);
    const LRESULT left = At(29, 64);
    const LRESULT bottom = At(250, 103);
    LeftButton(false);
    ASSERT_TRUE(down) << "the injected press did not reach the key state";
    EXPECT_EQ(top, HTCAPTION);
    EXPECT_EQ(middle, HTCLIENT);
    EXPECT_EQ(left, HTCAPTION);
    EXPECT_EQ(bottom, HTCAPTION);
}

TEST(FolderErrorForm, LayoutAndSingleOkButton) {
    TFrmFolderError form;
    TFrmMsgBase::Parts& p = form.Controls();
    EXPECT_EQ(p.fondo.Style(), gsRadialT);
    EXPECT_FALSE(p.lbMsg.Visible());
    EXPECT_EQ(p.lbMsg.Caption(), "Invalid installation folders");
    EXPECT_EQ(p.Label2.Caption(), "Setup could not write on selected folders");
    EXPECT_EQ(p.Label2.Font().color, Rgb(128, 0, 0));
    EXPECT_TRUE(p.Label1.Visible());
    DuringModal([&] {
        RECT client;
        GetClientRect(static_cast<HWND>(form.Handle()), &client);
        EXPECT_EQ(client.right, 476);
        EXPECT_EQ(client.bottom, 267);
        EXPECT_FALSE(IsWindowVisible(p.btOk.Handle()));
        EXPECT_EQ(p.btKo.Caption(), "Ok");
        EXPECT_EQ(p.btKo.Left(), 40);
        EXPECT_EQ(p.btKo.Top(), 200);
        EXPECT_EQ(p.btKo.Width(), 113);
        EXPECT_EQ(p.btKo.ColorBorder(), clSilver);
        ClickButton(p.btKo);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
}

TEST(AskMessage, MissingIndexShowsAnEmptyMessage) {
    TDMBase engine;
    std::string shown = "not shown";
    DuringModal([&] {
        HWND window = FindWindowA("TFrmMsgBase", nullptr);
        ASSERT_NE(window, nullptr);
        auto* form = reinterpret_cast<TFrmMsgBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        shown = form->Controls().lbMsg.Caption();
        ClickButton(form->Controls().btKo);
    });
    EXPECT_TRUE(engine.AskMessage(100000, false));
    EXPECT_EQ(shown, "");
    DuringModal([&] {
        HWND window = FindWindowA("TFrmMsgBase", nullptr);
        auto* form = reinterpret_cast<TFrmMsgBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        shown = form->Controls().lbMsg.Caption();
        ClickButton(form->Controls().btKo);
    });
    EXPECT_FALSE(engine.AskMessage(msg::kReinstall, true));
    EXPECT_EQ(shown, engine.Message(msg::kReinstall));
    EXPECT_FALSE(shown.empty());
}

// The quit request cannot be withdrawn, so these run in child processes.
TEST(QuitPendingDeathTest, FormClosesAtOnceWithNoAndTheRequestStays) {
    EXPECT_EXIT(
        {
            RequestTermination();
            TFrmMsgBase form;
            const bool answer = form.Ask("Never seen.", true);
            MSG quit;
            const bool stillPending = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
            std::exit(!answer && stillPending && TerminationRequested() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(QuitPendingDeathTest, RequestDuringTheFormEndsItWithNo) {
    EXPECT_EXIT(
        {
            TFrmMsgBase form;
            DuringModal([] { RequestTermination(); });
            const bool answer = form.Ask("Interrupted.", false);
            MSG quit;
            const bool stillPending = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
            std::exit(!answer && stillPending ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Screenshots: the form and its child controls rendered into a DIB, cut to the region.
TPicture RenderForm(TFrmMsgBase& form) {
    TFrmMsgBase::Parts& p = form.Controls();
    const HWND window = static_cast<HWND>(form.Handle());
    WindowDC screen(nullptr);
    TOffscreen buffer(screen.Get(), p.clientWidth, p.clientHeight);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.Dc()), PRF_CLIENT);
    for (TFlatButton* button : {&p.btOk, &p.btKo}) {
        if (!button->Visible())
            continue;
        POINT previous;
        SetViewportOrgEx(buffer.Dc(), button->Left(), button->Top(), &previous);
        button->PaintTo(buffer.Dc());
        SetViewportOrgEx(buffer.Dc(), previous.x, previous.y, nullptr);
    }
    GdiFlush();
    TPicture picture;
    picture.width = p.clientWidth;
    picture.height = p.clientHeight;
    picture.hasAlpha = true;
    picture.pixels.assign(buffer.Pixels(), buffer.Pixels() + picture.width * picture.height);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const bool hasRegion = GetWindowRgn(window, region.Get()) != ERROR;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels[y * picture.width + x] |=
                !hasRegion || PtInRegion(region.Get(), x, y) ? 0xFF000000u : 0;
    return picture;
}

void SaveScreenshot(const TPicture& picture, const std::string& name) {
    CreateDirectoryA(kstest::BinaryPath("screenshots").c_str(), nullptr);
    SavePicturePng(picture, kstest::BinaryPath("screenshots\\" + name));
}

TEST(MsgBaseForm, ALongMessageIsCutAtTheLabelBox) {
    TFrmMsgBase form;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "A message far longer than the form can show. ";
    form.SetMessageText(text);
    HWND window = static_cast<HWND>(form.Handle());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 499); // the form does not grow
    EXPECT_EQ(client.bottom, 134);
    WindowDC screen(nullptr);
    TOffscreen buffer(screen.Get(), 499, 134);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.Dc()), PRF_CLIENT);
    GdiFlush();
    int inside = 0;
    int outside = 0;
    for (int y = 40; y < 96; ++y) {
        for (int x = 0; x < 499; ++x) {
            if (ColorOf(buffer.Pixels()[y * 499 + x]) != clWhite)
                continue;
            const bool inBox = x >= 24 && x < 457 && y >= 48 && y < 81;
            (inBox ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 500);
    EXPECT_EQ(outside, 0);
}

TEST(Screenshots, MessageForms) {
    {
        TFrmMsgBase form;
        form.SetMessageText("Keltra is already installed on this computer.\r\nDo you want to "
                            "install it again?");
        const TPicture picture = RenderForm(form);
        // Gradient at the edges and the middle, the logo, the white message.
        EXPECT_EQ(ColorOf(picture.At(0, 67)), Rgb(0, 64, 128));
        EXPECT_EQ(ColorOf(picture.At(249, 120)), Rgb(0, 128, 255));
        EXPECT_EQ(picture.At(0, 0) >> 24, 0u);
        int white = 0;
        for (int y = 48; y < 81; ++y)
            for (int x = 24; x < 457; ++x)
                white += ColorOf(picture.At(x, y)) == clWhite;
        EXPECT_GT(white, 100);
        SaveScreenshot(picture, "msg-form.png");
    }
    {
        TFrmMsgBase form;
        form.Controls().btKo.SetCaption("Ok");
        form.Controls().btOk.SetVisible(false);
        form.SetMessageText("The package server could not be reached.");
        SaveScreenshot(RenderForm(form), "msg-form-one-button.png");
    }
    {
        TFrmFolderError form;
        const TPicture picture = RenderForm(form);
        EXPECT_EQ(ColorOf(picture.At(237, 1)), Rgb(0, 128, 255)); // radial centre at the top
        SaveScreenshot(picture, "folder-error-form.png");
    }
}

} // namespace
} // namespace ks
