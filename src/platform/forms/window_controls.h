#pragma once

#include "platform/forms/control.h"
#include "platform/forms/picture_box.h"
#include "platform/forms/scroll_bar.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvane::forms {

// A menu item of a pop-up menu.
class MenuItem : public Control {
public:
    explicit MenuItem(std::string caption = {}) : m_caption(std::move(caption)) {}
    const std::string& Caption() const { return m_caption; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool value);

    // What the user does; a disabled item ignores it.
    void UserClick();

    std::function<void()> OnClick;

private:
    std::string m_caption;
    bool m_checked = false;
};

// A pop-up menu: its items in order, nullptr standing for a separator.
struct Menu {
    std::string Name;
    std::vector<MenuItem*> Items;
};

enum class WindowState { Normal, Minimized, Maximized };

// A top-level window: state, caption, and position and size in twips (outer edges).
class Window : public Control {
public:
    explicit Window(std::string caption = {}) : m_caption(std::move(caption)) {}
    const std::string& Caption() const { return m_caption; }
    WindowState State() const { return m_state; }
    // Changing the state runs OnResize, as every size or state change does.
    void SetState(WindowState state);
    // The user (or the window manager) moved or sized the window: runs OnResize.
    void UserResize(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    // Inner (client) height in twips: the height less the frame and caption.
    std::int32_t InnerHeight() const { return Height() - m_frameHeight; }
    // A new frame changes the inner height: the next UserResize lays the window out again even
    // when the outer size stayed (a client-side title bar that came after the first report).
    void SetFrameHeight(std::int32_t twips)
    {
        m_frameChanged = m_frameChanged || twips != m_frameHeight;
        m_frameHeight = twips;
    }

    // The painting freeze: while frozen the front end does not repaint the window.
    bool UpdatesFrozen() const { return m_frozen; }
    void SetUpdatesFrozen(bool frozen);
    // Gives the keyboard focus to the window itself.
    void SetFocus() { ++m_focusRequests; }
    int FocusRequests() const { return m_focusRequests; }
    // Brings the window in front of others; the front end does it.
    void BringToForeground();
    int ForegroundRequests() const { return m_foregroundRequests; }
    // Shows a pop-up menu at the mouse position; the front end shows it and returns at once.
    void PopupMenu(const Menu& menu);
    const std::string& LastPopupMenu() const { return m_lastPopup; }

    // Window class style bits (0x20000 asks for a drop shadow).
    std::uint32_t ClassStyle() const { return m_classStyle; }
    void SetClassStyle(std::uint32_t style) { m_classStyle = style; }

    std::function<void()> OnForeground;
    std::function<void(const Menu&)> OnPopupMenu;
    // The window lost the activation (another window, or a click elsewhere).
    std::function<void()> OnDeactivate;

    std::function<void()> OnResize;

private:
    std::string m_caption;
    WindowState m_state = WindowState::Normal;
    std::int32_t m_frameHeight = 0;
    bool m_frameChanged = false;
    bool m_frozen = false;
    int m_focusRequests = 0;
    int m_foregroundRequests = 0;
    std::string m_lastPopup;
    std::uint32_t m_classStyle = 0;
};

} // namespace korvane::forms
