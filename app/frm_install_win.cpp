// The setup window itself: creation of the window and its controls from the control table,
// the message handling, the painting of its window-less controls and the drag band.
#include "app/frm_install.h"

#include <windowsx.h>

#include "app/frm_install_layout.h"
#include "resources/list_names.h"
#include "skin/accessible_win.h"
#include "skin/picture_win.h"
#include "sys/application.h"
#include "sys/errors.h"
#include "sys/folders.h"
#include "sys/main_window_win.h"
#include "sys/paths.h"
#include "sys/process_win.h"

namespace ks {
namespace {

using install_form::ControlId;
using install_form::Entry;

constexpr char kWindowClass[] = "TFrmInstall";

TFontSpec WhiteFont() {
    TFontSpec font;
    font.name = install_form::kFontName;
    font.height = install_form::kFontHeight;
    font.color = clWhite;
    return font;
}

TFontSpec WindowTextFont() {
    TFontSpec font = WhiteFont();
    font.color = clWindowText;
    return font;
}

void Place(TGraphicControl& control, ControlId id) {
    const install_form::Bounds& b = Entry(id).bounds;
    control.SetBounds(b.left, b.top, b.width, b.height);
    control.SetVisible(Entry(id).visible);
}

void SetUpLabel(TLabel& label, ControlId id) {
    label.SetCaption(Entry(id).caption);
    label.SetFont(WhiteFont());
    Place(label, id);
}

void Apply(TFlatButtonBase& button, const install_form::ButtonSetup& setup) {
    button.SetColor(setup.colors.color);
    button.SetColorFocused(setup.colors.focused);
    button.SetColorDown(setup.colors.down);
    button.SetColorBorder(setup.colors.border);
    button.SetColorShadow(setup.colors.shadow);
    button.SetTransparentMode(setup.mode);
}

// Windowed controls take their caption, state and tab order from the table, then their window.
void CreateFromTable(TSkinControl& control, ControlId id, HWND parent) {
    const install_form::ControlEntry& entry = Entry(id);
    if (entry.caption[0] != '\0')
        control.SetCaption(entry.caption);
    control.SetEnabled(entry.enabled);
    control.SetVisible(entry.visible);
    if (entry.tabOrder >= 0)
        control.SetTabOrder(entry.tabOrder);
    if (!control.Create(parent, entry.bounds.left, entry.bounds.top, entry.bounds.width,
                        entry.bounds.height))
        throw Error(std::string("Cannot create control ") + entry.name);
    // Later controls lie above earlier ones.
    SetWindowPos(control.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TPicture LoadPictureOrEmpty(TPicture (*loader)(const std::string&, HMODULE), const char* name) {
    try {
        return loader(name, nullptr);
    } catch (const Error&) {
        return {}; // a missing picture leaves the control empty
    }
}

} // namespace

TFrmInstall::TFrmInstall() = default;

TFrmInstall::~TFrmInstall() {
    if (window_)
        DestroyWindow(window_);
}

bool TFrmInstall::Create(HINSTANCE instance, bool takeRunDecision) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconA(instance, "MAINICON");
    RegisterClassExA(&windowClass);

    // Borderless: the window is its client area.
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kClientWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kClientHeight) / 2;
    window_ = CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, install_form::kCaption, style, left,
                              top, kClientWidth, kClientHeight, nullptr, nullptr, instance, this);
    if (!window_)
        return false;
    SetMainWindowHandle(window_);
    takeRunDecision_ = takeRunDecision;
    try {
        CreateControls();
        BindEvents();
        FormCreate();
    } catch (const std::exception& error) {
        log_.Write(std::string("error: ") + error.what());
        ShowErrorBox(error.what());
    }
    isMainForm_ = window_ != nullptr;
    return window_ != nullptr;
}

