// What a screen reader reads through AccessibleObjectFromWindow, and the keys that finish an
// installation without a mouse.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "engine/folder_error_form.h"
#include "engine/msg_base_form_win.h"
#include "tests/app/install_form_fixture_win.h"

namespace kstest {
namespace {

// An accessible object and one of its children (CHILDID_SELF: the object itself).
class Accessible {
public:
    Accessible() = default;
    Accessible(IAccessible* object, long child) : object_(object), child_(child) {}
    Accessible(Accessible&& other) noexcept
        : object_(std::exchange(other.object_, nullptr)), child_(other.child_) {}
    Accessible& operator=(Accessible&&) = delete;
    ~Accessible() {
        if (object_ && child_ == CHILDID_SELF)
            object_->Release();
    }

    static Accessible Of(HWND window) {
        IAccessible* object = nullptr;
        const HRESULT made =
            AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&object));
        EXPECT_EQ(made, S_OK);
        return {SUCCEEDED(made) ? object : nullptr, CHILDID_SELF};
    }

    explicit operator bool() const { return object_ != nullptr; }
    std::string Name() const { return Text(&IAccessible::get_accName); }
    std::string Value() const { return Text(&IAccessible::get_accValue); }
    std::string Shortcut() const { return Text(&IAccessible::get_accKeyboardShortcut); }
    long Role() const { return Number(&IAccessible::get_accRole); }
    long State() const { return Number(&IAccessible::get_accState); }
    long ChildCount() const {
        long count = -1;
        if (object_)
            object_->get_accChildCount(&count);
        return count;
    }
    // A painted part (a simple element) of this object.
    Accessible Part(long id) const { return {object_, id}; }
    HRESULT DoDefaultAction() const {
        return object_ ? object_->accDoDefaultAction(Id()) : E_POINTER;
    }

private:
    VARIANT Id() const {
        VARIANT id;
        VariantInit(&id);
        id.vt = VT_I4;
        id.lVal = child_;
        return id;
    }
    std::string Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) const {
        if (!object_)
            return "<none>";
        BSTR text = nullptr;
        if ((object_->*get)(Id(), &text) != S_OK || !text)
            return "";
        const std::wstring wide(text, SysStringLen(text));
        SysFreeString(text);
        return std::string(wide.begin(), wide.end());
    }
    long Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) const {
        VARIANT number;
        VariantInit(&number);
        if (!object_ || (object_->*get)(Id(), &number) != S_OK || number.vt != VT_I4)
            return -1;
        return number.lVal;
    }

    IAccessible* object_ = nullptr;
    long child_ = CHILDID_SELF;
};

// Marshalling the object out of WM_GETOBJECT needs COM on the window's thread.
class AccessibleFormTest : public InstallFormTest {
protected:
    void SetUp() override {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        InstallFormTest::SetUp();
    }
    void TearDown() override {
        InstallFormTest::TearDown();
        if (SUCCEEDED(com_))
            CoUninitialize();
    }

private:
    HRESULT com_ = E_FAIL;
};

struct ControlCase {
    const char* label;
    std::function<HWND(ks::TFrmInstall&)> window;
    const char* name;
    long role;
    long statesOn;
    long statesOff;
    std::function<std::string(ks::TFrmInstall&)> value;
};

std::string NoValue(ks::TFrmInstall&) {
    return "";
}

TEST_F(AccessibleFormTest, EveryControlReportsItsNameRoleStateAndValue) {
    constexpr long kUnavailable = STATE_SYSTEM_UNAVAILABLE;
    const ControlCase cases[] = {
        {"terms button", [](auto& f) { return f.BtTerms.Handle(); }, "Terms & conditions",
         ROLE_SYSTEM_PUSHBUTTON, 0, kUnavailable, NoValue},
        {"install button before the terms", [](auto& f) { return f.BtInstall.Handle(); }, "Install",
         ROLE_SYSTEM_PUSHBUTTON, kUnavailable, 0, NoValue},
        {"close button", [](auto& f) { return f.BtClose.Handle(); }, "Close",
         ROLE_SYSTEM_PUSHBUTTON, 0, kUnavailable, NoValue},
        {"terms box", [](auto& f) { return f.chTerms.Handle(); },
         "I have read & agree the terms & conditions", ROLE_SYSTEM_CHECKBUTTON,
         STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_CHECKED, NoValue},
        {"installation type", [](auto& f) { return f.cbUser.Handle(); }, "Installation type",
         ROLE_SYSTEM_COMBOBOX, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_COLLAPSED, 0,
         [](auto&) { return std::string("All users"); }},
        {"install folder", [](auto& f) { return f.InsFolder.EditHandle(); }, "Installation folder",
         ROLE_SYSTEM_TEXT, STATE_SYSTEM_READONLY, 0, [](auto& f) { return f.InsFolder.Text(); }},
        {"data folder", [](auto& f) { return f.DatFolder.EditHandle(); }, "Data folder",
         ROLE_SYSTEM_TEXT, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_READONLY,
         [](auto& f) { return f.DatFolder.Text(); }},
        {"folder browse button", [](auto& f) { return f.DatFolder.Button().Handle(); }, "Browse",
         ROLE_SYSTEM_PUSHBUTTON, 0, kUnavailable, NoValue},
        {"gauge", [](auto& f) { return f.Barra.Handle(); }, "Installation progress",
         ROLE_SYSTEM_PROGRESSBAR, STATE_SYSTEM_READONLY, 0,
         [](auto&) { return std::string("0%"); }},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Accessible control = Accessible::Of(c.window(Form()));
        ASSERT_TRUE(control);
        EXPECT_EQ(control.Name(), c.name);
        EXPECT_EQ(control.Role(), c.role);
        EXPECT_EQ(control.State() & c.statesOn, c.statesOn);
        EXPECT_EQ(control.State() & c.statesOff, 0);
        EXPECT_EQ(control.Value(), c.value(Form()));
    }
    EXPECT_EQ(Accessible::Of(Form().BtTerms.Handle()).Shortcut(), "Alt+T");
}

