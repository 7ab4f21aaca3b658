#pragma once

#include "platform/forms/control.h"
#include "platform/image/surface.h"

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
    void SetFrameHeight(std::int32_t twips) { m_frameHeight = twips; }

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
    bool m_frozen = false;
    int m_focusRequests = 0;
    int m_foregroundRequests = 0;
    std::string m_lastPopup;
    std::uint32_t m_classStyle = 0;
};

// A picture box: a back colour and a persistent drawn image in pixels.
class PictureBox : public Control {
public:
    // Inner height in twips: the height less the border on both sides.
    std::int32_t InnerHeight() const { return Height() - 2 * m_borderTwips; }
    std::int32_t InnerWidth() const { return Width() - 2 * m_borderTwips; }
    std::int32_t BorderTwips() const { return m_borderTwips; }
    void SetBorderTwips(std::int32_t twips) { m_borderTwips = twips; }

    image::Color BackColor() const { return m_backColor; }
    void SetBackColor(image::Color color);
    // The image the box shows; an empty surface shows only the back colour.
    const image::Surface& Picture() const { return m_picture; }
    image::Surface& EditPicture() { return m_picture; }
    void SetPicture(image::Surface picture);
    void ClearPicture();
    // Shows the edited picture (the front end repaints).
    void Refresh() { NotifyChanged(); }
    const std::string& Tag() const { return m_tag; }
    void SetTag(std::string tag) { m_tag = std::move(tag); }

    std::function<void()> OnClick;
    std::function<void(int button, int shift, float x, float y)> OnMouseMove;

private:
    std::int32_t m_borderTwips = 0;
    image::Color m_backColor = image::kWhite;
    image::Surface m_picture;
    std::string m_tag;
};

// A vertical scroll bar; values in twips. Setting the value from code runs OnChange.
class ScrollBar : public Control {
public:
    std::int32_t Value() const { return m_value; }
    void SetValue(std::int32_t value);
    std::int32_t Max() const { return m_max; }
    void SetMax(std::int32_t value);
    std::int32_t LargeChange() const { return m_largeChange; }
    void SetLargeChange(std::int32_t value);
    std::int32_t SmallChange() const { return m_smallChange; }
    void SetSmallChange(std::int32_t value) { m_smallChange = value; }

    // What the user does: the end of a move (OnChange) or a thumb drag in progress (OnScroll).
    void UserScroll(std::int32_t value, bool dragging);

    std::function<void()> OnChange;
    std::function<void()> OnScroll;
    std::function<void()> OnGotFocus;

private:
    std::int32_t m_value = 0;
    std::int32_t m_max = 32767;
    std::int32_t m_largeChange = 1;
    std::int32_t m_smallChange = 1;
};

} // namespace korvane::forms
