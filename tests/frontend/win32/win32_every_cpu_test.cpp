// Show Every CPU in the Win32 front end, under wine's null graphics driver (or Windows).
#include "frontend/win32/win32_front_end.h"

#include "frontend/win32/win32_notification_area.h"
#include "platform/image/bitmap_file.h"
#include "support/cpu_machines.h"
#include "support/fake_form.h"
#include "support/win32_messages.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace korvane::win32front {
namespace {

std::string ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    std::string narrow;
    for (const wchar_t* c = name; *c != 0; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

using test::FindOwnWindow;
using test::PumpMessages;

// The check boxes among the descendants of a window.
std::vector<HWND> CheckBoxesIn(HWND parent)
{
    std::vector<HWND> boxes;
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM found) {
            if (ClassOf(child) == "Button" && (::GetWindowLongW(child, GWL_STYLE) & 0xF) == BS_CHECKBOX)
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

// KORVANE_PICTURES=folder keeps what a window shows as a bitmap file, for the README and for
// review (under wine's X driver: the null driver draws nothing).
void Keep(HWND window, const char* name)
{
    const char* folder = std::getenv("KORVANE_PICTURES");
    if (folder == nullptr)
        return;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect;
    ::GetClientRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    image::Surface surface(width, height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t bgr = pixels[y * width + x];
            surface.SetPixel(x, y, image::Rgb(static_cast<int>(bgr >> 16 & 0xFF), static_cast<int>(bgr >> 8 & 0xFF),
                                              static_cast<int>(bgr & 0xFF)));
        }
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, screen);
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary) << image::EncodeBitmap(surface);
}

struct Win32EveryCpu {
    explicit Win32EveryCpu(const platform::CpuTopology& topology) : f(static_cast<int>(topology.cpus.size()))
    {
        f.machine.SetTopology(topology);
        f.AddFavoriteFile({test::Row("Renderer", "0-3"), test::Row("Encoder", "0123")});
        for (int cpu = 0; cpu < static_cast<int>(topology.cpus.size()); ++cpu)
            f.counters.SetUsage(cpu, (cpu * 37) % 101);
        game = f.machine.Start("/opt/game", 2);
        f.machine.Start("/usr/bin/editor");
        f.machine.Start("/usr/bin/encoder");
        f.settings.Save("Tollmere", "Korvane", "AllCpus", "1");
        f.Start();
        view = std::make_unique<Win32FrontEnd>(*f.form, window, tray, nullptr);
        view->ApplySizeLimits();
        f.Run(1000);
        PumpMessages();
    }
    HWND Of(const forms::Control& control) { return static_cast<HWND>(view->WindowOf(&control)); }

