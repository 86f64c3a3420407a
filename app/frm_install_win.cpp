// The setup window itself: creation of the window and its controls from the control table,
// the message handling, the painting of its window-less controls and the drag band.
#include "app/frm_install.h"

#include <windowsx.h>

#include "app/frm_install_layout.h"
#include "resources/list_names.h"
#include "skin/accessible_win.h"
#include "skin/dpi_win.h"
#include "skin/paint_win.h"
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
constexpr UINT kRunFolderChecks = WM_APP + 1;
// WM_DPICHANGED; older SDK headers lack it.
constexpr UINT kDpiChangedMessage = 0x02E0;

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

// Bounds and DPI from the table; visibility only at creation (the program changes it later).
void Place(TGraphicControl& control, ControlId id, int dpi) {
    const install_form::Bounds b = install_form::ScaleBounds(Entry(id).bounds, dpi);
    control.SetBounds(b.left, b.top, b.width, b.height);
    control.SetDpi(dpi);
}

void Place(TSkinControl& control, ControlId id, int dpi) {
    const install_form::Bounds b = install_form::ScaleBounds(Entry(id).bounds, dpi);
    control.SetDpi(dpi);
    control.SetBounds(b.left, b.top, b.width, b.height);
}

// Hinted text at a larger size can run wider than its share of the 96-DPI bounds: a label then
// grows to the right rather than cut its caption.
void FitLabel(TLabel& label, int dpi) {
    if (dpi == kBaseDpi || label.Caption().empty())
        return;
    WindowDC screen(nullptr);
    const UniqueFont font = CreateSkinFont(label.Font(), DEFAULT_QUALITY, dpi);
    const SIZE text = MeasureCaption(screen.Get(), font.Get(), label.Caption());
    if (text.cx > label.Width())
        label.SetBounds(label.Left(), label.Top(), text.cx, label.Height());
}

void SetUpLabel(TLabel& label, ControlId id) {
    label.SetCaption(Entry(id).caption);
    label.SetFont(WhiteFont());
    label.SetVisible(Entry(id).visible);
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
void CreateFromTable(TSkinControl& control, ControlId id, HWND parent, int dpi) {
    const install_form::ControlEntry& entry = Entry(id);
    const install_form::Bounds b = install_form::ScaleBounds(entry.bounds, dpi);
    if (entry.caption[0] != '\0')
        control.SetCaption(entry.caption);
    control.SetEnabled(entry.enabled);
    control.SetVisible(entry.visible);
    if (entry.tabOrder >= 0)
        control.SetTabOrder(entry.tabOrder);
    control.SetDpi(dpi);
    if (!control.Create(parent, b.left, b.top, b.width, b.height))
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

StartPhases::Clock::duration SinceProcessCreation() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetSystemTimeAsFileTime(&now);
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return {};
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    if (ticks(now) <= ticks(created))
        return {};
    return std::chrono::microseconds((ticks(now) - ticks(created)) / 10);
}

// A glyph strip drawn at 96 DPI (a bitmap), or its double-size drawing (name + "2X", a picture
// file) where that is the nearer art; each image is resampled to its 96-DPI size scaled by the DPI.
template <typename Control>
void SetGlyphForDpi(Control& control, const char* name, int count, int dpi) {
    const TPicture single = LoadPictureOrEmpty(LoadBitmapResource, name);
    const TPicture doubled =
        ArtSetFor(dpi) == 2
            ? LoadPictureOrEmpty(LoadPictureResource, (std::string(name) + "2X").c_str())
            : TPicture{};
    control.SetGlyph(doubled.Empty() ? single : doubled);
    control.SetGlyphSize(ScaleLength(single.width / count, dpi), ScaleLength(single.height, dpi));
}

} // namespace

TFrmInstall::TFrmInstall() = default;

TFrmInstall::~TFrmInstall() {
    if (window_)
        DestroyWindow(window_);
}