TEST_F(AccessibleFormTest, StatesAndValuesFollowTheForm) {
    Form().chTerms.SetChecked(true);
    EXPECT_NE(Accessible::Of(Form().chTerms.Handle()).State() & STATE_SYSTEM_CHECKED, 0);
    EXPECT_EQ(Accessible::Of(Form().BtInstall.Handle()).State() & STATE_SYSTEM_UNAVAILABLE, 0);

    // The gauge's value follows a download's reports.
    const Accessible gauge = Accessible::Of(Form().Barra.Handle());
    for (int block = 1; block <= 4; ++block) {
        Form().ShowTransferProgress(4096, block * 1024);
        EXPECT_EQ(gauge.Value(), std::to_string(block * 25) + "%");
    }

    SendMessageA(Form().cbUser.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Accessible::Of(Form().cbUser.Handle()).Value(), "Current user");
}

TEST_F(AccessibleFormTest, PaintedTextsAreStaticTextPartsOfTheWindow) {
    const Accessible form = Accessible::Of(Form().Handle());
    EXPECT_EQ(form.Name(), "keltra setup");
    Form().ShowTask("Unpacking");
    const char* const texts[] = {"Installation folder:", "Installation type:", "Data folder:",
                                 "Installation progress:", "Unpacking"};
    for (long part = 1; part <= 5; ++part) {
        EXPECT_EQ(form.Part(part).Name(), texts[part - 1]);
        EXPECT_EQ(form.Part(part).Role(), ROLE_SYSTEM_STATICTEXT);
    }
    // The child windows follow the parts.
    EXPECT_GT(form.ChildCount(), 5 + 8);
}

TEST_F(AccessibleFormTest, DefaultActionPressesAButtonAfterTheCallReturns) {
    bool clicked = false;
    Form().BtTerms.OnClick = [&clicked](ks::TSkinControl&) { clicked = true; };
    EXPECT_EQ(Accessible::Of(Form().BtTerms.Handle()).DoDefaultAction(), S_OK);
    EXPECT_FALSE(clicked);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_TRUE(clicked);
}

// Reads a message form while it waits for its answer, then answers it with a key.
struct MessageFormCase {
    const char* label;
    bool folderError;
    bool twoButtons;
    WPARAM key;
    const char* firstText;
    const char* firstButton;
    bool answer;
};

TEST_F(AccessibleFormTest, MessageFormsReadTheirTextAndButtonsAndAnswerEnterAndEscape) {
    const MessageFormCase cases[] = {
        {"question, Enter", false, true, VK_RETURN, "Start now?", "Yes", true},
        {"question, Escape", false, true, VK_ESCAPE, "Start now?", "Yes", false},
        {"notice, Escape", false, false, VK_ESCAPE, "Done.", "Ok", true},
        {"folder error, Enter", true, false, VK_RETURN, "Setup could not write on selected folders",
         "Ok", true},
    };
    for (const MessageFormCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string dialogRole, text, button;
        ModalAnswer answer(Form().Handle(), [&](HWND window) {
            const Accessible form = Accessible::Of(window);
            dialogRole = std::to_string(form.Role());
            text = form.Part(1).Name();
            const HWND first = GetFocus();
            button = Accessible::Of(first).Name();
            MSG key = {first, WM_KEYDOWN, c.key, 0, 0, {0, 0}};
            ks::IsSkinDialogMessage(window, key);
        });
        std::unique_ptr<ks::TFrmMsgBase> form;
        if (c.folderError)
            form = std::make_unique<ks::TFrmFolderError>();
        else
            form = std::make_unique<ks::TFrmMsgBase>();
        const bool result =
            c.folderError ? form->ShowModal() == ks::mrOk : form->Ask(c.firstText, c.twoButtons);
        ASSERT_TRUE(answer.Answered());
        EXPECT_EQ(dialogRole, std::to_string(ROLE_SYSTEM_DIALOG));
        EXPECT_EQ(text, c.firstText);
        EXPECT_EQ(button, c.firstButton);
        EXPECT_EQ(result, c.answer);
    }
}

TEST_F(AccessibleFormTest, EnterInstallsOnlyOnceTheTermsAreTickedAndEscapeCloses) {
    int installs = 0;
    Form().BtInstall.OnClick = [&installs](ks::TSkinControl&) { ++installs; };
    Form().SetVisible(true);
    const auto press = [this](WPARAM key) {
        MSG message = {Form().DatFolder.EditHandle(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        return ks::IsSkinDialogMessage(Form().Handle(), message);
    };
    EXPECT_FALSE(press(VK_RETURN));
    Form().chTerms.SetChecked(true);
    EXPECT_TRUE(press(VK_RETURN));
    EXPECT_EQ(installs, 1);
    EXPECT_TRUE(press(VK_ESCAPE));
    EXPECT_EQ(Form().Handle(), nullptr);
}

} // namespace
} // namespace kstest
