#include "ui/win32/Accessible.h"

#include "platform/win32/ComObject.h"

#include <commctrl.h>
#include <oleacc.h>

namespace kestova {

namespace {

using com::ComPtr;

// The system's proxy answers for the window itself; this answers for what it cannot know.
// Screen readers use the vtable: IDispatch offers no type information.
class TAccessibleControl : public com::TVtableDispatch<IAccessible> {
public:
    TAccessibleControl(HWND window, TAccessibleDescription description, ComPtr<IAccessible> proxy)
        : window_(window), description_(std::move(description)), proxy_(std::move(proxy)) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return proxy_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!IsToolbar()) return proxy_->get_accChildCount(count);
        if (!count) return E_POINTER;
        *count = static_cast<long>(description_.Buttons.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!IsToolbar()) return proxy_->get_accChild(child, object);
        if (!object) return E_POINTER;
        *object = nullptr;
        return ButtonOf(child) > 0 ? S_FALSE : E_INVALIDARG;  // buttons are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        const long button = ButtonOf(child);
        if (button < 0) return E_INVALIDARG;
        if (button == 0 && description_.Name.empty()) return proxy_->get_accName(child, name);
        if (!name) return E_POINTER;
        const std::wstring& text = button == 0 ? description_.Name : description_.Buttons[button - 1];
        *name = SysAllocString(text.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return ForSelf(child, [&] { return proxy_->get_accValue(child, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return ForSelf(child, [&] { return proxy_->get_accDescription(child, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        const long button = ButtonOf(child);
        if (button < 0) return E_INVALIDARG;
        if (button == 0 && description_.Role == 0) return proxy_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = button == 0 ? description_.Role : ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const long button = ButtonOf(child);
        if (button < 0) return E_INVALIDARG;
        if (button == 0) return proxy_->get_accState(child, state);
        if (!state) return E_POINTER;
        state->vt = VT_I4;
        state->lVal = ButtonState(button - 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return ForSelf(child, [&] { return proxy_->get_accHelp(child, help); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return ForSelf(child, [&] { return proxy_->get_accHelpTopic(file, child, topic); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return ForSelf(child, [&] { return proxy_->get_accKeyboardShortcut(child, keys); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        const long hot = IsToolbar() && GetFocus() == window_ ? HotButton() : -1;
        if (hot < 0) return proxy_->get_accFocus(focus);
        if (!focus) return E_POINTER;
        focus->vt = VT_I4;
        focus->lVal = hot + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return proxy_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const long button = ButtonOf(child);
        if (button <= 0) return button < 0 ? E_INVALIDARG : proxy_->get_accDefaultAction(child, action);
        if (!action) return E_POINTER;
        *action = SysAllocString(L"Press");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return ForSelf(child, [&] { return proxy_->accSelect(flags, child); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        const long button = ButtonOf(child);
        if (button <= 0) return button < 0 ? E_INVALIDARG : proxy_->accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height) return E_POINTER;
        RECT r{};
        if (!SendMessageW(window_, TB_GETITEMRECT, button - 1, reinterpret_cast<LPARAM>(&r))) return E_FAIL;
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return ForSelf(start, [&] { return proxy_->accNavigate(direction, start, end); });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return proxy_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const long button = ButtonOf(child);
        if (button <= 0) return button < 0 ? E_INVALIDARG : proxy_->accDoDefaultAction(child);
        TBBUTTON info{};
        if (!SendMessageW(window_, TB_GETBUTTON, button - 1, reinterpret_cast<LPARAM>(&info))) return E_FAIL;
        if (!(info.fsState & TBSTATE_ENABLED)) return S_FALSE;
        // What the toolbar sends when the button is clicked, after the screen reader's call returns.
        PostMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(info.idCommand, BN_CLICKED),
                     reinterpret_cast<LPARAM>(window_));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    void* QueryExtra(REFIID riid) override {
        return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
    }

private:
    bool IsToolbar() const { return !description_.Buttons.empty(); }

    // 0 for the window itself, 1... for a button, -1 for anything else.
    long ButtonOf(const VARIANT& child) const {
        if (child.vt != VT_I4) return -1;
        if (child.lVal == CHILDID_SELF) return 0;
        return child.lVal > 0 && child.lVal <= static_cast<long>(description_.Buttons.size()) ? child.lVal : -1;
    }

    template <class Call>
    HRESULT ForSelf(const VARIANT& child, Call call) const {
        const long button = ButtonOf(child);
        if (button < 0) return E_INVALIDARG;
        return button == 0 ? call() : S_FALSE;
    }

    long HotButton() const { return static_cast<long>(SendMessageW(window_, TB_GETHOTITEM, 0, 0)); }

    long ButtonState(long index) const {
        TBBUTTON info{};
        if (!SendMessageW(window_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&info)))
            return STATE_SYSTEM_UNAVAILABLE;
        long state = STATE_SYSTEM_FOCUSABLE;
        if (!(info.fsState & TBSTATE_ENABLED)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (GetFocus() == window_ && HotButton() == index) state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
        return state;
    }

    HWND window_;
    TAccessibleDescription description_;
    ComPtr<IAccessible> proxy_;
};

}  // namespace

LRESULT AccessibleObjectFor(HWND window, WPARAM flags, const TAccessibleDescription& description) noexcept try {
    ComPtr<IAccessible> proxy;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(proxy.GetAddressOf()))))
        return 0;
    const auto object = com::Make<TAccessibleControl>(window, description, std::move(proxy));
    const LRESULT result = LresultFromObject(IID_IAccessible, flags, object.Get());
    return result > 0 ? result : 0;
} catch (...) {  // out of memory: the system's default object answers instead
    return 0;
}

}  // namespace kestova
