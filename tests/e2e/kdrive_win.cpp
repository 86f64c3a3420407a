// kdrive: plays the user and inspects the machine for the end-to-end tests.
//   kdrive answer STOPFILE STEP...  in order: yes | no | ok (message forms), errorbox,
//                                   install (tick the terms, press Install), close,
//                                   ready (the setup window is shown), form (a message form
//                                   is shown, unanswered), shot:FILE (a screenshot, BMP),
//                                   names (the accessible names in the setup window, as
//                                   a screen reader in another process reads them),
//                                   look:BASE (BASE.txt lists the setup's visible windows;
//                                   then waits for BASE.seen), wait:FILE (until FILE exists)
//                                   (each step may carry a timeout: yes@30000); then keeps
//                                   refusing unexpected forms until STOPFILE exists
//   kdrive probe                    prints windows, processes, the running atom, the records
//   kdrive reset                    ends the product and setups, deletes the records
//   kdrive userkey                  creates the product's per-user key with a subkey
//   kdrive folders                  prints the standard folders an installation uses
// Output lines are "kind<TAB>field<TAB>...", read by the Python harness.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "demo/demo_names.h"
#include "sys/folders.h"

namespace {

constexpr char kSetupWindowClass[] = "TFrmInstall";
constexpr char kDialogClass[] = "#32770";
constexpr DWORD kPollMs = 50;
constexpr DWORD kDefaultStepMs = 60000;

REGSAM RegistryView() {
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? KEY_WOW64_64KEY
                                                                       : KEY_WOW64_32KEY;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(length);
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND VisibleChild(HWND parent, const std::string& caption) {
    for (HWND child : Children(parent)) {
        if (IsWindowVisible(child) && TextOf(child) == caption)
            return child;
    }
    return nullptr;
}

std::string ChildTexts(HWND parent) {
    std::string texts;
    for (HWND child : Children(parent)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string text = TextOf(child);
        if (!text.empty())
            texts += (texts.empty() ? "" : " | ") + text;
    }
    return texts;
}

std::string ProcessPath(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {};
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof(path);
    if (!QueryFullProcessImageNameA(process, 0, path, &size))
        path[0] = '\0';
    CloseHandle(process);
    return path;
}

// A message form: a visible top-level window with a visible "Ok" or "No" button.
HWND FindMessageForm() {
    for (HWND window : TopWindows()) {
        if (!IsWindowVisible(window) || ClassOf(window) == kSetupWindowClass ||
            ClassOf(window) == kDialogClass)
            continue;
        if (VisibleChild(window, "Ok") || VisibleChild(window, "No"))
            return window;
    }
    return nullptr;
}

HWND FindErrorBox() {
    for (HWND window : TopWindows()) {
        if (IsWindowVisible(window) && ClassOf(window) == kDialogClass)
            return window;
    }
    return nullptr;
}

void PostClick(HWND button) {
    RECT rect;
    GetClientRect(button, &rect);
    const LPARAM point = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    PostMessageA(button, WM_MOUSEMOVE, 0, point);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(button, WM_LBUTTONUP, 0, point);
}

bool StopRequested(const std::string& stopFile) {
    return GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Report(const char* kind, const std::string& a, const std::string& b = "",
            const std::string& c = "") {
    std::printf("%s\t%s\t%s\t%s\n", kind, a.c_str(), b.c_str(), c.c_str());
    std::fflush(stdout);
}

// Ticks the terms box and presses Install on the visible setup window.
bool DriveInstall(DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        HWND form = FindWindowA(kSetupWindowClass, nullptr);
        if (form && IsWindowVisible(form)) {
            HWND install = VisibleChild(form, "Install");
            HWND terms = nullptr;
            for (HWND child : Children(form)) {
                if (TextOf(child).find("agree") != std::string::npos)
                    terms = child;
            }
            if (install && terms) {
                if (!IsWindowEnabled(install)) {
                    PostMessageA(terms, WM_KEYDOWN, VK_SPACE, 0);
                    PostMessageA(terms, WM_KEYUP, VK_SPACE, 0xC0000000);
                    Sleep(200);
                    continue;
                }
                PostClick(install);
                Report("pressed", "install", ProcessPath([&] {
                           DWORD pid = 0;
                           GetWindowThreadProcessId(form, &pid);
                           return pid;
                       }()));
                return true;
            }
        }
        Sleep(kPollMs);
    }
    return false;
}

// The whole screen as a 24-bit bottom-up BMP file.
bool SaveScreenshot(const std::string& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD stride = ((width * 3 + 3) / 4) * 4;
        const DWORD imageSize = stride * height;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + imageSize;
        if (FILE* out = std::fopen(path.c_str(), "wb")) {
            saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                    std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                    std::fwrite(bits, imageSize, 1, out) == 1;
            saved = std::fclose(out) == 0 && saved;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

bool WaitForFile(const std::string& path, DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(kPollMs);
    }
    return false;
}

// Lists the setup program's visible top-level windows (topmost first) for a look at the
// display, then waits until the look is done.
bool Look(const std::string& base, DWORD timeout) {
    Sleep(300); // let the last change paint
    const std::string list = base + ".txt";
    FILE* out = std::fopen((list + ".part").c_str(), "w");
    if (!out)
        return false;
    for (HWND window : TopWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        const std::string path = ProcessPath(pid);
        const std::size_t slash = path.find_last_of('\\');
        RECT rect;
        if (IsWindowVisible(window) && GetWindowRect(window, &rect) &&
            lstrcmpiA(path.c_str() + (slash == std::string::npos ? 0 : slash + 1),
                      "keltrasetup.exe") == 0)
            std::fprintf(out, "%s\t%ld\t%ld\t%ld\t%ld\n", ClassOf(window).c_str(), rect.left,
                         rect.top, rect.right, rect.bottom);
    }
    const bool written = std::fclose(out) == 0 && MoveFileA((list + ".part").c_str(), list.c_str());
    return written && WaitForFile(base + ".seen", timeout);
}

bool WaitFor(HWND (*find)(), DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        if (find())
            return true;
        Sleep(kPollMs);
    }
    return false;
}

HWND FindVisibleSetupWindow() {
    HWND form = FindWindowA(kSetupWindowClass, nullptr);
    return form && IsWindowVisible(form) ? form : nullptr;
}

bool PressSetupButton(const std::string& caption, DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        HWND form = FindWindowA(kSetupWindowClass, nullptr);
        HWND button = form && IsWindowVisible(form) ? VisibleChild(form, caption) : nullptr;
        if (button && IsWindowEnabled(button)) {
            PostClick(button);
            Report("pressed", caption);
            return true;
        }
        Sleep(kPollMs);
    }
    return false;
}

std::string AccessibleName(IAccessible* object, long child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr;
    if (object->get_accName(id, &name) != S_OK || !name)
        return "";
    std::string text;
    for (const wchar_t* c = name; *c; ++c)
        text += static_cast<char>(*c < 128 ? *c : '?');
    SysFreeString(name);
    return text;
}

// Every name the setup window's accessible object and its children give, "|"-separated.
bool ReportAccessibleNames(DWORD timeout) {
    if (!WaitFor(FindVisibleSetupWindow, timeout))
        return false;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* form = nullptr;
    std::string names;
    if (SUCCEEDED(
            AccessibleObjectFromWindow(FindVisibleSetupWindow(), static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&form)))) {
        long count = 0;
        form->get_accChildCount(&count);
        for (long child = 1; child <= count; ++child) {
            VARIANT id;
            VariantInit(&id);
            id.vt = VT_I4;
            id.lVal = child;
            IDispatch* dispatch = nullptr;
            IAccessible* element = nullptr;
            if (form->get_accChild(id, &dispatch) == S_OK && dispatch &&
                SUCCEEDED(dispatch->QueryInterface(__uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&element)))) {
                names += AccessibleName(element, CHILDID_SELF) + "|";
                element->Release();
            } else {
                names += AccessibleName(form, child) + "|";
            }
            if (dispatch)
                dispatch->Release();
        }
        form->Release();
    }
    Report("names", names);
    if (SUCCEEDED(com))
        CoUninitialize();
    return true;
}

