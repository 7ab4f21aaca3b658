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

LRESULT CALLBACK PickerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A picker (the affinity picker, the CPU picker) as a pop-up window of its own.
struct Picker {
    forms::Window* form = nullptr;
    HWND window = nullptr;
    std::unique_ptr<ControlBinder> binder;
    std::function<void(int)> onWheel;
    bool closed = false;
};

struct Win32MainWindow::Impl {
    Impl(platform::Screen& screen, int dotsPerInch)
        : screen(screen), modelTpp(std::max(screen.TwipsPerPixelX(), 1)),
          dpi(dotsPerInch > 0 ? dotsPerInch : 1440 / modelTpp), tpp(1440.0 / dpi), fonts(std::make_unique<Fonts>(dpi))
    {
    }

    // Makes the native controls of the model's main window (again, after a change of DPI).
    void AddControls();
    // The window moved to a monitor of another scale (WM_DPICHANGED): fonts, controls and size
    // are made anew at it, so that text stays sharp.
    void ChangeDpi(int newDpi, const RECT& suggested);

    // Twips of the model from pixels of the window, at the window's exact scale.
    std::int32_t Twips(int pixels) const { return static_cast<std::int32_t>(std::lround(pixels * tpp)); }
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

    platform::Screen& screen;
    int modelTpp; // the model's twips per pixel, a whole number
    int dpi;      // the window's dots per inch
    double tpp;   // the window's twips per pixel: 1440 / dpi, exactly
    std::unique_ptr<Fonts> fonts;
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
