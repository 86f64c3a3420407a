// Base classes of the skinned controls. A windowed control (TSkinControl) is a child window of
// its own window class bound to its C++ object at WM_NCCREATE; a graphic control
// (TGraphicControl: gradient, logo, label) has no window and is painted by its parent, so the
// parent's hit testing (dragging a borderless form) reaches through it.
//
// Contract with the parent window of transparent controls: it answers WM_PRINTCLIENT by
// painting its own background and graphic controls into the given DC (client coordinates),
// exactly as in WM_PAINT. A control that shows the parent through asks it that way.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "skin/colors.h"
#include "skin/dpi_scale.h"
#include "sys/unique_handle_win.h"

namespace ks {

class TSkinControl;
struct TAccessibleQuery;

// Event handlers receive the control that raised the event.
using TNotifyEvent = std::function<void(TSkinControl& sender)>;

// Modal results, as a form's ModalResult: 0 none, 1 Ok, 2 Cancel.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// Sent by a clicked button to its parent before its OnClick runs when its ModalResult is not
// mrNone: wParam is the modal result. Forms without a modal loop can ignore it.
constexpr UINT WM_KS_SETMODALRESULT = WM_APP + 0x3A0;
// Asks a windowed control whether it takes an accelerator letter: wParam is the character;
// the control returns 1 after acting on it (clicking, focusing, toggling).
constexpr UINT WM_KS_DIALOGCHAR = WM_APP + 0x3A1;
// Asks a form for its button that Enter (wParam IDOK) or Escape (IDCANCEL) clicks; the form
// returns the button's window, or 0 when the key does nothing there.
constexpr UINT WM_KS_DIALOGBUTTON = WM_APP + 0x3A4;

struct TFontSpec {
    std::string name = "MS Sans Serif";
    int height = -11; // logical units; negative values give the character height
    bool bold = false;
    TColor color = clWindowText;
};

// Creates the GDI font a font description asks for (quality: a LOGFONT lfQuality value); the
// description's height is at 96 DPI and scales by dpi.
UniqueFont CreateSkinFont(const TFontSpec& font, BYTE quality = DEFAULT_QUALITY,
                          int dpi = kBaseDpi);
// Resolves system colours (IsSystemColor) to the current theme's RGB value.
TColor ResolveColor(TColor color);

class TSkinControl {
public:
    virtual ~TSkinControl();
    TSkinControl(const TSkinControl&) = delete;
    TSkinControl& operator=(const TSkinControl&) = delete;

    // Creates the child window at the given client position of the parent. Properties set
    // before stay in force. False when the window could not be created.
    bool Create(HWND parent, int left, int top, int width, int height);
    HWND Handle() const { return window_; }
    HWND Parent() const { return parent_; }

    void SetBounds(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    void SetFont(const TFontSpec& font);
    const TFontSpec& Font() const { return font_; }
    // The display's DPI: fonts, line widths and fixed inner lengths scale by it. Bounds are
    // the parent's business.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }
    // What assistive tools read as the control's name when it is not the caption (a field
    // named by the label beside it).
    void SetAccessibleName(const std::string& name) { accessibleName_ = name; }
    const std::string& AccessibleName() const { return accessibleName_; }
    // Keyboard navigation order among the parent's focusable controls (lower first).
    void SetTabOrder(int order) { tabOrder_ = order; }
    int TabOrder() const { return tabOrder_; }

    bool Focused() const;
    void SetFocus();
    // Invalidate schedules a repaint; Repaint paints at once (for progress shown while the
    // thread processes no messages).
    void Invalidate();
    void Repaint();

    // Renders the control as it is now into a DC (client coordinates of the control).
    void PaintTo(HDC dc);

    // The control object of a window, or null when the window is no skinned control.
    static TSkinControl* FromHandle(HWND window);

    TNotifyEvent OnClick;

protected:
    TSkinControl(const char* className, DWORD style, DWORD exStyle = 0);

    // Paints the whole client area.
    virtual void Paint(HDC dc, const RECT& client) = 0;
    // Messages not handled go to DefWindowProc through the base.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void EnabledChanged() {}
    virtual void CaptionChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void Created() {}
    // A length of the 96-DPI design in this control's pixels.
    int Scaled(int length) const { return ScaleLength(length, dpi_); }
    // What assistive tools read about the control; the base gives its name and window state.
    virtual void Describe(TAccessibleQuery& query) const;
    // The default action an assistive tool asked for.
    virtual void DoDefaultAction() {}
    const std::string& SpokenCaption() const {
        return accessibleName_.empty() ? caption_ : accessibleName_;
    }

    HFONT FontHandle() const;
    // Paints the parent's image under this control into the DC.
    void PaintParentBackground(HDC dc) const;
    // Sends WM_KS_SETMODALRESULT to the parent when the result is not mrNone.
    void SetParentModalResult(int modalResult) const;
    // Runs an event handler, showing an escaping error in the standard error box. False when
    // the handler destroyed this control: the caller must not touch it any more.
    bool RaiseEvent(const TNotifyEvent& handler);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void RegisterClassOnce(const char* className);

    const char* className_;
    DWORD style_;
    DWORD exStyle_;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    int tabOrder_ = 0;
    int dpi_ = kBaseDpi;
    std::string caption_;
    std::string accessibleName_;
    TFontSpec font_;
    mutable UniqueFont fontHandle_;
    std::shared_ptr<char> lifeToken_ = std::make_shared<char>(0);
};

// A control without a window, painted by its parent in client coordinates of the parent.
class TGraphicControl {
public:
    virtual ~TGraphicControl() = default;
    void SetBounds(int left, int top, int width, int height);
    RECT Bounds() const { return {left_, top_, left_ + width_, top_ + height_}; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool Visible() const { return visible_; }
    // As TSkinControl::SetDpi; the parent repaints.
    void SetDpi(int dpi) { dpi_ = dpi; }
    int Dpi() const { return dpi_; }
    // Paints the control when visible; the parent calls it from WM_PAINT and WM_PRINTCLIENT.
    void PaintOn(HDC dc);

protected:
    virtual void Paint(HDC dc, const RECT& bounds) = 0;

private:
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    int dpi_ = kBaseDpi;
};

// For message loops of forms holding skinned controls: Tab and Shift+Tab move the focus among
// the focusable controls by tab order, and accelerator letters (Alt+letter, or the letter
// alone while the focus is not in an edit field) go to the control that takes them. Enter
// clicks the focused button, or else the form's default button; Escape clicks the form's
// cancel button (WM_KS_DIALOGBUTTON), unless the focus takes those keys itself.
// True when the message was handled and must not be dispatched.
bool IsSkinDialogMessage(HWND form, MSG& message);

} // namespace ks
