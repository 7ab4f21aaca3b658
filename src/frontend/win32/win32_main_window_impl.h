#pragma once

// The main window's state, shared by the files that make and drive it.
#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_front_end.h"
#include "frontend/win32/win32_notification_area.h"
#include "platform/screen.h"
#include "platform/win32/win32_single_instance.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace korvane::win32front {

inline constexpr const wchar_t* kPickerClass = L"KorvanePicker";
// Runs the menu item chosen in the pop-up menu once the menu's own messages are done.
inline constexpr UINT kRunMenuItem = WM_APP + 10;
// WM_DPICHANGED, which headers for Windows 7 leave out.
inline constexpr UINT WM_DPICHANGED_MESSAGE = 0x02E0;

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main window's limits in pixels on a monitor: its fixed width; maximized, the monitor's
// full height at the window's own left (kept on the monitor); resized, no taller than the work
// area's bottom. Places are relative to the monitor, as WM_GETMINMAXINFO takes them.
struct MonitorLimits {
    POINT maxSize, maxPosition, minTrack, maxTrack;
};
MonitorLimits LimitsOnMonitor(int widthPixels, int minHeightPixels, int windowLeft, const RECT& monitor,
                              const RECT& work);

// A picker (the affinity picker, the CPU picker) as a pop-up window of its own, at the scale of
// its own monitor.
struct Picker {
    forms::Window* form = nullptr;
    HWND window = nullptr;
    int dpi = 96;
    double tpp = 15;
    std::shared_ptr<Fonts> fonts;
    std::unique_ptr<ControlBinder> binder;
    // Makes the picker's controls (again, after a change of DPI).
    std::function<void()> addControls;
    std::function<void(int)> onWheel;
    bool closed = false;
    Win32MainWindow::Impl* owner = nullptr;
};

struct Win32MainWindow::Impl {
    Impl(platform::Screen& screen, int dotsPerInch)
        : screen(screen), modelTpp(std::max(screen.TwipsPerPixelX(), 1)),
          dpi(dotsPerInch > 0 ? dotsPerInch : 1440 / modelTpp), tpp(1440.0 / dpi),
          placeTpp(std::max(screen.PlaceTwipsPerPixel(), 1.0)), fonts(std::make_shared<Fonts>(dpi))
    {
    }

    // Makes the native controls of the model's main window (again, after a change of DPI).
    void AddControls();
    // The window moved to a monitor of another scale (WM_DPICHANGED): fonts, controls and size
    // are made anew at it, so that text stays sharp.
    void ChangeDpi(int newDpi, const RECT& suggested);

    // Twips of the model from pixels of the window, at the window's exact scale.
    std::int32_t Twips(int pixels) const { return static_cast<std::int32_t>(std::lround(pixels * tpp)); }
    // Twips of a place on the desktop, and back: one scale for every monitor.
    std::int32_t PlaceTwips(int pixels) const { return static_cast<std::int32_t>(std::lround(pixels * placeTpp)); }
    int PlacePixels(std::int32_t twips) const { return static_cast<int>(std::lround(twips / placeTpp)); }
    // Pixels the model counted at its whole twips per pixel, at the window's exact scale: the two
    // differ where the DPI does not divide 1440 (175, 200, 225 %).
    LONG Rescaled(std::int32_t modelPixels) const
    {
        return static_cast<LONG>(std::lround(modelPixels * static_cast<double>(modelTpp) / tpp));
    }

    void ApplyModel();
    void SendGeometry();
    void ShowMenu(const forms::Menu& menu);
    void OpenPicker(ui::Form2& model);
    void OpenCpuPicker(ui::CpuPicker& model);
    // A pop-up window for a picker's form, which follows the form and closes with it.
    Picker& NewPicker(forms::Window& form);
    void ClosePicker(Picker& picker);
    // The picker's monitor has another scale (WM_DPICHANGED): its controls are made anew at it.
    void ChangePickerDpi(Picker& picker, int newDpi, const RECT& suggested);
    // The main window's size limits on the monitor it is on now.
    void FillSizeLimits(MINMAXINFO* info) const;

    platform::Screen& screen;
    int modelTpp; // the model's twips per pixel, a whole number
    int dpi;      // the window's dots per inch
    double tpp;   // the window's twips per pixel: 1440 / dpi, exactly
    double placeTpp; // the desktop's twips per pixel, for places
    std::shared_ptr<Fonts> fonts;
    HWND window = nullptr;
    HWND tooltips = nullptr;
    std::unique_ptr<ControlBinder> binder;
    ui::Form1* form = nullptr;
    platform::win32::Win32SingleInstance* instance = nullptr;
    Win32NotificationArea* tray = nullptr;
    std::optional<ui::SizeLimits> limits;
    bool applying = false;
    bool frozen = false;
    bool redrawOff = false; // WM_SETREDRAW FALSE sent, and WS_VISIBLE cleared with it
    std::vector<forms::MenuItem*> menuItems;
    std::vector<std::unique_ptr<Picker>> pickers;
};

} // namespace korvane::win32front