    test::FakeForm f;
    Win32NotificationArea tray;
    Win32MainWindow window{f.screen};
    std::unique_ptr<Win32FrontEnd> view;
    std::int32_t game = 0;
};

TEST(Win32EveryCpu, TheFieldAndThePickerAreNativeWindowsThatReachTheModel)
{
    Win32EveryCpu v(test::HybridMachine(4, 8));
    ui::MainControls& c = v.f.Controls();
    HWND field = v.Of(c.TxtCpus);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(ClassOf(field), "Edit");
    EXPECT_TRUE(::IsWindowVisible(v.Of(c.CmdCpus)));
    EXPECT_FALSE((::GetWindowLongW(v.Of(c.Check11[0]), GWL_STYLE) & WS_VISIBLE) != 0);
    c.List1.UserClickRow(v.f.RowOf("Game"));

    ::SetWindowTextW(field, L"5-3"); // EN_CHANGE reaches the model as typing
    EXPECT_EQ(c.TxtCpus.Text(), "5-3");
    EXPECT_FALSE(::IsWindowEnabled(v.Of(c.Command5)));
    ::SetWindowTextW(field, L"8-15");
    EXPECT_TRUE(::IsWindowEnabled(v.Of(c.Command5)));
    EXPECT_EQ(::SendMessageW(field, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    ::SendMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(v.f.machine.ThreadCpus(v.game).front(), (std::vector<std::uint64_t>{0xFF00}));
    PumpMessages();
    Keep(static_cast<HWND>(v.window.Handle()), "every-cpu-wine-16.bmp");

    ::SendMessageW(v.Of(c.CmdCpus), BM_CLICK, 0, 0);
    HWND popup = FindOwnWindow(L"KorvanePicker");
    ASSERT_NE(popup, nullptr);
    ui::CpuPicker* picker = v.f.form->EveryCpu().Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(picker->Closed());
    ASSERT_EQ(CheckBoxesIn(popup).size(), 16U);
    wchar_t title[64] = {};
    ::GetWindowTextW(popup, title, 64);
    EXPECT_EQ(std::wstring(title), L"Choose CPUs"); // what a screen reader calls it
    HWND zero = static_cast<HWND>(v.view->WindowOf(picker->ToggleOf(0)));
    ASSERT_NE(zero, nullptr);
    ::SendMessageW(zero, BM_CLICK, 0, 0);
    EXPECT_TRUE(picker->ToggleOf(0)->Ticked());
    EXPECT_EQ(::SendMessageW(zero, BM_GETCHECK, 0, 0), BST_CHECKED);
    PumpMessages();
    Keep(popup, "every-cpu-wine-16-picker.bmp");

    // Dragged to a monitor at 200 %, the picker is made anew at its scale and still works; the
    // main window keeps its own.
    RECT suggested{200, 100, 200 + 900, 100 + 700};
    ::SendMessageW(popup, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(CheckBoxesIn(popup).size(), 16U);
    HWND one = static_cast<HWND>(v.view->WindowOf(picker->ToggleOf(1)));
    ASSERT_NE(one, nullptr);
    RECT toggle{};
    ::GetWindowRect(one, &toggle);
    EXPECT_EQ(toggle.right - toggle.left, 2 * 46); // twice its 46 pixels at 100 %
    EXPECT_EQ(::SendMessageW(static_cast<HWND>(v.view->WindowOf(picker->ToggleOf(0))), BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageW(one, BM_CLICK, 0, 0);
    EXPECT_TRUE(picker->ToggleOf(1)->Ticked());
    ::SendMessageW(one, BM_CLICK, 0, 0);
    ::SendMessageW(static_cast<HWND>(v.view->WindowOf(&picker->Apply)), BM_CLICK, 0, 0);
    EXPECT_EQ(c.TxtCpus.Text(), "0,8-15");
    PumpMessages();
    EXPECT_EQ(FindOwnWindow(L"KorvanePicker"), nullptr);
}

TEST(Win32EveryCpu, At256CpusThePickerScrollsWithTheWheelAndTheUsagePanelDraws)
{
    Win32EveryCpu v(test::ServerMachine256());
    ui::MainControls& c = v.f.Controls();
    v.f.screen.workArea = {0, 0, 1366, 728};
    c.CmdCpus.UserClick();
    HWND popup = FindOwnWindow(L"KorvanePicker");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(CheckBoxesIn(popup).size(), 256U);
    ui::CpuPicker* picker = v.f.form->EveryCpu().Picker();
    ASSERT_TRUE(picker->Scroll.Visible());
    EXPECT_FALSE(picker->Closed());
    ::SendMessageW(popup, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_GT(picker->Scroll.Value(), 0);
    // Escape on a toggle, through the dialog navigation of the message loop, closes it unchanged.
    const std::string before = c.TxtCpus.Text();
    picker->ToggleOf(5)->UserClick();
    MSG escape{static_cast<HWND>(v.view->WindowOf(picker->ToggleOf(0))), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(::IsDialogMessageW(popup, &escape));
    EXPECT_TRUE(picker->Closed());
    EXPECT_EQ(c.TxtCpus.Text(), before);
    PumpMessages();

    c.Command13.UserClick();
    v.f.Run(1000);
    PumpMessages();
    HWND bars = v.Of(c.PicCpuBars);
    ASSERT_NE(bars, nullptr);
    EXPECT_TRUE(::IsWindowVisible(bars));
    EXPECT_FALSE(::IsWindowVisible(v.Of(c.VertGraph0)));
    ::SendMessageW(v.Of(c.PicCpuAverages), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(c.PicCpuAverages.ToolTipText().rfind("CPU 0: ", 0), 0U);
}

// The pictures at 128 CPUs (main window, picker, usage panel) and of the usage panel at 32.
TEST(Win32EveryCpu, At128And32CpusTheWindowThePickerAndTheUsagePanelDraw)
{
    Win32EveryCpu v(test::ServerMachine(1));
    ui::MainControls& c = v.f.Controls();
    c.List1.UserClickRow(v.f.RowOf("Game"));
    PumpMessages();
    Keep(static_cast<HWND>(v.window.Handle()), "every-cpu-wine-128.bmp");
    c.CmdCpus.UserClick();
    PumpMessages();
    HWND popup = FindOwnWindow(L"KorvanePicker");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(CheckBoxesIn(popup).size(), 128U);
    Keep(popup, "every-cpu-wine-128-picker.bmp");
    v.f.form->EveryCpu().Picker()->Cancel.UserClick();
    c.Command13.UserClick();
    v.f.Run(1000);
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(v.Of(c.PicCpuAverages)));
    Keep(static_cast<HWND>(v.window.Handle()), "every-cpu-wine-usage-128.bmp");

    Win32EveryCpu dies(test::TwoDieMachine32());
    dies.f.Controls().Command13.UserClick();
    dies.f.Run(1000);
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(dies.Of(dies.f.Controls().PicCpuBars)));
    Keep(static_cast<HWND>(dies.window.Handle()), "every-cpu-wine-usage-32.bmp");
}

// High contrast switched on while running: the system's colours reach the usage pictures (from
// the screen) and the lists (drawn in the system's colours) at WM_SYSCOLORCHANGE.
TEST(Win32EveryCpu, HighContrastReachesTheUsagePanelAndTheListsWithoutARestart)
{
    Win32EveryCpu v(test::HybridMachine(4, 8));
    ui::MainControls& c = v.f.Controls();
    c.Command13.UserClick();
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                            COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_GRAYTEXT};
    COLORREF before[std::size(elements)];
    for (std::size_t i = 0; i < std::size(elements); ++i)
        before[i] = ::GetSysColor(elements[i]);
    const COLORREF contrast[] = {RGB(0, 0, 0),     RGB(255, 255, 255), RGB(0, 255, 255), RGB(0, 0, 0),
                                 RGB(0, 0, 0),     RGB(255, 255, 255), RGB(128, 128, 128)};
    ::SetSysColors(static_cast<int>(std::size(elements)), elements, contrast);
    v.f.screen.contrast = platform::SystemColors{0x000000, 0xFFFFFF, 0xFFFF00, 0x808080};
    v.f.screen.windowBackground = 0x000000;
    HWND main = static_cast<HWND>(v.window.Handle());
    ::SendMessageW(main, WM_SYSCOLORCHANGE, 0, 0);
    v.f.Run(1000);
    PumpMessages();
    const image::Surface& bars = c.PicCpuBars.Picture();
    ASSERT_GT(bars.Width(), 0);
    EXPECT_EQ(bars.Pixel(0, 0), 0x808080U); // an unlit bar: the grey text colour
    EXPECT_EQ(c.PicCpuAverages.BackColor(), 0x000000U);
    Keep(main, "high-contrast-wine.bmp");

    ::SetSysColors(static_cast<int>(std::size(elements)), elements, before);
    v.f.screen.contrast.reset();
    v.f.screen.windowBackground = 0xF0F0F0;
    ::SendMessageW(main, WM_SYSCOLORCHANGE, 0, 0);
    v.f.Run(1000);
    EXPECT_EQ(c.PicCpuAverages.BackColor(), 0xF0F0F0U);
}

} // namespace
} // namespace korvane::win32front
