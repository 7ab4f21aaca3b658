// The Win32 front end over the simulated machine, under wine's null graphics driver (or Windows).
#include "frontend/win32/win32_front_end.h"

#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_dialogs.h"
#include "frontend/win32/win32_notification_area.h"
#include "platform/win32/win32_text.h"
#include "support/fake_form.h"
#include "support/win32_messages.h"
#include "tray/tray_icon.h"

#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include "frontend/win32/win32_accessible.h"
#include "frontend/win32/win32_main_window_impl.h"

#include <gtest/gtest.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

#include <cmath>
#include <set>

#include <memory>
#include <string>
#include <vector>

namespace korvane::win32front {
namespace {

using test::Row;

std::string TextOf(void* window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(static_cast<HWND>(window), text, 256);
    std::string narrow;
    for (const wchar_t* c = text; *c != 0; ++c)
        narrow += static_cast<char>(*c);
    return narrow;
}

bool Shown(void* window)
{
    return (::GetWindowLongW(static_cast<HWND>(window), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT PlaceInParent(void* window)
{
    RECT rect;
    ::GetWindowRect(static_cast<HWND>(window), &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(static_cast<HWND>(window)), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

using test::FindOwnWindow;
using test::PumpMessages;

struct Win32FrontEndFixture : ::testing::Test {
    Win32FrontEndFixture()
    {
        f.AddFavoriteFile({Row("Game", "1")});
        f.machine.Start("/usr/bin/editor");
        f.machine.Start("/opt/game");
        f.Start();
        view = std::make_unique<Win32FrontEnd>(*f.form, window, tray, nullptr);
        view->ApplySizeLimits();
        f.Run(1000);
        PumpMessages();
    }
    void* Of(const forms::Control& control) { return view->WindowOf(&control); }

    test::FakeForm f{2};
    Win32NotificationArea tray;
    Win32MainWindow window{f.screen};
    std::unique_ptr<Win32FrontEnd> view;
};

TEST_F(Win32FrontEndFixture, EveryControlHasANativeWindowThatMirrorsIt)
{
    ui::MainControls& c = f.Controls();
    EXPECT_EQ(TextOf(window.Handle()), "Korvane");
    EXPECT_EQ(TextOf(Of(c.Label2)), "Process (2/2)");
    EXPECT_EQ(TextOf(Of(c.Label5)), "Favorites (1)");
    EXPECT_EQ(TextOf(Of(c.Command5)), "Apply");
    wchar_t className[32] = {};
    ::GetClassNameW(static_cast<HWND>(Of(c.Command5)), className, 32);
    EXPECT_EQ(std::wstring(className), L"Button");
    EXPECT_FALSE(::IsWindowEnabled(static_cast<HWND>(Of(c.Check11[3]))));
    EXPECT_EQ(::SendMessageW(static_cast<HWND>(Of(c.Check11[0])), BM_GETCHECK, 0, 0), BST_CHECKED);
    // 15 twips to a pixel: the process list's viewport at (15, 63), 332 pixels wide.
    const RECT viewport = PlaceInParent(Of(c.MainBox));
    EXPECT_EQ(viewport.left, 15);
    EXPECT_EQ(viewport.top, 63);
    EXPECT_EQ(viewport.right - viewport.left, c.MainBox.Width() / 15);
    EXPECT_FALSE(Shown(Of(c.cpuOptions)));
    // The lists are owner-drawn list boxes without the system's sort, holding each row as a screen
    // reader says it, and the model's selection.
    HWND list = static_cast<HWND>(Of(c.List1));
    ::GetClassNameW(list, className, 32);
    EXPECT_EQ(std::wstring(className), L"ListBox");
    const LONG style = ::GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), c.List1.ListCount());
    const auto rowText = [](HWND box, int row) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(box, LB_GETTEXTLEN, row, 0)), L'\0');
        ::SendMessageW(box, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
        return platform::win32::Narrow(text);
    };
    EXPECT_EQ(rowText(list, f.RowOf("Game")), "Game, CPUs 0, 1, favorite");
    EXPECT_EQ(rowText(list, f.RowOf("Editor")), "Editor, CPUs 0, 1");
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), c.List1.ListIndex());
    c.List1.UserKeyDown(forms::kKeyDown, 0);
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    ::SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    HWND favorites = static_cast<HWND>(Of(c.List2));
    EXPECT_EQ(rowText(favorites, 0), "Game, CPU 1");
    c.List2.UserClickRow(0);
    EXPECT_GT(::SendMessageW(favorites, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 16);
    // A change of the model reaches the window.
    c.Label2.SetCaption("Process (9/9)");
    EXPECT_EQ(TextOf(Of(c.Label2)), "Process (9/9)");
}

TEST(Win32HighDpi, RowsIconsTextAndScrollingShareOneRowHeightAtEveryScale)
{
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        test::FakeForm f{2};
        f.screen.twipsPerPixel = (1440 + dpi / 2) / dpi;
        for (int i = 0; i < 40; ++i)
            f.machine.Start("/usr/bin/program" + std::to_string(i));
        Win32NotificationArea tray;
        Win32MainWindow window{f.screen, dpi};
        f.Start();
        Win32FrontEnd view(*f.form, window, tray, nullptr);
        view.ApplySizeLimits();
        f.Run(1000);
        PumpMessages();
        ui::MainControls& c = f.Controls();
        HWND list = static_cast<HWND>(view.WindowOf(&c.List1));
        const int row = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        // At the exact scale (7.5 twips a pixel at 192 DPI, where the model counts 8).
        EXPECT_EQ(row, static_cast<int>(std::lround(240.0 * dpi / 1440.0)));

        // The list's text, measured at the real DPI, fits its row; a caption its button.
        Fonts fonts(dpi);
        HDC dc = ::GetDC(list);
        HGDIOBJ old = ::SelectObject(dc, static_cast<HFONT>(fonts.list));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        EXPECT_LE(metrics.tmHeight, row);
        ::SelectObject(dc, static_cast<HFONT>(fonts.normal));
        for (const forms::Button* button : {&c.Command5, &c.Command1, &c.Command3}) {
            SIZE extent{};
            const std::wstring caption = platform::win32::Widen(button->Caption());
            ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
            RECT place{};
            ::GetClientRect(static_cast<HWND>(view.WindowOf(button)), &place);
            EXPECT_LT(extent.cx, place.right) << button->Caption();
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(list, dc);

        // The narrowest window still holds both lists whole.
        HWND main = static_cast<HWND>(window.Handle());
        ::ShowWindow(main, SW_SHOWNORMAL);
        RECT outer{};
        ::GetWindowRect(main, &outer);
        ::MoveWindow(main, outer.left, outer.top, 50, outer.bottom - outer.top, TRUE);
        PumpMessages();
        RECT client{};
        ::GetClientRect(main, &client);
        EXPECT_GE(client.right, PlaceInParent(view.WindowOf(&c.MainBox2)).right);

        // A click in the middle of the fourth row picks it; a wheel notch moves one row.
        ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, row * 3 + row / 2));
        EXPECT_EQ(c.List1.ListIndex(), 3);
        HWND area = static_cast<HWND>(view.WindowOf(&c.ScrollBox));
        const RECT before = PlaceInParent(area);
        c.List1.UserGotFocus();
        f.form->MouseWheel(-120);
        PumpMessages();
        EXPECT_EQ(before.top - PlaceInParent(area).top, row);
    }
}

