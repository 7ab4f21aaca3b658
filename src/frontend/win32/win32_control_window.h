#pragma once

#include "platform/forms/control.h"
#include "platform/image/surface.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::win32front {

// A list row is 240 twips in the model, its scroll steps included, and holds a 16-pixel icon.
inline constexpr std::int32_t kRowTwips = 240;
inline constexpr int kIconPixels = 16;
// The window class of the controls drawn here (panels, labels, pictures, viewports).
inline constexpr const wchar_t* kControlClass = L"KorvaneControl";

// The modifier state as the handlers receive it: 1 shift, 2 ctrl, 4 alt.
int ShiftState();
COLORREF ToColorRef(image::Color c);
// Draws a 32-bit surface at (x, y) of a device context, scaled from 16 to `scaledTo` pixels a
// side (the icon column, with a row of a list taller than its icon).
void DrawSurface(HDC dc, int x, int y, const image::Surface& surface, int scaledTo = kIconPixels);
// A child window of the class; containers (WS_CLIPCHILDREN) let Tab move into what they hold.
HWND CreateChild(const wchar_t* className, DWORD style, HWND parent);

// A native window that mirrors one form-runtime control. Apply brings the window in line with
// the control (place, enabled state, visibility, tooltip, then what the kind shows); the window
// procedures pass what the user does to the handlers, which each kind overrides as it needs.
class ControlWindow {
public:
    ControlWindow(forms::Control& control, HWND window, double twipsPerPixel, HWND tooltips);
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;
    virtual ~ControlWindow() = default;

    forms::Control& Control() const { return m_control; }
    HWND Window() const { return m_window; }
    // The window kept by this object, found from a window handle; nullptr for any other window.
    static ControlWindow* Of(HWND window);

    // Only what changed goes to the window: a caption changes twice a second, and every call
    // here is a round trip to the window system.
    void Apply();
    // Lets go of the window before it goes (its pointer to this object, a subclass).
    virtual void Detach();

    virtual void Paint(HDC dc, const RECT& rect);
    // WM_COMMAND, WM_VSCROLL, WM_DRAWITEM from the window, a click and a mouse move on it: true
    // when handled.
    virtual bool OnCommand(int /*code*/) { return false; }
    virtual bool OnScroll(int /*code*/) { return false; }
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual bool OnClick() { return false; }
    // The pointer moved over the window, at this pixel of it.
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    // A message to a subclassed system control first; a value ends it there.
    virtual std::optional<LRESULT> Intercept(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/)
    {
        return std::nullopt;
    }
    // Sends the system control's messages through Intercept.
    void Subclass();

protected:
    // What the kind shows (caption, value, rows), after the place.
    virtual void ShowValue() { ::InvalidateRect(m_window, nullptr, FALSE); }
    // The window took a new place or size, in pixels.
    virtual void Placed(int /*width*/, int /*height*/) {}
    void SetText(const std::string& caption);
    double TwipsPerPixel() const { return m_tpp; }
    // Whether the window was placed anew since the last call.
    bool TakeResized();

private:
    void Place();

    struct Placement {
        int left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Placement&) const = default;
    };
    forms::Control& m_control;
    HWND m_window;
    HWND m_tooltips;
    double m_tpp;
    std::wstring m_tip;
    Placement m_lastPlace;
    bool m_placed = false;
    bool m_resized = false;
    bool m_lastEnabled = true;
    bool m_subclassed = false;
};

} // namespace korvane::win32front