bool TFrmInstall::Create(HINSTANCE instance, bool takeRunDecision) {
    startPhases_ = StartPhases(SinceProcessCreation());
    // The background decodes while the window and its controls are made.
    PendingPicture background("BACKGROUND");
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
    dpi_ = SystemDpi();
    const int width = ScaleLength(kClientWidth, dpi_);
    const int height = ScaleLength(kClientHeight, dpi_);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExA(WS_EX_APPWINDOW, kWindowClass, install_form::kCaption, style, left,
                              top, width, height, nullptr, nullptr, instance, this);
    if (!window_)
        return false;
    // Per-monitor awareness: the monitor it opened on may differ from the system's DPI.
    const int windowDpi = WindowDpi(window_);
    if (windowDpi != dpi_) {
        dpi_ = windowDpi;
        SetWindowPos(window_, nullptr, 0, 0, ScaleLength(kClientWidth, dpi_),
                     ScaleLength(kClientHeight, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetMainWindowHandle(window_);
    startPhases_.End("window");
    takeRunDecision_ = takeRunDecision;
    try {
        CreateControls(background);
        startPhases_.End("pictures");
        BindEvents();
        FormCreate();
    } catch (const std::exception& error) {
        log_.Write(std::string("error: ") + error.what());
        ShowErrorBox(error.what());
    }
    isMainForm_ = window_ != nullptr;
    return window_ != nullptr;
}

void TFrmInstall::CreateControls(PendingPicture& background) {
    BtTerms.SetFont(WhiteFont());
    Apply(BtTerms, install_form::OrangeButton());
    CreateFromTable(BtTerms, ControlId::BtTerms, window_, dpi_);

    BtInstall.SetFont(WhiteFont());
    Apply(BtInstall, install_form::GreenButton(clWhite));
    BtInstall.SetNumGlyphs(2);
    BtInstall.SetLayout(blGlyphLeft);
    CreateFromTable(BtInstall, ControlId::BtInstall, window_, dpi_);

    BtClose.SetFont(WhiteFont());
    Apply(BtClose, install_form::OrangeButton());
    CreateFromTable(BtClose, ControlId::BtClose, window_, dpi_);

    SetUpLabel(lbInstall, ControlId::lbInstall);
    SetUpLabel(lbInsType, ControlId::lbInsType);
    SetUpLabel(lbData, ControlId::lbData);

    btSafe.SetFont(WhiteFont());
    Apply(btSafe, install_form::GreenButton(clBlack));
    CreateFromTable(btSafe, ControlId::btSafe, window_, dpi_);

    Barra.SetBackColor(install_form::kGaugeIdleBack);
    Barra.SetForeColor(install_form::kGaugeBar);
    Barra.SetMaxValue(100);
    Barra.SetProgress(0);
    CreateFromTable(Barra, ControlId::Barra, window_, dpi_);

    SetUpLabel(lbProgress, ControlId::lbProgress);
    SetUpLabel(lbTask, ControlId::lbTask);

    chTerms.SetFont(WhiteFont());
    chTerms.SetLayout(checkboxRight);
    chTerms.SetTransparent(true);
    CreateFromTable(chTerms, ControlId::chTerms, window_, dpi_);

    cbUser.SetFont(WindowTextFont());
    cbUser.SetStyle(csDropDownList);
    cbUser.SetItems({install_form::kUserItems.begin(), install_form::kUserItems.end()});
    cbUser.SetItemIndex(install_form::kAllUsersItem);
    CreateFromTable(cbUser, ControlId::cbUser, window_, dpi_);

    InsFolder.SetFont(WindowTextFont());
    InsFolder.SetBorderStyle(ebsNone);
    InsFolder.SetDirectInput(false);
    InsFolder.SetButtonWidth(install_form::kFolderButtonWidth);
    CreateFromTable(InsFolder, ControlId::InsFolder, window_, dpi_);

    DatFolder.SetFont(WindowTextFont());
    DatFolder.SetBorderStyle(ebsNone);
    CreateFromTable(DatFolder, ControlId::DatFolder, window_, dpi_);

    // Assistive tools name the fields by the painted labels beside them.
    cbUser.SetAccessibleName(NameFromLabel(lbInsType));
    InsFolder.SetAccessibleName(NameFromLabel(lbInstall));
    DatFolder.SetAccessibleName(NameFromLabel(lbData));
    Barra.SetAccessibleName(NameFromLabel(lbProgress));
    try {
        Mask.SetPicture(background.Take());
    } catch (const Error&) {
        // a missing picture leaves the control empty
    }
    LoadArt();
    PlaceAll();
}

// Only the art set the DPI shows is decoded: at 96 DPI the double-size background would only
// cost start-up time.
void TFrmInstall::LoadArt() {
    Mask.SetArt(Mask.Picture(), ArtSetFor(dpi_) == 2
                                    ? LoadPictureOrEmpty(LoadPictureResource, "BACKGROUND2X")
                                    : TPicture{});
    SetGlyphForDpi(BtInstall, "INSTALLGLYPH", 2, dpi_);
    SetGlyphForDpi(InsFolder, "FOLDERGLYPH", 1, dpi_);
    SetGlyphForDpi(DatFolder, "FOLDERGLYPH", 1, dpi_);
}

void TFrmInstall::PlaceAll() {
    Place(Mask, ControlId::Mask, dpi_);
    Place(BtTerms, ControlId::BtTerms, dpi_);
    Place(BtInstall, ControlId::BtInstall, dpi_);
    Place(BtClose, ControlId::BtClose, dpi_);
    Place(lbInstall, ControlId::lbInstall, dpi_);
    Place(lbInsType, ControlId::lbInsType, dpi_);
    Place(lbData, ControlId::lbData, dpi_);
    Place(IcoBin, ControlId::IcoBin, dpi_);
    Place(IcoData, ControlId::IcoData, dpi_);
    Place(btSafe, ControlId::btSafe, dpi_);
    Place(Barra, ControlId::Barra, dpi_);
    Place(lbProgress, ControlId::lbProgress, dpi_);
    Place(lbTask, ControlId::lbTask, dpi_);
    Place(chTerms, ControlId::chTerms, dpi_);
    Place(cbUser, ControlId::cbUser, dpi_);
    Place(InsFolder, ControlId::InsFolder, dpi_);
    Place(DatFolder, ControlId::DatFolder, dpi_);
    for (TLabel* label : {&lbInstall, &lbInsType, &lbData, &lbProgress})
        FitLabel(*label, dpi_);
}

void TFrmInstall::ApplyDpi(int dpi, const RECT* suggested) {
    if (!window_ || dpi <= 0)
        return;
    RECT before;
    GetWindowRect(window_, &before);
    dpi_ = dpi;
    LoadArt();
    PlaceAll();
    const int width = ScaleLength(kClientWidth, dpi_);
    const int height = ScaleLength(kClientHeight, dpi_);
    if (suggested)
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(window_, nullptr, (before.left + before.right - width) / 2,
                     (before.top + before.bottom - height) / 2, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
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
    startPhases_.End("lists");
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
    return install_form::IsDragPoint(leftDown, point.y, dpi_) ? HTCAPTION : HTCLIENT;
}

void TFrmInstall::PaintGraphicControls(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    TGraphicControl* const inOrder[] = {&Mask,   &lbInstall, &lbInsType,  &lbData,
                                        &IcoBin, &IcoData,   &lbProgress, &lbTask};
    for (TGraphicControl* control : inOrder)
        control->PaintOn(dc);
}

void TFrmInstall::RunPendingFolderChecks() {
    if (!folderChecksPending_)
        return;
    folderChecksPending_ = false;
    TestFolders(true);
    startPhases_.End("folder checks");
    LogStartOnce();
}

void TFrmInstall::LogStartOnce() {
    if (startLogged_)
        return;
    startLogged_ = true;
    log_.Write(startPhases_.Line());
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
        case kDpiChangedMessage:
            // Moved to a monitor of another DPI: Windows suggests the new window rectangle.
            ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            PaintGraphicControls(dc);
            EndPaint(window_, &paint);
            if (!painted_) {
                painted_ = true;
                startPhases_.End("first paint");
                if (folderChecksPending_)
                    PostMessageA(window_, kRunFolderChecks, 0, 0);
                else
                    LogStartOnce();
            }
            return 0;
        }
        case kRunFolderChecks:
            RunPendingFolderChecks();
            return 0;
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
