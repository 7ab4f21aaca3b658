#pragma once

#include <cstdint>
#include <memory>

namespace korvane::forms { class Control; }
namespace korvane::platform { class Screen; }
namespace korvane::platform::win32 { class Win32SingleInstance; }
namespace korvane::ui { class Form1; }

namespace korvane::win32front {

class Win32NotificationArea;

// The main window's top-level window, made before the model so that its handle is known to the
// single-instance hand-over and the tray from the start.
class Win32MainWindow {
public:
    // dotsPerInch: the window's real DPI; 0 takes the screen's whole twips per pixel.
    explicit Win32MainWindow(platform::Screen& screen, int dotsPerInch = 0);
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;
    ~Win32MainWindow();

    void* Handle() const { return m_window; }
    // Takes the scale of the monitor the window is on, where Windows tells it (10 and later; the
    // program is aware of each monitor's scale).
    void FollowOwnMonitor();
    std::int64_t HandleValue() const { return reinterpret_cast<std::intptr_t>(m_window); }

    struct Impl;

private:
    void* m_window = nullptr;
    std::unique_ptr<Impl> m_impl;
    friend class Win32FrontEnd;
};

// Draws the main window's controls as native Win32 controls and forwards what the user does to
// them; instance (may be null) counts the show requests a second start posts to the window. It holds no behaviour of its own: every click, key, wheel turn and window change goes to
// the model.
class Win32FrontEnd {
public:
    Win32FrontEnd(ui::Form1& form, Win32MainWindow& window, Win32NotificationArea& tray,
                  platform::win32::Win32SingleInstance* instance);
    Win32FrontEnd(const Win32FrontEnd&) = delete;
    Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;
    ~Win32FrontEnd();

    // The window that draws a control of the model (nullptr for one it does not draw).
    void* WindowOf(const forms::Control* control) const;
    // Sets the size limits from the model once the work area is known.
    void ApplySizeLimits();

private:
    Win32MainWindow& m_window;
};

} // namespace korvane::win32front