TEST_F(Win32FrontEndFixture, MovedToAMonitorOfAnotherScaleTheWindowIsMadeAnewAtIt)
{
    ui::MainControls& c = f.Controls();
    HWND main = static_cast<HWND>(window.Handle());
    ::ShowWindow(main, SW_SHOWNORMAL);
    RECT suggested{100, 50, 100 + 1100, 50 + 700};
    ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
    HWND list = static_cast<HWND>(Of(c.List1));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 24);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), c.List1.ListCount());
    EXPECT_EQ(TextOf(Of(c.Command5)), "Apply");
    // The new windows reach the model, and the model still reaches the window.
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 24 + 5));
    EXPECT_EQ(c.List1.ListIndex(), 1);
    c.Form.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(main));
}

TEST_F(Win32FrontEndFixture, ClicksKeysAndRowsGoToTheModel)
{
    ui::MainControls& c = f.Controls();
    ::SendMessageW(static_cast<HWND>(Of(c.Command13)), BM_CLICK, 0, 0);
    EXPECT_TRUE(c.cpuOptions.Visible());
    EXPECT_TRUE(Shown(Of(c.cpuOptions)));

    const std::int16_t before = c.Check11[1].Value();
    ::SendMessageW(static_cast<HWND>(Of(c.Check11[1])), BM_CLICK, 0, 0);
    EXPECT_NE(c.Check11[1].Value(), before);
    EXPECT_EQ(::SendMessageW(static_cast<HWND>(Of(c.Check11[1])), BM_GETCHECK, 0, 0) == BST_CHECKED,
              c.Check11[1].Value() == 1);

    HWND list = static_cast<HWND>(Of(c.List1));
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 16 + 5));
    ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 16 + 5));
    EXPECT_EQ(c.List1.ListIndex(), 1);
    // The arrow keys move the selection as a click would; other keys do nothing.
    ::SendMessageW(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    ::SendMessageW(list, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    EXPECT_FALSE(c.cpuOptions.Visible()); // a click in the list closes the panels
}

TEST_F(Win32FrontEndFixture, TabMovesTheFocusThroughTheControlsOfEveryPanel)
{
    ::ShowWindow(static_cast<HWND>(window.Handle()), SW_SHOWNORMAL);
    HWND root = static_cast<HWND>(window.Handle());
    HWND apply = static_cast<HWND>(Of(f.Controls().Command5));
    ::SetFocus(apply);
    std::set<HWND> reached{apply};
    for (int i = 0; i < 40; ++i) {
        MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        ASSERT_TRUE(::IsDialogMessageW(root, &tab));
        reached.insert(::GetFocus());
    }
    // The buttons of the main window and the lists, which sit in panels of their own.
    std::string names;
    for (HWND reachedWindow : reached)
        names += TextOf(reachedWindow) + "|";
    EXPECT_TRUE(reached.count(static_cast<HWND>(Of(f.Controls().List1)))) << names;
    EXPECT_TRUE(reached.count(static_cast<HWND>(Of(f.Controls().Command13)))) << names;
    EXPECT_GE(reached.size(), 4U) << names;
}

TEST_F(Win32FrontEndFixture, TheCloseBoxHidesTheTrayBringsItBackAndTheSessionsEndSaves)
{
    ui::MainControls& c = f.Controls();
    c.Form.SetVisible(true);
    c.Form.SetState(forms::WindowState::Normal);
    ::SendMessageW(static_cast<HWND>(window.Handle()), WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.form->Ended());
    EXPECT_TRUE(!c.Form.Visible() || c.Form.State() == forms::WindowState::Minimized);
    EXPECT_FALSE(::IsWindowVisible(static_cast<HWND>(window.Handle())));

    // A double click on the tray icon arrives as mouse message 515.
    ::SendMessageW(static_cast<HWND>(tray.Window()), WM_APP + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(c.Form.Visible());
    EXPECT_EQ(c.Form.State(), forms::WindowState::Normal);

    ::SendMessageW(static_cast<HWND>(window.Handle()), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(f.form->Ended());
    EXPECT_TRUE(f.settings.Get("Tollmere", "Korvane", "Height").has_value());
}

TEST_F(Win32FrontEndFixture, AScreenReaderFindsTheListsRowsSelectionAndTheFieldsName)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ui::MainControls& c = f.Controls();
    // The objects WM_GETOBJECT hands out (wine has no proxy to hand them to another process, so
    // they are asked here directly).
    HWND list = static_cast<HWND>(Of(c.List1));
    EXPECT_EQ(::SendMessageW(list, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)), 0);
    IAccessible* processes = AccessibleOf(list);
    ASSERT_NE(processes, nullptr);
    const auto name = [](IAccessible* object, long child) {
        VARIANT id;
        id.vt = VT_I4;
        id.lVal = child;
        BSTR text = nullptr;
        if (object->get_accName(id, &text) != S_OK || text == nullptr)
            return std::string("(none)");
        const std::string narrow = platform::win32::Narrow(text);
        ::SysFreeString(text);
        return narrow;
    };
    long count = 0;
    EXPECT_EQ(processes->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, c.List1.ListCount());
    EXPECT_EQ(name(processes, CHILDID_SELF), "Processes");
    EXPECT_EQ(name(processes, f.RowOf("Game") + 1), "Game, CPUs 0, 1, favorite");
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    ::VariantInit(&role);
    processes->get_accRole(self, &role);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_LIST);

    c.List1.UserClickRow(1);
    VARIANT selection;
    ::VariantInit(&selection);
    EXPECT_EQ(processes->get_accSelection(&selection), S_OK);
    EXPECT_EQ(selection.vt, VT_I4);
    EXPECT_EQ(selection.lVal, 2);
    VARIANT row;
    row.vt = VT_I4;
    row.lVal = 2;
    VARIANT state;
    ::VariantInit(&state);
    processes->get_accState(row, &state);
    EXPECT_NE(state.lVal & STATE_SYSTEM_SELECTED, 0);
    // Selected through it, as a screen reader's command does.
    EXPECT_EQ(processes->accSelect(SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS, row), S_OK);
    row.lVal = 1;
    processes->accSelect(SELFLAG_TAKESELECTION, row);
    EXPECT_EQ(c.List1.ListIndex(), 0);
    processes->Release();

    IAccessible* field = AccessibleOf(static_cast<HWND>(Of(c.TxtCpus)));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(name(field, CHILDID_SELF), "CPUs to apply");
    field->Release();
    EXPECT_EQ(AccessibleOf(static_cast<HWND>(Of(c.Command5))), nullptr); // "Apply" says itself
    ::CoUninitialize();
}

