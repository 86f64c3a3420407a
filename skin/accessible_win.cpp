#include "skin/accessible_win.h"

#include <atomic>
#include <vector>

#include "skin/accelerator.h"
#include "skin/label.h"

namespace ks {
namespace {

BSTR ToBstr(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return SysAllocString(L"");
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return SysAllocString(wide.data());
}

std::vector<HWND> ChildWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

class WindowAccessible final : public IAccessible {
public:
    explicit WindowAccessible(HWND window) : window_(window) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) ||
            IsEqualIID(id, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: tools use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!IsWindow(window_))
            return RPC_E_DISCONNECTED;
        return AccessibleObjectFromWindow(window_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count)
            return E_POINTER;
        TAccessibleQuery query;
        if (!Ask(query))
            return RPC_E_DISCONNECTED;
        *count = query.partCount + static_cast<long>(ChildWindows(window_).size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        const HRESULT found = ChildOf(child);
        if (found != S_OK)
            return found;
        if (childWindow_)
            return AccessibleObjectFromWindow(childWindow_, static_cast<DWORD>(OBJID_CLIENT),
                                              IID_IDispatch, reinterpret_cast<void**>(object));
        return S_FALSE; // a painted part: a simple element of this object
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &TAccessibleInfo::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &TAccessibleInfo::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Nothing(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Number(child, role, &TAccessibleInfo::role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Number(child, state, &TAccessibleInfo::state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Nothing(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Text(child, text, &TAccessibleInfo::shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        VariantInit(focus);
        const HWND focused = GetFocus();
        if (focused && focused == window_) {
            focus->vt = VT_I4;
            focus->lVal = CHILDID_SELF;
            return S_OK;
        }
        for (HWND child : ChildWindows(window_))
            if (child == focused || IsChild(child, focused))
                return DispatchOf(child, focus);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection)
            VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &TAccessibleInfo::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        const HRESULT found = ChildOf(child);
        if (found != S_OK)
            return found;
        RECT bounds = {};
        if (childWindow_) {
            GetWindowRect(childWindow_, &bounds);
        } else if (partIndex_ == 0) {
            GetClientRect(window_, &bounds);
            MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
        } else {
            bounds = query_.info.bounds;
            MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
        }
        *left = bounds.left;
        *top = bounds.top;
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        if (end)
            VariantInit(end);
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!hit)
            return E_POINTER;
        VariantInit(hit);
        TAccessibleQuery query;
        if (!Ask(query))
            return RPC_E_DISCONNECTED;
        POINT point = {x, y};
        ScreenToClient(window_, &point);
        RECT client;
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point))
            return S_FALSE;
        const HWND child = ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE);
        if (child && child != window_)
            return DispatchOf(child, hit);
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        for (long part = 1; part <= query.partCount; ++part) {
            TAccessibleQuery partQuery;
            partQuery.child = part;
            if (Ask(partQuery) && PtInRect(&partQuery.info.bounds, point))
                hit->lVal = part;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const HRESULT found = ChildOf(child);
        if (found != S_OK)
            return found;
        if (childWindow_ || query_.info.defaultAction.empty())
            return DISP_E_MEMBERNOTFOUND;
        // Posted: the action may open a modal form, which must not run inside this call.
        PostMessageA(window_, WM_KS_ACCACTION, static_cast<WPARAM>(partIndex_), 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    bool Ask(TAccessibleQuery& query) const {
        if (!IsWindow(window_))
            return false;
        if (SendMessageA(window_, WM_KS_ACCDESCRIBE, 0, reinterpret_cast<LPARAM>(&query)) == 1)
            return true;
        if (query.child != CHILDID_SELF)
            return false;
        char text[256] = {};
        GetWindowTextA(window_, text, sizeof(text));
        DescribeWindow(window_, text, ROLE_SYSTEM_CLIENT, false, query);
        return true;
    }

    // Resolves a child id to this window (partIndex_ 0), a painted part or a child window,
    // describing the first two in query_.
    HRESULT ChildOf(const VARIANT& child) {
        childWindow_ = nullptr;
        partIndex_ = 0;
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        query_ = TAccessibleQuery{};
        if (!Ask(query_))
            return RPC_E_DISCONNECTED;
        const long id = child.lVal;
        if (id == CHILDID_SELF)
            return S_OK;
        if (id < 0)
            return E_INVALIDARG;
        if (id <= query_.partCount) {
            partIndex_ = id;
            query_ = TAccessibleQuery{};
            query_.child = id;
            return Ask(query_) ? S_OK : E_INVALIDARG;
        }
        const std::vector<HWND> children = ChildWindows(window_);
        const std::size_t index = static_cast<std::size_t>(id - query_.partCount - 1);
        if (index >= children.size())
            return E_INVALIDARG;
        childWindow_ = children[index];
        return S_OK;
    }

    HRESULT Text(const VARIANT& child, BSTR* text, std::string TAccessibleInfo::*field) {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        const HRESULT found = ChildOf(child);
        if (found != S_OK)
            return found;
        if (childWindow_)
            return E_INVALIDARG; // asked of the child window's own object
        const std::string& value = query_.info.*field;
        if (value.empty())
            return S_FALSE;
        *text = ToBstr(value);
        return *text ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Number(const VARIANT& child, VARIANT* number, long TAccessibleInfo::*field) {
        if (!number)
            return E_POINTER;
        VariantInit(number);
        const HRESULT found = ChildOf(child);
        if (found != S_OK)
            return found;
        if (childWindow_)
            return E_INVALIDARG;
        number->vt = VT_I4;
        number->lVal = query_.info.*field;
        return S_OK;
    }

    HRESULT Nothing(const VARIANT& child, BSTR* text) {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        const HRESULT found = ChildOf(child);
        return found == S_OK ? S_FALSE : found;
    }

    static HRESULT DispatchOf(HWND window, VARIANT* result) {
        IDispatch* object = nullptr;
        const HRESULT made =
            AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                       reinterpret_cast<void**>(&object));
        if (FAILED(made) || !object)
            return FAILED(made) ? made : E_FAIL;
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
        return S_OK;
    }

    std::atomic<ULONG> references_{1};
    HWND window_;
    // The child a call resolved (ChildOf); valid until the next call.
    TAccessibleQuery query_;
    HWND childWindow_ = nullptr;
    long partIndex_ = 0;
};

} // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return 0;
    auto* object = new WindowAccessible(window);
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release(); // LresultFromObject holds its own reference when it succeeded
    return FAILED(static_cast<HRESULT>(result)) ? 0 : result;
}

long WindowState(HWND window, bool focusable) {
    long state = 0;
    if (!IsWindowEnabled(window))
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (!IsWindowVisible(window))
        state |= STATE_SYSTEM_INVISIBLE;
    if (focusable && IsWindowEnabled(window)) {
        state |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window)
            state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
}

void DescribeWindow(HWND window, const std::string& caption, long role, bool focusable,
                    TAccessibleQuery& query) {
    query.info.name = DisplayCaption(caption);
    query.info.role = role;
    query.info.state = WindowState(window, focusable);
    const char letter = AcceleratorOf(caption);
    if (letter)
        query.info.shortcut = std::string("Alt+") + letter;
}

std::vector<const TLabel*> VisibleTexts(const std::vector<const TLabel*>& texts) {
    std::vector<const TLabel*> visible;
    for (const TLabel* text : texts)
        if (text->Visible())
            visible.push_back(text);
    return visible;
}

void DescribeForm(HWND window, long role, const std::vector<const TLabel*>& texts,
                  TAccessibleQuery& query) {
    const std::vector<const TLabel*> parts = VisibleTexts(texts);
    query.partCount = static_cast<int>(parts.size());
    if (query.child == CHILDID_SELF) {
        char title[256] = {};
        GetWindowTextA(window, title, sizeof(title));
        query.info.name = title;
        query.info.role = role;
        query.info.state = WindowState(window, false);
        return;
    }
    if (query.child < 1 || query.child > query.partCount)
        return;
    const TLabel& text = *parts[static_cast<std::size_t>(query.child - 1)];
    query.info.name = text.ShownCaption();
    query.info.role = ROLE_SYSTEM_STATICTEXT;
    query.info.state = STATE_SYSTEM_READONLY;
    query.info.bounds = text.Bounds();
}

std::string NameFromLabel(const TLabel& label) {
    std::string name = label.ShownCaption();
    while (!name.empty() && (name.back() == ':' || name.back() == ' '))
        name.pop_back();
    return name;
}

void NotifyAccessibleChange(HWND window, DWORD event) {
    if (window)
        NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace ks