void TFrmInstall::CreateControls() {
    Mask.SetPicture(LoadPictureOrEmpty(LoadPictureResource, "BACKGROUND"));
    Place(Mask, ControlId::Mask);

    BtTerms.SetFont(WhiteFont());
    Apply(BtTerms, install_form::OrangeButton());
    CreateFromTable(BtTerms, ControlId::BtTerms, window_);

    BtInstall.SetFont(WhiteFont());
    Apply(BtInstall, install_form::GreenButton(clWhite));
    BtInstall.SetGlyph(LoadPictureOrEmpty(LoadBitmapResource, "INSTALLGLYPH"));
    BtInstall.SetNumGlyphs(2);
    BtInstall.SetLayout(blGlyphLeft);
    CreateFromTable(BtInstall, ControlId::BtInstall, window_);

    BtClose.SetFont(WhiteFont());
    Apply(BtClose, install_form::OrangeButton());
    CreateFromTable(BtClose, ControlId::BtClose, window_);

    SetUpLabel(lbInstall, ControlId::lbInstall);
    SetUpLabel(lbInsType, ControlId::lbInsType);
    SetUpLabel(lbData, ControlId::lbData);
    Place(IcoBin, ControlId::IcoBin);
    Place(IcoData, ControlId::IcoData);

    btSafe.SetFont(WhiteFont());
    Apply(btSafe, install_form::GreenButton(clBlack));
    CreateFromTable(btSafe, ControlId::btSafe, window_);

    Barra.SetBackColor(install_form::kGaugeIdleBack);
    Barra.SetForeColor(install_form::kGaugeBar);
    Barra.SetMaxValue(100);
    Barra.SetProgress(0);
    CreateFromTable(Barra, ControlId::Barra, window_);

    SetUpLabel(lbProgress, ControlId::lbProgress);
    SetUpLabel(lbTask, ControlId::lbTask);

    chTerms.SetFont(WhiteFont());
    chTerms.SetLayout(checkboxRight);
    chTerms.SetTransparent(true);
    CreateFromTable(chTerms, ControlId::chTerms, window_);

    cbUser.SetFont(WindowTextFont());
    cbUser.SetStyle(csDropDownList);
    cbUser.SetItems({install_form::kUserItems.begin(), install_form::kUserItems.end()});
    cbUser.SetItemIndex(install_form::kAllUsersItem);
    CreateFromTable(cbUser, ControlId::cbUser, window_);

    const TPicture folderGlyph = LoadPictureOrEmpty(LoadBitmapResource, "FOLDERGLYPH");
    InsFolder.SetFont(WindowTextFont());
    InsFolder.SetBorderStyle(ebsNone);
    InsFolder.SetDirectInput(false);
    InsFolder.SetButtonWidth(install_form::kFolderButtonWidth);
    InsFolder.SetGlyph(folderGlyph);
    CreateFromTable(InsFolder, ControlId::InsFolder, window_);

    DatFolder.SetFont(WindowTextFont());
    DatFolder.SetBorderStyle(ebsNone);
    DatFolder.SetGlyph(folderGlyph);
    CreateFromTable(DatFolder, ControlId::DatFolder, window_);

    // Assistive tools name the fields by the painted labels beside them.
    cbUser.SetAccessibleName(NameFromLabel(lbInsType));
    InsFolder.SetAccessibleName(NameFromLabel(lbInstall));
    DatFolder.SetAccessibleName(NameFromLabel(lbData));
    Barra.SetAccessibleName(NameFromLabel(lbProgress));
}

void TFrmInstall::BindEvents() {
    BtTerms.OnClick = [this](TSkinControl& sender) { BtTermsClick(&sender); };
    BtInstall.OnClick = [this](TSkinControl& sender) { BtInstallClick(&sender); };
    BtClose.OnClick = [this](TSkinControl& sender) { BtCloseClick(&sender); };
    btSafe.OnClick = [this](TSkinControl& sender) { btSafeClick(&sender); };
    chTerms.OnClick = [this](TSkinControl& sender) { chTermsClick(&sender); };
    cbUser.OnChange = [this](TSkinControl& sender) { cbUserChange(&sender); };
    InsFolder.OnButtonClick = [this](TSkinControl&) { InsFolderButtonClick(&InsFolder); };
    DatFolder.OnButtonClick = [this](TSkinControl&) { InsFolderButtonClick(&DatFolder); };
    InsFolder.OnChange = [this](TSkinControl&) { FieldChanged(InsFolder); };
    DatFolder.OnChange = [this](TSkinControl&) { FieldChanged(DatFolder); };
}