TEST(Win32SizeLimits, AreTheWindowsOwnMonitorsAndKeepItsLeft)
{
    // 200 % on a 3840 x 2160 monitor with a 48-pixel taskbar, then a second monitor above and to
    // the left of it (its top is not 0): maximized, each window keeps its left on its own
    // monitor, full height, at the monitor's top.
    const RECT primary{0, 0, 3840, 2160};
    const RECT primaryWork{0, 0, 3840, 2112};
    MonitorLimits limits = LimitsOnMonitor(1434, 300, 3000, primary, primaryWork);
    EXPECT_EQ(limits.maxSize.x, 1434);
    EXPECT_EQ(limits.maxSize.y, 2160);
    EXPECT_EQ(limits.maxPosition.x, 3840 - 1434); // not past the right edge
    EXPECT_EQ(limits.maxPosition.y, 0);
    EXPECT_EQ(limits.maxTrack.y, 2112);
    EXPECT_EQ(limits.minTrack.y, 300);

    const RECT second{-1920, -400, 0, 680};
    const RECT secondWork{-1920, -400, 0, 640};
    limits = LimitsOnMonitor(717, 300, -1800, second, secondWork);
    EXPECT_EQ(limits.maxPosition.x, 120);
    EXPECT_EQ(limits.maxPosition.y, 0);
    EXPECT_EQ(limits.maxSize.y, 1080);
    EXPECT_EQ(limits.maxTrack.y, 1040);
}

