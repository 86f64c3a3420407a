// A setup window made without the run decision, and helpers to answer the modal windows a
// handler opens.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/frm_install.h"
#include "skin/picture_win.h"

namespace kstest {

class InstallFormTest : public testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<ks::TFrmInstall>();
        ASSERT_TRUE(form_->Create(GetModuleHandleA(nullptr), false));
    }

    void TearDown() override {
        form_.reset();
        // Destroying the main form posts a quit request; the next test starts clean.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    ks::TFrmInstall& Form() { return *form_; }

    // Types into a folder field as the keyboard would.
    static void Type(ks::TComboEdit& field, const std::string& text) {
        SendMessageA(field.EditHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    static bool Shows(const ks::TImage& icon, const char* bitmap) {
        const ks::TPicture expected = ks::LoadBitmapResource(bitmap);
        return icon.Picture().width == expected.width && icon.Picture().height == expected.height &&
               icon.Picture().pixels == expected.pixels;
    }

private:
    std::unique_ptr<ks::TFrmInstall> form_;
};

// Runs `answer` on the first visible top-level window of this thread, other than `except`,
// that appears while the body runs its modal loop. The answer must close that window.
class ModalAnswer {
public:
    using Answer = std::function<void(HWND window)>;

    ModalAnswer(HWND except, Answer answer) : except_(except), answer_(std::move(answer)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &ModalAnswer::Tick);
    }
    ~ModalAnswer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool Answered() const { return answered_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalAnswer* self = current_;
        if (!self || self->answered_)
            return;
        EnumThreadWindows(GetCurrentThreadId(), &ModalAnswer::Visit,
                          reinterpret_cast<LPARAM>(self));
    }

    static BOOL CALLBACK Visit(HWND window, LPARAM context) {
        auto* self = reinterpret_cast<ModalAnswer*>(context);
        if (window == self->except_ || !IsWindowVisible(window) || GetParent(window) == window)
            return TRUE;
        self->answered_ = true;
        self->answer_(window);
        return FALSE;
    }

    static inline ModalAnswer* current_ = nullptr;
    HWND except_;
    Answer answer_;
    UINT_PTR timer_ = 0;
    bool answered_ = false;
};

} // namespace kstest
