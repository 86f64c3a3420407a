// TFrmMsgBase: the skinned, rounded, always-on-top message form with one or two buttons.
// Windows-only behind a portable declaration (the window lives in the implementation).
#pragma once
#include <memory>
#include <string>

namespace ks {

class TFrmMsgBase {
public:
    static constexpr int kClientWidth = 499;
    static constexpr int kClientHeight = 134;

    // Lays out the form; its window is made (and FormCreate run) on first use, after derived
    // forms changed their settings.
    TFrmMsgBase();
    virtual ~TFrmMsgBase();
    TFrmMsgBase(const TFrmMsgBase&) = delete;
    TFrmMsgBase& operator=(const TFrmMsgBase&) = delete;

    // The caption of the one-button variant's button.
    virtual std::string GetSingleButtonCaption() const;
    virtual void SetMessageText(const std::string& text);

    // Shows the form modally with the text; true when the user chose Ok or Yes.
    bool Ask(const std::string& text, bool twoButtons);
    // Shows the form modally and returns its modal result (mrOk, mrCancel...). The window is
    // destroyed when the modal loop returns. While a quit request is pending the form closes at
    // once with mrCancel and the request stays pending.
    int ShowModal();
    int ModalResult() const;

    // The window handle (an HWND), created on first use; null once the form was released.
    void* Handle();

    // The form's controls and window state (engine/msg_base_form_win.h).
    struct Parts;
    Parts& Controls() { return *parts_; }

private:
    std::unique_ptr<Parts> parts_;
};

} // namespace ks