TEST(Win32NotificationArea, TheMenuKeyOpensTheTrayMenuAndARightClickOpensItOnce)
{
    Win32NotificationArea tray;
    std::vector<int> events;
    tray.onMouseMessage = [&events](int event) { events.push_back(event); };
    const auto send = [&tray](int event) { ::SendMessageW(static_cast<HWND>(tray.Window()), WM_APP + 1, 1, event); };
    // Shift+F10 or the Menu key on the icon: WM_CONTEXTMENU alone, as a right click.
    send(WM_CONTEXTMENU);
    EXPECT_EQ(events, (std::vector<int>{WM_RBUTTONUP}));
    // A right click: its button-up, then WM_CONTEXTMENU, which opens nothing more.
    events.clear();
    send(WM_RBUTTONDOWN);
    send(WM_RBUTTONUP);
    send(WM_MOUSEMOVE);
    send(WM_CONTEXTMENU);
    EXPECT_EQ(events, (std::vector<int>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE}));
    send(WM_CONTEXTMENU);
    EXPECT_EQ(events.back(), WM_RBUTTONUP);
    EXPECT_GE(TrayIconPixels(), 16);
}

TEST_F(Win32FrontEndFixture, ThePickerIsAPopUpWhoseBoxesAndItemsReachItsModel)
{
    ui::MainControls& c = f.Controls();
    HWND list2 = static_cast<HWND>(Of(c.List2));
    ::SendMessageW(list2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    ::SendMessageW(list2, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
    ::SendMessageW(list2, WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
    ui::Form2* picker = f.form->Picker();
    ASSERT_NE(picker, nullptr);
    HWND popup = FindOwnWindow(L"KorvanePicker");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(Shown(popup));
    EXPECT_EQ(picker->Check1[1].Value(), 1); // the favorite's "1"

    // The boxes and items are children of the pop-up: tick CPU 0, then "Apply".
    HWND box = nullptr;
    HWND apply = nullptr;
    for (HWND child = ::GetWindow(popup, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == "CPU 0")
            box = child;
        if (TextOf(child) == "Apply")
            apply = child;
    }
    ASSERT_NE(box, nullptr);
    ASSERT_NE(apply, nullptr);
    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(picker->Check1[0].Value(), 1);
    ::SendMessageW(apply, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(picker->Label1.Look(), forms::LabelLook::Highlighted);
    ::SendMessageW(apply, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(f.form->Picker(), nullptr);
    EXPECT_EQ(c.List2.List(0), Row("Game", "01"));
    PumpMessages();
    EXPECT_EQ(FindOwnWindow(L"KorvanePicker"), nullptr); // gone once its messages ran
}

TEST(Win32TrayIcon, TheTrayPictureIsMadeAtTheTaskbarsIconSize)
{
    Win32NotificationArea tray;
    platform::TrayIconData data;
    data.uID = 1;
    data.hIcon = image::Icon{image::Surface(32, 32, image::Rgb(10, 20, 30)), std::vector<std::uint8_t>(1024, 0)};
    tray.Add(data); // without a taskbar (wine's null driver) the icon is still made
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(tray.CurrentIcon()), &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, std::min(::GetSystemMetrics(SM_CXSMICON), 32));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST(Win32TrayIcon, TheIconHasThePicturesPixelsAndItsMask)
{
    image::Icon picture{image::Surface(16, 16, image::Rgb(10, 20, 30)), std::vector<std::uint8_t>(256, 0)};
    picture.color.SetPixel(3, 4, image::Rgb(200, 100, 50));
    picture.mask[0] = 1; // the top-left pixel is see-through
    HICON icon = static_cast<HICON>(CreateIconOf(picture));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 16;
    format.bmiHeader.biHeight = -16;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> color(256);
    std::vector<std::uint32_t> mask(256);
    HDC dc = ::GetDC(nullptr);
    ASSERT_EQ(::GetDIBits(dc, info.hbmColor, 0, 16, color.data(), &format, DIB_RGB_COLORS), 16);
    ASSERT_EQ(::GetDIBits(dc, info.hbmMask, 0, 16, mask.data(), &format, DIB_RGB_COLORS), 16);
    ::ReleaseDC(nullptr, dc);
    EXPECT_EQ(color[4 * 16 + 3] & 0xFFFFFF, 0xC86432U); // 200, 100, 50 as 0x00RRGGBB
    EXPECT_EQ(color[1] & 0xFFFFFF, 0x0A141EU);
    EXPECT_NE(mask[0] & 0xFFFFFF, 0U); // see-through: the mask is set
    EXPECT_EQ(mask[1] & 0xFFFFFF, 0U);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    EXPECT_EQ(CreateIconOf(image::Icon{image::Surface(16, 16), {}}), nullptr); // no mask: no icon
}

TEST(Win32OpenFileDialog, TheMultiSelectResultBecomesFullPaths)
{
    const std::wstring many(L"C:\\Tools\0a.exe\0b c.exe\0\0", 24);
    EXPECT_EQ(PathsOfOpenFileResult(many), (std::vector<std::string>{"C:\\Tools\\a.exe", "C:\\Tools\\b c.exe"}));
    const std::wstring one(L"C:\\Tools\\a.exe\0\0", 16);
    EXPECT_EQ(PathsOfOpenFileResult(one), std::vector<std::string>{"C:\\Tools\\a.exe"});
    const std::wstring root(L"C:\\\0a.exe\0b.exe\0\0", 17);
    EXPECT_EQ(PathsOfOpenFileResult(root), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe"}));
    EXPECT_TRUE(Win32FileDialogs().ProgramFilterFirst());
}

} // namespace
} // namespace korvane::win32front