bool Answer(const std::string& step, DWORD timeout) {
    if (step == "install")
        return DriveInstall(timeout);
    if (step == "names")
        return ReportAccessibleNames(timeout);
    if (step == "close")
        return PressSetupButton("&Close", timeout);
    if (step == "ready" && WaitFor(FindVisibleSetupWindow, timeout)) {
        Report("ready", "");
        return true;
    }
    if (step == "form" && WaitFor(FindMessageForm, timeout)) {
        Report("form-seen", "");
        return true;
    }
    if (step == "ready" || step == "form")
        return false;
    if (step.rfind("look:", 0) == 0)
        return Look(step.substr(5), timeout);
    if (step.rfind("wait:", 0) == 0)
        return WaitForFile(step.substr(5), timeout);
    if (step.rfind("shot:", 0) == 0) {
        Sleep(300); // let the last change paint
        return SaveScreenshot(step.substr(5));
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        if (step == "errorbox") {
            if (HWND box = FindErrorBox()) {
                Report("errorbox", ChildTexts(box));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return true;
            }
        } else if (HWND form = FindMessageForm()) {
            const bool twoButtons = VisibleChild(form, "Yes") != nullptr;
            const std::string caption = step == "yes" ? "Yes" : step == "no" ? "No" : "Ok";
            HWND button = VisibleChild(form, caption);
            if (button) {
                Sleep(100); // let the form finish showing before it is answered
                DWORD pid = 0;
                GetWindowThreadProcessId(form, &pid);
                Report("form", twoButtons ? "2" : "1", TextOf(form),
                       caption + "\t" + ProcessPath(pid));
                PostClick(button);
                // Wait until this form is gone, so the next step sees the next one.
                for (DWORD waited = 0; IsWindow(form) && IsWindowVisible(form) && waited < 5000;
                     waited += kPollMs)
                    Sleep(kPollMs);
                return true;
            }
        }
        Sleep(kPollMs);
    }
    return false;
}