void TFrmInstall::FormCreate() {
    // A user who cannot write below Program Files keeps the default install folder.
    InsFolder.SetEnabled(IsUserAdministrator());
    engine_ = std::make_unique<TDMBase>();
    log_ = SetupLog(JoinPath(TempFolder(), engine_->LibraryEntry(lib::kLogFile)));
    services_ = std::make_unique<WinInstallServices>(*engine_, log_);
    installation_ = std::make_unique<Installation>(engine_->Lists(), *services_, *this, log_);
    BindArchiveReader();
    if (takeRunDecision_)
        TakeRunDecision();
}

void TFrmInstall::FormDestroy() {
    installation_.reset();
    services_.reset();
    engine_.reset();
}

bool TFrmInstall::Visible() const {
    return window_ && IsWindowVisible(window_);
}

void TFrmInstall::SetVisible(bool visible) {
    if (window_)
        ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

void TFrmInstall::Close() {
    if (!window_)
        return;
    if (isMainForm_)
        DestroyWindow(window_);
    else
        SetVisible(false);
}

LRESULT TFrmInstall::HandleHitTest(int screenX, int screenY) const {
    const bool leftDown = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    POINT point = {screenX, screenY};
    ScreenToClient(window_, &point);
    return install_form::IsDragPoint(leftDown, point.y) ? HTCAPTION : HTCLIENT;
}

void TFrmInstall::PaintGraphicControls(HDC dc) {
    RECT client = {0, 0, kClientWidth, kClientHeight};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    TGraphicControl* const inOrder[] = {&Mask,   &lbInstall, &lbInsType,  &lbData,
                                        &IcoBin, &IcoData,   &lbProgress, &lbTask};
    for (TGraphicControl* control : inOrder)
        control->PaintOn(dc);
}

std::vector<const TLabel*> TFrmInstall::SpokenTexts() const {
    return {&lbInstall, &lbInsType, &lbData, &lbProgress, &lbTask};
}

LRESULT TFrmInstall::AnswerDialogButton(WPARAM which) {
    TSkinControl& button = which == IDOK ? static_cast<TSkinControl&>(BtInstall) : BtClose;
    return reinterpret_cast<LRESULT>(button.Handle());
}

void TFrmInstall::RepaintArea(const TGraphicControl& control) {
    if (!window_)
        return;
    const RECT bounds = control.Bounds();
    InvalidateRect(window_, &bounds, FALSE);
    // Progress and task texts change while the thread processes no messages.
    UpdateWindow(window_);
}

LRESULT CALLBACK TFrmInstall::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form =
            static_cast<TFrmInstall*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TFrmInstall*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TFrmInstall::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND self = window_;
    try {
        switch (message) {
        case WM_NCHITTEST:
            // No default processing: no point of the window is a border or a system area.
            return HandleHitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            PaintGraphicControls(dc);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintGraphicControls(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_GETOBJECT:
            if (const LRESULT object = AnswerGetObject(window_, wParam, lParam))
                return object;
            break;
        case WM_KS_ACCDESCRIBE:
            DescribeForm(window_, ROLE_SYSTEM_CLIENT, SpokenTexts(),
                         *reinterpret_cast<TAccessibleQuery*>(lParam));
            return 1;
        case WM_KS_DIALOGBUTTON:
            return AnswerDialogButton(wParam);
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            if (MainWindowHandle() == window_)
                SetMainWindowHandle(nullptr);
            if (isMainForm_)
                PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
        return 0;
    }
    return DefWindowProcA(self, message, wParam, lParam);
}

} // namespace ks
