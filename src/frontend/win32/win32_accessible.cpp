#include "frontend/win32/win32_accessible.h"

#include "frontend/win32/win32_accessible_base.h"
#include "frontend/win32/win32_control_window.h"
#include "platform/forms/list_box.h"

namespace korvane::win32front {

namespace {

// The system's object for a control, with the name its model gives it; where the system has no
// object for the control's class, a plain one with that name, the window's place and its state.
class NamedAccessible : public AccessibleBase {
public:
    NamedAccessible(HWND window, IAccessible* standard) : m_window(window), m_standard(standard) {}

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        ControlWindow* control = ControlWindow::Of(m_window);
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && control != nullptr &&
            !control->Control().AccessibleName().empty())
            return Text(control->Control().AccessibleName(), name);
        return m_standard != nullptr ? m_standard->get_accName(child, name) : Nothing(name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accParent(parent);
        if (parent != nullptr)
            *parent = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accChildCount(count);
        if (count != nullptr)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accChild(child, out);
        if (out != nullptr)
            *out = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return m_standard != nullptr ? m_standard->get_accValue(child, value) : Nothing(value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return m_standard != nullptr ? m_standard->get_accDescription(child, text) : Nothing(text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accRole(child, role);
        if (role == nullptr)
            return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_CLIENT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accState(child, state);
        if (state == nullptr)
            return E_INVALIDARG;
        state->vt = VT_I4;
        state->lVal = STATE_SYSTEM_FOCUSABLE | (::GetFocus() == m_window ? STATE_SYSTEM_FOCUSED : 0) |
                      (::IsWindowVisible(m_window) ? 0 : STATE_SYSTEM_INVISIBLE) |
                      (::IsWindowEnabled(m_window) ? 0 : STATE_SYSTEM_UNAVAILABLE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return m_standard != nullptr ? m_standard->get_accHelp(child, help) : Nothing(help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accHelpTopic(file, child, topic);
        if (topic != nullptr)
            *topic = 0;
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_standard != nullptr ? m_standard->get_accKeyboardShortcut(child, shortcut) : Nothing(shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accFocus(focus);
        if (focus == nullptr)
            return E_INVALIDARG;
        ::VariantInit(focus);
        if (::GetFocus() != m_window)
            return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        if (m_standard != nullptr)
            return m_standard->get_accSelection(selection);
        if (selection != nullptr)
            ::VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_standard != nullptr ? m_standard->get_accDefaultAction(child, action) : Nothing(action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        if (m_standard != nullptr)
            return m_standard->accSelect(flags, child);
        if ((flags & SELFLAG_TAKEFOCUS) != 0)
            ::SetFocus(m_window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (m_standard != nullptr)
            return m_standard->accLocation(left, top, width, height, child);
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_INVALIDARG;
        RECT rect{};
        ::GetWindowRect(m_window, &rect);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        if (m_standard != nullptr)
            return m_standard->accNavigate(direction, start, end);
        if (end != nullptr)
            ::VariantInit(end);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        if (m_standard != nullptr)
            return m_standard->accHitTest(x, y, child);
        if (child == nullptr)
            return E_INVALIDARG;
        ::VariantInit(child);
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return m_standard != nullptr ? m_standard->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard != nullptr ? m_standard->put_accValue(child, value) : E_NOTIMPL;
    }

private:
    ~NamedAccessible() override
    {
        if (m_standard != nullptr)
            m_standard->Release();
    }

    HWND m_window;
    IAccessible* m_standard;
};

} // namespace

IAccessible* AccessibleOf(HWND window)
{
    ControlWindow* control = ControlWindow::Of(window);
    if (control == nullptr)
        return nullptr;
    if (dynamic_cast<forms::ListBox*>(&control->Control()) != nullptr)
        return NewListAccessible(window);
    if (control->Control().AccessibleName().empty())
        return nullptr;
    const Oleacc& oleacc = Oleacc::Get();
    IAccessible* standard = nullptr;
    if (oleacc.standardObject == nullptr ||
        FAILED(oleacc.standardObject(window, static_cast<LONG>(OBJID_CLIENT), IID_IAccessible,
                                     reinterpret_cast<void**>(&standard))))
        standard = nullptr;
    return new NamedAccessible(window, standard);
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    const Oleacc& oleacc = Oleacc::Get();
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT) || oleacc.resultFromObject == nullptr)
        return 0;
    IAccessible* object = AccessibleOf(window);
    if (object == nullptr)
        return 0;
    const LRESULT result = oleacc.resultFromObject(IID_IAccessible, wParam, object);
    object->Release();
    // A failure (COM not initialized in this thread, no proxy for IAccessible, ...) leaves the
    // answer to the system.
    return result > 0 ? result : 0;
}

} // namespace korvane::win32front