int AnswerCommand(int argc, char** argv) {
    const std::string stopFile = argv[2];
    for (int i = 3; i < argc; ++i) {
        std::string step = argv[i];
        DWORD timeout = kDefaultStepMs;
        const std::size_t at = step.rfind('@');
        if (at != std::string::npos && step.rfind("shot:", 0) != 0) {
            timeout = static_cast<DWORD>(std::strtoul(step.c_str() + at + 1, nullptr, 10));
            step.resize(at);
        }
        if (!Answer(step, timeout)) {
            Report("missing", step);
            break;
        }
    }
    // Anything else that comes up is refused, so a run never hangs on a form.
    while (!StopRequested(stopFile)) {
        if (HWND form = FindMessageForm()) {
            const bool twoButtons = VisibleChild(form, "Yes") != nullptr;
            HWND button = VisibleChild(form, twoButtons ? "No" : "Ok");
            Report("unexpected", twoButtons ? "2" : "1", TextOf(form));
            PostClick(button);
            Sleep(500);
        } else if (HWND box = FindErrorBox()) {
            Report("unexpected-errorbox", ChildTexts(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(500);
        }
        Sleep(kPollMs);
    }
    return 0;
}

std::string RegString(HKEY key, const char* name) {
    char value[2048] = {};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return {};
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(value));
    return value;
}

int Probe() {
    for (HWND window : TopWindows()) {
        const std::string name = ClassOf(window);
        const bool ours = name == kSetupWindowClass || name == ks::demo::kWindowClass;
        if (!ours && !IsWindowVisible(window))
            continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        Report("window", name, IsWindowVisible(window) ? "visible" : "hidden",
               ProcessPath(pid) + "\t" + TextOf(window));
        if (name != kSetupWindowClass)
            continue;
        for (HWND child : Children(window)) {
            const std::string text = TextOf(child);
            if (!text.empty())
                Report("control", text, IsWindowEnabled(child) ? "enabled" : "disabled");
        }
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        Report("process", entry.szExeFile, ProcessPath(entry.th32ProcessID));
    CloseHandle(snapshot);
    Report("atom", ks::demo::kRunningAtom, GlobalFindAtomA(ks::demo::kRunningAtom) ? "1" : "0");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ks::demo::kRecordKey, 0, KEY_READ | RegistryView(),
                      &key) == ERROR_SUCCESS) {
        for (const char* name : {"AppFolder", "PubData", "DesktopIcon", "AppMenu", "AllUser"})
            Report("record", name, RegString(key, name));
        RegCloseKey(key);
    }
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ks::demo::kRecordKey, 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        Report("userkey", "present");
        RegCloseKey(key);
    }
    return 0;
}

void EndProcessesNamed(const std::vector<std::string>& names) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        for (const std::string& name : names) {
            if (lstrcmpiA(entry.szExeFile, name.c_str()) != 0)
                continue;
            if (HANDLE process =
                    OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
                TerminateProcess(process, 9);
                WaitForSingleObject(process, 2000);
                CloseHandle(process);
            }
        }
    }
    CloseHandle(snapshot);
}

int Reset() {
    EndProcessesNamed(
        {"keltrasetup.exe", ks::demo::kProductExe, "keltra_stubborn.exe", ks::demo::kAgentExe});
    while (ATOM atom = GlobalFindAtomA(ks::demo::kRunningAtom))
        GlobalDeleteAtom(atom);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ks::demo::kRecordKey, RegistryView(), 0);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteTreeA(key, ks::demo::kProduct);
        RegCloseKey(key);
    }
    return 0;
}

// A per-user subkey with a subkey of its own, which a completed run removes.
int UserKey() {
    HKEY key = nullptr;
    const std::string path = std::string(ks::demo::kRecordKey) + "\\Window";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 1;
    RegCloseKey(key);
    return 0;
}

// The standard folders an installation uses, as this build's programs see them: a 64-bit
// program gets other Program Files than a 32-bit one.
int Folders() {
    const struct {
        const char* name;
        ks::FolderKind kind;
    } folders[] = {{"ProgramFiles", ks::fkProgramFiles},
                   {"CommonDocuments", ks::fkCommonDocuments},
                   {"CommonDesktop", ks::fkCommonDesktop},
                   {"CommonPrograms", ks::fkCommonPrograms}};
    for (const auto& folder : folders)
        Report("folder", folder.name, ks::GetSystemFolder(folder.kind));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "answer" && argc >= 3)
        return AnswerCommand(argc, argv);
    if (command == "probe")
        return Probe();
    if (command == "reset")
        return Reset();
    if (command == "userkey")
        return UserKey();
    if (command == "folders")
        return Folders();
    std::fputs("usage: kdrive answer STOPFILE STEP... | probe | reset | userkey | folders\n",
               stderr);
    return 2;
}
