#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvane::forms {

// Common state of every control of the form runtime. Positions and sizes are in twips.
// A front end mirrors a control by installing a change handler and redrawing on each call.
class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    std::int32_t Left() const { return m_left; }
    std::int32_t Top() const { return m_top; }
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    void SetLeft(std::int32_t value);
    void SetTop(std::int32_t value);
    void SetWidth(std::int32_t value);
    void SetHeight(std::int32_t value);
    void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    const std::string& ToolTipText() const { return m_toolTip; }
    void SetToolTipText(std::string value);
    // What a screen reader calls the control, and says of it after its name; empty where its
    // caption or text says it already.
    const std::string& AccessibleName() const { return m_accessibleName; }
    void SetAccessibleName(std::string value);
    const std::string& AccessibleDescription() const { return m_accessibleDescription; }
    void SetAccessibleDescription(std::string value);

    // Called after every change of the control's state; one handler, owned by the front end.
    void SetChangedHandler(std::function<void()> handler) { m_changed = std::move(handler); }

protected:
    void NotifyChanged();

private:
    std::int32_t m_left = 0;
    std::int32_t m_top = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_toolTip;
    std::string m_accessibleName;
    std::string m_accessibleDescription;
    std::function<void()> m_changed;
};

// Mouse buttons and key codes as the handlers receive them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

// The key codes UserKeyDown takes (Windows' virtual-key codes; other front ends translate).
inline constexpr int kKeyPageUp = 0x21;
inline constexpr int kKeyPageDown = 0x22;
inline constexpr int kKeyEnd = 0x23;
inline constexpr int kKeyHome = 0x24;
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyDown = 0x28;
inline constexpr int kShiftMask = 1;

} // namespace korvane::forms
