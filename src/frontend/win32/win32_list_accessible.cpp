#include "frontend/win32/win32_accessible_base.h"

#include "core/list_row.h"
#include "frontend/win32/win32_control_window.h"
#include "platform/forms/list_box.h"

#include <type_traits>

namespace korvane::win32front {

namespace {

// A list box as the list of its model's rows; child n is row n - 1.
class ListAccessible : public AccessibleBase {
public:
    explicit ListAccessible(HWND window) : m_window(window) {}

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (parent == nullptr)
            return E_INVALIDARG;
        *parent = nullptr;
        const Oleacc& oleacc = Oleacc::Get();
        if (oleacc.objectFromWindow == nullptr)
            return S_FALSE;
        return oleacc.objectFromWindow(m_window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                       reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        const forms::ListBox* list = List();
        if (count == nullptr || list == nullptr)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        *count = list->ListCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override
    {
        if (child != nullptr)
            *child = nullptr;
        return S_FALSE; // the rows are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        const forms::ListBox* list = List();
        if (list == nullptr)
            return RPC_E_DISCONNECTED;
        const long row = Row(child);
        if (row == kSelf)
            return Text(list->AccessibleName(), name);
        if (row < 0)
            return E_INVALIDARG;
        return Text(core::ListRow(list->List(row)).Spoken(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (role == nullptr)
            return E_INVALIDARG;
        const long row = Row(child);
        if (row != kSelf && row < 0)
            return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = row == kSelf ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const forms::ListBox* list = List();
        if (list == nullptr)
            return RPC_E_DISCONNECTED;
        const long row = Row(child);
        if (state == nullptr || (row != kSelf && row < 0))
            return E_INVALIDARG;
        const bool focused = ::GetFocus() == m_window;
        long flags = STATE_SYSTEM_FOCUSABLE;
        if (row == kSelf) {
            flags |= focused ? STATE_SYSTEM_FOCUSED : 0;
            flags |= list->Kind() == forms::ListBoxKind::MultiSelect ? STATE_SYSTEM_MULTISELECTABLE : 0;
        } else {
            flags |= STATE_SYSTEM_SELECTABLE;
            flags |= list->Selected(row) ? STATE_SYSTEM_SELECTED : 0;
            flags |= focused && list->ListIndex() == row ? STATE_SYSTEM_FOCUSED : 0;
        }
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override
    {
        if (topic != nullptr)
            *topic = 0;
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return Nothing(shortcut); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        const forms::ListBox* list = List();
        if (focus == nullptr || list == nullptr)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        ::VariantInit(focus);
        if (::GetFocus() != m_window)
            return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = list->ListIndex() >= 0 ? list->ListIndex() + 1 : CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        const forms::ListBox* list = List();
        if (selection == nullptr || list == nullptr)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        ::VariantInit(selection);
        // The first selected row (the process list selects one).
        for (int row = 0; row < list->ListCount(); ++row) {
            if (list->Selected(row)) {
                selection->vt = VT_I4;
                selection->lVal = row + 1;
                return S_OK;
            }
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override { return Nothing(action); }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        forms::ListBox* list = List();
        const long row = Row(child);
        if (list == nullptr || row < 0)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        if ((flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)) != 0) {
            ::SetFocus(m_window);
            list->UserClickRow(row);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
            return E_INVALIDARG;
        const long row = Row(child);
        RECT rect{};
        if (row == kSelf)
            ::GetClientRect(m_window, &rect);
        else if (row < 0 || ::SendMessageW(m_window, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                           reinterpret_cast<LPARAM>(&rect)) == LB_ERR)
            return E_INVALIDARG;
        ::MapWindowPoints(m_window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        const forms::ListBox* list = List();
        if (end == nullptr || list == nullptr)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        ::VariantInit(end);
        const long row = Row(start);
        long next = -1;
        if (direction == NAVDIR_FIRSTCHILD && row == kSelf)
            next = 0;
        else if (direction == NAVDIR_LASTCHILD && row == kSelf)
            next = list->ListCount() - 1;
        else if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && row >= 0)
            next = row + 1;
        else if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && row >= 0)
            next = row - 1;
        if (next < 0 || next >= list->ListCount())
            return S_FALSE;
        end->vt = VT_I4;
        end->lVal = next + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        const forms::ListBox* list = List();
        if (child == nullptr || list == nullptr)
            return list == nullptr ? RPC_E_DISCONNECTED : E_INVALIDARG;
        ::VariantInit(child);
        POINT point{x, y};
        RECT client{};
        ::ScreenToClient(m_window, &point);
        ::GetClientRect(m_window, &client);
        if (!::PtInRect(&client, point))
            return S_FALSE;
        const LRESULT hit = ::SendMessageW(m_window, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        child->vt = VT_I4;
        child->lVal = HIWORD(hit) == 0 && static_cast<int>(LOWORD(hit)) < list->ListCount() ? LOWORD(hit) + 1
                                                                                          : CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static constexpr long kSelf = -2;

    // The model behind the window while it is bound; nullptr after.
    forms::ListBox* List() const
    {
        ControlWindow* control = ControlWindow::Of(m_window);
        return control != nullptr ? dynamic_cast<forms::ListBox*>(&control->Control()) : nullptr;
    }
    // The row a child id names; kSelf for the list itself, -1 for none.
    long Row(const VARIANT& child) const
    {
        if (child.vt != VT_I4)
            return -1;
        if (child.lVal == CHILDID_SELF)
            return kSelf;
        const forms::ListBox* list = List();
        return list != nullptr && child.lVal >= 1 && child.lVal <= list->ListCount() ? child.lVal - 1 : -1;
    }

    HWND m_window;
};

} // namespace

IAccessible* NewListAccessible(HWND window)
{
    return new ListAccessible(window);
}

} // namespace korvane::win32front
