// What screen readers and other assistive tools read about our painted windows: a small
// IAccessible answered through WM_GETOBJECT. The object keeps only the window handle and asks
// the window each time, so it never outlives what it describes.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace ks {

struct TAccessibleInfo {
    std::string name;
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0; // STATE_SYSTEM_* bits
    std::string value;
    std::string shortcut;      // e.g. "Alt+T"
    std::string defaultAction; // empty: none
    RECT bounds = {};          // painted parts only: client coordinates of the window
};

// Sent by the accessible object to its window; lParam points to a TAccessibleQuery. The
// window fills `info` for `child` (0: itself, 1..: its painted parts) and `partCount`, and
// returns 1. A window that does not answer describes itself from its text and state.
constexpr UINT WM_KS_ACCDESCRIBE = WM_APP + 0x3A2;
// Posted to run the default action of `wParam` (0: the window itself, 1..: a painted part).
constexpr UINT WM_KS_ACCACTION = WM_APP + 0x3A3;

struct TAccessibleQuery {
    long child = 0;
    int partCount = 0;
    TAccessibleInfo info;
};

// The answer to WM_GETOBJECT: our object for OBJID_CLIENT, 0 (the system's own) otherwise.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam);

// The state bits every window has: unavailable, invisible, focusable and focused.
long WindowState(HWND window, bool focusable);

// Fills a query for a window: name from `caption` (accelerator markers removed), the state of
// the window, the shortcut of the caption's accelerator letter.
void DescribeWindow(HWND window, const std::string& caption, long role, bool focusable,
                    TAccessibleQuery& query);

class TLabel;

// Answers WM_KS_ACCDESCRIBE for a form: the form itself with its window text and `role`, and
// its visible painted texts as static-text parts 1..n in the order given.
void DescribeForm(HWND window, long role, const std::vector<const TLabel*>& texts,
                  TAccessibleQuery& query);
// The visible texts among `texts`, in order: part n is element n - 1.
std::vector<const TLabel*> VisibleTexts(const std::vector<const TLabel*>& texts);

// The name a field takes from the label beside it: the label as shown, without a final colon.
std::string NameFromLabel(const TLabel& label);

// Announces a change of the window's name, value or state to listening tools.
void NotifyAccessibleChange(HWND window, DWORD event);

} // namespace ks
